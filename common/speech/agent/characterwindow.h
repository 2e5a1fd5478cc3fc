#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

namespace speech::agent {

// The character on the desktop: a frameless, always-on-top, transparent
// window showing the current frame. Its shape mask follows the frame's alpha
// so it also looks right without a compositor. The learner can drag it.
class CharacterWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit CharacterWindow(QWidget* parent = nullptr);

    void setFrame(const QImage& frame);
    // A move by the program, not by the learner: it is not remembered.
    void placeAt(QPoint topLeft);
    const QImage& frameImage() const { return m_frame; }

signals:
    // The learner let go of the window after dragging it here.
    void dragged(QPoint topLeft);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    QImage m_frame;
    QRegion m_maskRegion;
    // Manual dragging, for window managers that refuse a system move.
    bool m_manualDrag = false;
    bool m_systemDrag = false;
    QPoint m_grabOffset;
};

} // namespace speech::agent
