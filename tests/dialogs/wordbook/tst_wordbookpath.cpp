#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/wordbookpath.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

using namespace wordbook;
using namespace wordbooktest;

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
        {
            Connection connection(m_userCopy, ConnectionKind::Exclusive);
            Recordset words = connection.openRecordset("select * from word ORDER BY English");
            words.addNew();
            words.setField("English", "owl");
            words.setField("Russian", "сова");
            words.update();
        }
        // Later runs keep the learner's copy; the shipped book stays as it was.
        QCOMPARE(wordBookPath(m_programFolder), m_userCopy);
        QVERIFY(rawPairs(m_userCopy).contains(Pair("owl", "сова")));
        QCOMPARE(fileBytes(m_programFolder + "/dialog.ocx"), shipped);
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
