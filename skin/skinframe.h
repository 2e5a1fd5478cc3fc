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
class SkinFrame final : public QWidget
{
    Q_OBJECT

public:
    // Edge codes of resizeHost, one per border or grip.
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

    explicit SkinFrame(QWidget* parent = nullptr);
    ~SkinFrame() override;

    // Applies a stored design ("Caption", "Icon", "Fixed_Single"); absent
    // names take their defaults.
    void readProperties(const QVariantMap& design);

    QString caption() const;
    void setCaption(const QString& caption);
    QImage icon() const { return m_icon; }
    void setIcon(const QImage& icon);
    bool fixedBorder() const { return m_fixed; }
    void setFixedBorder(bool fixed);

    // Replaces the adapter to the parent window (tests use a fake one).
    void setHost(std::shared_ptr<HostWindow> host);
    HostWindow* host();

    // Shapes the host so the rounded title corners become see-through.
    void applyShape();
    void applyShape(HostWindow& host);

    // The frame has the focus: no watch needed, the active look at once.
    void showActiveLook();

    // Moves and sizes the host by the pointer travel between two screen points.
    static void resizeHost(HostWindow& host, QPoint start, QPoint end, int edge);

    void layoutPass();
    void useActiveLook();
    void useInactiveLook();
    bool isActiveLook() const { return m_activeLook; }

    // The 10 ms watches; each stops itself once it has looked.
    void deactivationTick();
    void activationTick();

    // Pieces, for hosts that place controls relative to them and for tests.
    QLabel* titleBar() const { return m_titleBar; }
    QLabel* captionLabel() const { return m_captionLabel; }
    QLabel* shadowLabel() const { return m_shadowLabel; }
    QLabel* iconLabel() const { return m_iconLabel; }
    QWidget* edgePiece(int edge) const;

signals:
    void clicked();
    void doubleClicked();
    void keyPressed(int key, int shift);
    void characterTyped(int character);
    void keyReleased(int key, int shift);
    void mousePressed(int button, int shift, float x, float y);
    void mouseMoved(int button, int shift, float x, float y);
    void mouseReleased(int button, int shift, float x, float y);
    void resized();

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

    QLabel* m_titleBar = nullptr;
    QLabel* m_captionLabel = nullptr;
    QLabel* m_shadowLabel = nullptr;
    QLabel* m_iconLabel = nullptr;
    QLabel* m_bottomBorder = nullptr;
    QLabel* m_leftBorder = nullptr;
    QLabel* m_rightBorder = nullptr;
    std::array<QWidget*, 8> m_edges{};

    QTimer m_deactivationWatch; // deactivation watch
    QTimer m_activationWatch;   // activation watch

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
