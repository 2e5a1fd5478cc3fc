#pragma once

#include <QString>

namespace speech::agent {

// What the balloon shows of one utterance: the display text (tags removed)
// up to the end of the last word the speech has reached.
class BalloonText final
{
public:
    void start(const QString& speakText);
    // position and length index the display text, as the synthesizer reports.
    void wordReached(int position, int length);
    void revealAll();

    QString fullText() const { return m_display; }
    QString shownText() const { return m_display.left(m_shown); }

private:
    QString m_display;
    int m_shown = 0;
};

} // namespace speech::agent
