#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// The checks behind tst_designnames: design names (Form1, Label2, Timer5,
// Data1, xp_canvas, cmdNext, ...) used as identifiers or in file names, and
// settings members spelt like the stored keys.
namespace designnames {

// Source text with every comment and every string and character literal
// blanked out; line breaks stay, so line numbers still hold.
QString codeOnly(QStringView source);

// "line: name" for every design name used as an identifier in source.
QStringList designNamesIn(QStringView source);

// Whether a file name (no folder) carries a design name.
bool isDesignFileName(const QString& fileName);

// Every file below root, relative to it, leaving out build trees (top-level
// build* folders and any folder holding a CMakeCache.txt) and hidden folders.
QStringList sourceFiles(const QString& root);

// The texts of the keys header: every stored key, the section and the like.
QStringList storedKeys(QStringView keysHeader);

// The member names of struct Settings in the settings header.
QStringList settingsMembers(QStringView settingsHeader);

} // namespace designnames
