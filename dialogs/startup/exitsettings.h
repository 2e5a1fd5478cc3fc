#pragma once

namespace settings {
class SettingsStore;
struct Settings;
} // namespace settings

namespace startup {

// What the menu's exit command stores before the process ends: "voice", the
// main window's left edge, and the sequence position only when the order is
// sequence and "Save schedule when exit" is on. Closing the main window any
// other way stores nothing.
void writeExitSettings(settings::SettingsStore& store, const settings::Settings& values,
                       float leftTwips);

} // namespace startup
