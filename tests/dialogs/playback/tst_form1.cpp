#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "dialogs/playback/form1.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/support/testenvironment.h"

#include <QMouseEvent>
#include <QScreen>
#include <QtTest>

using namespace playbacktest;
using playback::Form1;

namespace {

class OneCharacter final : public speech::CharacterService
{
public:
    bool Load(const QString&, const QString&) override { return true; }
    speech::AgentCharacter* Character(const QString&) override { return &character; }
    void Unload(const QString&) override {}
    FakeCharacter character;
};

struct Window {
    settings::SettingsStore store;
    settings::Settings values;
    FixedRandom random;
    FakeMessages* messages = nullptr;
    std::unique_ptr<Form1> form;
    QPoint pointer;

    Window()
    {
        values.russianFirst = 1;
        values.showsPerPair = 1;
        values.russianSeconds = 5;
        values.englishSeconds = 3;
        values.sequentialOrder = 1;
        values.speakAloud = 1;
        values.topic = 14;
        values.position = 11000;
        values.speechSpeed = 90;
        values.fontSize = 12;
        playback::PlaybackServices services;
        services.random = &random;
        services.wordBook = std::make_unique<FakeBook>();
        auto boxes = std::make_unique<FakeMessages>();
        messages = boxes.get();
        services.messages = std::move(boxes);
        form = std::make_unique<Form1>(store, values, std::make_unique<OneCharacter>(),
                                       std::move(services));
        form->setPointerSource([this] { return pointer; });
        form->move(300, 0);
        form->AdjustSize();
        form->Get_Windows_Rect();
        form->show();
    }

    int px(double twips) const { return int(std::lround(twips / form->twipsPerPixel())); }

    void mouse(QWidget* target, QEvent::Type type, QPoint global)
    {
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, target->mapFromGlobal(global), global, Qt::LeftButton, held,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(target, &event);
    }

    void endCountdown()
    {
        while (form->countdown().value() > 0)
            form->countdown().decrease();
    }
};

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void layoutFollowsTheFontSize()
    {
        Window w;
        Form1& f = *w.form;
        QCOMPARE(f.fullHeightTwips(), 360);
        QCOMPARE(f.height(), w.px(360));
        QCOMPARE(f.y(), 0);
        // The pictures sit at the right end, Play/Stop left of the menu spot.
        QVERIFY(f.Image2[1]->isVisibleTo(&f) && !f.Image2[0]->isVisibleTo(&f));
        QVERIFY(f.Label1->geometry().right() < f.Image2[1]->x());
        QVERIFY(f.Image2[1]->geometry().right() < f.Image1->x());
        QVERIFY(f.Image1->geometry().right() < f.width());
        QVERIFY(!f.Image1->pixmap().isNull());

        w.values.fontSize = 20;
        f.move(f.x(), 50);
        f.AdjustSize();
        f.Get_Windows_Rect();
        QCOMPARE(f.fullHeightTwips(), 600);
        QCOMPARE(f.height(), w.px(600));
        QCOMPARE(f.y(), 0);
        QCOMPARE(f.Label1->font().pointSize(), 20);
    }

    void playStopResumesWhereItStopped()
    {
        Window w;
        Form1& f = *w.form;
        f.NextSentence();
        f.Timer5.start();
        for (int i = 0; i < 60; ++i)
            f.engine().Timer5_Timer();
        QCOMPARE(f.engine().state(), 3);

        w.mouse(f.Image2[1], QEvent::MouseButtonPress, f.Image2[1]->mapToGlobal(QPoint(5, 10)));
        w.mouse(f.Image2[1], QEvent::MouseButtonRelease, f.Image2[1]->mapToGlobal(QPoint(5, 10)));
        QVERIFY(!f.Timer5.isActive());
        QVERIFY(f.Image2[0]->isVisibleTo(&f) && !f.Image2[1]->isVisibleTo(&f));
        QCOMPARE(f.Image2[0]->toolTip(), QString("Play"));

        w.mouse(f.Image2[0], QEvent::MouseButtonPress, f.Image2[0]->mapToGlobal(QPoint(5, 10)));
        w.mouse(f.Image2[0], QEvent::MouseButtonRelease, f.Image2[0]->mapToGlobal(QPoint(5, 10)));
        QVERIFY(f.Timer5.isActive());
        QVERIFY(f.Image2[1]->isVisibleTo(&f) && !f.Image2[0]->isVisibleTo(&f));
        // The English line still has ticks 61 to 81 to go.
        QCOMPARE(f.engine().tickCount(), 60);
        f.Label2->setText("English");
        for (int i = 61; i < 82; ++i)
            f.engine().Timer5_Timer();
        QCOMPARE(f.Label2->text(), QString("English"));
        f.engine().Timer5_Timer();
        QCOMPARE(f.Label2->text(), QString(" "));
        QCOMPARE(f.label2TopTwips(), 400);
    }

