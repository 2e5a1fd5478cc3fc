#include "common/settings/settingsstore.h"
#include "common/settings/workingfolder.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QtTest>

#include <unistd.h>

using settings::WorkingFolder;

namespace {

// Above the largest process id Linux hands out, so never a live process.
constexpr qint64 kNoProcess = 4194305;

QString runtimeDir()
{
    return testsupport::TestEnvironment::instance().runtimeDir();
}

// The working folders named after process.
QStringList foldersOf(qint64 process)
{
    return QDir(runtimeDir())
        .entryList({WorkingFolder::kNamePrefix + QString::number(process) + u'*'}, QDir::Dirs);
}

// The other program with a store kept open (settings_writer --serve).
struct Holder {
    QProcess process;

    Holder()
    {
        process.start(QCoreApplication::applicationDirPath() + "/settings_writer", {"--serve"});
    }
    ~Holder()
    {
        process.kill();
        process.waitForFinished();
    }
    // Writes key=value through its store; whether it was saved.
    bool write(const QString& key, const QString& value)
    {
        process.write((key + u'=' + value + u'\n').toUtf8());
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(30000))
                return false;
        }
        return process.readLine() == "1\n";
    }
    QString folder() const
    {
        const QStringList folders = foldersOf(process.processId());
        return folders.size() == 1 ? runtimeDir() + u'/' + folders.first() : QString();
    }
};

// A lock file that no process holds, recording process as its owner (as this
// program would, under its own name) and made an hour ago.
void writeUnheldLock(const QString& path, qint64 process)
{
    QByteArray record;
    {
        QLockFile real(path);
        QVERIFY(real.tryLock(0));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        record = file.readAll();
    }
    record = QByteArray::number(process) + record.mid(record.indexOf('\n'));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(record);
    file.close();
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                             QFileDevice::FileModificationTime));
}

} // namespace

class TestWorkingFolder : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    // A program killed outright leaves its folder; the next store to make one
    // removes it, while a live program's stays and keeps working, even when
    // its lock is old. A program that ends removes its own.
    void killedProgramsFolderGoesLiveOnesStay()
    {
        Holder killed;
        Holder live;
        QVERIFY(killed.write("ce", "1"));
        QVERIFY(live.write("n", "2"));
        const QString killedFolder = killed.folder();
        const QString liveFolder = live.folder();
        QVERIFY(!killedFolder.isEmpty());
        QVERIFY(!liveFolder.isEmpty());
        QFile liveLock(liveFolder + u'/' + WorkingFolder::kLockName);
        QVERIFY(liveLock.open(QIODevice::Append));
        QVERIFY(liveLock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
        liveLock.close();

        killed.process.kill(); // SIGKILL: nothing is cleaned up
        QVERIFY(killed.process.waitForFinished());
        QVERIFY(QFileInfo(killedFolder).isDir());

        settings::SettingsStore store;
        QVERIFY(store.writeSettings({{"rd", "3"}}));
        QVERIFY(!QFileInfo::exists(killedFolder));
        QVERIFY(QFileInfo::exists(liveLock.fileName()));
        QVERIFY(live.write("n", "4"));
        QCOMPARE(store.readSetting("n"), QString("4"));

        // Another store of this process keeps the folder of the first.
        settings::SettingsStore second;
        QVERIFY(second.writeSettings({{"rd", "5"}}));
        QCOMPARE(foldersOf(QCoreApplication::applicationPid()).size(), 2);
        QVERIFY(store.writeSettings({{"rd", "6"}}));
        QCOMPARE(second.readSetting("rd"), QString("6"));

        live.process.closeWriteChannel();
        QVERIFY(live.process.waitForFinished());
        QCOMPARE(live.process.exitCode(), 0);
        QVERIFY(!QFileInfo::exists(liveFolder));
    }

    void onlyAbandonedFoldersOfThisUserGo_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("removed");
        QTest::newRow("lock of an ended process") << "ended lock" << true;
        QTest::newRow("old lock of a reused process id") << "reused lock" << true;
        QTest::newRow("no lock, process ended") << "ended, no lock" << true;
        QTest::newRow("no lock yet, process live") << "live, no lock" << false;
        QTest::newRow("another user's") << "other user" << false;
        QTest::newRow("link to an abandoned folder") << "link" << false;
        QTest::newRow("no process id in the name") << "no id" << false;
        QTest::newRow("an older build's folder") << "older" << false;
    }

    void onlyAbandonedFoldersOfThisUserGo()
    {
        QFETCH(QString, kind);
        QFETCH(bool, removed);
        const QString prefix = runtimeDir() + u'/' + WorkingFolder::kNamePrefix;
        const QString ended = prefix + QString::number(kNoProcess) + "-abcdef";
        const qint64 self = QCoreApplication::applicationPid();
        const QString elsewhere = testsupport::TestEnvironment::instance().root() + "/elsewhere";
        QString name;
        if (kind == "ended lock" || kind == "reused lock") {
            name = kind == "ended lock" ? ended : prefix + QString::number(self) + "-abcdef";
            QVERIFY(QDir().mkpath(name));
            writeUnheldLock(name + u'/' + WorkingFolder::kLockName,
                            kind == "ended lock" ? kNoProcess : self);
        } else if (kind == "ended, no lock" || kind == "other user") {
            name = ended;
            QVERIFY(QDir().mkpath(name));
            if (kind == "other user" &&
                ::chown(QFile::encodeName(name).constData(), 65534, 65534) != 0)
                QSKIP("another user's folder needs root to make");
        } else if (kind == "live, no lock") {
            name = prefix + QString::number(self) + "-abcdef";
            QVERIFY(QDir().mkpath(name));
        } else if (kind == "link") {
            QVERIFY(QDir().mkpath(elsewhere));
            name = ended;
            QVERIFY(QFile::link(elsewhere, name));
        } else if (kind == "no id") {
            name = prefix + "abcdef";
            QVERIFY(QDir().mkpath(name));
        } else {
            name = runtimeDir() + "/velkor-abcdef";
            QVERIFY(QDir().mkpath(name));
        }
        QVERIFY(QFileInfo(name).exists());

        WorkingFolder folder;
        QVERIFY(folder.isValid());
        QVERIFY(QFileInfo(folder.filePath(WorkingFolder::kLockName)).isFile());
        QCOMPARE(!QFileInfo(name).exists() && !QFileInfo(name).isSymLink(), removed);
        if (kind == "link")
            QVERIFY(QFileInfo(elsewhere).isDir());
    }
};

QTEST_GUILESS_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
