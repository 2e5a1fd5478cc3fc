#include "dialogs/sentences/sentencetable.h"
#include "tests/support/testenvironment.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QRegularExpression>
#include <QScreen>
#include <QtTest>

#include <algorithm>

using sentences::SentenceTable;

namespace {

struct Line {
    int id;
    QString text;
};

// Every string of the shipped table, Russian or English side.
QList<Line> linesOf(bool english)
{
    QList<Line> lines;
    const SentenceTable& table = SentenceTable::instance();
    for (int group = 1; group <= SentenceTable::groupCount; ++group) {
        for (int k = 1; k <= SentenceTable::pairsPerGroup; ++k) {
            const int id =
                SentenceTable::sentenceId(group, k) + (english ? SentenceTable::englishOffset : 0);
            if (const QString* text = table.string(id))
                lines.append({id, *text});
        }
    }
    return lines;
}

// Lists every fault on its own line (a single message would be cut short).
bool noFaults(const QStringList& faults)
{
    for (const QString& fault : faults)
        qWarning("%s", qUtf8Printable(fault));
    return faults.isEmpty();
}

QString where(const Line& line)
{
    return QStringLiteral("%1 (%2) \"%3\"")
        .arg(SentenceTable::instance().location(line.id))
        .arg(line.id)
        .arg(line.text);
}

bool isCyrillic(QChar c)
{
    return c.script() == QChar::Script_Cyrillic;
}
bool isLatinLetter(QChar c)
{
    return c.isLetter() && c.script() == QChar::Script_Latin;
}

constexpr QChar kAcute(0x0301);

bool isVowel(QChar c)
{
    return QStringLiteral("аеёиоуыэюя").contains(c.toLower());
}

// Stress carried by a word or part of one: acute marks and ё.
int stressesIn(const QString& text)
{
    return int(text.count(kAcute) + text.count(u'ё') + text.count(u'Ё'));
}

// The stress rules of the table, for one Russian line; empty when it keeps them.
QStringList stressFaults(const QString& text)
{
    QStringList faults;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != kAcute)
            continue;
        const QChar before = i > 0 ? text[i - 1] : QChar();
        if (before == kAcute)
            faults << QStringLiteral("doubled mark at %1").arg(i);
        else if (!before.isLetter())
            faults << QStringLiteral("mark starts a word at %1").arg(i);
        else if (!isVowel(before))
            faults << QStringLiteral("mark after the consonant %1").arg(before);
    }
    // Hyphenated words: the unstressed particles carry no mark, every other
    // part carries one stress when the whole word has two syllables or more.
    static const QStringList particles = {"по", "кое", "то", "либо", "нибудь", "ка", "таки"};
    static const QRegularExpression wordPattern(
        QStringLiteral("\\p{L}[\\p{L}\\x{0301}]*(?:-\\p{L}[\\p{L}\\x{0301}]*)*"));
    for (auto it = wordPattern.globalMatch(text); it.hasNext();) {
        const QString word = it.next().captured();
        const int syllables = int(std::count_if(word.begin(), word.end(), isVowel));
        for (const QString& part : word.split(u'-')) {
            QString bare = part;
            bare.remove(kAcute);
            const bool particle = word.contains(u'-') && particles.contains(bare.toLower());
            const int expected = syllables >= 2 && !particle ? 1 : 0;
            if (part.count(kAcute) > 0 && expected == 0)
                faults << QStringLiteral("\"%1\" in \"%2\" needs no mark").arg(part, word);
            else if (stressesIn(part) != expected && expected == 1)
                faults << QStringLiteral("\"%1\" in \"%2\" needs one stress, has %3")
                              .arg(part, word)
                              .arg(stressesIn(part));
        }
    }
    return faults;
}

} // namespace

