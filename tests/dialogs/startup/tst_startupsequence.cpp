#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "common/settings/storeproblemreporter.h"
#include "dialogs/startup/startuphost.h"
#include "dialogs/startup/startupsequence.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
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

// The first-run values for FakeHost's screen, in the order earlier versions
// stored them one write each (the marker fifth).
const settings::SettingChanges kFirstRunValues = {{"ctimeword", "7"},
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

// The settings as they are on disk, shared by the starts of one test.
struct Disk {
    settings::SectionValues section;
    int keysWritten = 0;
};

// Thrown where the process would have been killed.
struct Killed {
};

// A store whose writes reach the disk one key at a time (so a fault can land
// between any two) and which fails, or dies, once keysBeforeFault keys have
// reached it: the worst case, since a real file is replaced whole.
class FaultyBackend final : public settings::StoreBackend
{
public:
    enum class Fault { None, Fail, Die };

    explicit FaultyBackend(Disk& disk, Fault fault = Fault::None, int keysBeforeFault = 0,
                           QStringList* journal = nullptr)
        : m_disk(disk), m_fault(fault), m_keysBeforeFault(keysBeforeFault), m_journal(journal)
    {}

    QString location() const override { return QStringLiteral("/faulty/Velkor.ini"); }
    settings::StoreOutcome refresh() override
    {
        m_view = m_disk.section;
        return {};
    }
    const settings::SectionValues& values() const override { return m_view; }
    settings::StoreOutcome commit(const settings::SettingChanges& changes) override
    {
        QStringList keys;
        for (const auto& [key, text] : changes) {
            if (m_fault != Fault::None && m_disk.keysWritten >= m_keysBeforeFault) {
                if (m_fault == Fault::Die)
                    throw Killed{};
                return {settings::StoreFault::WriteFailed, QStringLiteral("disk full")};
            }
            settings::storeIn(m_disk.section, key, text);
            ++m_disk.keysWritten;
            keys << key;
        }
        if (m_journal)
            *m_journal << "write " + keys.join(' ');
        m_view = m_disk.section;
        return {};
    }

private:
    Disk& m_disk;
    Fault m_fault;
    int m_keysBeforeFault;
    QStringList* m_journal;
    settings::SectionValues m_view;
};

struct RecordingReporter final : settings::StoreProblemReporter {
    explicit RecordingReporter(QStringList& messages) : messages(messages) {}
    void report(const QString& message) override { messages << message; }
    QStringList& messages;
};

// One start of the program on disk; what it wrote and asked for goes to journal.
struct Start {
    Start(Disk& disk, FaultyBackend::Fault fault = FaultyBackend::Fault::None,
          int keysBeforeFault = 0)
        : store(std::make_unique<FaultyBackend>(disk, fault, keysBeforeFault, &host.calls))
    {
        store.setProblemReporter(std::make_unique<RecordingReporter>(messages));
    }
    void run()
    {
        StartupSequence load(store, values, host);
        load.setSetupPage(QUrl("file:///app/help.html#getting-started"));
        load.run();
    }
    FakeHost host;
    SettingsStore store;
    Settings values;
    QStringList messages;
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
        SettingsStore reader;
        QCOMPARE(reader.storedKeys().size(), kFirstRunValues.size());
        for (const auto& [key, value] : kFirstRunValues)
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
        QCOMPARE(host.top, 0.0);
        QVERIFY(host.calls.contains("bind"));
        // What does not convert stays in the file as it was; what was missing
        // is put back with its first-run value.
        QCOMPARE(store.readSetting("n"), QString("abc"));
        QCOMPARE(store.readSetting("ctime"), QString());
        QCOMPARE(host.left, 6600.0);
        QCOMPARE(host.loadedCharacter, QString("Merlin"));
        QVERIFY(!load.wasFirstRun());
        QVERIFY(host.openedUrls.size() == 1); // its record was missing too
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
        QCOMPARE(host.left, 0.0);
        QCOMPARE(host.top, 0.0);
        QVERIFY(host.calls.indexOf("top") > host.calls.indexOf("left"));
    }

    // The first run asks for the getting-started page, then stores all its
    // values in one write, the marker last.
    void firstRunIsThePageThenOneWrite()
    {
        Disk disk;
        Start start(disk);
        start.run();
        const QStringList writes = start.host.calls.filter(QRegularExpression("^write |^openUrl"));
        QCOMPARE(writes.size(), 2);
        QCOMPARE(writes.at(0), QString("openUrl"));
        const QStringList batch = writes.at(1).mid(6).split(' ');
        QCOMPARE(batch.size(), kFirstRunValues.size());
        QCOMPARE(batch.last(), QString("xxx"));
        for (const auto& [key, value] : kFirstRunValues)
            QCOMPARE(disk.section.value(key), value);
        QVERIFY(start.messages.isEmpty());
    }

    void everyInterruptedFirstRunHealsAtTheNextStart_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<int>("keysBeforeFault");
        Disk clean;
        Start(clean).run();
        for (int k = 0; k < clean.keysWritten; ++k) {
            QTest::addRow("fails after %d keys", k) << int(FaultyBackend::Fault::Fail) << k;
            QTest::addRow("dies after %d keys", k) << int(FaultyBackend::Fault::Die) << k;
        }
    }

    // Whatever key a first run fails or dies after, the next start ends with
    // every first-run value stored and the marker set, and opens the
    // getting-started page when the marker or its record is missing; the one
    // after that writes and opens nothing.
    void everyInterruptedFirstRunHealsAtTheNextStart()
    {
        QFETCH(int, fault);
        QFETCH(int, keysBeforeFault);
        Disk disk;
        {
            Start first(disk, FaultyBackend::Fault(fault), keysBeforeFault);
            if (FaultyBackend::Fault(fault) == FaultyBackend::Fault::Die) {
                QVERIFY_THROWS_EXCEPTION(Killed, first.run());
            } else {
                first.run();
                // The start went on with the first-run values, told once.
                QCOMPARE(first.messages.size(), 1);
                QVERIFY(first.messages.first().contains("/faulty/Velkor.ini"));
                QVERIFY(first.messages.first().contains("disk full"));
                QCOMPARE(first.values.fontSize, qint16(12));
                QCOMPARE(first.values.topic, qint16(14));
                QCOMPARE(first.host.loadedCharacter, QString("Merlin"));
                QVERIFY(first.host.calls.contains("bind"));
            }
            QCOMPARE(disk.keysWritten, keysBeforeFault);
        }
        checkNextStartHeals(disk);
    }

    void fileLeftByAnEarlierVersionHeals_data()
    {
        QTest::addColumn<int>("keysWritten");
        for (int k = 1; k <= kFirstRunValues.size(); ++k)
            QTest::addRow("%d keys", k) << k;
    }

    // Earlier versions stored the marker fifth, one write per value, and
    // opened the page after the last; a start that died between left the
    // marker without the rest, and the page unopened.
    void fileLeftByAnEarlierVersionHeals()
    {
        QFETCH(int, keysWritten);
        Disk disk;
        for (int i = 0; i < keysWritten; ++i)
            disk.section.insert(kFirstRunValues.at(i).first, kFirstRunValues.at(i).second);
        checkNextStartHeals(disk);
    }

    // A start on a file that holds some values keeps them and adds the rest.
    void healingKeepsWhatIsThere()
    {
        Disk disk;
        for (const auto& [key, value] : kFirstRunValues)
            disk.section.insert(key, value);
        disk.section.insert("Agent", "Robby");
        disk.section.remove("agent");
        disk.section.insert("n", "7");
        disk.section.remove("left");
        disk.section.remove("guage");
        Start start(disk);
        start.run();
        QCOMPARE(start.host.calls.filter("write "), QStringList{"write guage left"});
        QCOMPARE(disk.section.value("Agent"), QString("Robby"));
        QVERIFY(!disk.section.contains("agent"));
        QCOMPARE(disk.section.value("n"), QString("7"));
        QCOMPARE(disk.section.value("left"), QString("6600"));
        QCOMPARE(start.values.showsPerPair, qint16(7));
        QCOMPARE(start.host.loadedCharacter, QString("Robby"));
        QVERIFY(start.host.openedUrls.isEmpty());
    }

    void clampsStoredValues_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("inMemory");
        QTest::newRow("font size 32767") << "FontSizeNumber"
                                         << "32767"
                                         << "55";
        QTest::newRow("font size 0") << "FontSizeNumber"
                                     << "0"
                                     << "8";
        QTest::newRow("font size past 16 bits") << "FontSizeNumber"
                                                << "99999999999999999999"
                                                << "55";
        QTest::newRow("speed -5") << "Spdtimes"
                                  << "-5"
                                  << "40";
        QTest::newRow("speed 99999") << "Spdtimes"
                                     << "99999"
                                     << "200";
        QTest::newRow("speed 150") << "Spdtimes"
                                   << "150"
                                   << "150";
        QTest::newRow("shows 0") << "n"
                                 << "0"
                                 << "1";
        QTest::newRow("shows 13") << "n"
                                  << "13"
                                  << "12";
        QTest::newRow("Russian seconds 4") << "etime"
                                           << "4"
                                           << "5";
        QTest::newRow("Russian seconds 16") << "etime"
                                            << "16"
                                            << "15";
        QTest::newRow("English seconds 2") << "ctime"
                                           << "2"
                                           << "3";
        QTest::newRow("English seconds 2147483647") << "ctime"
                                                    << "2147483647"
                                                    << "15";
        QTest::newRow("topic -1") << "guage"
                                  << "-1"
                                  << "0";
        QTest::newRow("topic 99") << "guage"
                                  << "99"
                                  << "16";
        QTest::newRow("left 2147483647") << "left"
                                         << "2147483647"
                                         << "19200";
        QTest::newRow("left -123456") << "left"
                                      << "-123456"
                                      << "0";
        QTest::newRow("left 1e38 written out")
            << "left" << QString("1") + QString(38, u'0') << "19200";
        QTest::newRow("text colour past 32 bits") << "txtColor"
                                                  << "99999999999"
                                                  << "2147483647";
        QTest::newRow("back colour below 32 bits") << "formColor"
                                                   << "-99999999999"
                                                   << "-2147483648";
        QTest::newRow("colour with a fraction") << "txtColor"
                                                << "255.6"
                                                << "256";
        QTest::newRow("position 2147483647 does not convert") << "guagen"
                                                              << "2147483647"
                                                              << "0";
        QTest::newRow("shows abc does not convert") << "n"
                                                    << "abc"
                                                    << "0";
    }

    // Numbers with a range are clamped into it where they are read, so no
    // stored value can make the strip unusable.
    void clampsStoredValues()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, inMemory);
        Disk disk;
        for (const auto& [stored, value] : kFirstRunValues)
            disk.section.insert(stored, value);
        disk.section.insert(key, text);
        Start start(disk);
        start.run();
        const Settings& v = start.values;
        const QMap<QString, double> read = {
            {"FontSizeNumber", v.fontSize}, {"Spdtimes", v.speechSpeed},
            {"n", v.showsPerPair},          {"etime", v.russianSeconds},
            {"ctime", v.englishSeconds},    {"guage", v.topic},
            {"left", v.leftTwips},          {"txtColor", v.textColour},
            {"formColor", v.backColour},    {"guagen", v.position}};
        QCOMPARE(QString::number(read.value(key), 'f', 0), inMemory);
        if (key == "left")
            QCOMPARE(QString::number(start.host.left, 'f', 0), inMemory);
        // What is stored stays as it was: only the reading is clamped.
        QCOMPARE(disk.section.value(key), text);
    }

    void unusableSettingsFileStartsOnFirstRunValues()
    {
        QVERIFY(QDir().mkpath(SettingsStore::defaultFileName()));
        SettingsStore store;
        QStringList messages;
        store.setProblemReporter(std::make_unique<RecordingReporter>(messages));
        Settings values;
        FakeHost host;
        StartupSequence load(store, values, host);
        load.run();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.first().contains(SettingsStore::defaultFileName()));
        QCOMPARE(values.topic, qint16(14));
        QCOMPARE(values.fontSize, qint16(12));
        QCOMPARE(host.loadedCharacter, QString("Merlin"));
        QCOMPARE(host.left, 6600.0);
        QCOMPARE(host.openedUrls.size(), 1);
        QVERIFY(host.calls.contains("bind"));
        QVERIFY(QFileInfo(SettingsStore::defaultFileName()).isDir());
    }

private:
    static void checkNextStartHeals(Disk& disk)
    {
        const bool pageDue =
            !disk.section.contains("xxx") || !disk.section.contains("FontSizeNumber");
        Start next(disk);
        next.run();
        for (const auto& [key, value] : kFirstRunValues)
            QVERIFY2(disk.section.value(key) == value, qPrintable(key));
        QCOMPARE(disk.section.value("xxx"), QString("1"));
        QCOMPARE(disk.section.size(), kFirstRunValues.size());
        QCOMPARE(next.host.openedUrls.size(), pageDue ? 1 : 0);
        QCOMPARE(next.values.fontSize, qint16(12));
        QCOMPARE(next.host.loadedCharacter, QString("Merlin"));
        QVERIFY(next.messages.isEmpty());

        Start after(disk);
        after.run();
        QVERIFY(after.host.calls.filter("write ").isEmpty());
        QVERIFY(after.host.openedUrls.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStartupSequence)
#include "tst_startupsequence.moc"
