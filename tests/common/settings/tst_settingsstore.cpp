#include "common/settings/settingsstore.h"
#include "tests/support/testenvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

using settings::SettingsStore;

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
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
