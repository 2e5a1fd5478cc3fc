#include "common/settings/settings.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace settings;

class TestSettingsValues : public QObject
{
    Q_OBJECT

private slots:
    void integers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converts");
        QTest::addColumn<int>("value");
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("guagen") << "11000" << true << 11000;
        QTest::newRow("negative") << "-5" << true << -5;
        QTest::newRow("max") << "32767" << true << 32767;
        QTest::newRow("min") << "-32768" << true << -32768;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("word") << "abc" << false << 0;
        QTest::newRow("too large") << "70000" << false << 0;
        QTest::newRow("just too large") << "32768" << false << 0;
        QTest::newRow("exponent") << "1e3" << false << 0;
        QTest::newRow("fraction") << "1.5" << false << 0;
        QTest::newRow("trailing text") << "12abc" << false << 0;
    }

    void integers()
    {
        QFETCH(QString, text);
        QFETCH(bool, converts);
        QFETCH(int, value);
        qint16 target = 99;
        QCOMPARE(parseInt16(text, target), converts);
        QCOMPARE(int(target), converts ? value : 99);
    }

    void positions()
    {
        float left = 42.0f;
        QVERIFY(parsePosition("5760", left));
        QCOMPARE(left, 5760.0f);
        QVERIFY(parsePosition("-120.5", left));
        QCOMPARE(left, -120.5f);
        for (const QString bad : {"", "abc", "1e3", "inf", "nan", "1e40"}) {
            left = 42.0f;
            QVERIFY2(!parsePosition(bad, left), qPrintable(bad));
            QCOMPARE(left, 42.0f);
        }
        QCOMPARE(formatPosition(6600.0f), QString("6600"));
        QCOMPARE(formatPosition(-3000.0f), QString("-3000"));
        QCOMPARE(formatPosition(1234.5f), QString("1234.5"));
    }

    void colours()
    {
        double colour = 1;
        QVERIFY(parseColour("16777215", colour));
        QCOMPARE(colour, 16777215.0);
        QVERIFY(parseColour("-2147483647", colour));
        QCOMPARE(colour, -2147483647.0);
        QVERIFY(!parseColour("white", colour));
        QCOMPARE(colour, -2147483647.0);
        // Always a 32-bit number, however long the text.
        QVERIFY(parseColour("4294967296", colour));
        QCOMPARE(colour, 2147483647.0);
        QVERIFY(parseColour("-" + QString(300, u'9'), colour));
        QCOMPARE(colour, -2147483648.0);
    }

    // Any whole number, of any length, lands in the range as the number
    // would; anything else leaves the target alone.
    void numbersClampIntoTheirRange()
    {
        const quint32 seed = QRandomGenerator::global()->generate();
        QRandomGenerator rng(seed);
        for (int i = 0; i < 2000; ++i) {
            const ValueRange range{qint16(rng.bounded(-50, 50)), qint16(rng.bounded(50, 300))};
            QString digits = QString::number(rng.bounded(1, 10));
            const int length = rng.bounded(0, 30);
            for (int d = 0; d < length; ++d)
                digits += QChar(u'0' + rng.bounded(10));
            const bool negative = rng.bounded(2);
            const QString text = QString(rng.bounded(2) ? " " : "") + (negative ? "-" : "") +
                                 digits + (rng.bounded(2) ? " " : "");
            // The number's value, saturated well outside every range.
            const double value = (negative ? -1 : 1) * digits.toDouble();
            const qint16 expected =
                qint16(std::clamp(value, double(range.lowest), double(range.highest)));
            qint16 target = 999;
            QVERIFY2(parseInRange(text, range, target), qPrintable(text));
            QVERIFY2(target == expected,
                     qPrintable(QString("seed %1: %2 -> %3").arg(seed).arg(text).arg(target)));
        }
        for (const QString bad : {"", "-", "+", "abc", "1e3", "1.5", "12abc", "--3", "٣"}) {
            qint16 target = 77;
            QVERIFY2(!parseInRange(bad, fontSizeRange, target), qPrintable(bad));
            QCOMPARE(target, qint16(77));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsValues)
#include "tst_settingsvalues.moc"
