#include "common/settings/inifilebackend.h"
#include "common/settings/settingsstore.h"
#include "common/settings/storeproblemreporter.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using settings::SettingsStore;

namespace {

struct RecordingReporter final : settings::StoreProblemReporter {
    explicit RecordingReporter(QStringList& messages) : messages(messages) {}
    void report(const QString& message) override { messages << message; }
    QStringList& messages;
};

// A store on the per-user file whose messages land in messages.
std::unique_ptr<SettingsStore> reportingStore(QStringList& messages)
{
    auto store = std::make_unique<SettingsStore>();
    store->setProblemReporter(std::make_unique<RecordingReporter>(messages));
    return store;
}

QString settingsPath()
{
    return SettingsStore::defaultFileName();
}

void makeSettingsFolder()
{
    QDir().mkpath(QFileInfo(settingsPath()).absolutePath());
}

void writeFile(const QString& path, const QByteArray& text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(text);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the other program's store: settings_writer ARGS; returns its output.
QString otherProgram(const QStringList& args)
{
    QProcess process;
    process.start(QCoreApplication::applicationDirPath() + "/settings_writer", args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<settings_writer failed>");
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Bytes this process has read and written so far, as the kernel counts them.
std::pair<qint64, qint64> bytesReadAndWritten()
{
    qint64 read = -1;
    qint64 written = -1;
    const QList<QByteArray> lines = readFile("/proc/self/io").split('\n');
    for (const QByteArray& line : lines) {
        if (line.startsWith("rchar: "))
            read = line.mid(7).toLongLong();
        else if (line.startsWith("wchar: "))
            written = line.mid(7).toLongLong();
    }
    return {read, written};
}

// What a path is, without following a last link: "link -> target", "pipe", ...
QString kindOf(const QString& path)
{
    struct stat status {
    };
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("missing");
    if (S_ISLNK(status.st_mode))
        return "link -> " + QFileInfo(path).symLinkTarget();
    if (S_ISFIFO(status.st_mode))
        return QStringLiteral("pipe");
    if (S_ISDIR(status.st_mode))
        return QStringLiteral("folder");
    if (S_ISCHR(status.st_mode))
        return QStringLiteral("device");
    return QStringLiteral("file");
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void storesUnderTheSharedSection()
    {
        SettingsStore store;
        store.writeSetting("ce", "1");
        QCOMPARE(store.fileName(),
                 testsupport::TestEnvironment::instance().configHome() + "/Velkor/Velkor.ini");
        QFile file(store.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY2(text.contains("[Lintavo01]"), text.constData());
        QVERIFY2(text.contains("ce=1"), text.constData());
    }

    void absentKeyGivesDefault()
    {
        SettingsStore store;
        QCOMPARE(store.readSetting("xxx"), QString());
        QVERIFY(store.readSetting("xxx").isEmpty());
        QCOMPARE(store.readSetting("Agent", "Merlin"), QString("Merlin"));
        store.writeSetting("Agent", "");
        QCOMPARE(store.readSetting("Agent", "Merlin"), QString());
    }

    void keysIgnoreCaseAndKeepOneSpelling()
    {
        SettingsStore store;
        store.writeSetting("agent", "Merlin");
        store.writeSetting("Agent", "Genie");
        QCOMPARE(store.readSetting("agent"), QString("Genie"));
        QCOMPARE(store.readSetting("AGENT"), QString("Genie"));
        QCOMPARE(store.storedKeys(), QStringList{"agent"});

        // A second program (another store object) sees the value under any case.
        SettingsStore other;
        other.writeSetting("AGENT", "Robby");
        QCOMPARE(store.readSetting("Agent"), QString("Robby"));
        QCOMPARE(store.storedKeys().size(), 1);
    }

    void bothSpellingsInTheFileCollapseOnWrite()
    {
        // A file edited by hand may hold both spellings; the next write keeps one.
        {
            SettingsStore store;
            store.writeSetting("ce", "0");
        }
        const QString path = SettingsStore().fileName();
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[Lintavo01]\nagent=Merlin\nAgent=Genie\n");
        file.close();
        SettingsStore store;
        store.writeSetting("AGENT", "Robby");
        QCOMPARE(store.storedKeys().size(), 1);
        QCOMPARE(store.readSetting("agent"), QString("Robby"));
    }

    void textRoundTripsExactly()
    {
        SettingsStore store;
        const QStringList values = {" spaced ",  "Мерлин",      "a=b;c",
                                    "%percent%", "@at",         "back\\slash",
                                    "quote\"d",  "line\nbreak", QString(300, u'x')};
        for (int i = 0; i < values.size(); ++i)
            store.writeSetting(QString("k%1").arg(i), values.at(i));
        SettingsStore reader;
        for (int i = 0; i < values.size(); ++i)
            QCOMPARE(reader.readSetting(QString("k%1").arg(i)), values.at(i));
    }

    void twoProcessesWritingAtOnceLoseNothing()
    {
        const QString writer = QCoreApplication::applicationDirPath() + "/settings_writer";
        QVERIFY(QFile::exists(writer));
        QProcess a, b;
        a.start(writer, {"alpha", "500"});
        b.start(writer, {"beta", "500"});
        QVERIFY(a.waitForFinished(60000));
        QVERIFY(b.waitForFinished(60000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        SettingsStore store;
        const QStringList keys = store.storedKeys();
        QCOMPARE(keys.size(), 1000);
        for (int i = 0; i < 500; ++i) {
            QCOMPARE(store.readSetting(QString("alpha%1").arg(i)), QString::number(i));
            QCOMPARE(store.readSetting(QString("beta%1").arg(i)), QString::number(i));
        }
    }

    void damagedFileDoesNotCrash_data()
    {
        QTest::addColumn<QByteArray>("content");
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator rng(7);
        for (char& c : garbage)
            c = char(rng.bounded(256));
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("10 MB line") << ("[Lintavo01]\nce=" + QByteArray(10 * 1024 * 1024, 'x'));
        QTest::newRow("invalid UTF-8") << QByteArray("[Lintavo01]\nagent=\xff\xfe\xc3(\nce=1\n");
        QTest::newRow("unterminated section") << QByteArray("[Lintav");
    }

    void damagedFileDoesNotCrash()
    {
        QFETCH(QByteArray, content);
        const QString path = SettingsStore().fileName();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        SettingsStore store;
        store.readSetting("agent");
        store.readSetting("ce");
        store.writeSetting("n", "1");
        QCOMPARE(store.readSetting("n"), QString("1"));
    }

    // A store that stays open while the other program writes: each read sees
    // the newest value, the key list has it, and whichever program writes a
    // key in whatever case, the file holds it under one spelling.
    void longLivedStoreFollowsTheOtherProgram()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        const QString context = QString("seed %1").arg(seed);
        const QStringList names = {"agent", "autoread", "ce"};
        // Case-folded key -> (spelling in the file, value).
        QMap<QString, std::pair<QString, QString>> model;
        SettingsStore store;
        for (int round = 0; round < 40; ++round) {
            const QString name = names.at(rng.bounded(names.size()));
            QString spelling = name;
            for (QChar& c : spelling) {
                if (rng.bounded(2))
                    c = c.toUpper();
            }
            const QString value = QString("v%1").arg(round);
            if (rng.bounded(2)) {
                QCOMPARE(otherProgram({"--set", spelling, value}), QString());
            } else {
                store.writeSetting(spelling, value);
            }
            const QString kept = model.contains(name) ? model.value(name).first : spelling;
            model.insert(name, {kept, value});
            // Not every write is followed by a look, so the store also writes
            // on top of what the other program wrote since it last read.
            if (round != 39 && rng.bounded(2))
                continue;

            QStringList spellings;
            for (const auto& [stored, text] : model)
                spellings << stored;
            std::sort(spellings.begin(), spellings.end());
            QVERIFY2(store.storedKeys() == spellings,
                     qPrintable(context + ": " + store.storedKeys().join(",")));
            for (const auto& [stored, text] : model) {
                QVERIFY2(store.readSetting(stored.toUpper()) == text, qPrintable(context));
                if (rng.bounded(4) == 0)
                    QCOMPARE(otherProgram({"--get", stored.toLower()}), text);
            }
        }
    }

    void unusableFileIsNeverOpened_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("folder") << "folder";
        QTest::newRow("link to a pipe") << "link to pipe";
        QTest::newRow("link to a device") << "link to device";
        QTest::newRow("link to a folder") << "link to folder";
        QTest::newRow("link to itself") << "loop";
        QTest::newRow("device") << "device";
        QTest::newRow("file on the way") << "file on the way";
    }

    // A pipe, a device or a folder in the settings file's place is not
    // opened: reads give the defaults at once, writes are kept for the
    // session only, the learner is told once, and the thing stays as it was.
    void unusableFileIsNeverOpened()
    {
        QFETCH(QString, shape);
        const QString path = settingsPath();
        const QString elsewhere = testsupport::TestEnvironment::instance().root() + "/elsewhere";
        makeSettingsFolder();
        QDir().mkpath(elsewhere);
        const QByteArray native = QFile::encodeName(path);
        if (shape == "pipe") {
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        } else if (shape == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else if (shape == "link to pipe") {
            QCOMPARE(::mkfifo(QFile::encodeName(elsewhere + "/pipe").constData(), 0600), 0);
            QVERIFY(QFile::link(elsewhere + "/pipe", path));
        } else if (shape == "link to device") {
            // Reading it would never end.
            QVERIFY(QFile::link("/dev/zero", path));
        } else if (shape == "link to folder") {
            QVERIFY(QFile::link(elsewhere, path));
        } else if (shape == "loop") {
            QVERIFY(QFile::link(path, path));
        } else if (shape == "device") {
            if (::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0)
                QSKIP("making a device needs root");
        } else if (shape == "file on the way") {
            QDir(QFileInfo(path).absolutePath()).removeRecursively();
            writeFile(QFileInfo(path).absolutePath(), "not a folder");
        }
        const QString before = kindOf(path);

        QStringList messages;
        QElapsedTimer clock;
        clock.start();
        {
            auto store = reportingStore(messages);
            QCOMPARE(store->readSetting("xxx"), QString());
            QCOMPARE(store->readSetting("Agent", "Merlin"), QString("Merlin"));
            QVERIFY(!store->writeSettings({{"xxx", "1"}, {"agent", "Merlin"}}));
            store->writeSetting("n", "3");
            // Not saved, but the session goes on with what it wrote.
            QCOMPARE(store->readSetting("XXX"), QString("1"));
            QCOMPARE(store->readSetting("Agent", "Genie"), QString("Merlin"));
            QCOMPARE(store->readSetting("n"), QString("3"));
            QVERIFY(store->storedKeys().isEmpty());
        }
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(path), qPrintable(messages.first()));
        QCOMPARE(kindOf(path), before);
    }

    void linkToAFileIsFollowedAndKept_data()
    {
        QTest::addColumn<QString>("shape");
        QTest::newRow("relative link") << "relative";
        QTest::newRow("absolute link") << "absolute";
        QTest::newRow("chain of links") << "chain";
        QTest::newRow("link to a file not there yet") << "dangling";
    }

    // Settings kept in a dotfile folder: read through the link, written into
    // the file it points at, and the link stays a link.
    void linkToAFileIsFollowedAndKept()
    {
        QFETCH(QString, shape);
        const QString path = settingsPath();
        const QString dotfiles = testsupport::TestEnvironment::instance().root() + "/dotfiles";
        const QString target = dotfiles + "/Velkor.ini";
        makeSettingsFolder();
        QDir(dotfiles).removeRecursively();
        QDir().mkpath(dotfiles);
        if (shape != "dangling")
            writeFile(target, "[Lintavo01]\nce=1\n");
        if (shape == "relative") {
            QVERIFY(QFile::link("../../dotfiles/Velkor.ini", path));
        } else if (shape == "chain") {
            QVERIFY(QFile::link(target, dotfiles + "/middle.ini"));
            QVERIFY(QFile::link(dotfiles + "/middle.ini", path));
        } else {
            QVERIFY(QFile::link(target, path));
        }
        const QString link = kindOf(path);
        QVERIFY(link.startsWith("link -> "));

        QStringList messages;
        auto store = reportingStore(messages);
        QCOMPARE(store->readSetting("CE"), QString(shape == "dangling" ? "" : "1"));
        QVERIFY(store->writeSettings({{"n", "5"}, {"Agent", "Genie"}}));
        QCOMPARE(kindOf(path), link);
        QCOMPARE(kindOf(target), QString("file"));
        const QByteArray text = readFile(target);
        QVERIFY2(text.contains("n=5") && text.contains("Agent=Genie"), text.constData());
        QCOMPARE(text.contains("ce=1"), shape != "dangling");
        QCOMPARE(otherProgram({"--get", "agent"}), QString("Genie"));
        QVERIFY(messages.isEmpty());
    }

    void lockThatStaysIsWaitedOnForTwoSeconds_data()
    {
        QTest::addColumn<QString>("holder");
        QTest::newRow("a running program") << "running";
        QTest::newRow("another machine") << "elsewhere";
        QTest::newRow("not a lock file") << "pipe";
    }

    // A lock that does not go away costs one wait of at most 2 s; the
    // session then reads but does not write, and says so once.
    void lockThatStaysIsWaitedOnForTwoSeconds()
    {
        QFETCH(QString, holder);
        {
            SettingsStore first;
            QVERIFY(first.writeSettings({{"ce", "1"}}));
        }
        const QString lockName = settingsPath() + ".lock";
        QLockFile held(lockName);
        if (holder == "running") {
            QVERIFY(held.tryLock());
        } else if (holder == "elsewhere") {
            writeFile(lockName, QByteArray::number(QCoreApplication::applicationPid()) +
                                    "\nsettings_writer\nsome-other-machine\n");
        } else {
            QCOMPARE(::mkfifo(QFile::encodeName(lockName).constData(), 0600), 0);
        }

        QStringList messages;
        auto store = reportingStore(messages);
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!store->writeSettings({{"ce", "0"}}));
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited < 3000, qPrintable(QString::number(waited)));
        if (holder != "pipe")
            QVERIFY2(waited >= 1900, qPrintable(QString::number(waited)));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(settingsPath()) && messages.first().contains("locked"),
                 qPrintable(messages.first()));
        QCOMPARE(store->readSetting("ce"), QString("0")); // for this session

        // Read-only for the rest of the session, even once the lock is gone,
        // with no second wait and no second message; reads still follow the file.
        held.unlock();
        QFile::remove(lockName);
        clock.restart();
        QVERIFY(!store->writeSettings({{"n", "4"}}));
        QVERIFY(clock.elapsed() < 500);
        QCOMPARE(messages.size(), 1);
        QCOMPARE(otherProgram({"--set", "rd", "0"}), QString());
        QCOMPARE(store->readSetting("rd"), QString("0"));
        QCOMPARE(SettingsStore().readSetting("ce"), QString("1"));

        // The next session writes again.
        SettingsStore next;
        QVERIFY(next.writeSettings({{"ce", "0"}}));
        QCOMPARE(SettingsStore().readSetting("ce"), QString("0"));
    }

    // A write that does not reach the file says so (to the caller and, once,
    // to the learner) and is not pretended: the file and the next session do
    // not have it, although this session reads it back.
    void failedWriteIsToldOnceAndNotPretended()
    {
        makeSettingsFolder();
        const QString missingFolder = testsupport::TestEnvironment::instance().root() + "/gone";
        QDir(missingFolder).removeRecursively();
        QVERIFY(QFile::link(missingFolder + "/Velkor.ini", settingsPath()));
        QStringList messages;
        auto store = reportingStore(messages);
        QVERIFY(!store->writeSettings({{"ce", "1"}}));
        QVERIFY(!store->writeSettings({{"n", "2"}}));
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages.first().contains(settingsPath()), qPrintable(messages.first()));
        QCOMPARE(store->readSetting("ce"), QString("1"));
        QVERIFY(store->storedKeys().isEmpty());
        QCOMPARE(otherProgram({"--get", "ce"}), QString());

        // Once the place is there again, writes reach it.
        QVERIFY(QDir().mkpath(missingFolder));
        QVERIFY(store->writeSettings({{"rd", "1"}}));
        QCOMPARE(otherProgram({"--get", "rd"}), QString("1"));
        QCOMPARE(messages.size(), 1);
    }

    // A big file (here 2 MB) costs one read while it does not change, and a
    // batch of values rewrites it once, not once per value.
    void bigFileIsReadOnceAndWrittenOncePerBatch()
    {
        QByteArray text = "[Lintavo01]\nce=1\n";
        for (int i = 0; text.size() < 2 * 1024 * 1024; ++i)
            text += "pad" + QByteArray::number(i) + "=" + QByteArray(100, 'x') + "\n";
        writeFile(settingsPath(), text);
        const qint64 size = text.size();

        SettingsStore store;
        QCOMPARE(store.readSetting("ce"), QString("1"));
        auto [read0, written0] = bytesReadAndWritten();
        for (int i = 0; i < 50; ++i)
            QCOMPARE(store.readSetting("CE"), QString("1"));
        auto [read1, written1] = bytesReadAndWritten();
        QVERIFY2(read1 - read0 < size / 10, qPrintable(QString::number(read1 - read0)));

        settings::SettingChanges batch;
        for (int i = 0; i < 27; ++i)
            batch.append({QString("k%1").arg(i), QString::number(i)});
        QVERIFY(store.writeSettings(batch));
        auto [read2, written2] = bytesReadAndWritten();
        // A copy, its rewrite and the file itself: a few sizes, not 27.
        QVERIFY2(written2 - written1 < 5 * size, qPrintable(QString::number(written2 - written1)));
        QCOMPARE(store.readSetting("k26"), QString("26"));
        auto [read3, written3] = bytesReadAndWritten();
        QVERIFY2(read3 - read2 < size / 10, qPrintable(QString::number(read3 - read2)));
        QCOMPARE(otherProgram({"--get", "k13"}), QString("13"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
