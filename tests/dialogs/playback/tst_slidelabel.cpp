#include "common/speech/speechtext.h"
#include "dialogs/playback/slidelabel.h"

#include <QtTest>

using playback::SlideLabel;

namespace {

// The ink of a label drawn in white on black: its bounding box.
QRect inkBox(QLabel& label, const QString& caption)
{
    label.setText(caption);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setAutoFillBackground(true);
    const QImage image = label.grab().toImage();
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) > 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

void prepare(QLabel& label)
{
    label.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.resize(420, 24);
}

} // namespace

class TestSlideLabel : public QObject
{
    Q_OBJECT

private slots:
    void drawsWhereAPlainLabelWould_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("resting") << " Thank you very much!";
        QTest::newRow("sliding") << QString(20, u' ') + "Спасибо большое!";
        QTest::newRow("no space") << "Ёлка";
        // Marks add ink above their letters only.
        QTest::newRow("marked, sliding") << QString(20, u' ') + "хорошо\u0301, молоде\u0301ц";
        QTest::newRow("marked capital") << " Э\u0301то о\u0301чень хорошо\u0301.";
    }

    void drawsWhereAPlainLabelWould()
    {
        QFETCH(QString, caption);
        QLabel plain;
        SlideLabel slide;
        prepare(plain);
        prepare(slide);
        const QString unmarked = speech::withoutStressMarks(caption);
        const QRect expected = inkBox(plain, unmarked);
        const QRect drawn = inkBox(slide, caption);
        QVERIFY(!expected.isEmpty());
        const bool topAsExpected = unmarked == caption ? qAbs(drawn.top() - expected.top()) <= 1
                                                       : drawn.top() < expected.top() - 1;
        QVERIFY2(qAbs(drawn.left() - expected.left()) <= 1 &&
                     qAbs(drawn.right() - expected.right()) <= 1 && topAsExpected &&
                     qAbs(drawn.bottom() - expected.bottom()) <= 1,
                 qPrintable(QString("ink at %1,%2 %3x%4, a plain label's at %5,%6 %7x%8")
                                .arg(drawn.x())
                                .arg(drawn.y())
                                .arg(drawn.width())
                                .arg(drawn.height())
                                .arg(expected.x())
                                .arg(expected.y())
                                .arg(expected.width())
                                .arg(expected.height())));
    }

    void followsItsCaptionAndFont()
    {
        SlideLabel slide;
        prepare(slide);
        const QRect first = inkBox(slide, "  Hello");
        const QRect other = inkBox(slide, "  Goodbye");
        QVERIFY(other.width() > first.width());
        QVERIFY(inkBox(slide, QString(5, u' ')).isEmpty());
        slide.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
        QVERIFY(inkBox(slide, "  Goodbye").width() < other.width());
    }
};

QTEST_MAIN(TestSlideLabel)
#include "tst_slidelabel.moc"
