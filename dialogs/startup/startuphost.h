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
    virtual double lineTextColour() const = 0;
    virtual double windowBackColour() const = 0;

    virtual bool openUrl(const QUrl& url) = 0;
    virtual void setLeftTwips(double left) = 0;

    // Load, take as current, show, and set the language of the character.
    virtual bool loadCharacter(const QString& name) = 0;

    virtual void setTopTwips(double top) = 0;
    virtual void hideMainWindow() = 0;
    virtual void showSplash(double leftTwips, double topTwips) = 0;

    // The 60 ms watch and the 1500 ms blink on; the slides, the presentation
    // and the word book step off.
    virtual void configureTimers() = 0;
    // Playback counters 0, blinking palette 10/12/10, countdown 70.
    virtual void resetCounters() = 0;

    virtual void pickNextPair() = 0;
    virtual void attachMenuPictures() = 0;
    virtual void makeTopmost() = 0;
    virtual void layOutForFontSize() = 0;
    virtual void rememberWindowRect() = 0;
    virtual void applyColours(double textColour, double backColour) = 0;
    virtual void bindWordBookLabels() = 0;
};

} // namespace startup
