#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "dialogs/playback/stripwindow.h"
#include "dialogs/sentences/sentencetable.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/support/testenvironment.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QtTest>

using namespace playbacktest;
using playback::StripWindow;
using sentences::SentenceTable;

namespace {

constexpr QChar kAcute(0x0301);
constexpr double kWhite = 16777215;
constexpr double kBlack = 0;
// A grey level step that is drawing, not noise.
constexpr int kInk = 64;
// The line kept as a screenshot at each size, "Э́то соверше́нно неприе́млемо.":
// the tallest mark, over a capital, and marks over small vowels.
constexpr int kScreenshotId = 10432;

// One column run of the pixels the marks add to the plain text.
struct Mark {
    int left = 0;
    int right = 0;
    int top = 0;
};

// The marks of caption as drawn: where the marked picture differs from the
// plain one. Lists every way they fail to sit cleanly over their vowels: a
// mark missing or extra, off its vowel, cut by the line's top edge, or
// touching the letter below it.
QStringList markFaults(const QImage& markedShot, const QImage& plainShot, const QString& caption,
                       const QFont& font, int textLeft)
{
    const QImage marked = markedShot.convertToFormat(QImage::Format_Grayscale8);
    const QImage plain = plainShot.convertToFormat(QImage::Format_Grayscale8);
    const int width = marked.width();
    const int height = marked.height();
    QList<int> diffTop(width, -1), diffBottom(width, -1), inkTop(width, height);
    for (int y = 0; y < height; ++y) {
        const uchar* m = marked.constScanLine(y);
        const uchar* p = plain.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            if (p[x] > kInk && inkTop[x] == height)
                inkTop[x] = y;
            if (std::abs(int(m[x]) - int(p[x])) > kInk) {
                if (diffTop[x] < 0)
                    diffTop[x] = y;
                diffBottom[x] = y;
            }
        }
    }
    QList<Mark> drawn;
    QStringList faults;
    for (int x = 0; x < width; ++x) {
        if (diffTop[x] < 0)
            continue;
        if (drawn.isEmpty() || drawn.back().right != x - 1)
            drawn.append({x, x, diffTop[x]});
        drawn.back().right = x;
        drawn.back().top = std::min(drawn.back().top, diffTop[x]);
        if (diffBottom[x] >= inkTop[x])
            faults << QStringLiteral("mark touches its letter at x %1").arg(x);
    }

    const QFontMetricsF metrics(font);
    QList<std::pair<double, double>> vowels;
    for (qsizetype i = 1; i < caption.size(); ++i) {
        if (caption[i] == kAcute)
            vowels.append({textLeft + metrics.horizontalAdvance(caption.left(i - 1)),
                           textLeft + metrics.horizontalAdvance(caption.left(i))});
    }
    if (drawn.size() != vowels.size())
        return faults << QStringLiteral("%1 marks drawn, %2 in the text")
                             .arg(drawn.size())
                             .arg(vowels.size());
    for (qsizetype k = 0; k < drawn.size(); ++k) {
        const Mark& mark = drawn[k];
        const double centre = (mark.left + mark.right + 1) / 2.0;
        if (centre < vowels[k].first - 1 || centre > vowels[k].second + 1)
            faults << QStringLiteral("mark %1 at x %2, its vowel at %3..%4")
                          .arg(k + 1)
                          .arg(centre)
                          .arg(vowels[k].first)
                          .arg(vowels[k].second);
        if (mark.top == 0)
            faults << QStringLiteral("mark %1 cut by the line's top edge").arg(k + 1);
    }
    if (width > 0 && inkTop[width - 1] < height)
        faults << QStringLiteral("text reaches the line's right end");
    return faults;
}

bool noFaults(const QStringList& faults)
{
    for (const QString& fault : faults)
        qWarning("%s", qUtf8Printable(fault));
    return faults.isEmpty();
}

} // namespace

