#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QtTest>

using namespace wordbooktest;

class TestDurability : public QObject
{
    Q_OBJECT

private slots:
    // A writer killed at random moments never corrupts the book nor loses a
    // pair whose update() had returned.
    void pairsSurviveAKilledWriter()
    {
        testsupport::TestEnvironment::instance().reset();
        const QString path =
            makeBook(testsupport::TestEnvironment::instance().dataHome() + "/book", {});
        const quint32 seed = quint32(QDateTime::currentMSecsSinceEpoch());
        qInfo("kill timing seed %u", seed);
        QRandomGenerator random(seed);

        QSet<QString> confirmed;
        constexpr int Rounds = 24;
        for (int round = 0; round < Rounds; ++round) {
            QProcess child;
            child.start(QCoreApplication::applicationDirPath() + "/wordbook_child",
                        {"save", path, QString::number(round * 1000000LL)});
            QVERIFY(child.waitForStarted());
            // Let it save at least one pair, then kill it anywhere within ~40 ms.
            QVERIFY2(child.waitForReadyRead(10000), child.readAllStandardError().constData());
            QThread::usleep(random.bounded(40000));
            child.kill(); // SIGKILL
            QVERIFY(child.waitForFinished(5000));

            const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
            // The last piece has no newline (empty or cut off); only whole lines count.
            for (qsizetype i = 0; i + 1 < lines.size(); ++i)
                confirmed.insert("word " + QString::fromLatin1(lines[i]));
        }
        QVERIFY(confirmed.size() >= Rounds);

        QCOMPARE(integrityCheck(path), QByteArray("ok"));

        QSet<QString> stored;
        for (const Pair& pair : rawPairs(path)) {
            stored.insert(pair.first);
            QCOMPARE(pair.second, QString(pair.first).replace("word", "слово"));
        }
        qInfo("%lld pairs reported saved, %lld stored", qlonglong(confirmed.size()),
              qlonglong(stored.size()));
        const QSet<QString> lost = confirmed - stored;
        QVERIFY2(lost.isEmpty(), qPrintable(QStringList(lost.values()).join(", ")));
        // At most one pair per round may be stored without having been reported.
        QVERIFY(stored.size() <= confirmed.size() + Rounds);
    }
};

QTEST_GUILESS_MAIN(TestDurability)
#include "tst_durability.moc"
