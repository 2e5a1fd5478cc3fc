// Baseline for the start-up benchmark: the smallest Qt Widgets program that
// shows one window, reporting when that window is first painted.
//   bench_minimalwindow [--text]
#include <QApplication>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <ctime>

namespace {

class Window final : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::darkBlue);
        if (m_text)
            painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Hello"));
        if (!m_reported) {
            m_reported = true;
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("painted %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
        }
    }

public:
    explicit Window(bool text) : m_text(text) {}

private:
    bool m_text = false;
    bool m_reported = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // With --text the window also draws a word, which brings in the fonts.
    Window window(app.arguments().contains(QStringLiteral("--text")));
    window.resize(280, 185);
    window.show();
    return app.exec();
}
