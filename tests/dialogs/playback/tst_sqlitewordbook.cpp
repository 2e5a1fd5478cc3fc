#include "common/settings/settings.h"
#include "dialogs/playback/playbackengine.h"
#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/playback/textcut.h"
#include "dialogs/sentences/sentencetable.h"
#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/sqlitehandle.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

using playback::BookFailure;
using playback::PlaybackEngine;
using playback::SqliteWordBook;
using wordbooktest::makeBook;
using wordbooktest::Pair;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// The longest a pick may keep the window's thread, whatever the book.
constexpr qint64 kLongestPickMs = 100;

// A book another process holds locked until released.
class BookLocker final
{
public:
    explicit BookLocker(const QString& path)
    {
        m_child.start(QCoreApplication::applicationDirPath() + "/wordbook_child", {"lock", path});
        if (!m_child.waitForStarted() || !m_child.waitForReadyRead(5000) ||
            m_child.readLine().trimmed() != "locked")
            throw std::runtime_error("cannot lock the book");
    }
    ~BookLocker() { release(); }
    void release()
    {
        if (m_child.state() == QProcess::NotRunning)
            return;
        m_child.closeWriteChannel();
        m_child.waitForFinished(5000);
    }

private:
    QProcess m_child;
};

// A playback engine on a real book beside a program folder.
struct BookRig {
    settings::Settings values;
    playbacktest::FakeView view;
    playbacktest::FixedRandom random;
    playbacktest::FakeMessages messages;
    SqliteWordBook book;
    PlaybackEngine engine{values, view,     random,
                          book,   messages, sentences::SentenceTable::instance()};

    explicit BookRig(const QString& programFolder) : book(programFolder)
    {
        values.topic = 16;
        values.sequentialOrder = 1;
        values.position = 11601;
        values.englishSeconds = 3;
    }

    // Picks once; returns how long it kept the thread.
    qint64 timedPick()
    {
        QElapsedTimer clock;
        clock.start();
        engine.pickNextPair();
        return clock.elapsed();
    }
};

