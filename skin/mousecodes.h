#pragma once

#include <Qt>

namespace skin {

// Button and shift codes the skin widgets pass with their mouse and key
// signals: buttons 1 left, 2 right, 4 middle; shift 1 Shift, 2 Ctrl, 4 Alt.
int buttonCode(Qt::MouseButtons buttons);
int shiftCode(Qt::KeyboardModifiers modifiers);

} // namespace skin