    void dragMovesSidewaysAndDocks_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("expectedLeft"); // -1: start + dx
        QTest::newRow("sideways and down") << -120 << -1;
        QTest::newRow("off the right edge") << 2000 << -2;
    }

    void dragMovesSidewaysAndDocks()
    {
        QFETCH(int, dx);
        QFETCH(int, expectedLeft);
        Window w;
        Form1& f = *w.form;
        const int screenWidth = QGuiApplication::primaryScreen()->geometry().width();
        const int width = f.width();
        const QPoint start = f.Label1->mapToGlobal(QPoint(20, 5));
        w.mouse(f.Label1, QEvent::MouseButtonPress, start);
        const QPoint end = start + QPoint(dx, 60);
        w.mouse(f.Label1, QEvent::MouseMove, end);
        QCOMPARE(f.y(), 60); // follows the pointer down while dragged
        w.mouse(f.Label1, QEvent::MouseButtonRelease, end);
        const int expected = expectedLeft == -1   ? 300 + dx
                             : expectedLeft == -2 ? screenWidth - w.px(7110)
                                                  : expectedLeft;
        QCOMPARE(f.x(), expected);
        QCOMPARE(f.y(), 0);
        QCOMPARE(f.width(), width);
        QCOMPARE(f.height(), w.px(360));
        QVERIFY(!f.geometry().isEmpty() && !f.geometry().contains(QPoint(-1, 0)));
    }

    void autoHideFoldsBlinksAndUnfolds()
    {
        Window w;
        Form1& f = *w.form;
        w.values.autoHide = 1;
        w.pointer = QPoint(f.x() + 10, 300);
        f.countdown().reset();
        f.Timer1_Timer();
        QCOMPARE(f.height(), w.px(360)); // the start-up countdown still runs

        w.endCountdown();
        f.Timer1_Timer();
        QVERIFY(f.height() < w.px(360));
        f.Timer2_Timer();
        QCOMPARE(f.blinkColour(), std::optional<QColor>(QColor(0, 255, 0)));
        f.Timer2_Timer();
        QCOMPARE(f.blinkColour(), std::optional<QColor>(QColor(255, 0, 0)));

        w.pointer = QPoint(f.x() + 10, 8);
        f.Timer1_Timer();
        QVERIFY(f.height() < w.px(360));
        w.pointer = QPoint(f.x() + 10, 0);
        f.Timer1_Timer();
        QCOMPARE(f.height(), w.px(360));
        f.Timer2_Timer();
        QCOMPARE(f.blinkColour(), std::optional<QColor>());

        w.values.autoHide = 0;
        w.pointer = QPoint(f.x() + 10, 300);
        f.Timer1_Timer();
        QCOMPARE(f.height(), w.px(360));
    }

    void timer1RestsWhileAutoHideIsOff()
    {
        Window w;
        Form1& f = *w.form;
        f.configureTimers();
        f.countdown().reset();
        for (int tick = 1; tick <= 68; ++tick) {
            f.Timer1_Timer();
            QVERIFY2(f.Timer1.isActive(), qPrintable(QString("stopped at tick %1").arg(tick)));
        }
        f.Timer1_Timer();
        QVERIFY(f.Timer5.isActive()); // playback started before the rest
        QVERIFY(!f.Timer1.isActive());

        // Turning auto-hide on wakes it; it folds the strip as before.
        w.values.autoHide = 1;
        f.autoHideChanged();
        QVERIFY(f.Timer1.isActive());
        w.pointer = QPoint(f.x() + 10, 300);
        f.Timer1_Timer();
        QVERIFY(f.height() < w.px(360));
        QVERIFY(f.Timer1.isActive());

        // Off again: the next tick unfolds the strip, then rests.
        w.values.autoHide = 0;
        f.Timer1_Timer();
        QCOMPARE(f.height(), w.px(360));
        QVERIFY(!f.Timer1.isActive());
    }

    void menuHotSpotRaisesRequests()
    {
        Window w;
        Form1& f = *w.form;
        QSignalSpy requests(&f, &Form1::menuRequested);
        const QPoint over = f.Image1->mapToGlobal(QPoint(10, 10));
        w.mouse(f.Image1, QEvent::MouseMove, over);
        w.mouse(f.Image1, QEvent::MouseMove, over + QPoint(1, 0));
        QCOMPARE(requests.count(), 2);
        f.setMenuHotSpotEnabled(false);
        w.mouse(f.Image1, QEvent::MouseMove, over);
        QCOMPARE(requests.count(), 2);
        QVERIFY(!f.image1Enabled());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
