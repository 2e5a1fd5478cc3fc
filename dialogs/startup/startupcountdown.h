#pragma once

#include <QString>
#include <QtGlobal>

namespace startup {

// What the countdown acts on: the main window, seen through the few
// operations the greeting needs.
class CountdownHost
{
public:
    virtual ~CountdownHost() = default;
    virtual void setRussianLineCaption(const QString& caption) = 0;
    // Unloads the splash window and makes the main window visible; harmless
    // when repeated.
    virtual void closeSplashShowMain() = 0;
    virtual bool menuHotSpotEnabled() const = 0;
    virtual void startPresentation() = 0;
};

// The 60 ms start-up countdown: slides the welcome line in, closes the splash
// and starts playback. The strip window's watch timer calls decrease(), then
// its auto-hide check, then act(), so the check sees the new value.
class StartupCountdown final
{
public:
    static constexpr qint16 kStart = 70;
    static inline const QString kGreeting = QStringLiteral(" Welcome to use Brisvane V3.1.");

    explicit StartupCountdown(CountdownHost& host) : m_host(host) {}

    void reset() { m_value = kStart; }
    void decrease() { --m_value; }
    void act();
    // decrease() then act(), for callers with nothing in between.
    void tick();

    // A click on the splash picture: show the main window now and continue
    // the greeting from its resting point.
    void splashClicked();

    qint16 value() const { return m_value; }
    // Below 1 once start-up is over.
    bool running() const { return m_value > 0; }

private:
    CountdownHost& m_host;
    qint16 m_value = kStart;
};

} // namespace startup
