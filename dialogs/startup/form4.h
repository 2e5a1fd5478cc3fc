#pragma once

#include <QWidget>

namespace startup
{

// The splash window: one picture that only reacts to a click.
class Form4 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form4(QWidget* parent = nullptr);

    // The picture, also borrowed by the about box.
    static QPixmap picture(qreal devicePixelRatio = 1.0);

signals:
    void Image1Click();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    bool m_painted = false;
};

} // namespace startup
