#pragma once

#include "dialogs/menu/desktop.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace menu {

class Form7;
class MenuHost;

// The menu holder: a window that is never shown and owns the popup menu
// mnu_file with every command of the main program.
class Form2 final : public QWidget
{
    Q_OBJECT

public:
    // The desktop defaults to the real one; tests pass a fake.
    explicit Form2(MenuHost& host, std::unique_ptr<Desktop> desktop = {},
                   QWidget* parent = nullptr);
    ~Form2() override;

    // Gives each item its picture. Runs once; later calls change nothing.
    void AttachMenuPictures();

    // The folder that holds reader and help.html (the program folder unless
    // set otherwise).
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }
    QString programFolder() const { return m_programFolder; }

    // Where popup() puts the menu's top-left corner, in screen pixels.
    QPoint popupPosition() const;

    // The about box while it is open, else nullptr.
    Form7* aboutBox() const;

    QMenu* mnu_file = nullptr;
    QAction* mnu_sysset = nullptr;
    QAction* mnu_hlp = nullptr;
    QAction* managewords = nullptr;
    QAction* recite = nullptr;
    QAction* mnuhelp = nullptr;
    QAction* f1 = nullptr;
    QAction* mnu_page = nullptr;
    QAction* mnu_email = nullptr;
    QAction* mnu_veri = nullptr;
    QAction* f2 = nullptr;
    QAction* mnu_exit = nullptr;

public slots:
    // Opens the menu below the main window's bottom-right corner, unless the
    // hot spot is disabled or the menu is already open.
    void popup();

signals:
    // The options dialog and the word book editor are opened by whoever
    // listens here.
    void optionsRequested();
    void wordBookRequested();

private:
    QAction* addItem(const char* name, const QString& caption);
    void toggleCharacter();
    void startReader();
    void openHelp();
    void openAbout();

    MenuHost& m_host;
    std::unique_ptr<Desktop> m_desktop;
    QString m_programFolder;
    QPointer<Form7> m_about;
    bool m_picturesAttached = false;
};

} // namespace menu
