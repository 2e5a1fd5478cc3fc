#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
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

    // Shows frame, cut to shape. The same frame or shape again costs nothing:
    // no repaint, no new shape for the window system.
    void setFrame(const QImage& frame, const QRegion& shape);
    // A move by the program, not by the learner: it is not remembered.
    void placeAt(QPoint topLeft);
    const QImage& frameImage() const { return m_frame; }
    // How often another frame was shown, and another shape given to the window.
    int frameChanges() const { return m_frameChanges; }
    int shapeChanges() const { return m_shapeChanges; }

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
    QRegion m_shape;
    int m_frameChanges = 0;
    int m_shapeChanges = 0;
    // Manual dragging, for window managers that refuse a system move.
    bool m_manualDrag = false;
    bool m_systemDrag = false;
    QPoint m_grabOffset;
};

} // namespace speech::agent
