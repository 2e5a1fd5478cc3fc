#include "assets/pictures/pictures.h"
#include "dialogs/startup/splashwindow.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>

namespace {

const QStringList kIcons = {"ico1", "ico2", "ico3",  "ico4", "ico5",
                            "ico6", "ico7", "ico10", "ico11"};

QImage render(QSvgRenderer& renderer, QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

// Mean difference per channel; rendering paths may differ in the last bit.
double meanDifference(const QImage& a, const QImage& b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { pictures::initResources(); }

    void iconsAreDrawnOnTheSixteenPixelGrid_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : kIcons)
            QTest::newRow(qPrintable(name)) << name;
    }

    void iconsAreDrawnOnTheSixteenPixelGrid()
    {
        QFETCH(QString, name);
        QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 16, 16));

        // Crisp means mostly whole pixels: few pixels may be half covered.
        // Shapes placed off the pixel grid blur every edge and fail this.
        for (int side : {16, 32}) {
            const QImage image = render(renderer, QSize(side, side));
            int solid = 0;
            int partial = 0;
            for (int y = 0; y < side; ++y) {
                for (int x = 0; x < side; ++x) {
                    const int alpha = qAlpha(image.pixel(x, y));
                    solid += alpha >= 224 ? 1 : 0;
                    partial += alpha > 32 && alpha < 224 ? 1 : 0;
                }
            }
            QVERIFY2(solid >= side * side / 5, qPrintable(QString("solid %1").arg(solid)));
            QVERIFY2(partial * 4 <= solid,
                     qPrintable(QString("partial %1 of solid %2").arg(partial).arg(solid)));
        }
    }

    void splashCarriesNameAndVersion()
    {
        QFile file(QStringLiteral(":/pictures/splash.svg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.contains(QStringLiteral(">Dialogs<")));
        QVERIFY(text.contains(QStringLiteral(">Brisvane V3.1<")));

        QSvgRenderer renderer(QStringLiteral(":/pictures/splash.svg"));
        QVERIFY(renderer.isValid());
        // 4200 x 2775 twips at 15 twips per pixel.
        QCOMPARE(renderer.viewBoxF(), QRectF(0, 0, 280, 185));
    }

    void splashWindowShowsThePicture()
    {
        // The splash window draws the shipped picture, not its stand-in.
        for (qreal ratio : {1.0, 2.0}) {
            const QImage shown = startup::SplashWindow::picture(ratio).toImage().convertToFormat(
                QImage::Format_ARGB32_Premultiplied);
            QSvgRenderer renderer(QStringLiteral(":/pictures/splash.svg"));
            const QImage expected = render(renderer, QSize(280, 185) * ratio);
            QCOMPARE(shown.size(), expected.size());
            // The whole picture is opaque: nothing shows through.
            QCOMPARE(qAlpha(shown.pixel(0, 0)), 255);
            QVERIFY2(meanDifference(shown, expected) < 1.0, "splash differs from its picture");
        }
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
