#pragma once

#include "skin/hostwindow.h"

#include <QPointer>
#include <QWidget>

namespace skin {

// HostWindow over a real top-level widget.
class QtHostWindow final : public HostWindow
{
public:
    explicit QtHostWindow(QWidget* window);

    WindowState windowState() const override;
    void setWindowState(WindowState state) override;
    QRect geometry() const override;
    bool setGeometry(const QRect& geometry) override;
    QSize clientSize() const override;
    void setTitle(const QString& title) override;
    ActiveWindow activeWindow() const override;
    bool startSystemMove() override;
    void setMask(const QRegion& region) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace skin
