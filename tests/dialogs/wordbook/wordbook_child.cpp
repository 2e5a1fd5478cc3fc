// A second process for the word book tests.
//   wordbook_child save <book> <first>  saves pairs first, first+1, ... through the
//       editor's cursor, printing each number once its update() has returned, until killed.
//   wordbook_child lock <book>  holds the book exclusively locked, prints "locked",
//       and lets go when its standard input closes.
//   wordbook_child hold <book>  holds the book's write lock while others keep it
//       open, prints "holding", and lets go when its standard input closes.
//   wordbook_child place <program folder> <system folder>  prints the book the
//       programs would use there, then saves to it the pair ("owl <folder name>", "сова").
#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/wordbookpath.h"

#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int save(const QString& book, long long first)
{
    wordbook::Connection connection(book, wordbook::ConnectionKind::Exclusive);
    wordbook::Recordset words = connection.openRecordset("select * from word ORDER BY English");
    for (long long i = first;; ++i) {
        words.addNew();
        words.setField("English", QStringLiteral("word %1").arg(i));
        words.setField("Russian", QStringLiteral("слово %1").arg(i));
        words.update();
        std::printf("%lld\n", i);
        std::fflush(stdout);
    }
}

int lock(const char* book, const char* sql, const char* done)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(book, &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        return 1;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    std::printf("%s\n", rc == SQLITE_OK ? done : "failed");
    std::fflush(stdout);
    char buffer[64];
    while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
    }
    sqlite3_close_v2(db);
    return 0;
}

int place(const QString& programFolder, const QString& systemFolder)
{
    const QString book = wordbook::wordBookPath(programFolder, {systemFolder});
    std::printf("%s\n", QFile::encodeName(book).constData());
    std::fflush(stdout);
    wordbook::Connection connection(book, wordbook::ConnectionKind::Exclusive);
    wordbook::Recordset words = connection.openRecordset("select * from word ORDER BY English");
    words.addNew();
    words.setField("English", QStringLiteral("owl ") + QFileInfo(programFolder).fileName());
    words.setField("Russian", QStringLiteral("сова"));
    words.update();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc == 4 && std::strcmp(argv[1], "place") == 0)
            return place(QFile::decodeName(argv[2]), QFile::decodeName(argv[3]));
        if (argc == 4 && std::strcmp(argv[1], "save") == 0)
            return save(QFile::decodeName(argv[2]), std::atoll(argv[3]));
        if (argc == 3 && std::strcmp(argv[1], "lock") == 0)
            return lock(argv[2], "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", "locked");
        if (argc == 3 && std::strcmp(argv[1], "hold") == 0)
            return lock(argv[2], "BEGIN IMMEDIATE;", "holding");
    } catch (const wordbook::DbError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 2;
}
