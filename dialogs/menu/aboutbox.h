#pragma once

#include <QWidget>

class QLabel;

namespace menu {

class MenuHost;

// The about box: the splash picture in a small window captioned "Version".
// While it is open the menu hot spot is disabled; a click on the picture
// closes it.
class AboutBox final : public QWidget
{
    Q_OBJECT

public:
    explicit AboutBox(MenuHost& host, QWidget* parent = nullptr);

    // Shows the box centred on the screen.
    void open();

    // The picture; a click on it closes the box.
    QLabel* pictureLabel() const { return m_pictureLabel; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    MenuHost& m_host;
    QLabel* m_pictureLabel = nullptr;
};

} // namespace menu