// Checks that the learner sees: the right script on each side, no stray
// blanks, no repeated sentence, and every line fitting the strip.
class TestSentenceContent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const int total = 2 * SentenceTable::groupCount * SentenceTable::pairsPerGroup;
        const int present = int(linesOf(false).size() + linesOf(true).size());
        if (present != total)
            qWarning("only %d of %d table strings are present; checking those", present, total);
        QVERIFY(present > 0);
    }

    void eachSideUsesItsOwnScript()
    {
        QStringList faults;
        for (const Line& line : linesOf(false)) {
            const bool hasCyrillic = std::any_of(line.text.begin(), line.text.end(), isCyrillic);
            const bool hasLatin = std::any_of(line.text.begin(), line.text.end(), isLatinLetter);
            if (!hasCyrillic || hasLatin || line.text.contains(u'"'))
                faults << "Russian: " + where(line);
        }
        for (const Line& line : linesOf(true)) {
            // Plain ASCII keeps curly quotes and look-alike letters out.
            const bool ascii = std::all_of(line.text.begin(), line.text.end(), [](QChar c) {
                return c.unicode() >= 0x20 && c.unicode() < 0x7F;
            });
            const bool hasLetter = std::any_of(line.text.begin(), line.text.end(), isLatinLetter);
            if (!ascii || !hasLetter)
                faults << "English: " + where(line);
        }
        QVERIFY2(noFaults(faults),
                 qPrintable(QString::number(faults.size()) + " faults, listed above"));
    }

    void noStrayBlanks()
    {
        QStringList faults;
        for (bool english : {false, true}) {
            for (const Line& line : linesOf(english)) {
                if (line.text.trimmed() != line.text || line.text.isEmpty() ||
                    line.text.contains(QStringLiteral("  ")) || line.text.contains(u'\t'))
                    faults << where(line);
            }
        }
        QVERIFY2(noFaults(faults),
                 qPrintable(QString::number(faults.size()) + " faults, listed above"));
    }

    // Case and final punctuation do not make a sentence new.
    void noSentenceRepeats()
    {
        QStringList faults;
        for (bool english : {false, true}) {
            QHash<QString, Line> seen;
            for (const Line& line : linesOf(english)) {
                QString key = line.text.toLower();
                while (!key.isEmpty() && QStringLiteral(".!?…").contains(key.back()))
                    key.chop(1);
                const auto earlier = seen.constFind(key);
                if (earlier != seen.constEnd())
                    faults << where(*earlier) + " repeated at " + where(line);
                else
                    seen.insert(key, line);
            }
        }
        QVERIFY2(noFaults(faults),
                 qPrintable(QString::number(faults.size()) + " faults, listed above"));
    }

    // Every Russian word of two syllables or more shows its stress once: an
    // acute accent after the stressed vowel, or ё; one-syllable words none.
    void stressIsMarkedOnce()
    {
        // The rules themselves, on words that keep and break them.
        QCOMPARE(stressFaults(QStringLiteral("Спаси\u0301бо, до\u0301ма всё по-ру\u0301сски, "
                                             "что\u0301-нибудь.")),
                 QStringList());
        const QList<std::pair<QString, QString>> broken = {
            {QStringLiteral("Спасибо."), QStringLiteral("needs one stress, has 0")},
            {QStringLiteral("Спа\u0301си\u0301бо."), QStringLiteral("needs one stress, has 2")},
            {QStringLiteral("Ещё\u0301."), QStringLiteral("needs one stress, has 2")},
            {QStringLiteral("Да\u0301."), QStringLiteral("needs no mark")},
            {QStringLiteral("Всё\u0301."), QStringLiteral("needs no mark")},
            {QStringLiteral("Спаси\u0301\u0301бо."), QStringLiteral("doubled")},
            {QStringLiteral("Спас\u0301ибо."), QStringLiteral("after the consonant с")},
            {QStringLiteral("\u0301Спаси\u0301бо."), QStringLiteral("starts a word")},
            {QStringLiteral("по\u0301-русски"), QStringLiteral("\"по\u0301\" in")},
            {QStringLiteral("что-нибу\u0301дь"), QStringLiteral("\"что\" in")},
        };
        for (const auto& [text, fault] : broken)
            QVERIFY2(stressFaults(text).join(u'|').contains(fault), qPrintable(text));

        QStringList faults;
        for (const Line& line : linesOf(false)) {
            for (const QString& fault : stressFaults(line.text))
                faults << fault + ": " + where(line);
        }
        QVERIFY2(noFaults(faults),
                 qPrintable(QString::number(faults.size()) + " faults, listed above"));
    }

    // The strip draws " " + text in DejaVu Sans 12 in a text area of
    // 22 line heights less 900 twips.
    void everyLineFitsTheStrip()
    {
        const QFont font("DejaVu Sans", 12);
        const QFontMetrics metrics(font);
        QVERIFY2(QFontInfo(font).family().startsWith("DejaVu Sans"),
                 qPrintable("font not installed, got " + QFontInfo(font).family()));
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const double twipsPerPixel = 1440.0 / screen->logicalDotsPerInchY();
        const double area = 22 * metrics.height() - 900 / twipsPerPixel;

        QStringList faults;
        Line widest{0, {}};
        int widestWidth = 0;
        for (bool english : {false, true}) {
            for (const Line& line : linesOf(english)) {
                const int width = metrics.horizontalAdvance(u' ' + line.text);
                if (width >= area)
                    faults << QStringLiteral("%1 px: ").arg(width) + where(line);
                if (width > widestWidth) {
                    widestWidth = width;
                    widest = line;
                }
            }
        }
        qInfo("text area %.1f px (line height %d, %.1f dpi); widest line %d px: %s", area,
              metrics.height(), screen->logicalDotsPerInchY(), widestWidth,
              qUtf8Printable(where(widest)));
        QVERIFY2(noFaults(faults),
                 qPrintable(QString::number(faults.size()) + " faults, listed above"));
    }
};

QTEST_MAIN(TestSentenceContent)
#include "tst_sentencecontent.moc"
