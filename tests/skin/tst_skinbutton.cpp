#include "skin/skinbutton.h"
#include "tests/skin/skintestsupport.h"

#include <QLabel>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTextDocument>
#include <QtTest>

#include <cmath>

using skin::SkinButton;
using skintest::FixedPointer;
using skintest::mouse;

namespace {

// Every pixel names its cell and its place in the cell: red = x, green = y,
// blue = 40 * cell + 1.
QImage codedStrip()
{
    QImage strip(90, 21, QImage::Format_ARGB32);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 90; ++x)
            strip.setPixel(x, y, qRgb(x % 18, y, 40 * (x / 18) + 1));
    return strip;
}

struct Source {
    int cell, x, y;
    bool operator==(const Source&) const = default;
};

Source sourceOf(const SkinButton& button, int x, int y)
{
    const QRgb p = button.face().pixel(x, y);
    return {qBlue(p) / 40, qRed(p), qGreen(p)};
}

char* toString(const Source& s)
{
    return QTest::toString(QStringLiteral("cell %1 (%2,%3)").arg(s.cell).arg(s.x).arg(s.y));
}

// The face a button of w x h should show for a cell, worked out pixel by
// pixel from the nine slices (corners 3 x 3, edges and centre stretched by
// taking the nearest source pixel, later slices over earlier ones), without
// painting: the reference drawing the painted face is compared with.
QImage referenceFace(int w, int h, int cell)
{
    QImage face(w, h, QImage::Format_ARGB32_Premultiplied);
    face.fill(Qt::transparent);
    const struct {
        QRect source, target;
    } slices[] = {
        {{0, 0, 3, 3}, {0, 0, 3, 3}},           {{15, 0, 3, 3}, {w - 3, 0, 3, 3}},
        {{15, 18, 3, 3}, {w - 3, h - 3, 3, 3}}, {{0, 18, 3, 3}, {0, h - 3, 3, 3}},
        {{3, 0, 12, 3}, {3, 0, w - 6, 3}},      {{15, 3, 3, 15}, {w - 3, 3, 3, h - 6}},
        {{0, 3, 3, 15}, {0, 3, 3, h - 6}},      {{3, 18, 12, 3}, {3, h - 3, w - 6, 3}},
        {{3, 3, 12, 15}, {3, 3, w - 6, h - 6}},
    };
    // The source pixel under the target pixel's centre; a centre right on
    // the border of two takes the first, as the raster engine does.
    const auto nearest = [](int at, int from, int length, int sourceFrom, int sourceLength) {
        return sourceFrom + int(std::ceil((at - from + 0.5) * sourceLength / length)) - 1;
    };
    for (const auto& slice : slices) {
        const QRect& t = slice.target;
        if (t.width() <= 0 || t.height() <= 0)
            continue;
        for (int y = std::max(t.top(), 0); y <= std::min(t.bottom(), h - 1); ++y)
            for (int x = std::max(t.left(), 0); x <= std::min(t.right(), w - 1); ++x) {
                const int sx = nearest(x, t.x(), t.width(), slice.source.x(), slice.source.width());
                const int sy =
                    nearest(y, t.y(), t.height(), slice.source.y(), slice.source.height());
                face.setPixel(x, y, qRgb(sx, sy, 40 * cell + 1));
            }
    }
    return face;
}

} // namespace

class TestSkinButton : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> m_parent;
    SkinButton* m_button = nullptr;
    std::shared_ptr<FixedPointer> m_pointer;