// Runs check in a child process whose address space is limited to kibibytes,
// as `ulimit -v` does; returns the child's exit code, or -signal if it died.
int exitCodeUnderMemoryLimit(rlim_t kibibytes, const std::function<bool()>& check)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlimit limit{kibibytes * 1024, kibibytes * 1024};
        bool ok = false;
        if (setrlimit(RLIMIT_AS, &limit) == 0) {
            try {
                ok = check();
            } catch (...) {
                ok = false;
            }
        }
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child)
        return -1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

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

    // Whatever is in the book's place, a pick says why it cannot read it, once
    // for each cause, keeps the window's thread at most 100 ms, plays the
    // stand-by group and leaves the file as it was; once the book is sound
    // again, the next pick plays it.
    void unreadableBookSaysWhyOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("failureNumber");
        QTest::newRow("missing") << "missing" << int(BookFailure::Missing);
        QTest::newRow("locked") << "locked" << int(BookFailure::Locked);
        QTest::newRow("truncated") << "truncated" << int(BookFailure::Damaged);
        QTest::newRow("damaged pages") << "damaged pages" << int(BookFailure::Damaged);
        QTest::newRow("empty file") << "empty file" << int(BookFailure::NotAWordBook);
        QTest::newRow("random bytes") << "random bytes" << int(BookFailure::NotAWordBook);
        QTest::newRow("foreign table") << "foreign table" << int(BookFailure::NotAWordBook);
        QTest::newRow("a folder") << "folder" << int(BookFailure::Unreadable);
    }

    void unreadableBookSaysWhyOnce()
    {
        QFETCH(QString, kind);
        QFETCH(int, failureNumber);
        const auto failure = BookFailure(failureNumber);
        const QString dir = folder("broken");
        QList<Pair> pairs;
        for (int i = 0; i < 2000; ++i)
            pairs.append({QString("word %1").arg(i), QString("слово %1").arg(i)});
        const QString path = makeBook(dir, pairs);
        {
            // Everything in the file itself, so cutting or overwriting it damages it.
            const auto db = wordbooktest::openRaw(path);
            wordbooktest::execRaw(db.get(), "PRAGMA journal_mode=DELETE");
        }
        QByteArray bytes = wordbooktest::fileBytes(path);
        std::unique_ptr<BookLocker> locker;
        const auto writeBook = [&](const QByteArray& content) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(content);
        };
        if (kind == "missing") {
            QFile::remove(path);
        } else if (kind == "locked") {
            locker = std::make_unique<BookLocker>(path);
        } else if (kind == "truncated") {
            writeBook(bytes.left(bytes.size() / 2));
        } else if (kind == "damaged pages") {
            // The later half holds the table's last pages, which a count reads.
            QRandomGenerator noise(11);
            for (qsizetype i = bytes.size() / 2; i < bytes.size(); ++i)
                bytes[i] = char(noise.bounded(256));
            writeBook(bytes);
        } else if (kind == "empty file") {
            writeBook({});
        } else if (kind == "random bytes") {
            QRandomGenerator noise(7);
            QByteArray random(8192, Qt::Uninitialized);
            for (char& byte : random)
                byte = char(noise.bounded(256));
            writeBook(random);
        } else if (kind == "foreign table") {
            writeBook({});
            const auto db = wordbooktest::openRaw(path);
            wordbooktest::execRaw(db.get(), "CREATE TABLE Word (id INTEGER, text TEXT)");
        } else if (kind == "folder") {
            QFile::remove(path);
            QDir().mkpath(path);
        }
        const QByteArray before = wordbooktest::fileBytes(path);

        BookRig rig(dir);
        for (int pick = 0; pick < 3; ++pick) {
            QVERIFY2(rig.timedPick() <= kLongestPickMs, "a pick froze the window");
            QCOMPARE(rig.book.failure(), failure);
        }
        QCOMPARE(rig.messages.shown,
                 QStringList{PlaybackEngine::bookFailureMessage(failure, path)});
        QVERIFY(!rig.messages.shown.first().contains(PlaybackEngine::kEmptyBook));
        QCOMPARE(rig.engine.russian(), *sentences::SentenceTable::instance().string(11603));
        QCOMPARE(wordbooktest::fileBytes(path), before);
        QVERIFY(!QFile::exists(path + "-wal"));

        if (locker) {
            locker->release();
        } else {
            QDir(path).removeRecursively();
            makeBook(dir, pairs);
        }
        rig.engine.pickNextPair();
        QCOMPARE(rig.book.failure(), BookFailure::None);
        QCOMPARE(rig.engine.russian(), QString("слово 0"));
        QCOMPARE(rig.messages.shown.size(), 1);
    }

    // A book the learner keeps in rollback-journal mode stays so: playing it
    // and opening it in the editor leave every byte as it was.
    void rollbackJournalBookKeepsItsBytes()
    {
        const QString path = makeBook(folder("journal"), {{"Yes", "Да"}, {"No", "Нет"}});
        {
            const auto db = wordbooktest::openRaw(path);
            wordbooktest::execRaw(db.get(), "PRAGMA journal_mode=DELETE");
        }
        const QByteArray before = wordbooktest::fileBytes(path);
        {
            SqliteWordBook book(QFileInfo(path).path());
            QCOMPARE(book.openAndCount(), 2);
            book.bind();
            QCOMPARE(walk(book, 3), (QStringList{"Да", "Нет", "Да"}));
            wordbook::Connection editor(path, wordbook::ConnectionKind::Exclusive);
            wordbook::Recordset words = editor.openRecordset(wordbooktest::EditorSql);
            for (words.moveFirst(); !words.eof(); words.moveNext())
                QVERIFY(!words.field("Russian").toString().isEmpty());
            QCOMPARE(book.openAndCount(), 2);
            book.bind();
        }
        QCOMPARE(wordbooktest::fileBytes(path), before);
        QVERIFY(!QFile::exists(path + "-wal"));

        // The program's own book, a copy of the shipped one, is in WAL mode,
        // so the editor's writes never make the playback wait.
        const auto own = wordbooktest::openRaw(makeBook(folder("own"), {{"Yes", "Да"}}));
        sqlite3_stmt* raw = nullptr;
        QCOMPARE(sqlite3_prepare_v2(own.get(), "PRAGMA journal_mode", -1, &raw, nullptr),
                 SQLITE_OK);
        const wordbook::StatementHandle mode(raw);
        QCOMPARE(sqlite3_step(raw), SQLITE_ROW);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0))),
                 QByteArray("wal"));
    }

    // A huge text is read only as far as the strip shows it, plus one
    // character that tells it was cut: never converted whole, at the first
    // reading of a record or after stepping back to it.
    void hugeTextIsReadOnlyAsFarAsShown()
    {
        const QString russian(5'000'000, QChar(u'ж'));
        const QString english = QString(9'999'999, QChar(u'w')) + QChar(u'!');
        SqliteWordBook book(
            QFileInfo(makeBook(folder("huge"), {{english, russian}, {"Hello", "Привет"}})).path());
        QCOMPARE(book.openAndCount(), 2);
        book.bind();
        const qsizetype shown = playback::kLongestShownText + 1;
        for (int step = 0; step < 3; ++step, book.step()) {
            if (step == 1) {
                QCOMPARE(book.russian(), QString("Привет"));
                continue;
            }
            QCOMPARE(book.russian(), russian.left(shown));
            QCOMPARE(book.english(), english.left(shown));
        }
    }

    // A book padded to 4 GB (a sparse file: no disk) in a process limited as
    // `ulimit -v 4000000` does: the playback and the editor's cursor read it,
    // reserving nothing from the file's size.
    void paddedBookPlaysUnderAMemoryLimit()
    {
        if (kAddressSanitizer)
            QSKIP("AddressSanitizer reserves more address space than the limit allows");
        const QString path = makeBook(folder("padded"), {{"Yes", "Да"}, {"No", "Нет"}});
        {
            QFile file(path);
            QVERIFY(file.resize(qint64(4) << 30));
        }
        const int exitCode = exitCodeUnderMemoryLimit(4000000, [&] {
            SqliteWordBook book(QFileInfo(path).path());
            if (book.openAndCount() != 2)
                return false;
            book.bind();
            if (walk(book, 3) != QStringList{"Да", "Нет", "Да"})
                return false;
            wordbook::Connection editor(path, wordbook::ConnectionKind::Exclusive);
            wordbook::Recordset words = editor.openRecordset(wordbooktest::EditorSql);
            return words.recordCount() == 2 && words.field("English").toString() == "No";
        });
        QCOMPARE(exitCode, 0);
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
