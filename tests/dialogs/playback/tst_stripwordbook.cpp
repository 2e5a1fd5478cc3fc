#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "dialogs/playback/qtmessageboxes.h"
#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/playback/stripwindow.h"
#include "dialogs/playback/textcut.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/dialogs/wordbook/bookfixture.h"
#include "tests/support/testenvironment.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QtTest>

using playback::StripWindow;

namespace {

// The strip on a real word book, with the book's topic chosen.
struct BookStrip {
    settings::SettingsStore store;
    settings::Settings values;
    playbacktest::FixedRandom random;
    std::unique_ptr<StripWindow> strip;

    explicit BookStrip(const QString& programFolder)
    {
        values.russianFirst = 1;
        values.showsPerPair = 1;
        values.russianSeconds = 1;
        values.englishSeconds = 1;
        values.sequentialOrder = 1;
        values.topic = 16;
        values.position = 11601;
        values.fontSize = 8;
        playback::PlaybackServices services;
        services.random = &random;
        services.wordBook = std::make_unique<playback::SqliteWordBook>(programFolder);
        services.messages = std::make_unique<playbacktest::FakeMessages>();
        strip = std::make_unique<StripWindow>(store, values, nullptr, std::move(services));
        strip->move(0, 0);
        strip->layOutForFontSize();
        strip->rememberWindowRect();
        strip->show();
    }
};

} // namespace

class TestStripWordBook : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    // A pair of 10 MB texts in the book plays through two presentations and
    // their word book steps, with no tick, together with the painting it
    // causes, keeping the window's thread over 100 ms.
    void tenMegabyteTextPlaysWithoutStalling()
    {
        const QString dir = testsupport::TestEnvironment::instance().dataHome() + "/huge";
        const QString russian(5'000'000, QChar(u'ж')); // 10 MB as stored
        const QString english(10'000'000, QChar(u'w'));
        wordbooktest::makeBook(dir, {{english, russian}, {"Hello", "Привет"}});
        BookStrip f(dir);
        QVERIFY(QTest::qWaitForWindowExposed(f.strip.get()));
        playback::PlaybackEngine& engine = f.strip->engine();

        qint64 longest = 0;
        QString slowest;
        const auto timed = [&](const char* what, const std::function<void()>& tick) {
            QElapsedTimer clock;
            clock.start();
            tick();
            f.strip->repaint();
            QCoreApplication::processEvents();
            if (clock.elapsed() > longest) {
                longest = clock.elapsed();
                slowest = QString::fromLatin1(what);
            }
        };
        timed("pick", [&] { f.strip->pickNextPair(); });
        QCOMPARE(engine.russian(), playback::cutToShownLength(russian));
        // The ticks of 4.4 s of playing, in the order the timers give them.
        for (int ms = 10; ms <= 4400; ms += 10) {
            if (ms % 100 == 0)
                timed("presentation", [&] { engine.onPresentationTick(); });
            if (ms % 80 == 0)
                timed("Russian slide", [&] { engine.onRussianSlideTick(); });
            if (ms % 50 == 0)
                timed("English slide", [&] { engine.onEnglishSlideTick(); });
            if (ms % 1000 == 0)
                timed("word book step", [&] { engine.onWordBookStepTick(); });
        }
        QVERIFY2(longest <= 100, qPrintable(QString("%1 took %2 ms").arg(slowest).arg(longest)));
        // The second presentation showed the other pair, the first one again after it.
        QVERIFY(f.strip->russianLine()->text().size() <= playback::kLongestShownText + 36);
        QCOMPARE(engine.russian(), playback::cutToShownLength(russian));
    }

    // The message box of a pick stands in the middle of the screen, on top,
    // clear of the strip, however the strip is stacked against it.
    void messageBoxStaysClearOfTheStrip()
    {
        BookStrip f(testsupport::TestEnvironment::instance().dataHome());
        f.strip->resize(f.strip->screen()->geometry().width(), f.strip->height());
        QVERIFY(QTest::qWaitForWindowExposed(f.strip.get()));
        playback::QtMessageBoxes boxes(f.strip.get());
        QRect boxArea;
        bool onTop = false;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            boxArea = box->frameGeometry();
            onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
            text = box->text();
            box->accept();
        });
        boxes.information("Error:New Words book is locked by another program.\n/x/dialog.ocx");
        QCOMPARE(text,
                 QString("Error:New Words book is locked by another program.\n/x/dialog.ocx"));
        QVERIFY(onTop);
        QVERIFY2(!boxArea.intersects(f.strip->frameGeometry()),
                 qPrintable(QString("box at %1,%2").arg(boxArea.x()).arg(boxArea.y())));
        const QRect screen = f.strip->screen()->availableGeometry();
        QVERIFY(screen.contains(boxArea));
        QVERIFY(qAbs(boxArea.center().y() - screen.center().y()) <= boxArea.height());
    }
};

QTEST_MAIN(TestStripWordBook)
#include "tst_stripwordbook.moc"