// Screenshots of the strip with marked Russian lines: at the smallest, the
// usual and the largest font size every stress mark stands over its vowel,
// whole and clear of the letter, and the line still fits.
class TestStripStressMarks : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QFont font(QStringLiteral("DejaVu Sans"), 12);
        QVERIFY2(QFontInfo(font).family().startsWith(QStringLiteral("DejaVu Sans")),
                 qPrintable("font not installed, got " + QFontInfo(font).family()));
    }

    void marksStandOverTheirVowels_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {8, 12, 55})
            QTest::addRow("size %d", size) << size;
    }

    void marksStandOverTheirVowels()
    {
        QFETCH(int, size);
        settings::SettingsStore store;
        settings::Settings values;
        values.fontSize = qint16(size);
        FixedRandom random;
        playback::PlaybackServices services;
        services.random = &random;
        services.wordBook = std::make_unique<FakeBook>();
        services.messages = std::make_unique<FakeMessages>();
        StripWindow strip(store, values, nullptr, std::move(services));
        strip.layOutForFontSize();
        strip.rememberWindowRect();
        strip.applyColours(kWhite, kBlack);
        strip.show();
        QLabel& line = *strip.russianLine();
        QCOMPARE(line.font().pointSize(), size);
        // The line's own picture, not cut by the strip: its lowest ink.
        line.setText(QStringLiteral(" Ру́сский язы́к, Э́то щу́ка!"));
        const QImage alone = line.grab().toImage().convertToFormat(QImage::Format_Grayscale8);
        int lowest = -1;
        for (int y = 0; y < alone.height(); ++y) {
            const uchar* row = alone.constScanLine(y);
            if (std::any_of(row, row + alone.width(), [](uchar c) { return c > kInk; }))
                lowest = y;
        }
        QVERIFY2(lowest >= 0 && line.y() + lowest < strip.height(),
                 qPrintable(QStringLiteral("lowest ink at %1, the strip %2 high")
                                .arg(line.y() + lowest)
                                .arg(strip.height())));

        const SentenceTable& table = SentenceTable::instance();
        QStringList faults;
        int lines = 0;
        int marks = 0;
        QElapsedTimer clock;
        clock.start();
        for (int group = 1; group <= SentenceTable::groupCount; ++group) {
            for (int k = 1; k <= SentenceTable::pairsPerGroup; ++k) {
                const int id = SentenceTable::sentenceId(group, k);
                const QString* text = table.string(id);
                if (!text)
                    continue;
                // The caption at rest, as the last slide step leaves it.
                const QString caption = QStringLiteral(" ") + *text;
                values.showStressMarks = 1;
                strip.setRussianLineCaption(caption);
                const QImage marked = strip.grab(line.geometry()).toImage();
                values.showStressMarks = 0;
                strip.stressMarksChanged();
                const QImage plain = strip.grab(line.geometry()).toImage();
                for (const QString& fault :
                     markFaults(marked, plain, caption, line.font(), line.contentsRect().left()))
                    faults << QStringLiteral("%1 \"%2\": %3").arg(id).arg(*text, fault);
                ++lines;
                marks += int(text->count(kAcute));
                if (id == kScreenshotId) {
                    const QString folder = qEnvironmentVariable("VELKOR_ARTIFACTS");
                    if (!folder.isEmpty() && QDir().mkpath(folder)) {
                        values.showStressMarks = 1;
                        strip.stressMarksChanged();
                        const QString name = QStringLiteral("/strip-stress-marks-%1.png").arg(size);
                        QVERIFY(strip.grab().save(folder + name));
                    }
                }
            }
        }
        qInfo("size %d: %d lines, %d marks checked in %lld ms", size, lines, marks,
              clock.elapsed());
        QVERIFY(marks > 1000);
        QVERIFY2(noFaults(faults),
                 qPrintable(QString::number(faults.size()) + " faults, listed above"));
    }
};

QTEST_MAIN(TestStripStressMarks)
#include "tst_stripstressmarks.moc"
