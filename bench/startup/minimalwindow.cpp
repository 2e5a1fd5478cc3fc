// Baseline for the start-up benchmark: the smallest Qt Widgets program that
// shows one window, reporting when that window is first painted.
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
        QPainter(this).fillRect(rect(), Qt::darkBlue);
        if (!m_reported) {
            m_reported = true;
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::printf("painted %lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
        }
    }

private:
    bool m_reported = false;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Window window;
    window.resize(280, 185);
    window.show();
    return app.exec();
}
