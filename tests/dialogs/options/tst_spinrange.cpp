#include "dialogs/options/spinrange.h"

#include <QtTest>

using options::SpinRange;

class TestSpinRange : public QObject
{
    Q_OBJECT

private slots:
    void takesPlainNumbersClampedAndNothingElse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("taken"); // -1: nothing taken
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("blank") << "   " << -1;
        QTest::newRow("word") << "abc" << -1;
        QTest::newRow("exponent") << "1e3" << -1;
        QTest::newRow("fraction") << "12.5" << -1;
        QTest::newRow("sign only") << "-" << -1;
        QTest::newRow("two signs") << "+-9" << -1;
        QTest::newRow("inner space") << "1 2" << -1;
        QTest::newRow("wide digits") << QString::fromUtf8("\xd9\xa1\xd9\xa2") << -1;
        QTest::newRow("below") << "-5" << 8;
        QTest::newRow("zero") << "0" << 8;
        QTest::newRow("above") << "99999" << 55;
        QTest::newRow("far above") << "99999999999999999999999" << 55;
        QTest::newRow("far below") << "-99999999999999999999999" << 8;
        QTest::newRow("inside") << " 12 " << 12;
        QTest::newRow("plus") << "+20" << 20;
        QTest::newRow("leading zeros") << "0009" << 9;
        QTest::newRow("ends") << "55" << 55;
    }

    void takesPlainNumbersClampedAndNothingElse()
    {
        QFETCH(QString, text);
        QFETCH(int, taken);
        const std::optional<int> value = SpinRange{8, 55}.take(text);
        if (taken < 0)
            QVERIFY2(!value, qPrintable(text));
        else
            QCOMPARE(value.value_or(-1), taken);
    }
};

QTEST_GUILESS_MAIN(TestSpinRange)
#include "tst_spinrange.moc"
