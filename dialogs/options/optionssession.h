#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace settings {
class SettingsStore;
struct Settings;
} // namespace settings

namespace options {

class OptionsHost;

// What the dialog's controls hold when it closes.
struct OptionsChoices {
    int topic = 0; // 0 the whole table, 1 to 15 a group, 16 the word book
    bool sequentialOrder = true;
    bool russianFirst = true;
    int showsPerPair = 1;
    int russianSeconds = 5;
    int englishSeconds = 3;
    int speechSpeed = 90;
    int fontSize = 12;
    double textColour = 16777215;
    double backColour = 11230520;
};

// The behaviour behind the options dialog, apart from its widgets: pausing
// playback while it is open, acting on the strip at once for font size,
// colours and character, and the closing steps that hand the choices to the
// running program and, when "Save settings when exit" is on, to the store.
class OptionsSession final
{
public:
    // Brings the start-with-the-desktop entry in line with the autoStart value.
    using AutoStart = std::function<void(qint16 autoStart)>;

    static constexpr qint16 kFirstPosition = 10101;
    static constexpr double kDefaultTextColour = 16777215; // white
    static constexpr double kDefaultBackColour = 11230520; // red 56, green 93, blue 171
    static constexpr int kDefaultFontSize = 12;

    OptionsSession(settings::SettingsStore& store, settings::Settings& values, OptionsHost& host,
                   AutoStart autoStart);

    // Opening: no menu and no presentation while the dialog is open.
    void pausePlayback();

    // The font size is taken at once and the strip laid out for it.
    void takeFontSize(int size);
    void showTextColour(double reference);
    void showBackColour(double reference);
    // "Default": white text on the designed blue at size 12.
    void restoreDefaultLook();

    // Stores the character picked from the list at once ("X.acs" stores "X")
    // and switches the strip to it. False when fileName is empty.
    bool pickCharacter(const QString& fileName);

    // Closing: playback goes on, the choices reach the running program and,
    // with "Save settings when exit" on, the store and the autostart entry.
    void close(const OptionsChoices& choices);

private:
    void writeAll();

    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    OptionsHost& m_host;
    AutoStart m_autoStart;
};

} // namespace options
