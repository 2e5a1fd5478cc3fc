#include "skin/captionbutton.h"
#include "tests/skin/skintestsupport.h"

#include <QMouseEvent>
#include <QtTest>

using skin::CaptionButton;
using skintest::FixedPointer;
using skintest::mouse;

namespace {

// Strip s, cell c: every pixel is (10 * s, 10 * c, 99).
QImage codedStrip(int s)
{
    QImage strip(84, 21, QImage::Format_ARGB32);
    for (int x = 0; x < 84; ++x)
        for (int y = 0; y < 21; ++y)
            strip.setPixel(x, y, qRgb(10 * s, 10 * (x / 21), 99));
    return strip;
}

std::pair<int, int> shown(const CaptionButton& button)
{
    const QRgb p = button.face().pixel(10, 10);
    return {qRed(p) / 10, qGreen(p) / 10};
}

} // namespace

class TestCaptionButton : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_parent;
    CaptionButton* m_button = nullptr;
    std::shared_ptr<FixedPointer> m_pointer;

private slots:
    void init()
    {
        m_parent = std::make_unique<QWidget>();
        m_parent->resize(300, 100);
        m_button = new CaptionButton(m_parent.get());
        for (int s = 0; s < 4; ++s)
            m_button->setStrip(s, codedStrip(s));
        m_button->move(250, 4);
        m_pointer = std::make_shared<FixedPointer>();
        m_button->setPointer(m_pointer);
    }

    void cleanup() { m_parent.reset(); }

    void firstWatchTickReportsThePointerAway()
    {
        QSignalSpy out(m_button, &CaptionButton::pointerLeft);
        QTimer* watch = m_button->findChild<QTimer*>(QStringLiteral("hoverWatch"));
        QVERIFY(watch && watch->isActive());
        m_button->hoverTick();
        QCOMPARE(out.size(), 1);
        QVERIFY(!watch->isActive());
    }

    void pointerOverTheButtonKeepsTheWatch()
    {
        QSignalSpy out(m_button, &CaptionButton::pointerLeft);
        m_pointer->at = m_button->mapToGlobal(QPoint(10, 10));
        mouse(m_button, QEvent::MouseMove, {10, 10}, Qt::NoButton);
        QCOMPARE(shown(*m_button), std::make_pair(0, 1));
        m_button->hoverTick();
        QCOMPARE(out.size(), 0);
        QCOMPARE(shown(*m_button), std::make_pair(0, 1));
    }

    void glyphOutsideTheStripsKeepsTheStrip()
    {
        m_button->setGlyph(2);
        QCOMPARE(shown(*m_button), std::make_pair(2, 0));
        m_button->setGlyph(7);
        QCOMPARE(m_button->glyph(), 7);
        QCOMPARE(shown(*m_button), std::make_pair(2, 0));
        m_button->setGlyph(-1);
        QCOMPARE(shown(*m_button), std::make_pair(2, 0));
        m_button->setGlyph(3);
        QCOMPARE(shown(*m_button), std::make_pair(3, 0));
    }

    void anyResizeSnapsTo21()
    {
        QCOMPARE(m_button->size(), QSize(21, 21));
        m_button->resize(40, 40);
        QCOMPARE(m_button->size(), QSize(21, 21));
        m_button->setGeometry(10, 10, 5, 60);
        QCOMPARE(m_button->size(), QSize(21, 21));
    }

    void savedDisabledMaximiseShowsItsDisabledCell()
    {
        m_button->readProperties(
            {{QStringLiteral("Value"), 1}, {QStringLiteral("Enabled"), false}});
        QCOMPARE(m_button->glyph(), 1);
        QVERIFY(!m_button->isEnabled());
        m_parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_parent.get()));
        QCOMPARE(shown(*m_button), std::make_pair(1, 3));
        m_button->hoverTick();
        QCOMPARE(shown(*m_button), std::make_pair(1, 3));
    }

    void pressDragOffAndReleaseOutside()
    {
        QSignalSpy out(m_button, &CaptionButton::pointerLeft);
        QSignalSpy up(m_button, &CaptionButton::mouseReleased);
        QSignalSpy click(m_button, &CaptionButton::clicked);
        m_button->hoverTick(); // the creation tick
        out.clear();

        mouse(m_button, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
        QCOMPARE(shown(*m_button), std::make_pair(0, 2));
        mouse(m_button, QEvent::MouseMove, {40, 10}, Qt::LeftButton);
        QCOMPARE(shown(*m_button), std::make_pair(0, 2));
        m_pointer->at = m_button->mapToGlobal(QPoint(40, 10));
        m_button->hoverTick();
        QCOMPARE(out.size(), 1);
        QCOMPARE(shown(*m_button), std::make_pair(0, 0));
        mouse(m_button, QEvent::MouseButtonRelease, {40, 10}, Qt::NoButton);
        QCOMPARE(up.size(), 1);
        QCOMPARE(click.size(), 0);
        QCOMPARE(shown(*m_button), std::make_pair(0, 0));
    }

    void farEdgesCountAsOnTheButton()
    {
        QSignalSpy out(m_button, &CaptionButton::pointerLeft);
        QSignalSpy moves(m_button, &CaptionButton::mouseMoved);
        m_pointer->at = m_button->mapToGlobal(QPoint(21, 21));
        m_button->hoverTick();
        QCOMPARE(out.size(), 0);
        mouse(m_button, QEvent::MouseMove, {21, 21}, Qt::NoButton);
        QCOMPARE(moves.size(), 1);

        m_pointer->at = m_button->mapToGlobal(QPoint(21, 22));
        m_button->hoverTick();
        QCOMPARE(out.size(), 1);
        mouse(m_button, QEvent::MouseMove, {22, 21}, Qt::NoButton);
        QCOMPARE(moves.size(), 1);
    }

    void mouseSignalsCarryButtonShiftAndPosition()
    {
        skintest::checkMouseSignalArguments(m_button);
    }

    void doubleClickClicksOnce()
    {
        QSignalSpy click(m_button, &CaptionButton::clicked);
        mouse(m_button, QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
        mouse(m_button, QEvent::MouseButtonRelease, {10, 10}, Qt::NoButton);
        mouse(m_button, QEvent::MouseButtonDblClick, {10, 10}, Qt::LeftButton);
        mouse(m_button, QEvent::MouseButtonRelease, {10, 10}, Qt::NoButton);
        QCOMPARE(click.size(), 1);
    }
};

QTEST_MAIN(TestCaptionButton)
#include "tst_captionbutton.moc"
