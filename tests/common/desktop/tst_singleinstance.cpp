#include "common/desktop/singleinstance.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

using desktop::SingleInstance;

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void secondStartActivatesTheFirst()
    {
        SingleInstance first("velkor-test");
        QVERIFY(first.tryBecomePrimary());
        QSignalSpy activated(&first, &SingleInstance::activationRequested);

        SingleInstance second("velkor-test");
        QVERIFY(!second.tryBecomePrimary());
        QVERIFY(second.activateRunning());
        QVERIFY(activated.wait(5000));
        QCOMPARE(activated.size(), 1);
    }

    void secondStartCreatesNoFile()
    {
        const QString folder = testsupport::TestEnvironment::instance().runtimeDir();
        SingleInstance first("velkor-test");
        QVERIFY(first.tryBecomePrimary());
        const QStringList before =
            QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden);
        {
            SingleInstance second("velkor-test");
            QVERIFY(!second.tryBecomePrimary());
        }
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden), before);
    }

    void theLockIsFreedWithTheInstance()
    {
        {
            SingleInstance first("velkor-test");
            QVERIFY(first.tryBecomePrimary());
        }
        SingleInstance next("velkor-test");
        QVERIFY(next.tryBecomePrimary());
        // Its server works although the earlier one left its socket name behind.
        QSignalSpy activated(&next, &SingleInstance::activationRequested);
        QVERIFY(SingleInstance("velkor-test").activateRunning());
        QVERIFY(activated.wait(5000));
    }

    void programsAndFoldersAreKeptApart()
    {
        SingleInstance dialogs("velkor-a");
        QVERIFY(dialogs.tryBecomePrimary());
        SingleInstance other("velkor-b");
        QVERIFY(other.tryBecomePrimary());
        SingleInstance elsewhere("velkor-a", testsupport::TestEnvironment::instance().dataHome());
        QVERIFY(elsewhere.tryBecomePrimary());
    }

    void nobodyToActivate()
    {
        SingleInstance lonely("velkor-none");
        QVERIFY(!lonely.activateRunning(200));
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
