#pragma once

#include <QString>

// Every caption, message and spoken phrase of the reader, and the names it
// asks the character for. They are part of what learners and characters know
// the program by, so they stay spelt exactly as here.
namespace reader::texts {

inline const QString windowCaption = QStringLiteral("Reader Tobrin");
inline const QString textFrameCaption = QStringLiteral("Text to Read :");
inline const QString initialText = QStringLiteral("Tell me what to read");
inline const QString autoReadCaption = QStringLiteral("Auto Read Clipboard");
inline const QString exitCaption = QStringLiteral("Exit");
inline const QString readCaption = QStringLiteral("Read");
inline const QString stopCaption = QStringLiteral("Stop");
inline const QString playAnimationCaption = QStringLiteral("Play Animation");
inline const QString characterCaption = QStringLiteral("Character");
// Shown in the name label when the chosen character could not be loaded.
inline const QString noCharacterCaption = QStringLiteral("No character");
// Its tool tip; %1 is the character file.
inline const QString characterNotLoadedDetail = QStringLiteral("%1 could not be loaded");

inline const QString selectCharacterMessage = QStringLiteral("Please select an Agent.");

inline const QString morningGreeting = QStringLiteral("Good morning");
inline const QString afternoonGreeting = QStringLiteral("Good afternoon.");
inline const QString eveningGreeting = QStringLiteral("Good evening.");
inline const QString goodbye = QStringLiteral("bye bye!");

inline const QString readAnimation = QStringLiteral("read");
inline const QString waveAnimation = QStringLiteral("wave");

inline const QString characterFileSuffix = QStringLiteral(".acs");

// The per-user lock and socket that keep one reader running.
inline const QString instanceKey = QStringLiteral("velkor-reader");

} // namespace reader::texts
