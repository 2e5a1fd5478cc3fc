#pragma once

#include <QString>
#include <QUrl>

namespace startup {

// The main window and the desktop as the load handler sees them. Each call is
// one step of the load; a step that fails reports false (or throws) and the
// load goes on with the next one.
class StartupHost
{
public:
    virtual ~StartupHost() = default;

    // Screen size in twips and the current design values the first run stores.
    virtual double screenWidthTwips() const = 0;
    virtual double screenHeightTwips() const = 0;
    virtual double label1TextColour() const = 0;
    virtual double formBackColour() const = 0;

    virtual bool openUrl(const QUrl& url) = 0;
    virtual void setLeftTwips(double left) = 0;

    // Load, take as current, show, and set the language of the character.
    virtual bool loadCharacter(const QString& name) = 0;

    virtual void setTopTwips(double top) = 0;
    virtual void hideMainWindow() = 0;
    virtual void showSplash(double leftTwips, double topTwips) = 0;

    // Timer1 60 ms and Timer2 1500 ms on; Timer3 to Timer6 off.
    virtual void configureTimers() = 0;
    // Playback counters 0, blinking palette 10/12/10, countdown 70.
    virtual void resetCounters() = 0;

    virtual void NextSentence() = 0;
    virtual void AttachMenuPictures() = 0;
    virtual void makeTopmost() = 0;
    virtual void AdjustSize() = 0;
    virtual void Get_Windows_Rect() = 0;
    virtual void applyColours(double textColour, double backColour) = 0;
    virtual void bindDataLabels() = 0;
};

} // namespace startup
