// Keeps the names of the code legible: no identifier, file name or settings
// member may fall back to the numbered form, control and timer names of the
// window designs (Form1, Label2, Timer5, Data1, xp_canvas, cmdNext, ...) or to
// the short spellings under which the settings are stored ("ce", "guagen").

#include "tests/naming/designnames.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QtTest>

namespace {

QString readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString sourceFile(const QString& relative)
{
    return testsupport::TestEnvironment::sourceDir() + u'/' + relative;
}

} // namespace

class TestDesignNames : public QObject
{
    Q_OBJECT

private slots:
    void identifiersAreFoundOutsideTextsAndComments_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("member") << "QLabel* Label1 = nullptr;" << QStringList{"1: Label1"};
        QTest::newRow("handler") << "void Timer5_Timer();" << QStringList{"1: Timer5_Timer"};
        QTest::newRow("click") << "QImage image; Image2_Click();" << QStringList{"1: Image2_Click"};
        QTest::newRow("string") << "auto s = \"Label1 \\\"Form1\\\"\";" << QStringList{};
        QTest::newRow("character") << "char c = '\"'; int Data1;" << QStringList{"1: Data1"};
        QTest::newRow("line comment")
            << "int x; // Timer5 ticks\nint Shape1;" << QStringList{"2: Shape1"};
        QTest::newRow("block comment") << "/* Form1\n Form2 */ Form4 f;" << QStringList{"2: Form4"};
        QTest::newRow("raw string")
            << "x = R\"x(Form1 \" )\" still)x\"; Form7 y;" << QStringList{"1: Form7"};
        QTest::newRow("digit separator")
            << "int n = 100'000; Timer3 t;" << QStringList{"1: Timer3"};
        QTest::newRow("prefixed string")
            << "u\"Label1\" + u'x' + mobjAgent" << QStringList{"1: mobjAgent"};
        QTest::newRow("skin") << "xp_canvas1 a; xpcmdbutton b; trans_colour::f();"
                              << QStringList{"1: xp_canvas1", "1: xpcmdbutton", "1: trans_colour"};
        QTest::newRow("prefixed controls")
            << "cmdNext; txtGCurent; chkAutoReadClip; lblX; cmd; command1"
            << QStringList{"1: cmdNext", "1: txtGCurent", "1: chkAutoReadClip", "1: lblX"};
        QTest::newRow("legible") << "m_presentationTimer; QImage; Formatter; Label; Timer"
                                 << QStringList{};
    }

    void identifiersAreFoundOutsideTextsAndComments()
    {
        QFETCH(QString, source);
        QFETCH(QStringList, found);
        QCOMPARE(designnames::designNamesIn(source), found);
    }

    void designFileNamesAreRecognised_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("design");
        for (const char* name :
             {"form1.cpp", "tst_form2.cpp", "Label10.png", "timer1.h", "tst_xp_canvas.cpp",
              "xpcmdbutton.h", "trans_colour.cpp", "data1.h", "image2_click.svg"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        for (const char* name : {"stripwindow.h", "platform2.h", "formatter.cpp", "ico1.svg",
                                 "tst_skinframe.cpp", "textile.h", "group01.txt"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }

    void designFileNamesAreRecognised()
    {
        QFETCH(QString, name);
        QFETCH(bool, design);
        QCOMPARE(designnames::isDesignFileName(name), design);
    }

    void sourceTreeUsesNoDesignNames()
    {
        QStringList found;
        int scanned = 0;
        for (const QString& file :
             designnames::sourceFiles(testsupport::TestEnvironment::sourceDir())) {
            if (!file.endsWith(u".cpp") && !file.endsWith(u".h"))
                continue;
            ++scanned;
            for (const QString& place : designnames::designNamesIn(readAll(sourceFile(file))))
                found << file + QStringLiteral(":") + place;
        }
        // A wrong source folder would otherwise pass with nothing read.
        QVERIFY2(scanned > 100, qPrintable(QString::number(scanned)));
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    void fileNamesCarryNoDesignNames()
    {
        const QStringList files =
            designnames::sourceFiles(testsupport::TestEnvironment::sourceDir());
        QVERIFY(files.size() > 100);
        QStringList found;
        for (const QString& file : files) {
            if (designnames::isDesignFileName(file.section(u'/', -1)))
                found << file;
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u'\n')));
    }

    void settingsMembersAreNotStoredKeys()
    {
        const QStringList keys = designnames::storedKeys(
            readAll(sourceFile(QStringLiteral("common/settings/settingskeys.h"))));
        const QStringList members = designnames::settingsMembers(
            readAll(sourceFile(QStringLiteral("common/settings/settings.h"))));
        QVERIFY2(keys.size() >= 27, qPrintable(keys.join(u' ')));
        QVERIFY2(members.size() >= 21, qPrintable(members.join(u' ')));
        QStringList clashes;
        for (const QString& member : members) {
            for (const QString& key : keys) {
                if (member.compare(key, Qt::CaseInsensitive) == 0)
                    clashes << member;
            }
        }
        QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(u' ')));
    }
};

QTEST_GUILESS_MAIN(TestDesignNames)
#include "tst_designnames.moc"
