#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/wordbook/connection.h"
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

    // The editor deletes one pair and adds another: the size stays, yet the
    // next pick must see the new pair and no longer the deleted one. The
    // change may come from this process or from another program.
    void editKeepingTheSizeIsPickedUp_data()
    {
        QTest::addColumn<bool>("sameProcess");
        QTest::newRow("editor connection") << true;
        QTest::newRow("another program") << false;
    }

    void editKeepingTheSizeIsPickedUp()
    {
        QFETCH(bool, sameProcess);
        const QString path = makeBook(folder("swap"), {{"Yes", "Да"}, {"No", "Нет"}});
        SqliteWordBook book(QFileInfo(path).path());
        QCOMPARE(book.openAndCount(), 2);
        book.bind();
        QCOMPARE(book.russian(), QString("Да"));
        if (sameProcess) {
            wordbook::Connection editor(path, wordbook::ConnectionKind::Exclusive);
            wordbook::Recordset words =
                editor.openRecordset(QStringLiteral("select * from word ORDER BY English"));
            words.deleteCurrent(); // "No", first in English order
            words.addNew();
            words.setField(QStringLiteral("English"), QStringLiteral("Bye"));
            words.setField(QStringLiteral("Russian"), QStringLiteral("Пока"));
            words.update();
        } else {
            const auto db = wordbooktest::openRaw(path);
            wordbooktest::execRaw(db.get(), "DELETE FROM Word WHERE English = 'No'");
            wordbooktest::insertRaw(db.get(), {{"Bye", "Пока"}});
        }
        QCOMPARE(book.openAndCount(), 2);
        book.bind();
        QCOMPARE(walk(book, 4), (QStringList{"Да", "Пока", "Да", "Пока"}));
        // Nothing changed since: the bound cursor goes on where it was.
        book.openAndCount();
        book.bind();
        QCOMPARE(book.russian(), QString("Пока"));
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
