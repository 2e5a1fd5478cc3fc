#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "reader/clipboardwatcher.h"
#include "reader/readabletext.h"
#include "reader/readercontroller.h"
#include "tests/common/speech/agent/agenttestsupport.h"
#include "tests/reader/readerfakes.h"
#include "tests/support/testenvironment.h"

#include <QSignalSpy>
#include <QtTest>

using reader::ReaderController;
using namespace readertest;

namespace {

// A controller over fakes, on a fresh settings store.
struct Reader {
    explicit Reader(bool withCharacter = true)
    {
        testsupport::TestEnvironment::instance().reset();
        store = std::make_unique<settings::SettingsStore>();
        if (!withCharacter)
            characters.known.clear();
        services.characters = &characters;
        services.characterNames = [] { return QStringList{"Merlin", "Sova"}; };
        services.silentNarrator = [this] {
            auto narrator = std::make_unique<FakeNarrator>();
            silent = narrator.get();
            return narrator;
        };
        services.store = store.get();
        services.clock = &localClock;
        services.random = &random;
        services.clipboard = &watcher;
    }
    // The calls to the characters since the last look.
    QStringList calls()
    {
        const QStringList taken = characters.journal.mid(seen);
        seen = characters.journal.size();
        return taken;
    }
    // The fake numbers its requests by their place in the journal.
    quint64 idOf(const QString& call) const
    {
        return quint64(characters.journal.lastIndexOf(call) + 1);
    }
    testsupport::FakeCharacter* merlin() { return characters.fake("Merlin"); }

    FakeView view;
    FakeCharacters characters;
    FakeClipboard clipboard;
    agenttest::FakeClock clock;
    agenttest::FakeRandom random;
    FakeLocalClock localClock;
    reader::ClipboardWatcher watcher{clipboard, clock};
    std::unique_ptr<settings::SettingsStore> store;
    FakeNarrator* silent = nullptr;
    reader::ReaderServices services;
    qsizetype seen = 0;
};

} // namespace

class TestReaderController : public QObject
{
    Q_OBJECT

private slots:
    void greetsByTheHour_data();
    void greetsByTheHour();
    void autoReadReadsNewCopiesOnly();
    void readFollowsTheWordsAndStopCutsIt();
    void choosingACharacterSavesItAndTheNewOneGreets();
    void playAnimationPicksAmongTheCharactersOwn();
    void closingWavesAndSaysGoodbyeFirst();
    void withoutACharacterNothingIsSpokenButTheTextIsFollowed();
};

void TestReaderController::greetsByTheHour_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("greeting");
    QTest::newRow("11:59") << QTime(11, 59) << "Good morning";
    QTest::newRow("12:00") << QTime(12, 0) << "Good afternoon.";
    QTest::newRow("16:59") << QTime(16, 59) << "Good afternoon.";
    QTest::newRow("17:00") << QTime(17, 0) << "Good evening.";
    QTest::newRow("0:00") << QTime(0, 0) << "Good morning";
}

void TestReaderController::greetsByTheHour()
{
    QFETCH(QTime, time);
    QFETCH(QString, greeting);
    Reader r;
    r.localClock.time = time;
    ReaderController controller(r.view, r.services);
    controller.open();
    QCOMPARE(r.calls(), (QStringList{"Load Merlin Merlin.acs", "LanguageID 1049", "Show", "MoveTo",
                                     "Speak " + greeting}));
    QCOMPARE(r.view.characterCaption, QStringLiteral("Merlin.acs"));
    QCOMPARE(r.view.chosen, QStringLiteral("Merlin"));
}

void TestReaderController::autoReadReadsNewCopiesOnly()
{
    Reader r;
    r.clipboard.content = "already there";
    {
        // "AutoRead" unset: unchecked, and a copy is not read.
        ReaderController controller(r.view, r.services);
        controller.open();
        QVERIFY(!r.view.autoRead);
        r.clipboard.copy("ignored");
        r.clock.now += 1000;
        r.watcher.pollTick();
        QCOMPARE(r.view.content, QString());
        QVERIFY(r.store->readSetting(settings::keys::autoRead).isNull());
        controller.setAutoRead(true);
        QCOMPARE(r.store->readSetting(settings::keys::autoRead), QStringLiteral("1"));
        r.characters.Unload("Merlin");
    }
    ReaderController controller(r.view, r.services);
    controller.open();
    QVERIFY(r.view.autoRead);
    QVERIFY(r.watcher.isEnabled());
    r.calls();
    r.clock.now += 1000;
    r.watcher.pollTick();
    QCOMPARE(r.calls(), QStringList()); // "ignored" was there at the start

    const QString copied = QStringLiteral("Раз. Два.");
    r.clipboard.copy(copied);
    QCOMPARE(r.view.content, copied);
    QCOMPARE(r.calls(), (QStringList{"Play read", "Speak Раз.", "Speak Два."}));
    QCOMPARE(r.clipboard.content, copied); // never emptied
    r.clock.now += 1000;
    r.clipboard.copy(copied); // the same text copied again
    QCOMPARE(r.calls(), (QStringList{"Stop", "Play read", "Speak Раз.", "Speak Два."}));

    // Nothing to say: nothing shown, nothing played.
    r.clock.now += 1000;
    r.clipboard.copy(" \n ");
    QCOMPARE(r.calls(), QStringList());
    QCOMPARE(r.view.content, copied);

    controller.setAutoRead(false);
    QCOMPARE(r.store->readSetting(settings::keys::autoRead), QStringLiteral("0"));
    r.clipboard.copy("off");
    QCOMPARE(r.calls(), QStringList());
}

