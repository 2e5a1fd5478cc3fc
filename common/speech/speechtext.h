#pragma once

#include <QList>
#include <QString>

namespace speech {

// A Speak text split into what is shown and what is synthesised. Tags of the
// form "\Name=value\" are never shown nor spoken; "\Spd=n\" (any case) sets the
// rate in words per minute. Combining grave and acute stress marks stay in the
// shown text but are removed from the synthesised one.
struct SpeechText {
    QString display;
    QString synthesis;
    // synthesis index -> display index, one entry per synthesis character.
    QList<int> synthesisToDisplay;
    int wordsPerMinute = -1; // -1: no rate tag
};

SpeechText parseSpeechText(const QString& raw);

} // namespace speech
