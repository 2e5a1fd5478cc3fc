#include "skin/captionbutton.h"
#include "skin/pointer.h"
#include "skin/skinbitmaps.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"
#include "tests/skin/skintestsupport.h"

#include <QLabel>
#include <QMouseEvent>
#include <QtTest>

using skin::ActiveWindow;
using skin::SkinFrame;
using skin::WindowState;
using skintest::FixedPointer;

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);

// Stands in for the top-level window; refuses sizes the way a window
// manager does for a maximised window or an empty size.
class FakeHost final : public skin::HostWindow
{
public:
    WindowState state = WindowState::Normal;
    QRect geo{100, 100, 400, 300};
    QString title;
    ActiveWindow active = ActiveWindow::Host;
    bool systemMoveWorks = true;
    int systemMoves = 0;
    int geometryRequests = 0;
    QRegion mask;

    WindowState windowState() const override { return state; }
    void setWindowState(WindowState s) override { state = s; }
    QRect geometry() const override { return geo; }
    bool setGeometry(const QRect& g) override
    {
        ++geometryRequests;
        if (state != WindowState::Normal || g.width() < 1 || g.height() < 1)
            return false;
        geo = g;
        return true;
    }
    QSize clientSize() const override { return geo.size(); }
    void setTitle(const QString& t) override { title = t; }
    ActiveWindow activeWindow() const override { return active; }
    bool startSystemMove() override
    {
        ++systemMoves;
        return systemMoveWorks;
    }
    void setMask(const QRegion& region) override { mask = region; }
};

void mouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button = Qt::LeftButton)
{
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::MouseButtons() : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(local), QPointF(w->mapToGlobal(local)),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

void drag(QWidget* w, QPoint from, QPoint to)
{
    mouse(w, QEvent::MouseButtonPress, from);
    mouse(w, QEvent::MouseButtonRelease, to);
}

QRgb titlePixel(const SkinFrame& frame, int x, int y)
{
    return frame.titleBar()->pixmap().toImage().pixel(x, y) & RGB_MASK;
}

QRgb stripPixel(const QLabel* strip, int x, int y)
{
    return strip->pixmap().toImage().pixel(x, y) & RGB_MASK;
}

} // namespace

class TestSkinFrame : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    SkinFrame* m_frame = nullptr;
    std::shared_ptr<FakeHost> m_host;

