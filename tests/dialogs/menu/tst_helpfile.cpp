#include "dialogs/startup/addresses.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using testsupport::TestEnvironment;

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestHelpFile : public QObject
{
    Q_OBJECT

private slots:
    void shippedBesideThePrograms()
    {
        const QString shipped = readText(TestEnvironment::appDir() + "/help.html");
        QVERIFY2(!shipped.isEmpty(), "help.html missing from the app folder");
        QCOMPARE(shipped, readText(TestEnvironment::sourceDir() + "/assets/help/help.html"));
    }

    void everyLinkInsideTheGuideLeadsSomewhere()
    {
        const QString text = readText(TestEnvironment::sourceDir() + "/assets/help/help.html");
        QVERIFY(!text.isEmpty());

        QSet<QString> ids;
        const QRegularExpression idPattern(QStringLiteral("\\bid=\"([^\"]+)\""));
        for (const auto& match : idPattern.globalMatch(text)) {
            const QString id = match.captured(1);
            QVERIFY2(!ids.contains(id), qPrintable("id used twice: " + id));
            ids.insert(id);
        }

        // The first run opens this section.
        const QString setup =
            startup::setupPage(TestEnvironment::appDir()).fragment(QUrl::FullyDecoded);
        QVERIFY2(ids.contains(setup), qPrintable("no section " + setup));

        const QRegularExpression linkPattern(QStringLiteral("href=\"#([^\"]*)\""));
        int links = 0;
        for (const auto& match : linkPattern.globalMatch(text)) {
            QVERIFY2(ids.contains(match.captured(1)),
                     qPrintable("dead link #" + match.captured(1)));
            ++links;
        }
        QVERIFY(links > 0);

        // Self-contained: nothing is fetched from elsewhere.
        QVERIFY(!text.contains(
            QRegularExpression(QStringLiteral("(src=|<link[^>]*href=)\"(https?:)?//"))));
        QVERIFY(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    }
};

QTEST_GUILESS_MAIN(TestHelpFile)
#include "tst_helpfile.moc"
