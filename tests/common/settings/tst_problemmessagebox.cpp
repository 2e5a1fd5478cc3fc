#include "common/settings/problemmessagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QtTest>

class TestProblemMessageBox : public QObject
{
    Q_OBJECT

private slots:
    // The message shows at once without holding the caller up, stays above
    // the always-on-top strip, away from the top edge, and goes with its owner.
    void showsWithoutWaitingAndStaysOnTop()
    {
        auto owner = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
        owner->setGeometry(0, 0, 600, 24);
        owner->show();
        settings::ProblemMessageBox reporter(owner.get());
        reporter.report("Settings could not be saved to /x/Velkor.ini: <b>disk full</b>.");

        const auto boxes = owner->findChildren<QMessageBox*>();
        QCOMPARE(boxes.size(), 1);
        QMessageBox* box = boxes.first();
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QVERIFY(box->text().contains("/x/Velkor.ini"));
        QCOMPARE(box->windowTitle(), QApplication::applicationDisplayName());
        QVERIFY(!box->frameGeometry().intersects(owner->frameGeometry()));
        QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(
            box->frameGeometry().center()));

        QPointer<QMessageBox> watched(box);
        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(watched.isNull());

        reporter.report("again");
        watched = owner->findChild<QMessageBox*>();
        QVERIFY(watched);
        owner.reset();
        QVERIFY(watched.isNull());
    }
};

QTEST_MAIN(TestProblemMessageBox)
#include "tst_problemmessagebox.moc"
