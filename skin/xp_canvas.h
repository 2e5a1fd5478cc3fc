#pragma once

#include "skin/hostwindow.h"

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;

namespace skin {

// Custom-drawn window frame. A frameless host places one over its client area
// and puts its controls on top; the frame draws the 29-pixel title bar with
// icon and caption, 5-pixel borders in an active and an inactive look, moves
// the host by its title bar, maximises and restores it on a double-click and
// resizes it from its borders and corner grips.
class xp_canvas final : public QWidget
{
    Q_OBJECT

public:
    // Edge codes of resize_host, one per border or grip.
    enum Edge {
        LeftEdge = 0,
        RightEdge = 1,
        TopEdge = 2,
        BottomEdge = 3,
        BottomRightGrip = 4,
        BottomLeftGrip = 5,
        TopRightGrip = 6,
        TopLeftGrip = 7,
    };

    explicit xp_canvas(QWidget* parent = nullptr);
    ~xp_canvas() override;

    // Applies a stored design ("Caption", "Icon", "Fixed_Single"); absent
    // names take their defaults.
    void readProperties(const QVariantMap& design);

    QString Caption() const;
    void setCaption(const QString& caption);
    QImage Icon() const { return m_icon; }
    void setIcon(const QImage& icon);
    bool Fixed_Single() const { return m_fixed; }
    void setFixed_Single(bool fixed);

    // Replaces the adapter to the parent window (tests use a fake one).
    void setHost(std::shared_ptr<HostWindow> host);
    HostWindow* host();

    // Shapes the host so the rounded title corners become see-through.
    void make_trans();
    void make_trans(HostWindow& host);

    void SetFocus();

    // Moves and sizes the host by the pointer travel between two screen points.
    static void resize_host(HostWindow& host, QPoint start, QPoint end, int edge);

    void layoutPass();
    void set_active_skin();
    void set_inactive_skin();
    bool isActiveLook() const { return m_activeLook; }

    // The 10 ms watches; each stops itself once it has looked.
    void deactivationTick();
    void activationTick();

    // Pieces, for hosts that place controls relative to them and for tests.
    QLabel* titleBar() const { return m_pictop; }
    QLabel* captionLabel() const { return m_lblcaption; }
    QLabel* shadowLabel() const { return m_lblshadow; }
    QLabel* iconLabel() const { return m_imgicon; }
    QWidget* edgePiece(int edge) const;

signals:
    void Click();
    void DblClick();
    void KeyDown(int key, int shift);
    void KeyPress(int character);
    void KeyUp(int key, int shift);
    void MouseDown(int button, int shift, float x, float y);
    void MouseMove(int button, int shift, float x, float y);
    void MouseUp(int button, int shift, float x, float y);
    void Resize();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Look {
        QImage left, right, top, topmax, bottom;
    };

    void startWatches();
    void watchHostWindow();
    void paintTitle(WindowState state);
    void applyCursors(WindowState state);
    bool titleMouse(QEvent* event);
    bool edgeMouse(int edge, QEvent* event);
    int edgeOf(const QObject* piece) const;

    QLabel* m_pictop = nullptr;
    QLabel* m_lblcaption = nullptr;
    QLabel* m_lblshadow = nullptr;
    QLabel* m_imgicon = nullptr;
    QLabel* m_picbottom = nullptr;
    QLabel* m_picleft = nullptr;
    QLabel* m_picright = nullptr;
    std::array<QWidget*, 8> m_edges{};

    QTimer m_timer1; // deactivation watch
    QTimer m_timer2; // activation watch

    Look m_active;
    Look m_inactive;
    Look m_current;
    bool m_activeLook = true;

    QImage m_icon;
    bool m_fixed = false;
    bool m_shaped = false;

    std::shared_ptr<HostWindow> m_host;
    QPointer<QWidget> m_watchedHost;

    int m_dragEdge = -1;
    QPoint m_dragStart;
    bool m_manualMove = false;
    QPoint m_moveStart;
    QPoint m_moveOrigin;
};

} // namespace skin
