#include "common/speech/agent/balloontext.h"

#include "common/speech/speechtext.h"

#include <algorithm>

namespace speech::agent {

void BalloonText::start(const QString& speakText)
{
    m_display = parseSpeechText(speakText).display;
    m_shown = 0;
}

void BalloonText::wordReached(int position, int length)
{
    if (position < 0 || length < 0 || position > m_display.size())
        return;
    const qsizetype end = std::min<qsizetype>(qsizetype(position) + length, m_display.size());
    // Words only ever appear; a late or repeated event never hides text again.
    m_shown = std::max(m_shown, static_cast<int>(end));
}

void BalloonText::revealAll()
{
    m_shown = static_cast<int>(m_display.size());
}

} // namespace speech::agent
