#pragma once

#include <QPoint>

namespace speech {
class AgentCharacter;
} // namespace speech

namespace menu {

// What the popup menu and the about box need of the main window. The names
// are the main window's own, so it can implement this directly.
class MenuHost
{
public:
    virtual ~MenuHost() = default;

    // The current speaking character; nullptr when none could be loaded.
    virtual speech::AgentCharacter* currentCharacter() const = 0;

    // The menu's exit command: stores what the exit stores and ends the process.
    virtual void exitByMenu() = 0;

    // The menu hot spot: the menu opens only while it is enabled.
    virtual bool menuHotSpotEnabled() const = 0;
    virtual void setMenuHotSpotEnabled(bool enabled) = 0;

    // The main window's width and unfolded height in twips, the screen's
    // twips per pixel and the window's top-left corner on the screen (pixels).
    virtual double widthTwips() const = 0;
    virtual int fullHeightTwips() const = 0;
    virtual double twipsPerPixel() const = 0;
    virtual QPoint originOnScreen() const = 0;
};

} // namespace menu