private slots:
    void init()
    {
        m_window = std::make_unique<QWidget>();
        m_window->resize(400, 300);
        m_frame = new SkinFrame(m_window.get());
        m_frame->setObjectName(QStringLiteral("skinFrame"));
        m_frame->resize(400, 300);
        m_host = std::make_shared<FakeHost>();
        m_frame->setHost(m_host);
    }

    void cleanup() { m_window.reset(); }

    void maximisedHostStaysAndDoubleClickRestores()
    {
        m_host->state = WindowState::Maximised;
        m_host->systemMoveWorks = false;
        const QRect before = m_host->geo;
        mouse(m_frame->titleBar(), QEvent::MouseButtonPress, {200, 15});
        mouse(m_frame->titleBar(), QEvent::MouseMove, {260, 55});
        mouse(m_frame->titleBar(), QEvent::MouseButtonRelease, {260, 55});
        QCOMPARE(m_host->systemMoves, 0);
        QCOMPARE(m_host->geo, before);

        mouse(m_frame->titleBar(), QEvent::MouseButtonDblClick, {200, 15});
        QCOMPARE(m_host->state, WindowState::Normal);
        mouse(m_frame->captionLabel(), QEvent::MouseButtonDblClick, {2, 2});
        QCOMPARE(m_host->state, WindowState::Maximised);
    }

    void titleBarMovesTheHost()
    {
        mouse(m_frame->titleBar(), QEvent::MouseButtonPress, {200, 15});
        QCOMPARE(m_host->systemMoves, 1);

        // Without a window manager the frame follows the pointer itself.
        m_host->systemMoveWorks = false;
        mouse(m_frame->captionLabel(), QEvent::MouseButtonPress, {5, 5});
        mouse(m_frame->captionLabel(), QEvent::MouseMove, {35, 25});
        QCOMPARE(m_host->geo, QRect(130, 120, 400, 300));
        mouse(m_frame->captionLabel(), QEvent::MouseButtonRelease, {35, 25});
        mouse(m_frame->captionLabel(), QEvent::MouseMove, {85, 25});
        QCOMPARE(m_host->geo, QRect(130, 120, 400, 300));
    }

    void fixedBorderKeepsMovingOnly()
    {
        m_frame->readProperties({{QStringLiteral("Fixed_Single"), true}});
        QVERIFY(m_frame->fixedBorder());
        for (int edge = 0; edge < 8; ++edge)
            QCOMPARE(m_frame->edgePiece(edge)->cursor().shape(), Qt::ArrowCursor);

        const QRect before = m_host->geo;
        drag(m_frame->edgePiece(SkinFrame::LeftEdge), {2, 50}, {12, 50});
        drag(m_frame->edgePiece(SkinFrame::BottomRightGrip), {4, 4}, {30, 30});
        QCOMPARE(m_host->geo, before);
        mouse(m_frame->titleBar(), QEvent::MouseButtonDblClick, {200, 15});
        QCOMPARE(m_host->state, WindowState::Normal);

        mouse(m_frame->titleBar(), QEvent::MouseButtonPress, {200, 15});
        QCOMPARE(m_host->systemMoves, 1);
        // The top grips let presses through to the title bar.
        QCOMPARE(m_frame->titleBar()->childAt(200, 3), nullptr);
        QCOMPARE(m_frame->titleBar()->childAt(3, 3), nullptr);

        m_frame->setFixedBorder(false);
        QCOMPARE(m_frame->titleBar()->childAt(200, 3), m_frame->edgePiece(SkinFrame::TopEdge));
        QCOMPARE(m_frame->edgePiece(SkinFrame::LeftEdge)->cursor().shape(), Qt::SizeHorCursor);
    }

    void leftBorderDragMovesOnlyTheLeftEdge()
    {
        drag(m_frame->edgePiece(SkinFrame::LeftEdge), {2, 50}, {12, 50});
        QCOMPARE(m_host->geo.left(), 110);
        QCOMPARE(m_host->geo.width(), 390);
        QCOMPARE(m_host->geo.right(), 499);
        QCOMPARE(m_host->geo.top(), 100);
        QCOMPARE(m_host->geo.height(), 300);
    }

    void releaseWherePressedChangesNothing()
    {
        for (int edge = 0; edge < 8; ++edge)
            drag(m_frame->edgePiece(edge), {3, 3}, {3, 3});
        QCOMPARE(m_host->geo, QRect(100, 100, 400, 300));
        QCOMPARE(m_host->geometryRequests, 0);
    }

    void resizeHostByEdge_data()
    {
        QTest::addColumn<int>("edge");
        QTest::addColumn<QRect>("expected");
        // Pointer travel of +7 across and -4 down from a window at 100,100 400x300.
        QTest::newRow("left") << 0 << QRect(107, 100, 393, 300);
        QTest::newRow("right") << 1 << QRect(100, 100, 407, 300);
        QTest::newRow("top") << 2 << QRect(100, 96, 400, 304);
        QTest::newRow("bottom") << 3 << QRect(100, 100, 400, 296);
        QTest::newRow("bottom right") << 4 << QRect(100, 100, 407, 296);
        QTest::newRow("bottom left") << 5 << QRect(107, 100, 393, 296);
        QTest::newRow("top right") << 6 << QRect(100, 96, 407, 304);
        QTest::newRow("top left") << 7 << QRect(107, 96, 393, 304);
        QTest::newRow("unknown high") << 8 << QRect(100, 100, 400, 300);
        QTest::newRow("unknown low") << -1 << QRect(100, 100, 400, 300);
    }

    void resizeHostByEdge()
    {
        QFETCH(int, edge);
        QFETCH(QRect, expected);
        FakeHost host;
        SkinFrame::resizeHost(host, {50, 50}, {57, 46}, edge);
        QCOMPARE(host.geo, expected);
    }

    void refusedSizesAreIgnored()
    {
        FakeHost host;
        SkinFrame::resizeHost(host, {500, 0}, {0, 0}, SkinFrame::RightEdge);
        QCOMPARE(host.geo, QRect(100, 100, 400, 300));
        host.state = WindowState::Maximised;
        SkinFrame::resizeHost(host, {0, 0}, {10, 10}, SkinFrame::BottomRightGrip);
        QCOMPARE(host.geo, QRect(100, 100, 400, 300));
    }

    void titleImageFollowsWindowState()
    {
        const QImage top = skin::skinBitmap("imgtop1");
        const QImage topmax = skin::skinBitmap("imgtopmax1");
        QCOMPARE(titlePixel(*m_frame, 0, 0), kMagenta & RGB_MASK);
        QCOMPARE(titlePixel(*m_frame, 399, 0), kMagenta & RGB_MASK);
        QCOMPARE(titlePixel(*m_frame, 200, 14), top.pixel(33, 14) & RGB_MASK);
        QCOMPARE(m_frame->edgePiece(SkinFrame::TopLeftGrip)->cursor().shape(), Qt::SizeFDiagCursor);

        m_host->state = WindowState::Maximised;
        m_frame->layoutPass();
        QCOMPARE(titlePixel(*m_frame, 0, 0), topmax.pixel(0, 0) & RGB_MASK);
        QCOMPARE(titlePixel(*m_frame, 399, 0), topmax.pixel(65, 0) & RGB_MASK);
        QVERIFY(titlePixel(*m_frame, 0, 0) != (kMagenta & RGB_MASK));
        for (int edge = 0; edge < 8; ++edge)
            QCOMPARE(m_frame->edgePiece(edge)->cursor().shape(), Qt::ArrowCursor);
    }

    void minimisedHostKeepsItsTitleAndCursors()
    {
        const QRgb activeTitle = titlePixel(*m_frame, 200, 14);
        const auto* left = qobject_cast<QLabel*>(m_frame->edgePiece(SkinFrame::LeftEdge));
        QVERIFY(left);
        const QRgb activeLeft = stripPixel(left, 1, 10);
        m_host->state = WindowState::Minimised;
        m_frame->useInactiveLook();
        m_frame->layoutPass();
        QCOMPARE(titlePixel(*m_frame, 200, 14), activeTitle);
        QCOMPARE(m_frame->edgePiece(SkinFrame::LeftEdge)->cursor().shape(), Qt::SizeHorCursor);
        // The borders do follow the new look.
        QVERIFY(stripPixel(left, 1, 10) != activeLeft);

        m_host->state = WindowState::Normal;
        m_frame->layoutPass();
        QCOMPARE(titlePixel(*m_frame, 200, 14),
                 skin::skinBitmap("imgtop2").pixel(33, 14) & RGB_MASK);
    }

    void mouseSignalsCarryButtonShiftAndPosition() { skintest::checkMouseSignalArguments(m_frame); }

    void captionReachesLabelsAndHost()
    {
        m_frame->readProperties({});
        QCOMPARE(m_frame->caption(), QStringLiteral("skinFrame"));
        QCOMPARE(m_frame->icon().size(), QSize(16, 16));
        QVERIFY(!m_frame->fixedBorder());

        m_frame->readProperties({{QStringLiteral("Caption"), QStringLiteral("Options...")}});
        QCOMPARE(m_frame->captionLabel()->text(), QStringLiteral("Options..."));
        QCOMPARE(m_frame->shadowLabel()->text(), QStringLiteral("Options..."));
        QCOMPARE(m_host->title, QStringLiteral("Options..."));
        QCOMPARE(m_frame->shadowLabel()->pos() - m_frame->captionLabel()->pos(), QPoint(2, 2));
    }

    void watchesSettleTheLookAndStop()
    {
        const auto running = [this] {
            int n = 0;
            for (const QTimer* t : m_frame->findChildren<QTimer*>())
                n += t->isActive();
            return n;
        };
        QCOMPARE(running(), 2);
        m_frame->deactivationTick();
        m_frame->activationTick();
        QVERIFY(m_frame->isActiveLook());
        QCOMPARE(running(), 0);

        // Another window takes the focus: the watches wake and fade the frame.
        m_host->active = ActiveWindow::Other;
        QEvent change(QEvent::ActivationChange);
        QCoreApplication::sendEvent(m_window.get(), &change);
        QCOMPARE(running(), 2);
        m_frame->activationTick();
        QVERIFY(m_frame->isActiveLook());
        m_frame->deactivationTick();
        QVERIFY(!m_frame->isActiveLook());
        QCOMPARE(running(), 0);
        QCOMPARE(titlePixel(*m_frame, 200, 14),
                 skin::skinBitmap("imgtop2").pixel(33, 14) & RGB_MASK);

        // Another program in front: the frame settles inactive.
        m_host->active = ActiveWindow::None;
        m_frame->showActiveLook();
        QVERIFY(m_frame->isActiveLook());
        QCoreApplication::sendEvent(m_window.get(), &change);
        m_frame->activationTick();
        m_frame->deactivationTick();
        QVERIFY(!m_frame->isActiveLook());
        QCOMPARE(running(), 0);

        m_host->active = ActiveWindow::Host;
        QCoreApplication::sendEvent(m_window.get(), &change);
        m_frame->deactivationTick();
        m_frame->activationTick();
        QVERIFY(m_frame->isActiveLook());
    }

    void shapeCutsTheTitleCornersAndFollowsTheSize()
    {
        m_frame->applyShape();
        QRegion expected(0, 0, 400, 300);
        const int runs[] = {5, 3, 2, 1, 1};
        for (int y = 0; y < 5; ++y) {
            expected -= QRegion(0, y, runs[y], 1);
            expected -= QRegion(400 - runs[y], y, runs[y], 1);
        }
        QCOMPARE(m_host->mask, expected);

        // A bigger host must not stay clipped to its old shape.
        m_host->geo.setSize({500, 360});
        QResizeEvent resize({500, 360}, {400, 300});
        QCoreApplication::sendEvent(m_window.get(), &resize);
        QCOMPARE(m_host->mask.boundingRect(), QRect(0, 0, 500, 360));

        m_host->state = WindowState::Maximised;
        m_frame->applyShape();
        QCOMPARE(m_host->mask, QRegion(0, 0, 500, 360));
    }

    void realWindowThroughTheQtAdapter()
    {
        QWidget top;
        top.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        top.setGeometry(50, 60, 300, 200);
        auto* frame = new SkinFrame(&top);
        frame->resize(300, 200);
        top.show();
        QVERIFY(QTest::qWaitForWindowExposed(&top));

        frame->setCaption(QStringLiteral("Reader Tobrin"));
        QCOMPARE(top.windowTitle(), QStringLiteral("Reader Tobrin"));
        QVERIFY(!top.mask().isEmpty());
        QVERIFY(!top.mask().contains(QPoint(0, 0)));
        QVERIFY(top.mask().contains(QPoint(5, 0)));

        drag(frame->edgePiece(SkinFrame::LeftEdge), {2, 50}, {12, 50});
        QTRY_COMPARE(top.geometry(), QRect(60, 60, 290, 200));
        // The shape follows the new size.
        QCOMPARE(top.mask().boundingRect(), QRect(0, 0, 290, 200));

        mouse(frame->titleBar(), QEvent::MouseButtonDblClick, {100, 15});
        QTRY_VERIFY(top.isMaximized());
        QCOMPARE(frame->host()->windowState(), WindowState::Maximised);
        QVERIFY(!frame->host()->setGeometry(QRect(0, 0, 100, 100)));
    }

    void idleWindowRunsNoTimer()
    {
        auto pointer = std::make_shared<FixedPointer>();
        auto* close = new skin::CaptionButton(m_window.get());
        close->setPointer(pointer);
        close->move(370, 4);
        auto* ok = new skin::SkinButton(m_window.get());
        ok->setPointer(pointer);
        ok->setGeometry(300, 250, 75, 23);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));

        // Hover the button, then leave: its watch must end too.
        pointer->at = ok->mapToGlobal(QPoint(10, 10));
        mouse(ok, QEvent::MouseMove, {10, 10}, Qt::NoButton);
        pointer->at = {-500, -500};

        const auto running = [this] {
            QStringList names;
            for (const QTimer* t : m_window->findChildren<QTimer*>())
                if (t->isActive())
                    names << t->parent()->metaObject()->className() + QStringLiteral("::") +
                                 t->objectName();
            return names;
        };
        QTRY_COMPARE_WITH_TIMEOUT(running(), QStringList(), 2000);
    }
};

QTEST_MAIN(TestSkinFrame)
#include "tst_skinframe.moc"
