#pragma once

#include "common/speech/agentcharacter.h"
#include "dialogs/menu/desktop.h"
#include "dialogs/menu/menuhost.h"

#include <QStringList>
#include <QUrl>

namespace menutest {

class FakeCharacter final : public speech::AgentCharacter
{
public:
    QString name() const override { return QStringLiteral("Merlin"); }
    quint64 Show() override { return record(QStringLiteral("Show")); }
    quint64 Hide() override { return record(QStringLiteral("Hide")); }
    quint64 Speak(const QString&) override { return record(QStringLiteral("Speak")); }
    quint64 Play(const QString&) override { return record(QStringLiteral("Play")); }
    quint64 MoveTo(int, int) override { return record(QStringLiteral("MoveTo")); }
    void Stop() override { record(QStringLiteral("Stop")); }
    void setLanguageID(int) override {}
    int LanguageID() const override { return 1049; }
    QStringList AnimationNames() const override { return {}; }
    bool Visible() const override { return true; }

    QStringList calls;

private:
    quint64 record(const QString& call)
    {
        calls << call;
        return quint64(calls.size());
    }
};

class FakeHost final : public menu::MenuHost
{
public:
    speech::AgentCharacter* mobjAgent() const override { return character; }
    void exitByMenu() override { ++exits; }
    bool image1Enabled() const override { return hotSpot; }
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
    void openUrl(const QUrl& url) override { opened << url; }
    void startDetached(const QString& program) override { started << program; }

    QList<QUrl> opened;
    QStringList started;
};

} // namespace menutest
