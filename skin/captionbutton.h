#pragma once

#include "skin/clickarm.h"
#include "skin/hoverwatch.h"
#include "skin/pictureclip.h"
#include "skin/pointer.h"

#include <QPixmap>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <memory>

namespace skin {

// A 21 x 21 caption button for the skinned title bar. Its glyph picks the
// strip (0 close, 1 maximise, 2 minimise, 3 restore); each strip has a normal,
// hover, pressed and disabled cell. It acts on nothing itself: hosts react to
// clicked().
class CaptionButton final : public QWidget
{
    Q_OBJECT

public:
    enum Cell { Normal = 0, Hover = 1, Pressed = 2, Disabled = 3 };
    static constexpr int kSide = 21;

    explicit CaptionButton(QWidget* parent = nullptr);

    // Stores the glyph ("Value") without redrawing, then applies "Enabled";
    // the strip of the loaded glyph shows when the button is shown.
    void readProperties(const QVariantMap& design);

    int glyph() const { return m_glyph; }
    void setGlyph(int glyph);

    // Replaces one glyph strip (four 21 x 21 cells side by side).
    void setStrip(int index, const QImage& strip);
    void setPointer(std::shared_ptr<const Pointer> pointer);

    void applyGlyph();
    void showCell(int cell);
    int strip() const { return m_strip; }
    int currentCell() const { return m_cell; }
    QImage face() const { return m_face.toImage(); }

    // The hover watch; stops itself once the pointer is outside.
    void hoverTick();

signals:
    void clicked();
    void mousePressed(int button, int shift, float x, float y);
    void mouseMoved(int button, int shift, float x, float y);
    void mouseReleased(int button, int shift, float x, float y);
    void pointerLeft();

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    HoverWatch m_hover;
    std::array<PictureClip, 4> m_strips;
    QPixmap m_face;
    int m_glyph = 0;
    int m_strip = 0;
    int m_cell = Normal;
    ClickArm m_click;
};

} // namespace skin
