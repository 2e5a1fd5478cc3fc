#include "dialogs/startup/startupcountdown.h"

namespace startup {

void StartupCountdown::act()
{
    if (m_value >= 51) {
        m_host.setRussianLineCaption(QString(m_value - 20, u' ') + kGreeting);
    } else if (m_value >= 21) {
        m_host.closeSplashShowMain();
        m_host.setRussianLineCaption(QString(m_value - 20, u' ') + kGreeting);
    } else if (m_value >= 3) {
        m_host.setRussianLineCaption(kGreeting);
    } else if (m_value >= 1) {
        m_host.setRussianLineCaption(QStringLiteral(" "));
        if (m_host.menuHotSpotEnabled())
            m_host.startPresentation();
    } else if (m_value == 0) {
        m_value = 1;
    }
}

void StartupCountdown::tick()
{
    decrease();
    act();
}

void StartupCountdown::splashClicked()
{
    m_host.closeSplashShowMain();
    m_value = 50;
}

} // namespace startup