void TestReaderController::readFollowsTheWordsAndStopCutsIt()
{
    Reader r;
    ReaderController controller(r.view, r.services);
    controller.open();
    r.view.content = QString::fromUtf16(u"Один\0два. Три.", 14);
    r.calls();
    controller.read();
    QCOMPARE(r.calls(), (QStringList{"Play read", "Speak Один два.", "Speak Три."}));
    testsupport::FakeCharacter* merlin = r.merlin();
    const quint64 first = r.idOf("Speak Один два.");
    emit merlin->wordSpoken(first, 5, 3);
    QCOMPARE(r.view.highlight, (std::pair<qsizetype, qsizetype>(5, 3)));

    // Edits stop the marks, not the reading.
    controller.textEdited();
    QCOMPARE(r.view.highlight, (std::pair<qsizetype, qsizetype>(0, 0)));
    emit merlin->wordSpoken(first, 0, 4);
    QCOMPARE(r.view.highlight, (std::pair<qsizetype, qsizetype>(0, 0)));
    QVERIFY(controller.session().isReading());

    controller.stop();
    QCOMPARE(r.calls(), QStringList{"Stop"});
    QVERIFY(!controller.session().isReading());
    emit merlin->requestComplete(first);
    QCOMPARE(r.calls(), QStringList()); // nothing more is said

    r.view.content = QStringLiteral("   ");
    controller.read();
    QCOMPARE(r.calls(), QStringList());
}

void TestReaderController::choosingACharacterSavesItAndTheNewOneGreets()
{
    Reader r;
    ReaderController controller(r.view, r.services);
    controller.open();
    r.calls();
    controller.chooseCharacter(QString());
    QCOMPARE(r.view.messages, QStringList{"Please select an Agent."});
    QCOMPARE(r.calls(), QStringList());

    controller.chooseCharacter("Sova");
    QCOMPARE(r.store->readSetting(settings::keys::character), QStringLiteral("Sova"));
    QCOMPARE(r.calls(), (QStringList{"Hide", "Unload Merlin", "Load Sova Sova.acs",
                                     "LanguageID 1049", "Show", "MoveTo", "Speak Good morning"}));
    QCOMPARE(r.view.characterCaption, QStringLiteral("Sova.acs"));
    QCOMPARE(controller.characterName(), QStringLiteral("Sova"));
    QCOMPARE(r.view.messages.size(), 1);
}

void TestReaderController::playAnimationPicksAmongTheCharactersOwn()
{
    Reader r;
    r.characters.animations = {"Wave", "Read", "Think"};
    ReaderController controller(r.view, r.services);
    controller.open();
    r.calls();
    r.random.values = {2, 0, 1, 2};
    for (int i = 0; i < 4; ++i)
        controller.playAnimation();
    QCOMPARE(r.calls(), (QStringList{"Play Think", "Play Wave", "Play Read", "Play Think"}));
    r.merlin()->animations.clear();
    controller.playAnimation();
    QCOMPARE(r.calls(), QStringList());
}

void TestReaderController::closingWavesAndSaysGoodbyeFirst()
{
    for (const bool spokenToTheEnd : {true, false}) {
        Reader r;
        r.store->writeSetting(settings::keys::autoRead, "1");
        ReaderController controller(r.view, r.services);
        QSignalSpy closed(&controller, &ReaderController::closed);
        controller.open();
        r.view.content = "Long text. To read.";
        controller.read();
        r.calls();
        controller.close();
        QCOMPARE(r.calls(), (QStringList{"Stop", "Play wave", "Speak bye bye!"}));
        QVERIFY(!r.watcher.isEnabled());
        QCOMPARE(r.store->readSetting(settings::keys::autoRead), QStringLiteral("1"));
        emit r.merlin()->requestComplete(r.idOf("Play wave"));
        QCOMPARE(closed.size(), 0); // another request's end is not the goodbye's
        if (spokenToTheEnd)
            emit r.merlin()->requestComplete(r.idOf("Speak bye bye!"));
        else
            controller.goodbyeLimitTick();
        QCOMPARE(closed.size(), 1);
        controller.goodbyeLimitTick();
        QCOMPARE(closed.size(), 1);
    }
}

void TestReaderController::withoutACharacterNothingIsSpokenButTheTextIsFollowed()
{
    Reader r(false);
    ReaderController controller(r.view, r.services);
    QSignalSpy closed(&controller, &ReaderController::closed);
    controller.open();
    QCOMPARE(r.calls(), QStringList{"Load Merlin Merlin.acs"});
    QCOMPARE(r.view.characterCaption, QStringLiteral("No character"));
    QCOMPARE(r.view.characterDetail, QStringLiteral("Merlin.acs could not be loaded"));
    QVERIFY(r.silent);
    r.random.values = {0};
    controller.playAnimation();
    r.view.content = "Слово за словом.";
    controller.read();
    QCOMPARE(r.silent->said, QStringList{"Слово за словом."});
    emit r.silent->wordSpoken(r.silent->ids.first(), 6, 3);
    QCOMPARE(r.view.highlight, (std::pair<qsizetype, qsizetype>(6, 3)));
    QCOMPARE(r.calls(), QStringList());
    controller.close();
    QCOMPARE(closed.size(), 1);
}

QTEST_MAIN(TestReaderController)
#include "tst_readercontroller.moc"
