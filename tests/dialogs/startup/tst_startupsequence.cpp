#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "dialogs/startup/startuphost.h"
#include "dialogs/startup/startupsequence.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include <stdexcept>

using settings::Settings;
using settings::SettingsStore;
using startup::StartupSequence;

namespace {

// A main window that records which steps reached it.
struct FakeHost final : startup::StartupHost {
    QStringList calls;
    QList<QUrl> openedUrls;
    QString loadedCharacter;
    double left = -1;
    double top = -1;
    bool characterLoads = true;
    bool urlThrows = false;

    double screenWidthTwips() const override { return 19200; }
    double screenHeightTwips() const override { return 12000; }
    double lineTextColour() const override { return 16777215; }
    double windowBackColour() const override { return -2147483647; }
    bool openUrl(const QUrl& url) override
    {
        calls << "openUrl";
        openedUrls << url;
        if (urlThrows)
            throw std::runtime_error("no browser");
        return true;
    }
    void setLeftTwips(double twips) override
    {
        calls << "left";
        left = twips;
    }
    bool loadCharacter(const QString& name) override
    {
        calls << "character";
        loadedCharacter = name;
        return characterLoads && !name.isEmpty();
    }
    void setTopTwips(double twips) override
    {
        calls << "top";
        top = twips;
    }
    void hideMainWindow() override { calls << "hide"; }
    void showSplash(double l, double t) override { calls << QString("splash %1 %2").arg(l).arg(t); }
    void configureTimers() override { calls << "timers"; }
    void resetCounters() override { calls << "counters"; }
    void pickNextPair() override { calls << "pickNextPair"; }
    void attachMenuPictures() override { calls << "attachMenuPictures"; }
    void makeTopmost() override { calls << "topmost"; }
    void layOutForFontSize() override { calls << "layOutForFontSize"; }
    void rememberWindowRect() override { calls << "rememberWindowRect"; }
    void applyColours(double text, double back) override
    {
        calls << QString("colours %1 %2").arg(qint64(text)).arg(qint64(back));
    }
    void bindWordBookLabels() override { calls << "bind"; }
};

QByteArray storeBytes()
{
    QFile file(SettingsStore().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QStringList kTail = {"top",
                           "hide",
                           "splash 8600 4200",
                           "timers",
                           "counters",
                           "pickNextPair",
                           "attachMenuPictures",
                           "topmost",
                           "layOutForFontSize",
                           "rememberWindowRect"};

} // namespace

class TestStartupSequence : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void emptyStoreMakesAFirstRunAndReadsItBack()
    {
        SettingsStore store;
        Settings values;
        FakeHost host;
        StartupSequence load(store, values, host);
        const QUrl page("file:///app/help.html#getting-started");
        load.setSetupPage(page);
        load.run();

        QVERIFY(load.wasFirstRun());
        QCOMPARE(host.openedUrls, QList<QUrl>{page});
        const QList<std::pair<QString, QString>> expected = {{"ctimeword", "7"},
                                                             {"ssaveword", "1"},
                                                             {"guageword", "54"},
                                                             {"markword", "0"},
                                                             {"xxx", "1"},
                                                             {"winleftword", "7600"},
                                                             {"ontopword", "1"},
                                                             {"ce", "0"},
                                                             {"n", "1"},
                                                             {"ctime", "3"},
                                                             {"etime", "5"},
                                                             {"rd", "1"},
                                                             {"psave", "1"},
                                                             {"ssave", "1"},
                                                             {"visi", "0"},
                                                             {"voice", "1"},
                                                             {"guage", "14"},
                                                             {"guagen", "11000"},
                                                             {"agent", "Merlin"},
                                                             {"red", "0"},
                                                             {"mark", "1"},
                                                             {"left", "6600"},
                                                             {"txtColor", "16777215"},
                                                             {"formColor", "-2147483647"},
                                                             {"isnoSpeak", "0"},
                                                             {"Spdtimes", "90"},
                                                             {"FontSizeNumber", "12"}};
        SettingsStore reader;
        QCOMPARE(reader.storedKeys().size(), expected.size());
        for (const auto& [key, value] : expected)
            QCOMPARE(reader.readSetting(key), value);

        // Read back into memory.
        QCOMPARE(values.showsPerPair, qint16(1));
        QCOMPARE(values.topic, qint16(14));
        QCOMPARE(values.sequentialOrder, qint16(1));
        QCOMPARE(values.russianFirst, qint16(0));
        QCOMPARE(values.speechSpeed, qint16(90));
        QCOMPARE(values.fontSize, qint16(12));
        QCOMPARE(values.showStressMarks, qint16(1)); // never written: absent means shown
        QCOMPARE(values.position, qint16(11000));
        QCOMPARE(values.firstRunDone, qint16(1));
        QCOMPARE(values.character, QString("Merlin"));
        QCOMPARE(values.leftTwips, 6600.0f);
        QCOMPARE(values.backColour, -2147483647.0);
        QCOMPARE(host.loadedCharacter, QString("Merlin"));
        QCOMPARE(host.left, 6600.0);
        QCOMPARE(host.top, 0.0);
        QVERIFY(load.failedSteps().isEmpty());
    }

    void laterRunWritesNothing()
    {
        {
            SettingsStore store;
            Settings values;
            FakeHost host;
            StartupSequence(store, values, host).run();
        }
        const QByteArray before = storeBytes();
        SettingsStore store;
        Settings values;
        FakeHost host;
        StartupSequence load(store, values, host);
        load.run();
        QVERIFY(!load.wasFirstRun());
        QVERIFY(host.openedUrls.isEmpty());
        QCOMPARE(storeBytes(), before);
    }

    void stepsRunInOrderAndGoOnAfterFailures()
    {
        SettingsStore store;
        Settings values;
        FakeHost host;
        host.characterLoads = false;
        host.urlThrows = true;
        StartupSequence load(store, values, host);
        load.run();
        // The failing page and character did not stop anything after them.
        QStringList expected = {"openUrl", "left", "character"};
        expected += kTail;
        expected << "colours 16777215 -2147483647"
                 << "bind";
        QCOMPARE(host.calls, expected);
        QVERIFY(load.failedSteps().contains("setup page"));
        QVERIFY(load.failedSteps().contains("character"));
        QCOMPARE(values.showsPerPair, qint16(1)); // the reads after the page still ran
    }

    void unconvertibleValuesKeepWhatTheyHeld()
    {
        SettingsStore store;
        store.writeSetting("xxx", "1");
        store.writeSetting("n", "abc");
        store.writeSetting("ce", "70000");
        store.writeSetting("etime", "1e3");
        store.writeSetting("ctime", "");
        store.writeSetting("guage", "7");
        store.writeSetting("stress", "0");
        Settings values;
        values.russianFirst = 1;
        FakeHost host;
        StartupSequence load(store, values, host);
        load.run();
        QCOMPARE(values.showsPerPair, qint16(0));
        QCOMPARE(values.russianFirst, qint16(1));
        QCOMPARE(values.russianSeconds, qint16(0));
        QCOMPARE(values.englishSeconds, qint16(0));
        QCOMPARE(values.topic, qint16(7));
        QCOMPARE(values.showStressMarks, qint16(0));
        // No "left" stored: the window keeps its designed left edge.
        QVERIFY(!host.calls.contains("left"));
        QCOMPARE(host.top, 0.0);
        // An absent character name loads nothing and the load goes on.
        QCOMPARE(host.loadedCharacter, QString());
        QVERIFY(host.calls.contains("bind"));
    }

    void characterPickedElsewhereIsTheOneLoaded()
    {
        SettingsStore store;
        store.writeSetting("xxx", "1");
        store.writeSetting("agent", "Merlin");
        SettingsStore reader; // the other program writes "Agent"
        reader.writeSetting("Agent", "Robby");
        Settings values;
        FakeHost host;
        StartupSequence(store, values, host).run();
        QCOMPARE(host.loadedCharacter, QString("Robby"));
        QCOMPARE(SettingsStore().storedKeys().filter("agent", Qt::CaseInsensitive).size(), 1);
    }

    void damagedStoreStartsAsAFirstRun()
    {
        const QString path = SettingsStore().fileName();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QByteArray garbage(256 * 1024, '\0');
        for (int i = 0; i < garbage.size(); ++i)
            garbage[i] = char((i * 7919 + 13) % 251);
        file.write(garbage);
        file.close();
        SettingsStore store;
        Settings values;
        FakeHost host;
        StartupSequence load(store, values, host);
        load.run();
        QVERIFY(load.wasFirstRun());
        QCOMPARE(values.topic, qint16(14));
        QCOMPARE(host.loadedCharacter, QString("Merlin"));
        QVERIFY(host.calls.contains("bind"));
    }

    void topIsZeroWhateverTheStoredLeft()
    {
        SettingsStore store;
        store.writeSetting("xxx", "1");
        store.writeSetting("left", "-123456");
        Settings values;
        FakeHost host;
        StartupSequence(store, values, host).run();
        QCOMPARE(host.left, -123456.0);
        QCOMPARE(host.top, 0.0);
        QVERIFY(host.calls.indexOf("top") > host.calls.indexOf("left"));
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
