#pragma once

#include <QWidget>

namespace startup {

// The splash window: one picture that only reacts to a click.
class SplashWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit SplashWindow(QWidget* parent = nullptr);

    // Shows the splash and lets pending window events run until it has been
    // painted once (or timeoutMs passed), so it is on screen while the rest
    // of the start-up runs.
    void showPainted(int timeoutMs = 250);

    // The picture, also borrowed by the about box.
    static QPixmap picture(qreal devicePixelRatio = 1.0);

signals:
    void pictureClicked();
    void firstPainted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_painted = false;
};

} // namespace startup
