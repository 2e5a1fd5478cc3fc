#pragma once

#include "skin/clickarm.h"
#include "skin/hoverwatch.h"
#include "skin/pictureclip.h"
#include "skin/pointer.h"

#include <QPixmap>
#include <QVariantMap>
#include <QWidget>

#include <memory>

class QLabel;

namespace skin {

// Custom-drawn push button: its face is one of five cells of a bitmap strip
// (normal, pressed, disabled, hover, emphasised) stretched by nine-slice
// painting, with a centred caption. A 10 ms hover watch notices the pointer
// leaving, restores the rest look and raises pointerLeft().
class SkinButton final : public QWidget
{
    Q_OBJECT

public:
    enum Cell { Normal = 0, Pressed = 1, Disabled = 2, Hover = 3, Emphasised = 4 };

    explicit SkinButton(QWidget* parent = nullptr);

    // Applies a stored design in the order "State", "Enabled", "Caption",
    // "Font"; absent names take their defaults.
    void readProperties(const QVariantMap& design);

    int state() const { return m_state; }
    void setState(int state);
    QString caption() const;
    void setCaption(const QString& caption);
    // Enabled and Font are the widget's own: setEnabled() and setFont().

    // Replaces the face strip (five cells of 18 x 21 side by side).
    void setFaceStrip(const QImage& strip);
    void setPointer(std::shared_ptr<const Pointer> pointer);

    void showRestCell();
    void showCell(int cell);
    int currentCell() const { return m_cell; }
    QImage face() const;
    QLabel* captionLabel() const { return m_captionLabel; }

    // The hover watch; stops itself once the pointer is outside.
    void hoverTick();

signals:
    void clicked();
    void keyPressed(int key, int shift);
    void characterTyped(int character);
    void keyReleased(int key, int shift);
    void mousePressed(int button, int shift, float x, float y);
    void mouseMoved(int button, int shift, float x, float y);
    void mouseReleased(int button, int shift, float x, float y);
    void pointerLeft();

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void layout();
    void refreshFace() const;
    QPixmap renderFace(int cell) const;
    void updateCaptionColour();
    static QString captionMarkup(const QString& caption);

    QLabel* m_captionLabel = nullptr;
    QString m_caption;
    HoverWatch m_hover;
    PictureClip m_faceStrip;
    mutable QPixmap m_face;
    int m_state = 0;
    int m_restCell = Normal;
    int m_cell = Normal;
    int m_shortcut = 0;
    ClickArm m_click;
};

} // namespace skin
