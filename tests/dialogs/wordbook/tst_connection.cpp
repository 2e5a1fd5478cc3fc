#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/statementtext.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <functional>

using namespace wordbook;
using namespace wordbooktest;

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString childProgram()
{
    return QCoreApplication::applicationDirPath() + "/wordbook_child";
}

} // namespace

class TestConnection : public QObject
{
    Q_OBJECT

    QString m_dir;

private slots:
    void init()
    {
        testsupport::TestEnvironment::instance().reset();
        m_dir = testsupport::TestEnvironment::instance().dataHome() + "/book";
        QDir().mkpath(m_dir);
    }

    void badFilesFailClearlyAndStayUntouched_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("number");
        QTest::newRow("missing") << "missing" << int(FileNotFound);
        QTest::newRow("empty") << "empty" << int(NotAWordBook);
        QTest::newRow("random bytes") << "random" << int(NotAWordBook);
        QTest::newRow("no table Word") << "other table" << int(NotAWordBook);
        QTest::newRow("Word without Russian") << "wrong columns" << int(NotAWordBook);
        QTest::newRow("a folder") << "folder" << int(CannotOpen);
    }

    void badFilesFailClearlyAndStayUntouched()
    {
        QFETCH(QString, kind);
        QFETCH(int, number);
        const QString path = m_dir + "/dialog.ocx";
        if (kind == "empty") {
            writeFile(path, {});
        } else if (kind == "random") {
            QByteArray noise(8192, Qt::Uninitialized);
            QRandomGenerator generator(7);
            for (char& byte : noise)
                byte = char(generator.bounded(256));
            writeFile(path, noise);
        } else if (kind == "other table" || kind == "wrong columns") {
            writeFile(path, {});
            const RawDb db = openRaw(path);
            execRaw(db.get(),
                    kind == "other table"
                        ? "CREATE TABLE Notes (text TEXT)"
                        : "CREATE TABLE Word (\"index\" INTEGER PRIMARY KEY, English TEXT)");
        } else if (kind == "folder") {
            QDir().mkpath(path);
        }
        const QStringList filesBefore = QDir(m_dir).entryList(QDir::Files);
        const QByteArray bytesBefore = fileBytes(path);

        for (ConnectionKind connectionKind :
             {ConnectionKind::Shared, ConnectionKind::BoundSource, ConnectionKind::Exclusive})
            QCOMPARE(failureOf([&] { Connection connection(path, connectionKind); }), number);

        // Nothing was created, converted or repaired.
        QCOMPARE(QDir(m_dir).entryList(QDir::Files), filesBefore);
        QCOMPARE(fileBytes(path), bytesBefore);
    }

    void readOnlyFileReadsButRefusesWrites()
    {
        const QList<Pair> pairs{{"cat", "кошка"}, {"dog", "собака"}};
        const QString path = makeBook(m_dir, pairs);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        const QByteArray before = fileBytes(path);

        Connection connection(path, ConnectionKind::Exclusive);
        QVERIFY(connection.isReadOnly());
        Recordset words = connection.openRecordset(PlaybackSql);
        QCOMPARE(words.recordCount(), 2);
        QCOMPARE(words.field("Russian").toString(), QString("кошка"));

        words.addNew();
        words.setField("English", "cow");
        words.setField("Russian", "корова");
        QCOMPARE(failureOf([&] { words.update(); }), int(ReadOnlyBook));
        words.moveFirst();
        QCOMPARE(failureOf([&] { words.deleteCurrent(); }), int(ReadOnlyBook));
        words.edit();
        words.setField("Russian", "кот");
        QCOMPARE(failureOf([&] { words.update(); }), int(ReadOnlyBook));
        QCOMPARE(words.recordCount(), 2);
        QCOMPARE(fileBytes(path), before);
    }

    void fileLockedByAnotherProcess()
    {
        const QString path = makeBook(m_dir, {{"cat", "кошка"}});
        QProcess locker;
        locker.start(childProgram(), {"lock", path});
        QVERIFY(locker.waitForStarted());
        QVERIFY(locker.waitForReadyRead(5000));
        QCOMPARE(locker.readLine().trimmed(), QByteArray("locked"));

        QCOMPARE(failureOf([&] { Connection connection(path); }), int(FileInUse));

        locker.closeWriteChannel();
        QVERIFY(locker.waitForFinished(5000));
        Connection connection(path);
        QCOMPARE(connection.openRecordset(PlaybackSql).recordCount(), 1);
    }

    void playbackReadsWhileTheEditorWrites()
    {
        QList<Pair> pairs;
        for (int i = 0; i < 20; ++i)
            pairs.append({QString("word %1").arg(i), QString("слово %1").arg(i)});
        const QString path = makeBook(m_dir, pairs);

        Connection shared(path, ConnectionKind::Shared);
        Connection bound(path, ConnectionKind::BoundSource);
        Recordset playback = bound.openRecordset(PlaybackSql);
        Connection exclusive(path, ConnectionKind::Exclusive);
        Recordset editor = exclusive.openRecordset(EditorSql);

        // Interleave: every editor write is followed by the playback stepping,
        // reading, and reopening its counting cursor.
        for (int i = 0; i < 40; ++i) {
            editor.addNew();
            editor.setField("English", QString("new %1").arg(i));
            editor.setField("Russian", QString("новое %1").arg(i));
            editor.update();
            playback.moveNext();
            if (playback.eof())
                playback.moveFirst();
            QVERIFY(!playback.field("Russian").toString().isEmpty());
            QCOMPARE(shared.openRecordset(PlaybackSql).recordCount(), 20 + i + 1);
        }
        // The playback's membership was fixed when it opened.
        QCOMPARE(playback.recordCount(), 20);

        // A changed text shows up in the playback; a deleted record is reported.
        playback.moveFirst();
        editor.setBookmark(playback.bookmark());
        editor.edit();
        editor.setField("Russian", "исправлено");
        editor.update();
        QCOMPARE(playback.field("Russian").toString(), QString("исправлено"));
        editor.deleteCurrent();
        QCOMPARE(failureOf([&] { playback.field("Russian"); }), int(RecordDeleted));
        playback.moveNext();
        QCOMPARE(playback.field("English").toString(), QString("word 1"));
    }

    void statementsAreTakenAsWritten()
    {
        Connection connection(makeBook(m_dir, {{"cat", "кошка"}}));
        for (const char* sql : {PlaybackSql, EditorSql, "SELECT * FROM WORD ORDER BY INDEX"})
            QCOMPARE(connection.openRecordset(sql).field("English").toString(), QString("cat"));
        QCOMPARE(failureOf([&] { connection.openRecordset("DELETE FROM Word"); }),
                 int(EngineFailure));
        QCOMPARE(connection.openRecordset(PlaybackSql).recordCount(), 1);

        // Only the bare word is quoted: literals, quoted names and longer words stay.
        QCOMPARE(quoteIndexIdentifier("SELECT * FROM Word WHERE English = 'index' ORDER BY index;"),
                 QString("SELECT * FROM Word WHERE English = 'index' ORDER BY \"index\";"));
        QCOMPARE(quoteIndexIdentifier("SELECT \"index\", [index], indexes, Index FROM Word"),
                 QString("SELECT \"index\", [index], indexes, \"Index\" FROM Word"));
        QCOMPARE(quoteIndexIdentifier("SELECT 'it''s index' -- index\n, index"),
                 QString("SELECT 'it''s index' -- index\n, \"index\""));

        // The whole table in key order is read key by key at opening.
        for (const char* whole : {PlaybackSql, "select *\nfrom word -- all\n order by INDEX asc"})
            QVERIFY2(selectsAllInKeyOrder(whole), whole);
        for (const char* other :
             {"SELECT * FROM Word ORDER BY index DESC", "SELECT * FROM Word",
              "SELECT * FROM Word ORDER BY \"index\"",
              "SELECT * FROM Word WHERE index > 3 ORDER BY index", EditorSql,
              "SELECT English FROM Word ORDER BY index", "SELECT * FROM Other ORDER BY index"})
            QVERIFY2(!selectsAllInKeyOrder(other), other);

        // An ORDER BY on the bare English ignores case, ties broken byte by byte.
        QCOMPARE(sqlForStatement(EditorSql),
                 QString("select * from word ORDER BY English COLLATE NOCASE, English"));
        QCOMPARE(caselessEnglishOrder("SELECT * FROM Word order by  english DESC, index LIMIT 5"),
                 QString("SELECT * FROM Word order by  english COLLATE NOCASE DESC, english DESC, "
                         "index LIMIT 5"));
        for (const char* unchanged :
             {PlaybackSql, "SELECT * FROM Word ORDER BY English COLLATE BINARY",
              "SELECT * FROM Word ORDER BY English || Russian", "SELECT 'ORDER BY English'",
              "SELECT * FROM Word ORDER BY \"English\"", "SELECT * FROM Word WHERE English = 1"})
            QCOMPARE(caselessEnglishOrder(unchanged), QString(unchanged));
        QCOMPARE(caselessEnglishOrder("SELECT * FROM (SELECT * FROM Word ORDER BY English) AS w"),
                 QString("SELECT * FROM (SELECT * FROM Word ORDER BY English COLLATE NOCASE, "
                         "English) AS w"));
    }
};

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
