#pragma once

#include <QCoreApplication>
#include <QString>

namespace wordbook {

// The file name of the word book, in the program folder and in the per-user copy.
inline constexpr char16_t WordBookFileName[] = u"dialog.ocx";

// The one place that decides which word book file the programs use.
//
// When the program folder is writable (a build, a portable copy) the book is
// its "dialog.ocx". When it is not (a system installation) the book is the
// per-user copy $XDG_DATA_HOME/Velkor/dialog.ocx, made from the shipped file
// the first time it is needed and kept from then on, so the learner's pairs
// are never written where they would be refused or lost.
//
// Throws DbError (CannotOpen) when the per-user copy is needed but cannot be
// made. Never creates a word book from scratch.
QString wordBookPath(const QString& programFolder = QCoreApplication::applicationDirPath());

} // namespace wordbook
