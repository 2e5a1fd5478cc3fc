#pragma once

#include "dialogs/menu/desktop.h"
#include "dialogs/menu/menuhost.h"
#include "tests/support/fakecharacter.h"

#include <QStringList>
#include <QUrl>

namespace menutest {

using testsupport::FakeCharacter;

class FakeHost final : public menu::MenuHost
{
public:
    speech::AgentCharacter* currentCharacter() const override { return character; }
    void exitByMenu() override { ++exits; }
    bool menuHotSpotEnabled() const override { return hotSpot; }
    void setMenuHotSpotEnabled(bool enabled) override { hotSpot = enabled; }
    double widthTwips() const override { return width; }
    int fullHeightTwips() const override { return fullHeight; }
    double twipsPerPixel() const override { return perPixel; }
    QPoint originOnScreen() const override { return origin; }

    speech::AgentCharacter* character = nullptr;
    int exits = 0;
    bool hotSpot = true;
    // A strip of 22 x 19 px at the default font size, 15 twips per pixel.
    double width = 22 * 19 * 15;
    int fullHeight = 360;
    double perPixel = 15;
    QPoint origin{100, 0};
};

class FakeDesktop final : public menu::Desktop
{
public:
    void openUrl(const QUrl& url, std::function<void()> unhandled) override
    {
        opened << url;
        if (!handlers && unhandled)
            unhandled();
    }
    void startDetached(const QString& program) override { started << program; }

    QList<QUrl> opened;
    QStringList started;
    // False: the desktop has nothing that opens web pages or mail.
    bool handlers = true;
};

} // namespace menutest
