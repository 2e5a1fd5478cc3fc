#pragma once

#include <QString>
#include <QtGlobal>

namespace settings {

// The program-wide in-memory copy of the store, one member per key. Numbers
// are 16-bit like the stored encoding; "left" is single precision and the two
// colour references are doubles until they are applied to a window.
struct Settings {
    qint16 xxx = 0;
    qint16 ce = 0;
    qint16 n = 0;
    qint16 ctime = 0;
    qint16 etime = 0;
    qint16 rd = 0;
    qint16 psave = 0;
    qint16 ssave = 0;
    qint16 visi = 0;
    qint16 voice = 0;
    qint16 guage = 0;
    qint16 guagen = 0;
    qint16 red = 0;
    qint16 mark = 0;
    qint16 Spdtimes = 0;
    qint16 isnoSpeak = 0;
    qint16 FontSizeNumber = 0;
    float left = 0.0f;
    double txtColor = 0.0;
    double formColor = 0.0;
    QString agent;
};

// The one copy both the start-up and the windows work on.
Settings& globals();

// Conversions of stored text. Each returns false, leaving target untouched,
// when the text does not convert (empty, not a number, out of range).
bool parseInt16(const QString& text, qint16& target);
bool parsePosition(const QString& text, float& target);
bool parseColour(const QString& text, double& target);

// Stored encodings: whole positions are written without a fraction.
QString formatInt16(qint16 value);
QString formatPosition(float twips);

} // namespace settings
