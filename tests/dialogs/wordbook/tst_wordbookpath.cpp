#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/filepermissions.h"
#include "dialogs/wordbook/wordbookpath.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace wordbook;
using namespace wordbooktest;

namespace {

constexpr uid_t kNobody = 65534;

// Every file below a folder with its bytes, to see that nothing was written.
QMap<QString, QByteArray> contents(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(path, it.fileInfo().isDir() ? QByteArray("folder") : fileBytes(path));
    }
    return files;
}

void openToEveryone(const QString& path, bool writable = false)
{
    ::chmod(QFile::encodeName(path).constData(), writable ? 0777 : 0755);
}

} // namespace

class TestWordBookPath : public QObject
{
    Q_OBJECT

    QString m_programFolder;
    QString m_userCopy;

    // A program folder holding a shipped book; read-only when asked.
    void makeProgramFolder(bool writable)
    {
        m_programFolder = testsupport::TestEnvironment::instance().root() + "/program";
        QDir(m_programFolder).removeRecursively();
        makeBook(m_programFolder, {{"cat", "кошка"}, {"dog", "собака"}});
        if (!writable)
            QFile::setPermissions(m_programFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }

    // Saves ("owl", "сова") through the editor's cursor.
    static void saveOwl(const QString& book)
    {
        Connection connection(book, ConnectionKind::Exclusive);
        Recordset words = connection.openRecordset("select * from word ORDER BY English");
        words.addNew();
        words.setField("English", "owl");
        words.setField("Russian", "сова");
        words.update();
    }

private slots:
    void init()
    {
        testsupport::TestEnvironment::instance().reset();
        m_userCopy = testsupport::TestEnvironment::instance().dataHome() + "/Velkor/dialog.ocx";
    }

    void cleanup()
    {
        QFile::setPermissions(m_programFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                   QFileDevice::ExeOwner);
    }

    void writableProgramFolderKeepsItsBook()
    {
        makeProgramFolder(true);
        QCOMPARE(wordBookPath(m_programFolder), m_programFolder + "/dialog.ocx");
        QVERIFY(!QFileInfo::exists(m_userCopy));
    }

    void readOnlyProgramFolderUsesAPerUserCopy()
    {
        makeProgramFolder(false);
        const QByteArray shipped = fileBytes(m_programFolder + "/dialog.ocx");

        QCOMPARE(wordBookPath(m_programFolder), m_userCopy);
        QCOMPARE(fileBytes(m_userCopy), shipped);
        saveOwl(m_userCopy);
        // Later runs keep the learner's copy; the shipped book stays as it was.
        QCOMPARE(wordBookPath(m_programFolder), m_userCopy);
        QVERIFY(rawPairs(m_userCopy).contains(Pair("owl", "сова")));
        QCOMPARE(fileBytes(m_programFolder + "/dialog.ocx"), shipped);
    }

    void systemInstallationIsNeverWrittenTo()
    {
        // A stand-in for /usr with the program folder below it, laid out as
        // the package lays it out. Whoever runs the program, even the owner
        // of the folder (root, for a real /usr), the pairs go to the per-user
        // copy, and the installation keeps every byte, with no journal files.
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString usr = root.path() + "/usr";
        const QString folder = usr + "/lib/velkor-dialogs";
        makeBook(folder, {{"cat", "кошка"}});
        QFile::setPermissions(folder + "/dialog.ocx",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ReadOther);
        for (const QString& path : {root.path(), usr, usr + "/lib", folder})
            openToEveryone(path);
        const QMap<QString, QByteArray> installed = contents(usr);

        QVERIFY(isOwnedByUs(folder) && isWritableByUs(folder));
        QVERIFY(!programFolderHoldsTheBook(folder, {usr}));
        QCOMPARE(wordBookPath(folder, {usr}), m_userCopy);
        saveOwl(m_userCopy);
        QVERIFY(rawPairs(m_userCopy).contains(Pair("owl", "сова")));
        QCOMPARE(contents(usr), installed);

        // Reached through a link, as /usr/bin/dialogs reaches it: still the system's.
        QVERIFY(QFile::link(folder, root.path() + "/link"));
        QVERIFY(!programFolderHoldsTheBook(root.path() + "/link", {usr}));
        // Given as a link, the system folder still covers what lies below it.
        QVERIFY(QFile::link(usr, root.path() + "/usr-link"));
        QVERIFY(!programFolderHoldsTheBook(folder, {root.path() + "/usr-link"}));
        // The same folder anywhere else is a portable copy that keeps its book.
        QVERIFY(programFolderHoldsTheBook(folder, {root.path() + "/opt"}));

        if (::geteuid() != 0)
            QSKIP("running the programs as another user needs the superuser");

        // Another user: its own per-user copy, and still nothing written into
        // the stand-in. A folder of root's that anyone may write to is not
        // that user's either, so it gets the per-user copy there too.
        const QString shared = root.path() + "/shared";
        makeBook(shared, {{"dog", "собака"}});
        openToEveryone(shared, true);
        QFile::setPermissions(shared + "/dialog.ocx",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                  QFileDevice::WriteOther | QFileDevice::WriteGroup);
        const QMap<QString, QByteArray> sharedBefore = contents(shared);
        const QString home = root.path() + "/home";
        QVERIFY(QDir().mkpath(home));
        QVERIFY(::chown(QFile::encodeName(home).constData(), kNobody, kNobody) == 0);
        // The child is copied where the other user may run it.
        const QString child = root.path() + "/wordbook_child";
        QVERIFY(QFile::copy(QCoreApplication::applicationDirPath() + "/wordbook_child", child));
        openToEveryone(child);

        for (const QString& programFolder : {folder, shared}) {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert("HOME", home);
            environment.insert("XDG_DATA_HOME", home + "/data");
            process.setProcessEnvironment(environment);
            process.setChildProcessModifier([] {
                ::setgroups(0, nullptr);
                if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                    ::_exit(99);
            });
            process.start(child, {"place", programFolder, usr});
            QVERIFY(process.waitForFinished(20000));
            QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
            QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()).trimmed(),
                     home + "/data/Velkor/dialog.ocx");
        }
        const QList<Pair> saved = rawPairs(home + "/data/Velkor/dialog.ocx");
        QVERIFY(saved.contains(Pair("owl velkor-dialogs", "сова")));
        QVERIFY(saved.contains(Pair("owl shared", "сова")));
        QCOMPARE(contents(usr), installed);
        QCOMPARE(contents(shared), sharedBefore);
    }

    void failedCopyIsReported()
    {
        // No shipped file to copy.
        makeProgramFolder(true);
        QFile::remove(m_programFolder + "/dialog.ocx");
        QFile::setPermissions(m_programFolder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        try {
            wordBookPath(m_programFolder);
            QFAIL("a missing shipped book went unnoticed");
        } catch (const DbError& error) {
            QCOMPARE(error.number(), int(CannotOpen));
        }
        QVERIFY(!QFileInfo::exists(m_userCopy));

        // The per-user folder cannot be made (a file stands in its place).
        makeProgramFolder(false);
        QFile blocker(testsupport::TestEnvironment::instance().dataHome() + "/Velkor");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            wordBookPath(m_programFolder);
            QFAIL("an impossible copy went unnoticed");
        } catch (const DbError& error) {
            QCOMPARE(error.number(), int(CannotOpen));
            QVERIFY(error.message().contains("Velkor"));
        }
    }

    void shippedBookHoldsUsefulPairs()
    {
        const QString shipped = shippedBook();
        const QByteArray before = fileBytes(shipped);
        const QList<Pair> pairs = rawPairs(shipped);
        QVERIFY(pairs.size() >= 12);
        static const QRegularExpression latin("^[A-Za-z][A-Za-z ,.'?!-]*$");
        static const QRegularExpression cyrillic("^[А-Яа-яЁё][А-Яа-яЁё ,.?!-]*$");
        QSet<Pair> seen;
        for (const Pair& pair : pairs) {
            QVERIFY2(latin.match(pair.first).hasMatch(), qPrintable(pair.first));
            QVERIFY2(cyrillic.match(pair.second).hasMatch(), qPrintable(pair.second));
            QVERIFY(!seen.contains(pair));
            seen.insert(pair);
        }
        // Opening the shipped book for reading leaves it as built.
        {
            Connection connection(shipped);
            QCOMPARE(connection.openRecordset("SELECT * FROM Word ORDER BY index;").recordCount(),
                     pairs.size());
        }
        QCOMPARE(fileBytes(shipped), before);
    }
};

QTEST_GUILESS_MAIN(TestWordBookPath)
#include "tst_wordbookpath.moc"
