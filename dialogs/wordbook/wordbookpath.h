#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace wordbook {

// The file name of the word book, in the program folder and in the per-user copy.
inline constexpr char16_t WordBookFileName[] = u"dialog.ocx";

// Where a system installation puts programs. Whatever lies below them belongs
// to the package manager, even for the superuser, who may write anywhere.
inline QStringList systemInstallFolders()
{
    return {QStringLiteral("/usr"), QStringLiteral("/opt")};
}

// True when the program folder may hold the learner's book: the user owns it
// and may write to it, and it is not part of a system installation.
bool programFolderHoldsTheBook(const QString& programFolder,
                               const QStringList& systemFolders = systemInstallFolders());

// The one place that decides which word book file the programs use.
//
// When the program folder may hold the book (a build, a portable copy) the
// book is its "dialog.ocx". Otherwise (a system installation, or a folder of
// someone else's) the book is the per-user copy $XDG_DATA_HOME/Velkor/dialog.ocx,
// made from the shipped file the first time it is needed and kept from then
// on, so the learner's pairs (and the database's journal files beside them)
// are never written where they would be refused, lost, or left behind when
// the package is removed.
//
// Throws DbError (CannotOpen) when the per-user copy is needed but cannot be
// made. Never creates a word book from scratch.
QString wordBookPath(const QString& programFolder = QCoreApplication::applicationDirPath(),
                     const QStringList& systemFolders = systemInstallFolders());

} // namespace wordbook
