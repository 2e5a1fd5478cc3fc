#pragma once

#include <QColor>

#include <optional>

class QWidget;

namespace options {

// The desktop's colour dialog, owned by owner: no initial colour and, on
// every opening, sixteen custom colours that are all black. Nothing when the
// learner cancels.
std::optional<QColor> askColour(QWidget* owner);

} // namespace options
