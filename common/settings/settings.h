#pragma once

#include <QString>
#include <QtGlobal>

namespace settings {

// The program-wide in-memory copy of the store, one member per stored value
// (its key is the same name in settings::keys). Numbers are 16-bit like the
// stored encoding; the left edge is single precision and the two colour
// references are doubles until they are applied to a window.
struct Settings {
    qint16 firstRunDone = 0;
    qint16 russianFirst = 0;
    qint16 showsPerPair = 0;
    qint16 englishSeconds = 0;
    qint16 russianSeconds = 0;
    qint16 sequentialOrder = 0;
    qint16 savePosition = 0;
    qint16 saveSettings = 0;
    qint16 autoHide = 0;
    qint16 speakAloud = 0;
    qint16 topic = 0;
    qint16 position = 0;
    qint16 unusedRed = 0;
    qint16 autoStart = 0;
    qint16 speechSpeed = 0;
    qint16 unusedNoSpeak = 0;
    qint16 fontSize = 0;
    // Stress marks shown on the strip's Russian line; on unless stored as 0.
    qint16 showStressMarks = 1;
    float leftTwips = 0.0f;
    double textColour = 0.0;
    double backColour = 0.0;
    QString character;
};

// The one copy both the start-up and the windows work on.
Settings& globals();

// The values the options dialog offers for the numbers that have a range.
// Stored values outside them (a hand-edited or damaged file) are clamped into
// them where they are read, so no stored number can make the strip unusable.
struct ValueRange {
    qint16 lowest;
    qint16 highest;
};
inline constexpr ValueRange showsPerPairRange{1, 12};
inline constexpr ValueRange russianSecondsRange{5, 15};
inline constexpr ValueRange englishSecondsRange{3, 15};
inline constexpr ValueRange topicRange{0, 16};
inline constexpr ValueRange speechSpeedRange{40, 200};
inline constexpr ValueRange fontSizeRange{8, 55};

// Conversions of stored text. Each returns false, leaving target untouched,
// when the text does not convert (empty, not a number, out of range).
bool parseInt16(const QString& text, qint16& target);
bool parsePosition(const QString& text, float& target);
// A colour reference: a decimal number, rounded and clamped into 32 bits.
bool parseColour(const QString& text, double& target);
// A whole number of any size, clamped into range; false only for text that
// is not a whole number.
bool parseInRange(const QString& text, ValueRange range, qint16& target);

// Stored encodings: whole positions are written without a fraction.
QString formatInt16(qint16 value);
QString formatPosition(float twips);
// A colour reference as a whole number ("16777215").
QString formatColour(double reference);

} // namespace settings
