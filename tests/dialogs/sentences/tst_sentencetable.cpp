#include "dialogs/sentences/sentencetable.h"
#include "tests/support/testenvironment.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <climits>

using sentences::ParsedGroup;
using sentences::SentenceTable;

namespace {

// A well-formed group file whose pair k reads "Фраза k | Phrase k".
QByteArray groupText(int group, int pairs = SentenceTable::pairsPerGroup)
{
    QByteArray text =
        QStringLiteral("# %1 Topic %2\n").arg(group, 2, 10, QChar('0')).arg(group).toUtf8();
    text += "# a comment | with a bar\n\n";
    for (int k = 1; k <= pairs; ++k)
        text += QStringLiteral("Фраза %1.%2 | Phrase %1.%2\n").arg(group).arg(k).toUtf8();
    return text;
}

QString joined(const QStringList& errors)
{
    return errors.join(u'\n');
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

} // namespace

class TestSentenceTable : public QObject
{
    Q_OBJECT

private slots:
    void parsesWellFormedFiles_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray plain = groupText(7);
        QByteArray crlf = plain;
        crlf.replace("\n", "\r\n");
        QTest::newRow("LF") << plain;
        QTest::newRow("CRLF") << crlf;
        QTest::newRow("BOM and CRLF") << QByteArray("\xEF\xBB\xBF") + crlf;
        QTest::newRow("no final line end") << plain.chopped(1);
    }

    void parsesWellFormedFiles()
    {
        QFETCH(QByteArray, data);
        const ParsedGroup parsed = SentenceTable::parseGroup(data, 7);
        QVERIFY2(parsed.errors.isEmpty(), qPrintable(joined(parsed.errors)));
        QCOMPARE(parsed.topic, QString("Topic 7"));
        QCOMPARE(parsed.russian.size(), SentenceTable::pairsPerGroup);
        QCOMPARE(parsed.english.size(), SentenceTable::pairsPerGroup);
        QCOMPARE(parsed.russian.first(), QString("Фраза 7.1"));
        QCOMPARE(parsed.english.last(), QString("Phrase 7.37"));
        QCOMPARE(parsed.lines.first(), 4); // header, comment and blank line come first
        for (const QString& text : parsed.russian + parsed.english)
            QVERIFY2(!text.contains(u'\r') && !text.contains(u'\n') &&
                         !text.contains(QChar(0xFEFF)),
                     qPrintable(text));
    }

    // Each fault must be reported with the file name and the line it is on.
    void reportsFaultsWithFileAndLine_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("where");

        const QByteArray good = groupText(3);
        const auto withLine5 = [&](const QByteArray& line) {
            QList<QByteArray> lines = good.split('\n');
            lines[4] = line;
            return lines.join('\n');
        };
        QTest::newRow("bar without blanks") << withLine5("Да|Yes") << "group03.txt:5:";
        QTest::newRow("dash as separator") << withLine5("Да - Yes") << "group03.txt:5:";
        QTest::newRow("two bars") << withLine5("Да | Yes | No") << "group03.txt:5:";
        QTest::newRow("empty English") << withLine5("Да | ") << "group03.txt:5:";
        QTest::newRow("padded Russian") << withLine5("Да  | Yes") << "group03.txt:5:";
        QTest::newRow("bad UTF-8") << withLine5("\xD0 | Yes") << "group03.txt:5:";

        QByteArray wrongHeader = good;
        wrongHeader.replace("# 03 ", "# 04 ");
        QTest::newRow("header of another group") << wrongHeader << "group03.txt:1:";
        QByteArray noTopic = good;
        noTopic.replace("# 03 Topic 3", "# 03 ");
        QTest::newRow("header without topic") << noTopic << "group03.txt:1:";

