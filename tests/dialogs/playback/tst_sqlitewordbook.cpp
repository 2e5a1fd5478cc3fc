#include "dialogs/playback/sqlitewordbook.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QtTest>

using playback::SqliteWordBook;
using wordbooktest::makeBook;
using wordbooktest::Pair;

namespace {

QString folder(const char* name)
{
    return testsupport::TestEnvironment::instance().dataHome() + "/" + name;
}

// The Russian texts the bound cursor shows over count steps, starting with its record.
QStringList walk(SqliteWordBook& book, int count)
{
    QStringList seen{book.russian()};
    for (int i = 1; i < count; ++i) {
        book.step();
        seen << book.russian();
    }
    return seen;
}

} // namespace

class TestSqliteWordBook : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void missingOrEmptyBookCountsZero()
    {
        const QString missing = folder("missing");
        QDir().mkpath(missing);
        SqliteWordBook none(missing);
        QCOMPARE(none.openAndCount(), 0);

        SqliteWordBook empty(QFileInfo(makeBook(folder("empty"), {})).path());
        QCOMPARE(empty.openAndCount(), 0);
        empty.bind();
        empty.step(); // no first record to go to: must not throw
        QCOMPARE(empty.russian(), QString());
    }

    void oneRecordIsShownAtEveryStep()
    {
        SqliteWordBook book(QFileInfo(makeBook(folder("one"), {{"Hello", "Привет"}})).path());
        QCOMPARE(book.openAndCount(), 1);
        book.bind();
        QCOMPARE(walk(book, 4), QStringList(4, "Привет"));
        QCOMPARE(book.english(), QString("Hello"));
    }

    void stepsCycleInIndexOrderAndKeepTheirPlace()
    {
        // Inserted out of alphabetical order: the book follows `index`.
        const QList<Pair> pairs{{"Yes", "Да"}, {"No", "Нет"}, {"Bye", "Пока"}};
        SqliteWordBook book(QFileInfo(makeBook(folder("three"), pairs)).path());
        QCOMPARE(book.openAndCount(), 3);
        book.bind();
        QCOMPARE(walk(book, 5), (QStringList{"Да", "Нет", "Пока", "Да", "Нет"}));
        // The next pick binds again; the bound cursor goes on from where it was.
        QCOMPARE(book.openAndCount(), 3);
        book.bind();
        QCOMPARE(book.russian(), QString("Нет"));
    }

    void growingBookIsReboundInPlace()
    {
        const QString path = makeBook(folder("grow"), {{"Yes", "Да"}, {"No", "Нет"}});
        SqliteWordBook book(QFileInfo(path).path());
        book.openAndCount();
        book.bind();
        book.step();
        QCOMPARE(book.russian(), QString("Нет"));
        {
            const auto db = wordbooktest::openRaw(path);
            wordbooktest::insertRaw(db.get(), {{"Bye", "Пока"}});
        }
        QCOMPARE(book.openAndCount(), 3);
        book.bind();
        QCOMPARE(walk(book, 3), (QStringList{"Нет", "Пока", "Да"}));
    }

    void failedOpenCountsTheCursorStillHeld()
    {
        const QString path = makeBook(folder("held"), {{"Yes", "Да"}, {"No", "Нет"}});
        SqliteWordBook book(QFileInfo(path).path());
        QCOMPARE(book.openAndCount(), 2);
        for (const char* suffix : {"", "-wal", "-shm"})
            QFile::remove(path + QLatin1String(suffix));
        QCOMPARE(book.openAndCount(), 2);

        SqliteWordBook fresh(QFileInfo(path).path());
        QCOMPARE(fresh.openAndCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSqliteWordBook)
#include "tst_sqlitewordbook.moc"
