#pragma once

#include <QString>

// Where the settings live and the name of every stored value. Both programs
// and files written by earlier versions rely on these spellings, so they
// never change; code reaches the store only through these names.
namespace settings::keys {

// The per-user section shared by both programs.
inline const QString application = QStringLiteral("Velkor");
inline const QString section = QStringLiteral("Lintavo01");

// First-run marker: absent or empty until the main program's first run.
inline const QString firstRunDone = QStringLiteral("xxx");
// 1: the Russian line comes first; 0: the English line does.
inline const QString russianFirst = QStringLiteral("ce");
// How many times each pair is presented.
inline const QString showsPerPair = QStringLiteral("n");
// Seconds each line stays.
inline const QString englishSeconds = QStringLiteral("ctime");
inline const QString russianSeconds = QStringLiteral("etime");
// 1: sequence order; 0: random order.
inline const QString sequentialOrder = QStringLiteral("rd");
// "Save schedule when exit": store the sequence position at exit.
inline const QString savePosition = QStringLiteral("psave");
// "Save settings when exit": the options dialog stores its values on closing.
inline const QString saveSettings = QStringLiteral("ssave");
// "Automatism hide me": the strip folds away while the pointer is elsewhere.
inline const QString autoHide = QStringLiteral("visi");
// 1: the character speaks the Russian line.
inline const QString speakAloud = QStringLiteral("voice");
inline const QString topic = QStringLiteral("guage");
// The sentence identifier of the next pair in sequence order.
inline const QString position = QStringLiteral("guagen");
// Read at start-up and written back unchanged; nothing depends on it.
inline const QString unusedRed = QStringLiteral("red");
// "Run me when Windows starts": keep the start-with-the-desktop entry.
inline const QString autoStart = QStringLiteral("mark");
// The strip's left edge in twips.
inline const QString leftTwips = QStringLiteral("left");
inline const QString textColour = QStringLiteral("txtColor");
inline const QString backColour = QStringLiteral("formColor");
// Read at start-up; nothing depends on it.
inline const QString unusedNoSpeak = QStringLiteral("isnoSpeak");
inline const QString speechSpeed = QStringLiteral("Spdtimes");
inline const QString fontSize = QStringLiteral("FontSizeNumber");
// "Show stress marks": 1 (also when absent) shows the marks, 0 the plain text.
inline const QString showStressMarks = QStringLiteral("stress");

// The speaking character's name. Start-up writes and reads it spelt
// "agent", every other part "Agent"; the store finds either.
inline const QString character = QStringLiteral("Agent");
inline const QString characterAtStartup = QStringLiteral("agent");

// The reader's "Auto Read Clipboard" box.
inline const QString autoRead = QStringLiteral("AutoRead");

// Written once by the first run; nothing reads them.
inline const QString wordEnglishSeconds = QStringLiteral("ctimeword");
inline const QString wordSaveSettings = QStringLiteral("ssaveword");
inline const QString wordTopic = QStringLiteral("guageword");
inline const QString wordAutoStart = QStringLiteral("markword");
inline const QString wordWindowLeft = QStringLiteral("winleftword");
inline const QString wordOnTop = QStringLiteral("ontopword");

} // namespace settings::keys

namespace settings {

// The character a first run chooses and every reader but start-up falls back to.
inline const QString defaultCharacter = QStringLiteral("Merlin");

} // namespace settings
