#include "dialogs/menu/systemdesktop.h"
#include "tests/support/fakeopener.h"

#include <QFile>
#include <QProcess>
#include <QtTest>

using testsupport::FakeOpener;

namespace {

bool openersFinished()
{
    return QCoreApplication::instance()->findChildren<QProcess*>().isEmpty();
}

} // namespace

class TestSystemDesktop : public QObject
{
    Q_OBJECT

private slots:
    void failingOpenerMeansNoHandler()
    {
        FakeOpener opener(FakeOpener::noHandler());
        menu::SystemDesktop desktop;
        int unhandled = 0;
        desktop.openUrl(QUrl(QStringLiteral("mailto:someone@example.org")), [&] { ++unhandled; });
        QTRY_VERIFY(openersFinished());
        QCOMPARE(unhandled, 1);
    }

    void openerThatHandlesItIsLeftAlone()
    {
        FakeOpener opener("printf '%s %s' \"$#\" \"$1\" > \"$(dirname \"$0\")/opened\"");
        menu::SystemDesktop desktop;
        int unhandled = 0;
        QUrl withSection = QUrl::fromLocalFile(QStringLiteral("/opt/a 'folder'/help.html"));
        withSection.setFragment(QStringLiteral("getting-started"));
        desktop.openUrl(withSection, [&] { ++unhandled; });
        QTRY_VERIFY(openersFinished());
        QCOMPARE(unhandled, 0);
        QFile opened(opener.file(QStringLiteral("opened")));
        QVERIFY(opened.open(QIODevice::ReadOnly));
        // One argument, the whole address with its section, nothing split.
        const QByteArray recorded = opened.readAll();
        QVERIFY2(recorded.startsWith("1 "), recorded.constData());
        QCOMPARE(QUrl::fromEncoded(recorded.mid(2)), withSection);
        // Invalid addresses are not passed on at all.
        desktop.openUrl(QUrl(), [&] { ++unhandled; });
        QVERIFY(openersFinished());
        QCOMPARE(unhandled, 0);
    }
};

QTEST_GUILESS_MAIN(TestSystemDesktop)
#include "tst_systemdesktop.moc"
