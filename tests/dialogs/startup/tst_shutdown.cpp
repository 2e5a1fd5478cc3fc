#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "common/speech/characterservice.h"
#include "dialogs/playback/stripwindow.h"
#include "dialogs/startup/startupsequence.h"
#include "tests/support/fakecharacter.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QFile>
#include <QScreen>
#include <QtTest>

using settings::Settings;
using settings::SettingsStore;

namespace {

struct Journal {
    QStringList calls;
};

class FakeService final : public speech::CharacterService
{
public:
    explicit FakeService(Journal& journal) : m_journal(journal) {}
    bool Load(const QString& name, const QString& file) override
    {
        m_journal.calls << "Load " + name + " " + file;
        m_character = std::make_unique<testsupport::FakeCharacter>(&m_journal.calls);
        return true;
    }
    speech::AgentCharacter* Character(const QString&) override { return m_character.get(); }
    void Unload(const QString& name) override
    {
        m_journal.calls << "Unload " + name;
        m_character.reset();
    }

private:
    Journal& m_journal;
    std::unique_ptr<testsupport::FakeCharacter> m_character;
};

QByteArray storeBytes()
{
    QFile file(SettingsStore().fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestShutdown : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void startupShowsTheCharacterInRussian()
    {
        SettingsStore store;
        Settings values;
        Journal journal;
        playback::StripWindow strip(store, values, std::make_unique<FakeService>(journal));
        QList<QUrl> opened;
        strip.setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        startup::StartupSequence load(store, values, strip);
        load.setSetupPage(QUrl("file:///app/help.html#getting-started"));
        load.run();
        QCOMPARE(opened, QList<QUrl>{QUrl("file:///app/help.html#getting-started")});
        QCOMPARE(journal.calls, (QStringList{"Load Merlin Merlin.acs", "Show", "LanguageID 1049"}));
        QCOMPARE(strip.y(), 0);
        QVERIFY(strip.watchTimer().isActive());
        QVERIFY(!strip.presentationTimer().isActive());
        QVERIFY(strip.splash() && strip.splash()->isVisible());
    }

    void exitByMenuStoresVoiceLeftAndPosition_data()
    {
        QTest::addColumn<int>("sequentialOrder");
        QTest::addColumn<int>("savePosition");
        QTest::addColumn<bool>("storesPosition");
        QTest::newRow("sequence, save schedule") << 1 << 1 << true;
        QTest::newRow("random order") << 0 << 1 << false;
        QTest::newRow("schedule not saved") << 1 << 0 << false;
    }

    void exitByMenuStoresVoiceLeftAndPosition()
    {
        QFETCH(int, sequentialOrder);
        QFETCH(int, savePosition);
        QFETCH(bool, storesPosition);
        SettingsStore store;
        Settings values;
        Journal journal;
        playback::StripWindow strip(store, values, std::make_unique<FakeService>(journal));
        strip.setUrlOpener([](const QUrl&) { return true; });
        startup::StartupSequence(store, values, strip).run();
        values.sequentialOrder = qint16(sequentialOrder);
        values.savePosition = qint16(savePosition);
        values.position = 11405;
        values.speakAloud = 1;
        store.writeSetting("voice", "0");
        strip.move(200, 0);
        strip.exitByMenu();
        SettingsStore reader;
        QCOMPARE(reader.readSetting("voice"), QString("1"));
        QCOMPARE(reader.readSetting("left"),
                 settings::formatPosition(200 * float(strip.twipsPerPixel())));
        QCOMPARE(reader.readSetting("guagen"), QString(storesPosition ? "11405" : "11000"));
        // The exit path runs no unload handler.
        QVERIFY(!journal.calls.contains("Hide"));
    }

    void closingTheWindowStoresNothing()
    {
        SettingsStore store;
        Settings values;
        Journal journal;
        playback::StripWindow strip(store, values, std::make_unique<FakeService>(journal));
        strip.setUrlOpener([](const QUrl&) { return true; });
        startup::StartupSequence(store, values, strip).run();
        values.position = 11405;
        strip.move(321, 0);
        const QByteArray before = storeBytes();
        QVERIFY(!before.isEmpty());
        strip.close();
        QCOMPARE(storeBytes(), before);
        QCOMPARE(journal.calls.mid(journal.calls.size() - 2),
                 (QStringList{"Hide", "Unload Merlin"}));
        QVERIFY(strip.currentCharacter() == nullptr);
    }

    // Stored values no options dialog would give start a strip that fits the
    // screen and reads: clamped where they are read.
    void hostileStoredValuesStartAUsableStrip()
    {
        SettingsStore store;
        // The rest of the first-run values are put back by the start.
        QVERIFY(store.writeSettings({{"xxx", "1"},
                                     {"FontSizeNumber", "32767"},
                                     {"left", "2147483647"},
                                     {"guagen", "2147483647"},
                                     {"Spdtimes", "99999"},
                                     {"n", "-5"},
                                     {"etime", "-5"},
                                     {"ctime", "32767"},
                                     {"guage", "-7"},
                                     {"txtColor", "99999999999999999999"}}));
        Settings values;
        Journal journal;
        playback::StripWindow strip(store, values, std::make_unique<FakeService>(journal));
        startup::StartupSequence(store, values, strip).run();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QVERIFY2(strip.height() > 0 && strip.height() < screen.height() / 4,
                 qPrintable(QString::number(strip.height())));
        // Its right end, with the menu, on the screen (the largest font makes
        // a strip wider than a small screen; it then starts left of it).
        QVERIFY2(strip.x() + strip.width() > 0 && strip.x() + strip.width() <= screen.width(),
                 qPrintable(QString("%1 + %2").arg(strip.x()).arg(strip.width())));
        QCOMPARE(values.fontSize, qint16(55));
        QCOMPARE(values.speechSpeed, qint16(200));
        QCOMPARE(values.showsPerPair, qint16(1));
        QCOMPARE(values.russianSeconds, qint16(5));
        QCOMPARE(values.englishSeconds, qint16(15));
        QCOMPARE(values.topic, qint16(0));
        QCOMPARE(values.textColour, 2147483647.0);
    }
};

QTEST_MAIN(TestShutdown)
#include "tst_shutdown.moc"
