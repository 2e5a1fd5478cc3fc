// Shows a skinned window with its caption, icon, caption buttons and push
// buttons in every look, for screenshots of the skin.
//
// With VELKOR_GALLERY_SHOT=FILE set, it grabs the whole screen after a short
// delay, saves it to FILE, prints the window's place as "window X Y W H" and
// quits.

#include "skin/captionbutton.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"

#include <QApplication>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>

#include <cstdio>

namespace {

// The gallery keeps its frame the size of the window, unlike the fixed-size
// designs of the programs, so maximising shows the whole frame.
class GalleryWindow final : public QWidget
{
public:
    GalleryWindow()
    {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        resize(425, 321);
        m_frame = new skin::SkinFrame(this);
        m_frame->setObjectName(QStringLiteral("skinFrame"));
        m_frame->resize(size());
        m_frame->readProperties({{QStringLiteral("Caption"), QStringLiteral("Skin Gallery")}});

        const int values[] = {2, 1, 0};
        for (int i = 0; i < 3; ++i) {
            auto* button = new skin::CaptionButton(this);
            button->readProperties({{QStringLiteral("Value"), values[i]}});
            m_captionButtons[i] = button;
        }
        connect(m_captionButtons[0], &skin::CaptionButton::clicked, this, &QWidget::showMinimized);
        connect(m_captionButtons[1], &skin::CaptionButton::clicked, this,
                [this] { isMaximized() ? showNormal() : showMaximized(); });
        connect(m_captionButtons[2], &skin::CaptionButton::clicked, this, &QWidget::close);

        auto* heading = new QLabel(QStringLiteral("Push buttons"), this);
        heading->move(24, 48);
        const struct {
            const char* caption;
            int state;
            bool enabled;
            int forcedCell;
        } looks[] = {
            {"Normal", 0, true, -1}, {"&Emphasised", 1, true, -1}, {"Hover", 0, true, 3},
            {"Pressed", 0, true, 1}, {"Disabled", 0, false, -1},   {"Disabled && on", 1, false, -1},
        };
        int i = 0;
        for (const auto& look : looks) {
            auto* button = new skin::SkinButton(this);
            button->readProperties({{QStringLiteral("State"), look.state},
                                    {QStringLiteral("Enabled"), look.enabled},
                                    {QStringLiteral("Caption"), QString::fromUtf8(look.caption)}});
            button->setGeometry(24 + (i % 2) * 120, 76 + (i / 2) * 36, 105, 25);
            if (look.forcedCell >= 0)
                m_forced.append({button, look.forcedCell});
            ++i;
        }
        auto* note = new QLabel(QStringLiteral("Caption buttons: minimise, maximise, close.\n"
                                               "Drag the title bar to move, a border to resize."),
                                this);
        note->move(24, 200);
        for (QLabel* label : {heading, note})
            label->setAttribute(Qt::WA_TranslucentBackground);
        m_frame->lower();
        placeCaptionButtons();
    }

    // Hover and pressed looks follow the pointer; show them still for pictures.
    void freezeLooks()
    {
        for (const auto& [button, cell] : m_forced)
            button->showCell(cell);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QWidget::resizeEvent(event);
        m_frame->resize(event->size());
        placeCaptionButtons();
    }

private:
    void placeCaptionButtons()
    {
        int x = width() - 5 - 3 * skin::CaptionButton::kSide - 4;
        for (skin::CaptionButton* button : m_captionButtons) {
            button->move(x, 4);
            x += skin::CaptionButton::kSide + 2;
        }
    }

    skin::SkinFrame* m_frame = nullptr;
    skin::CaptionButton* m_captionButtons[3] = {};
    QList<std::pair<skin::SkinButton*, int>> m_forced;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    GalleryWindow window;
    window.move(40, 40);
    window.show();
    // Without a window manager nobody hands out the focus; ask once mapped.
    QTimer::singleShot(200, &window, [&window] {
        window.activateWindow();
        window.freezeLooks();
    });

    const QString shot = qEnvironmentVariable("VELKOR_GALLERY_SHOT");
    if (!shot.isEmpty()) {
        QTimer::singleShot(1500, &app, [&] {
            window.freezeLooks();
            const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
            const bool saved = screen.save(shot, "PNG");
            const QRect g = window.geometry();
            std::printf("window %d %d %d %d\n", g.x(), g.y(), g.width(), g.height());
            std::fflush(stdout);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