private slots:
    void init()
    {
        m_parent = std::make_unique<QWidget>();
        m_parent->resize(300, 200);
        m_button = new SkinButton(m_parent.get());
        m_button->setObjectName(QStringLiteral("saveButton"));
        m_button->setFaceStrip(codedStrip());
        // Away from the parent's origin, so a mix-up of coordinates shows.
        m_button->setGeometry(100, 50, 40, 30);
        m_pointer = std::make_shared<FixedPointer>();
        m_button->setPointer(m_pointer);
        m_parent->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_parent.get()));
    }

    void cleanup() { m_parent.reset(); }

    void stateChoosesTheRestCell()
    {
        QCOMPARE(sourceOf(*m_button, 20, 15).cell, 0);
        m_button->setState(1);
        QCOMPARE(sourceOf(*m_button, 20, 15).cell, 4);
        m_button->setState(2);
        QCOMPARE(sourceOf(*m_button, 20, 15).cell, 4);
        m_button->setState(0);
        QCOMPARE(sourceOf(*m_button, 20, 15).cell, 0);
        m_button->setState(2);
        QCOMPARE(sourceOf(*m_button, 20, 15).cell, 0);
    }

    void disabledButtonRestsOnThePaleCell()
    {
        m_button->setState(1);
        m_button->setEnabled(false);
        QCOMPARE(m_button->currentCell(), 2);
        QCOMPARE(sourceOf(*m_button, 20, 15).cell, 2);
        const QPalette caption = m_button->captionLabel()->palette();
        QCOMPARE(caption.color(QPalette::Disabled, QPalette::WindowText), QColor(161, 161, 146));
        m_button->setState(0);
        QCOMPARE(m_button->currentCell(), 2);

        m_button->setEnabled(true);
        QCOMPARE(m_button->currentCell(), 0);
        QCOMPARE(m_button->captionLabel()->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    }

    void nineSlicesKeepCornersAndStretchTheRest()
    {
        QCOMPARE(sourceOf(*m_button, 0, 0), (Source{0, 0, 0}));
        QCOMPARE(sourceOf(*m_button, 39, 0), (Source{0, 17, 0}));
        QCOMPARE(sourceOf(*m_button, 37, 27), (Source{0, 15, 18}));
        QCOMPARE(sourceOf(*m_button, 2, 29), (Source{0, 2, 20}));
        // Edges keep their thickness, the centre stays inside the cell's centre.
        QCOMPARE(sourceOf(*m_button, 20, 1).y, 1);
        QCOMPARE(sourceOf(*m_button, 38, 15).x, 16);
        QCOMPARE(sourceOf(*m_button, 1, 15).x, 1);
        QCOMPARE(sourceOf(*m_button, 20, 28).y, 19);
        const Source centre = sourceOf(*m_button, 20, 15);
        QVERIFY(centre.x >= 3 && centre.x <= 14 && centre.y >= 3 && centre.y <= 17);
    }

    // Every column of the face, at many sizes and in every cell, is the
    // reference drawing's column: a slice stretched one pixel short, shifted
    // or taken from the wrong part of the cell shows somewhere.
    void nineSlicesMatchTheReferenceColumnByColumn()
    {
        QRandomGenerator random(6);
        QList<QSize> sizes{{40, 30}, {7, 7}, {18, 21}, {19, 22}, {240, 23}, {3, 50}};
        for (int i = 0; i < 40; ++i)
            sizes.append({1 + random.bounded(160), 1 + random.bounded(70)});
        for (const QSize size : sizes) {
            m_button->resize(size);
            for (int cell = 0; cell < 5; ++cell) {
                m_button->showCell(cell);
                const QImage face =
                    m_button->face().convertToFormat(QImage::Format_ARGB32_Premultiplied);
                const QImage reference = referenceFace(size.width(), size.height(), cell);
                QCOMPARE(face.size(), size);
                for (int x = 0; x < size.width(); ++x) {
                    QList<QRgb> painted;
                    QList<QRgb> expected;
                    for (int y = 0; y < size.height(); ++y) {
                        painted << face.pixel(x, y);
                        expected << reference.pixel(x, y);
                    }
                    QVERIFY2(painted == expected,
                             qPrintable(QStringLiteral("%1 x %2, cell %3: column %4 differs")
                                            .arg(size.width())
                                            .arg(size.height())
                                            .arg(cell)
                                            .arg(x)));
                }
            }
        }
    }

    void smallButtonsPaintOnlyCorners_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("6") << 6;
        QTest::newRow("5") << 5;
        QTest::newRow("4") << 4;
    }

    void smallButtonsPaintOnlyCorners()
    {
        QFETCH(int, side);
        m_button->resize(side, side);
        // Corners are painted top-left, top-right, bottom-right, bottom-left;
        // where they overlap, the later one wins.
        const struct {
            QRect target;
            QPoint source;
        } corners[] = {
            {{0, 0, 3, 3}, {0, 0}},
            {{side - 3, 0, 3, 3}, {15, 0}},
            {{side - 3, side - 3, 3, 3}, {15, 18}},
            {{0, side - 3, 3, 3}, {0, 18}},
        };
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                Source expected{};
                for (const auto& c : corners)
                    if (c.target.contains(x, y))
                        expected = {0, c.source.x() + x - c.target.x(),
                                    c.source.y() + y - c.target.y()};
                QCOMPARE(sourceOf(*m_button, x, y), expected);
            }
    }

    void hoverAndLeaveRaisesOnePointerLeft()
    {
        QSignalSpy out(m_button, &SkinButton::pointerLeft);
        QSignalSpy moves(m_button, &SkinButton::mouseMoved);
        QTimer* watch = m_button->findChild<QTimer*>(QStringLiteral("hoverWatch"));
        QVERIFY(watch && !watch->isActive());

        m_pointer->at = m_button->mapToGlobal(QPoint(5, 5));
        mouse(m_button, QEvent::MouseMove, {5, 5}, Qt::NoButton);
        QCOMPARE(m_button->currentCell(), 3);
        QCOMPARE(moves.size(), 1);
        QVERIFY(watch->isActive());
        m_button->hoverTick();
        QCOMPARE(out.size(), 0);
        QCOMPARE(m_button->currentCell(), 3);

        m_pointer->at = m_button->mapToGlobal(QPoint(41, 5));
        m_button->hoverTick();
        QCOMPARE(out.size(), 1);
        QVERIFY(!watch->isActive());
        QCOMPARE(m_button->currentCell(), 0);
    }

    void pressDragOffAndReleaseOutside()
    {
        QSignalSpy click(m_button, &SkinButton::clicked);
        QSignalSpy moves(m_button, &SkinButton::mouseMoved);
        QSignalSpy up(m_button, &SkinButton::mouseReleased);
        QSignalSpy out(m_button, &SkinButton::pointerLeft);
        m_button->setState(1);
        mouse(m_button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
        QCOMPARE(m_button->currentCell(), 1);
        mouse(m_button, QEvent::MouseMove, {60, 5}, Qt::LeftButton);
        QCOMPARE(moves.size(), 0);
        QCOMPARE(m_button->currentCell(), 1);

        m_pointer->at = m_button->mapToGlobal(QPoint(60, 5));
        m_button->hoverTick();
        QCOMPARE(out.size(), 1);
        QCOMPARE(m_button->currentCell(), 4);
        mouse(m_button, QEvent::MouseButtonRelease, {60, 5}, Qt::NoButton);
        QCOMPARE(up.size(), 1);
        QCOMPARE(click.size(), 0);
        QCOMPARE(m_button->currentCell(), 4);
    }

    void clickAndDoubleClick()
    {
        QSignalSpy click(m_button, &SkinButton::clicked);
        mouse(m_button, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
        mouse(m_button, QEvent::MouseMove, {8, 6}, Qt::LeftButton);
        QCOMPARE(m_button->currentCell(), 1);
        mouse(m_button, QEvent::MouseButtonRelease, {8, 6}, Qt::NoButton);
        QCOMPARE(click.size(), 1);
        mouse(m_button, QEvent::MouseButtonDblClick, {8, 6}, Qt::LeftButton);
        mouse(m_button, QEvent::MouseButtonRelease, {8, 6}, Qt::NoButton);
        QCOMPARE(click.size(), 1);
    }

    void mouseSignalsCarryButtonShiftAndPosition()
    {
        skintest::checkMouseSignalArguments(m_button);
    }

    void designIsAppliedWithDefaults()
    {
        m_button->readProperties({});
        QCOMPARE(m_button->caption(), QStringLiteral("saveButton"));
        QCOMPARE(m_button->state(), 0);
        QVERIFY(m_button->isEnabled());

        QFont big = m_parent->font();
        big.setPointSize(big.pointSize() + 8);
        m_button->readProperties({{QStringLiteral("State"), 1},
                                  {QStringLiteral("Enabled"), false},
                                  {QStringLiteral("Caption"), QStringLiteral("O K")},
                                  {QStringLiteral("Font"), big}});
        QCOMPARE(m_button->currentCell(), 2);
        QCOMPARE(m_button->caption(), QStringLiteral("O K"));
        QCOMPARE(m_button->captionLabel()->font().pointSize(), big.pointSize());
    }

    void captionStaysCentred()
    {
        const auto centred = [this] {
            const QRect label = m_button->captionLabel()->geometry();
            return qAbs(label.center().x() - m_button->rect().center().x()) <= 1 &&
                   qAbs(label.center().y() - m_button->rect().center().y()) <= 1;
        };
        m_button->setCaption(QStringLiteral("Go"));
        QVERIFY(centred());
        const int narrow = m_button->captionLabel()->width();
        m_button->setCaption(QStringLiteral("A much longer caption"));
        QVERIFY(m_button->captionLabel()->width() > narrow);
        QVERIFY(centred());
        m_button->resize(200, 60);
        QVERIFY(centred());
    }

    // An "&" with nothing after it marks no access key: it is shown as
    // itself, nothing past the caption's end is read, and no key clicks.
    void captionEndingInAmpersandShowsIt_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        QTest::newRow("after a word") << "Save&"
                                      << "Save&";
        QTest::newRow("alone") << "&"
                               << "&";
        QTest::newRow("after a doubled one") << "R&&&"
                                             << "R&&";
        QTest::newRow("after an access key") << "&Go &"
                                             << "Go &";
    }

    void captionEndingInAmpersandShowsIt()
    {
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        m_button->setCaption(caption);
        QCOMPARE(m_button->caption(), caption);
        QTextDocument rendered;
        rendered.setHtml(m_button->captionLabel()->text());
        QCOMPARE(rendered.toPlainText(), shown);
        QVERIFY(!m_button->captionLabel()->text().contains(QChar(0)));
        QVERIFY(!m_button->captionLabel()->text().endsWith("</u>"));
        QCOMPARE(m_button->captionLabel()->text().count("<u>"), caption.startsWith("&G") ? 1 : 0);
    }

    void accessKeyIsUnderlinedNotShown()
    {
        m_button->setCaption(QStringLiteral("&Read && go"));
        QCOMPARE(m_button->caption(), QStringLiteral("&Read && go"));
        QCOMPARE(m_button->captionLabel()->text(), QStringLiteral("<u>R</u>ead &amp; go"));

        QSignalSpy click(m_button, &SkinButton::clicked);
        m_parent->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_parent.get()));
        QTest::keyClick(m_parent.get(), Qt::Key_R, Qt::AltModifier);
        QCOMPARE(click.size(), 1);
        // Keys alone never press the button.
        m_button->setFocus();
        QTest::keyClick(m_button, Qt::Key_Space);
        QTest::keyClick(m_button, Qt::Key_Return);
        QCOMPARE(click.size(), 1);
    }
};

QTEST_MAIN(TestSkinButton)
#include "tst_skinbutton.moc"
