#pragma once

#include <QWidget>

class QLabel;

namespace menu {

class MenuHost;

// The about box: the splash picture in a small window captioned "Version".
// While it is open the menu hot spot is disabled; a click on the picture
// closes it.
class Form7 final : public QWidget
{
    Q_OBJECT

public:
    explicit Form7(MenuHost& host, QWidget* parent = nullptr);

    // Shows the box centred on the screen.
    void open();

    QLabel* Image1 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    MenuHost& m_host;
};

} // namespace menu