        // Too few pairs: the last pair line; too many: the first surplus line.
        QTest::newRow("36 pairs") << groupText(3, 36) << "group03.txt:39:";
        QTest::newRow("38 pairs") << groupText(3, 38) << "group03.txt:41:";
        QTest::newRow("empty file") << QByteArray() << "group03.txt:1:";
    }

    void reportsFaultsWithFileAndLine()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, where);
        const ParsedGroup parsed = SentenceTable::parseGroup(data, 3);
        QVERIFY(!parsed.errors.isEmpty());
        QVERIFY2(parsed.errors.first().startsWith(where), qPrintable(joined(parsed.errors)));
    }

    // Numbers resolve by group and position; a missing file leaves its
    // numbers unresolved and a broken one is reported, without stopping the rest.
    void loadsFromFolderAndResolvesNumbers()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(writeFile(dir.filePath("group01.txt"), groupText(1)));
        QVERIFY(writeFile(dir.filePath("group02.txt"), groupText(2, 36)));
        QVERIFY(writeFile(dir.filePath("group19.txt"), groupText(19)));

        const SentenceTable table(dir.path());
        QCOMPARE(table.errors().size(), 1);
        QVERIFY(table.errors().first().startsWith("group02.txt:"));

        QCOMPARE(*table.string(10101), QString("Фраза 1.1"));
        QCOMPARE(*table.string(20101), QString("Phrase 1.1"));
        QCOMPARE(*table.string(10137), QString("Фраза 1.37"));
        QCOMPARE(*table.string(21937), QString("Phrase 19.37"));
        QCOMPARE(*table.string(11920), QString("Фраза 19.20"));
        QCOMPARE(*table.string(10236), QString("Фраза 2.36"));
        QCOMPARE(table.string(10237), nullptr);
        QCOMPARE(table.string(10301), nullptr);
        QCOMPARE(table.string(20301), nullptr);
        QCOMPARE(table.topicName(19), QString("Topic 19"));
        QCOMPARE(table.topicName(3), QString());
        QVERIFY(table.hasGroup(2));
        QVERIFY(!table.hasGroup(3));
        QCOMPARE(table.location(21903), QString("group19.txt:6"));

        // Nothing next to the valid numbers resolves.
        for (int id : {10100, 10138, 10199, 10200, 12001, 20100, 20138, 22001, 30101, 101, 1101})
            QVERIFY2(table.string(id) == nullptr, qPrintable(QString::number(id)));
    }

    // The table that ships: complete, and exactly the numbers 10101-11937 and
    // 20101-21937 (number within the group 1-37) resolve.
    void builtInTableIsComplete()
    {
        const SentenceTable& table = SentenceTable::instance();
        QVERIFY2(table.errors().isEmpty(), qPrintable(joined(table.errors())));
        QStringList missing;
        for (int group = 1; group <= SentenceTable::groupCount; ++group) {
            if (!table.hasGroup(group))
                missing << SentenceTable::fileName(group);
        }
        QVERIFY2(missing.isEmpty(),
                 qPrintable("groups not in the resources: " + missing.join(", ")));

        for (int base : {10000, 20000}) {
            for (int id = base + 1; id <= base + 1999; ++id) {
                const int group = (id - base) / 100;
                const int number = id % 100;
                const bool expected = group >= 1 && group <= 19 && number >= 1 && number <= 37;
                QVERIFY2(
                    (table.string(id) != nullptr) == expected,
                    qPrintable(QString::number(id) + (expected ? " unresolved" : " resolves")));
            }
        }
        for (int id : {INT_MIN, -10101, -1, 0, 10000, 12000, 20000, 22000, 32767, INT_MAX})
            QVERIFY2(table.string(id) == nullptr, qPrintable(QString::number(id)));
        QVERIFY(&SentenceTable::instance() == &table);
    }

    // The options dialog lists topics 1-15 by these names and the group files
    // carry the same names, so the table and the dialog agree.
    void builtInTopicNamesMatchTheTopicList()
    {
        QStringList names =
            QStringLiteral("Agreement-Apologies-Compliments, Praise-Disapproval, "
                           "Dissatisfaction-Instructions, advice-Introducing people-Invitations-"
                           "Irritation, Anger-Meeting people-Offers-Permission and request-"
                           "Receiving visitors-Success, Failure-Thanks-Worry, Trouble")
                .split(u'-');
        names << "Everyday expressions"
              << "Travel and directions"
              << "Shopping and eating out"
              << "Time, weather and plans";
        const SentenceTable& table = SentenceTable::instance();
        for (int group = 1; group <= SentenceTable::groupCount; ++group)
            QCOMPARE(table.topicName(group), names[group - 1]);
    }
};

QTEST_GUILESS_MAIN(TestSentenceTable)
#include "tst_sentencetable.moc"
