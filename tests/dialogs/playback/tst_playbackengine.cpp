#include "common/settings/settings.h"
#include "dialogs/playback/playbackengine.h"
#include "dialogs/playback/textcut.h"
#include "dialogs/sentences/sentencetable.h"
#include "dialogs/wordbook/dberror.h"
#include "tests/dialogs/playback/playbackfakes.h"

#include <QRandomGenerator>
#include <QTextBoundaryFinder>
#include <QtTest>

#include <QRandomGenerator>

#include <cmath>
#include <map>
#include <new>

using namespace playbacktest;
using playback::BookFailure;
using playback::PlaybackEngine;
using sentences::SentenceTable;

namespace {

const SentenceTable& table()
{
    return SentenceTable::instance();
}

QString russianOf(int id)
{
    const QString* s = table().string(id);
    return s ? *s : QString();
}
QString englishOf(int id)
{
    const QString* s = table().string(id + SentenceTable::englishOffset);
    return s ? *s : QString();
}

// Everything one engine needs, with first-run settings.
struct Rig {
    settings::Settings values;
    FakeView view;
    FakeCharacter character;
    FixedRandom random;
    FakeBook book;
    FakeMessages messages;
    PlaybackEngine engine{values, view, random, book, messages, table()};

    Rig()
    {
        values.russianFirst = 0;
        values.showsPerPair = 1;
        values.englishSeconds = 3;
        values.russianSeconds = 5;
        values.sequentialOrder = 1;
        values.speakAloud = 1;
        values.topic = 14;
        values.position = 11000;
        values.speechSpeed = 90;
        view.character = &character;
    }

    // One 100 ms step as the window drives it: the presentation tick, then a
    // tick of each slide that is running.
    void step()
    {
        engine.onPresentationTick();
        if (view.russianSlide)
            engine.onRussianSlideTick();
        if (view.englishSlide)
            engine.onEnglishSlideTick();
    }

    // The identifier of the pair now loaded, found by its Russian text.
    int loadedId() const
    {
        for (int g = 1; g <= SentenceTable::groupCount; ++g)
            for (int k = 1; k <= SentenceTable::pairsPerGroup; ++k) {
                const int id = SentenceTable::sentenceId(g, k);
                if (russianOf(id) == engine.russian() && englishOf(id) == engine.english())
                    return id;
            }
        return -1;
    }
};

} // namespace

class TestPlaybackEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(table().errors().isEmpty()); }

    void sequenceWalk_data()
    {
        QTest::addColumn<int>("topic");
        QTest::addColumn<int>("position");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("first run restarts topic 14") << 14 << 11000 << QList<int>{11401, 11402};
        QTest::newRow("topic 3 wraps within the topic")
            << 3 << 10336 << QList<int>{10336, 10337, 10301};
        QTest::newRow("position of another topic") << 3 << 10505 << QList<int>{10301, 10302};
        QTest::newRow("whole table, next group") << 0 << 10137 << QList<int>{10137, 10201};
        QTest::newRow("whole table reaches groups 16 to 19")
            << 0 << 11537 << QList<int>{11537, 11601};
        QTest::newRow("whole table wraps after group 19") << 0 << 11937 << QList<int>{11937, 10101};
        QTest::newRow("whole table, position outside it") << 0 << 0 << QList<int>{10101, 10102};
    }

    void sequenceWalk()
    {
        QFETCH(int, topic);
        QFETCH(int, position);
        QFETCH(QList<int>, expected);
        Rig rig;
        rig.values.topic = qint16(topic);
        rig.values.position = qint16(position);
        for (int id : expected) {
            rig.engine.pickNextPair();
            QCOMPARE(rig.engine.russian(), russianOf(id));
            QCOMPARE(rig.engine.english(), englishOf(id));
            QCOMPARE(rig.values.position, qint16(id + 1));
            // Sequence order shows the pair in the tooltips.
            QCOMPARE(rig.view.russianTip, russianOf(id));
            QCOMPARE(rig.view.englishTip, englishOf(id));
        }
        QVERIFY(rig.messages.shown.isEmpty());
    }

    void missingStringReportsItsNumberOnce()
    {
        Rig rig;
        rig.values.topic = 0;
        rig.values.position = 10137;
        rig.engine.pickNextPair();
        rig.values.position = 10100;
        rig.engine.pickNextPair();
        QCOMPARE(rig.messages.shown, QStringList{"10100"});
        // The texts keep the pair shown before.
        QCOMPARE(rig.engine.russian(), russianOf(10137));
        QCOMPARE(rig.values.position, qint16(10101));
        rig.engine.pickNextPair();
        QCOMPARE(rig.engine.russian(), russianOf(10101));
        QCOMPARE(rig.messages.shown.size(), 1);
    }

    void randomOrderStaysInItsTopic()
    {
        const double top = std::nextafter(1.0, 0.0);
        for (int topic = 0; topic <= 15; ++topic) {
            for (double r : {0.0, 0.37, top}) {
                Rig rig;
                rig.values.sequentialOrder = 0;
                rig.values.topic = qint16(topic);
                rig.values.position = 11000;
                rig.view.russianTip = "unchanged";
                rig.random.values = {r, r};
                rig.engine.pickNextPair();
                const int id = rig.engine.randomId();
                const int number = id % 100;
                const int group = (id - 10000) / 100;
                QVERIFY2(number >= 1 && number <= 37, qPrintable(QString::number(id)));
                if (topic > 0)
                    QCOMPARE(group, topic);
                else
                    QVERIFY2(group >= 1 && group <= 19, qPrintable(QString::number(id)));
                QCOMPARE(rig.engine.russian(), russianOf(id));
                QVERIFY(rig.messages.shown.isEmpty());
                // Random order leaves the position and the tooltips alone.
                QCOMPARE(rig.values.position, qint16(11000));
                QCOMPARE(rig.view.russianTip, QString("unchanged"));
            }
        }
    }

    void wholeTableDrawsEveryGroup()
    {
        // The second draw picks the group: its extremes reach groups 1 and 19.
        Rig rig;
        rig.values.sequentialOrder = 0;
        rig.values.topic = 0;
        rig.random.values = {0.0, 0.0, 0.5, std::nextafter(1.0, 0.0)};
        rig.engine.pickNextPair();
        QCOMPARE(int(rig.engine.randomId()), 10101);
        rig.engine.pickNextPair();
        QCOMPARE(int(rig.engine.randomId()), 11919);
    }

    void presentationTimeline_data()
    {
        QTest::addColumn<int>("russianFirst");
        QTest::addColumn<QStringList>("firstLine"); // events at tick 1
        QTest::addColumn<int>("switchTick");
        QTest::addColumn<QStringList>("switchLine"); // events at the switch
        QTest::addColumn<QStringList>("endLine");    // events at tick 82
        QTest::newRow("Russian first") << 1 << QStringList{"russianSlide on"} << 51
                                       << QStringList{"russian  ", "englishSlide on"}
                                       << QStringList{"english  ", "englishTop 400"};
        QTest::newRow("English first")
            << 0 << QStringList{"englishSlide on"} << 31
            << QStringList{"english  ", "englishTop 400", "russianSlide on"}
            << QStringList{"russian  "};
    }

    void presentationTimeline()
    {
        QFETCH(int, russianFirst);
        QFETCH(QStringList, firstLine);
        QFETCH(int, switchTick);
        QFETCH(QStringList, switchLine);
        QFETCH(QStringList, endLine);
        Rig rig;
        rig.values.russianFirst = qint16(russianFirst);
        rig.values.russianSeconds = 5;
        rig.values.englishSeconds = 3;
        rig.engine.pickNextPair();
        const QString spoken = "Speak \\SPD=90\\" + russianOf(11401);

        std::map<int, QStringList> events;
        std::map<int, QStringList> speech;
        for (int tick = 1; tick <= 83; ++tick) {
            rig.engine.onPresentationTick();
            if (QStringList e = rig.view.take(); !e.isEmpty())
                events[tick] = e;
            if (!rig.character.calls.isEmpty())
                speech[tick] = rig.character.calls;
            rig.character.calls.clear();
        }
        QCOMPARE(events[1], firstLine);
        QCOMPARE(events[switchTick], switchLine);
        QCOMPARE(events[82], endLine);
        QCOMPARE(events.size(), size_t(4)); // nothing else happens in between
        const int speakTick = russianFirst == 1 ? 1 : switchTick;
        QCOMPARE(speech[speakTick], (QStringList{spoken, "Play Wave"}));
        // The next presentation starts at tick 83 with the next pair.
        QCOMPARE(rig.engine.russian(), russianOf(11402));
        QCOMPARE(events[83], firstLine);
        QCOMPARE(speech.size(), size_t(russianFirst == 1 ? 2 : 1));
    }

    void repetitions_data()
    {
        QTest::addColumn<int>("showsPerPair");
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("picks");
        // One presentation is 82 ticks; a pick happens on the tick after.
        QTest::newRow("n = 2: each pair twice") << 2 << 2 * 82 + 1 << 1;
        QTest::newRow("n = 1") << 1 << 2 * 82 + 1 << 2;
        QTest::newRow("n = 0: a pair at every tick") << 0 << 10 << 10;
    }

    void repetitions()
    {
        QFETCH(int, showsPerPair);
        QFETCH(int, ticks);
        QFETCH(int, picks);
        Rig rig;
        rig.values.showsPerPair = qint16(showsPerPair);
        rig.engine.pickNextPair();
        const qint16 before = rig.values.position;
        for (int i = 0; i < ticks; ++i)
            rig.engine.onPresentationTick();
        QCOMPARE(rig.values.position - before, picks);
    }

    void silentVoiceStillWaves()
    {
        Rig rig;
        rig.values.russianFirst = 1;
        rig.values.speakAloud = 0;
        rig.engine.pickNextPair();
        rig.engine.onPresentationTick();
        QCOMPARE(rig.character.calls, QStringList{"Play Wave"});
    }

    void slides()
    {
        Rig rig;
        rig.engine.pickNextPair();
        const QString russian = rig.engine.russian();
        rig.view.russianSlide = true;
        for (int i = 0; i < 36; ++i) {
            QVERIFY(rig.view.russianSlide);
            rig.engine.onRussianSlideTick();
            QCOMPARE(rig.view.russianCaption, QString(36 - i, ' ') + russian);
        }
        QVERIFY(!rig.view.russianSlide);
        QCOMPARE(rig.engine.slideCount(), 0);

        rig.view.englishTop = 400;
        rig.view.englishSlide = true;
        int ticks = 0;
        while (rig.view.englishSlide && ticks < 100) {
            rig.engine.onEnglishSlideTick();
            ++ticks;
        }
        QCOMPARE(ticks, 35);
        QCOMPARE(rig.view.englishTop, 60);
        QCOMPARE(rig.view.englishCaption, " " + rig.engine.english());
    }

    void stopSilencesAndPlayStartsTheNextPair()
    {
        // Stopped at any moment of any presentation, playing again must
        // present the next pair exactly as a fresh start at that pair would.
        QRandomGenerator rng(1606);
        for (int trial = 0; trial < 300; ++trial) {
            Rig cut;
            cut.values.russianFirst = qint16(rng.bounded(2));
            cut.values.russianSeconds = qint16(rng.bounded(1, 7));
            cut.values.englishSeconds = qint16(rng.bounded(1, 7));
            cut.values.showsPerPair = qint16(rng.bounded(4));
            cut.values.speakAloud = qint16(rng.bounded(2));
            cut.values.topic = qint16(rng.bounded(16));
            cut.values.position = qint16(rng.bounded(10101, 11938));
            const QString where = QStringLiteral("trial %1").arg(trial);
            int next = 0;
            cut.engine.pickNextPair();
            const int steps = rng.bounded(2 * 10 * (6 + 6 + 1) * 3);
            for (int i = 0; i < steps; ++i)
                cut.step();
            cut.view.take();
            cut.character.calls.clear();

            cut.engine.interrupt();
            QVERIFY2(cut.character.calls == QStringList{"Stop"}, qPrintable(where));
            QVERIFY2(cut.view.take().isEmpty(), qPrintable(where)); // the lines stay while stopped

            // The reference picks the same next pair at its first tick: a fresh
            // start has a pair loaded already unless every tick picks one.
            Rig fresh;
            fresh.values = cut.values;
            if (fresh.values.showsPerPair > 0)
                fresh.engine.pickNextPair();
            const QString before = cut.engine.russian();
            cut.character.calls.clear();
            cut.messages.shown.clear();

            // Two presentations of the next pair and the pick after them.
            for (int i = 1; i <= 2 * 82 + 1; ++i) {
                const QString at = where + QStringLiteral(", tick %1").arg(i);
                cut.step();
                fresh.step();
                QStringList expected = fresh.view.take();
                if (i == 1) {
                    expected = QStringList{"russianSlide off", "englishSlide off", "russian  ",
                                           "english  ", "englishTop 400"} +
                               expected;
                    QVERIFY2(cut.loadedId() == fresh.loadedId(), qPrintable(at));
                    QVERIFY2(cut.engine.russian() != before, qPrintable(at));
                    next = cut.loadedId();
                }
                QVERIFY2(cut.view.take() == expected, qPrintable(at));
                QVERIFY2(cut.character.calls == fresh.character.calls, qPrintable(at));
                QVERIFY2(cut.engine.state() == fresh.engine.state(), qPrintable(at));
                QVERIFY2(cut.engine.tickCount() == fresh.engine.tickCount(), qPrintable(at));
                QVERIFY2(cut.engine.showsCount() == fresh.engine.showsCount(), qPrintable(at));
                QVERIFY2(cut.values.position == fresh.values.position, qPrintable(at));
            }
            QVERIFY2(cut.messages.shown.isEmpty(), qPrintable(where));
            // The next pair was spoken, unless the voice is off (or every
            // tick picks another pair).
            const QString spoken = "Speak \\SPD=90\\" + russianOf(next);
            if (cut.values.showsPerPair > 0)
                QVERIFY2(cut.character.calls.contains(spoken) == (cut.values.speakAloud == 1),
                         qPrintable(where));
        }
    }

    void emptyBookFallsBackToGroup16_data()
    {
        QTest::addColumn<int>("sequentialOrder");
        QTest::newRow("sequence") << 1;
        QTest::newRow("random") << 0;
    }

    void emptyBookFallsBackToGroup16()
    {
        QFETCH(int, sequentialOrder);
        Rig rig;
        rig.values.topic = 16;
        rig.values.sequentialOrder = qint16(sequentialOrder);
        rig.random.values = {0.0, 0.5};
        for (int pick = 1; pick <= 2; ++pick) {
            rig.engine.pickNextPair();
            QCOMPARE(rig.messages.shown.size(), pick);
            QCOMPARE(rig.messages.shown.last(), PlaybackEngine::kEmptyBook);
            QCOMPARE(rig.loadedId() / 100, 116);
        }
        if (sequentialOrder == 1)
            QCOMPARE(rig.loadedId(), 11602);
        QCOMPARE(rig.view.wordBookStepMs, -1);
        QCOMPARE(rig.book.binds, 0);
    }

    void bookGivesItsCurrentRecord()
    {
        Rig rig;
        rig.values.topic = 16;
        rig.values.englishSeconds = 4;
        rig.book.pairs = {{"Привет", "Hello"}, {"Пока", "Bye"}};
        rig.engine.pickNextPair();
        QCOMPARE(rig.engine.russian(), QString("Привет"));
        QCOMPARE(rig.engine.english(), QString("Hello"));
        QCOMPARE(rig.view.wordBookStepMs, 4000);
        QCOMPARE(rig.view.boundRussian, QString("Привет"));
        QCOMPARE(rig.view.englishTip, QString("Hello"));
        rig.engine.onWordBookStepTick();
        QCOMPARE(rig.view.boundEnglish, QString("Bye"));
        rig.engine.pickNextPair();
        QCOMPARE(rig.engine.english(), QString("Bye"));
        QVERIFY(rig.messages.shown.isEmpty());
    }

    void messageDoesNotStackAndPlaybackGoesOn()
    {
        Rig rig;
        rig.values.topic = 16;
        rig.values.showsPerPair = 0; // a pick at every tick
        rig.engine.pickNextPair();
        rig.messages.shown.clear();
        // Ticks that arrive while the box is open.
        rig.messages.whileOpen = [&] {
            for (int i = 0; i < 5; ++i)
                rig.engine.onPresentationTick();
        };
        rig.engine.onPresentationTick();
        QCOMPARE(rig.messages.shown.size(), 1);
        QCOMPARE(rig.engine.tickCount(), 1);
        QCOMPARE(rig.engine.state(), 1);
        rig.messages.whileOpen = nullptr;
        rig.engine.onPresentationTick();
        QCOMPARE(rig.engine.tickCount(), 2);
        QCOMPARE(rig.messages.shown.size(), 2);
    }

    // A book that cannot be read says why once for each cause while it stays
    // so, plays the stand-by group meanwhile, and is news again once it has
    // been read; only a truly empty book says "empty", at every pick.
    void unreadableBookIsReportedOncePerCause()
    {
        Rig rig;
        rig.values.topic = 16;
        rig.book.pairs = {{"Привет", "Hello"}};
        const auto messageFor = [](BookFailure failure) {
            return PlaybackEngine::bookFailureMessage(failure, "/books/dialog.ocx");
        };
        const struct {
            BookFailure failure;
            int picks;
            QStringList newMessages;
        } steps[] = {
            {BookFailure::Locked, 3, {messageFor(BookFailure::Locked)}},
            {BookFailure::Damaged, 2, {messageFor(BookFailure::Damaged)}},
            {BookFailure::Locked, 1, {}},
            {BookFailure::None, 1, {}},
            {BookFailure::Locked, 2, {messageFor(BookFailure::Locked)}},
            {BookFailure::Missing, 1, {messageFor(BookFailure::Missing)}},
            {BookFailure::NotAWordBook, 1, {messageFor(BookFailure::NotAWordBook)}},
            {BookFailure::Unreadable, 1, {messageFor(BookFailure::Unreadable)}},
        };
        for (const auto& step : steps) {
            rig.book.failing = step.failure;
            rig.messages.shown.clear();
            for (int pick = 0; pick < step.picks; ++pick) {
                rig.engine.pickNextPair();
                if (step.failure == BookFailure::None)
                    QCOMPARE(rig.engine.russian(), QString("Привет"));
                else
                    QCOMPARE(rig.loadedId() / 100, 116);
            }
            QCOMPARE(rig.messages.shown, step.newMessages);
        }
        QVERIFY(messageFor(BookFailure::Locked).startsWith(PlaybackEngine::kLockedBook));
        QVERIFY(messageFor(BookFailure::Locked).endsWith("\n/books/dialog.ocx"));
        rig.book.failing = BookFailure::None;
        rig.book.pairs.clear();
        rig.messages.shown.clear();
        for (int pick = 1; pick <= 2; ++pick) {
            rig.engine.pickNextPair();
            QCOMPARE(rig.messages.shown.size(), pick);
            QCOMPARE(rig.messages.shown.last(), PlaybackEngine::kEmptyBook);
        }
    }

    // A book source that throws, whatever it throws, never takes a tick with
    // it: the pick plays the stand-by group and says the book cannot be read.
    void throwingBookNeverLeavesATick_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("out of memory") << 0;
        QTest::newRow("book failure") << 1;
        QTest::newRow("anything") << 2;
    }

    void throwingBookNeverLeavesATick()
    {
        QFETCH(int, kind);
        Rig rig;
        rig.values.topic = 16;
        rig.values.showsPerPair = 0; // a pick at every tick
        rig.book.pairs = {{"Привет", "Hello"}};
        rig.engine.pickNextPair();
        QCOMPARE(rig.engine.russian(), QString("Привет"));
        rig.book.thrower = [kind] {
            if (kind == 0)
                throw std::bad_alloc();
            if (kind == 1)
                throw wordbook::DbError(wordbook::FileInUse, "locked");
            throw 42;
        };
        QVERIFY_THROWS_NO_EXCEPTION(rig.engine.onPresentationTick());
        QVERIFY_THROWS_NO_EXCEPTION(rig.engine.onWordBookStepTick());
        QVERIFY_THROWS_NO_EXCEPTION(rig.engine.bindWordBook());
        QVERIFY_THROWS_NO_EXCEPTION(rig.engine.pickNextPair());
        QCOMPARE(rig.loadedId() / 100, 116);
        QCOMPARE(rig.messages.shown, QStringList{PlaybackEngine::bookFailureMessage(
                                         BookFailure::Unreadable, "/books/dialog.ocx")});
    }

    // A text from the book longer than the strip can show is cut before it is
    // shown or spoken, at the end of a letter: a stressed vowel keeps its
    // mark, a surrogate pair stays whole; a text that fits is left alone.
    void longBookTextsAreCutAtALetterEnd()
    {
        QRandomGenerator random(2024);
        const QString pieces[] = {"а", "о\u0301", "b", " ", "\U0001F600", "е\u0301\u0301"};
        for (int round = 0; round < 200; ++round) {
            const qsizetype target = playback::kLongestShownText - 8 + random.bounded(20);
            QString text;
            while (text.size() < target)
                text += pieces[random.bounded(int(std::size(pieces)))];
            const QString cut = playback::cutToShownLength(text);
            QVERIFY(cut.size() <= playback::kLongestShownText);
            if (text.size() <= playback::kLongestShownText) {
                QCOMPARE(cut, text);
                continue;
            }
            QVERIFY(cut.endsWith(QChar(0x2026)));
            const QString kept = cut.chopped(1);
            QVERIFY(text.startsWith(kept));
            QVERIFY(kept.size() >= playback::kLongestShownText - 4);
            QTextBoundaryFinder letters(QTextBoundaryFinder::Grapheme, text);
            letters.setPosition(kept.size());
            QVERIFY2(letters.isAtBoundary(), qPrintable(QString::number(kept.size())));
        }

        Rig rig;
        rig.values.topic = 16;
        rig.values.russianFirst = 1;
        rig.values.sequentialOrder = 1;
        const QString russian(10'000'000, QChar(u'ж'));
        const QString english(10'000'000, QChar(u'w'));
        rig.book.pairs = {{russian, english}};
        rig.engine.pickNextPair();
        const QString shownRussian = playback::cutToShownLength(russian);
        QCOMPARE(rig.engine.russian(), shownRussian);
        QCOMPARE(rig.engine.english(), playback::cutToShownLength(english));
        QCOMPARE(rig.view.boundRussian, shownRussian);
        QCOMPARE(rig.view.boundEnglish.size(), playback::kLongestShownText);
        QCOMPARE(rig.view.russianTip, shownRussian);
        rig.engine.onPresentationTick();
        QCOMPARE(rig.character.calls.first(), "Speak \\SPD=90\\" + shownRussian);
        rig.engine.onWordBookStepTick();
        QCOMPARE(rig.view.boundRussian, shownRussian);
    }
};

QTEST_GUILESS_MAIN(TestPlaybackEngine)
#include "tst_playbackengine.moc"
