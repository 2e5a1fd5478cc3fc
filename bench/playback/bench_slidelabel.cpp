// What one slide step of the Russian line costs to draw: the caption loses a
// leading space and the line is painted again (every 80 ms while it slides).
// Baseline, in the same run: the line as it was drawn before stress marks
// were placed, static text of the sentence laid out once and drawn at the
// spaces' offset. Then SlideLabel with the plain and with the marked line.
// Offscreen, into an image the size of the line at font size 12.
#include "common/speech/speechtext.h"
#include "dialogs/playback/slidelabel.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStaticText>

#include <benchmark/benchmark.h>

namespace {

const QString kMarked =
    QStringLiteral("Я обяза\u0301тельно позвоню\u0301 тебе\u0301 за\u0301втра у\u0301тром");
constexpr int kSlideSteps = 36;

// The line before: the sentence as static text, marks and all left to Qt.
class StaticTextLine final : public QLabel
{
public:
    StaticTextLine()
    {
        setTextFormat(Qt::PlainText);
        m_sentence.setTextFormat(Qt::PlainText);
        m_sentence.setPerformanceHint(QStaticText::AggressiveCaching);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QString caption = text();
        qsizetype spaces = 0;
        while (spaces < caption.size() && caption[spaces] == u' ')
            ++spaces;
        const QString sentence = caption.mid(spaces);
        if (m_sentence.text() != sentence)
            m_sentence.setText(sentence);
        QPainter painter(this);
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        const qreal offset = QFontMetricsF(font()).horizontalAdvance(QString(spaces, u' '));
        painter.drawStaticText(QPointF(contentsRect().left() + offset, contentsRect().top()),
                               m_sentence);
    }

private:
    QStaticText m_sentence;
};

void slide(benchmark::State& state, QLabel& line, const QString& sentence)
{
    line.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    line.resize(358, 23);
    line.setContentsMargins(0, 4, 0, 0);
    QImage image(line.size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        line.setText(QString(kSlideSteps - step, u' ') + sentence);
        step = (step + 1) % kSlideSteps;
        line.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

void staticTextBaseline(benchmark::State& state)
{
    StaticTextLine line;
    slide(state, line, speech::withoutStressMarks(kMarked));
}
BENCHMARK(staticTextBaseline)->Unit(benchmark::kMicrosecond);

void slideLabelPlain(benchmark::State& state)
{
    playback::SlideLabel line;
    slide(state, line, speech::withoutStressMarks(kMarked));
}
BENCHMARK(slideLabelPlain)->Unit(benchmark::kMicrosecond);

void slideLabelMarked(benchmark::State& state)
{
    playback::SlideLabel line;
    slide(state, line, kMarked);
}
BENCHMARK(slideLabelMarked)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
