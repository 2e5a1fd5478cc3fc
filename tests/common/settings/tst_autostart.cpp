#include "common/settings/autostart.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QtTest>

using namespace settings;

namespace {

QString readEntry()
{
    QFile file(autoStartEntryPath());
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Undoes the two escaping layers the way a desktop reads an Exec= value.
QString unescapeExec(const QString& value)
{
    QString unString;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size()) {
            const QChar next = value[++i];
            unString += next == u'n' ? QChar(u'\n') : next == u't' ? QChar(u'\t') : next;
        } else {
            unString += value[i];
        }
    }
    unString.replace(QStringLiteral("%%"), QStringLiteral("%"));
    if (!unString.startsWith(u'"') || !unString.endsWith(u'"'))
        return QString();
    const QString inner = unString.mid(1, unString.size() - 2);
    QString arg;
    for (qsizetype i = 0; i < inner.size(); ++i) {
        if (inner[i] == u'\\' && i + 1 < inner.size())
            ++i;
        else if (inner[i] == u'"' || inner[i] == u'`' || inner[i] == u'$')
            return QString(); // would have needed escaping
        arg += inner[i];
    }
    return arg;
}

} // namespace

class TestAutoStart : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void markOneWritesAndMarkZeroRemoves()
    {
        QCOMPARE(autoStartEntryPath(), testsupport::TestEnvironment::instance().configHome() +
                                           "/autostart/Spanish.desktop");
        QVERIFY(setAutoStart(1, "/opt/velkor/dialogs"));
        const QString entry = readEntry();
        QVERIFY(entry.startsWith("[Desktop Entry]\n"));
        QVERIFY(entry.contains("\nType=Application\n"));
        QVERIFY(entry.contains("\nExec=\"/opt/velkor/dialogs\"\n"));
        QVERIFY(setAutoStart(0, "/opt/velkor/dialogs"));
        QVERIFY(!QFile::exists(autoStartEntryPath()));
        // Removing again, with nothing there, is fine.
        QVERIFY(setAutoStart(0, "/opt/velkor/dialogs"));
    }

    void otherMarksLeaveTheEntryAlone()
    {
        QVERIFY(setAutoStart(1, "/a/dialogs"));
        const QString before = readEntry();
        QVERIFY(setAutoStart(2, "/b/dialogs"));
        QVERIFY(setAutoStart(-1, "/b/dialogs"));
        QCOMPARE(readEntry(), before);
    }

    void awkwardPathsSurviveEscaping_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("spaces") << "/home/a b/My Apps/dialogs";
        QTest::newRow("quotes") << "/home/it's \"here\"/dialogs";
        QTest::newRow("percent") << "/home/100%/%f/dialogs";
        QTest::newRow("dollar and backtick") << "/home/$HOME/`x`/dialogs";
        QTest::newRow("backslash") << "/home/back\\slash/dialogs";
        QTest::newRow("cyrillic") << "/home/ученик/dialogs";
    }

    void awkwardPathsSurviveEscaping()
    {
        QFETCH(QString, path);
        QVERIFY(setAutoStart(1, path));
        const QString entry = readEntry();
        const qsizetype start = entry.indexOf("\nExec=") + 6;
        const QString value = entry.mid(start, entry.indexOf(u'\n', start) - start);
        QVERIFY2(!value.contains(QRegularExpression("(^|[^%])%[^%]")), qPrintable(value));
        QCOMPARE(unescapeExec(value), path);
    }
};

QTEST_GUILESS_MAIN(TestAutoStart)
#include "tst_autostart.moc"
