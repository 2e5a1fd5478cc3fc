#pragma once

#include "dialogs/menu/addressmessage.h"
#include "dialogs/menu/desktop.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class QAction;
class QMenu;

namespace menu {

class AboutBox;
class MenuHost;

// The menu holder: a window that is never shown and owns the popup menu
// with every command of the main program.
class PopupMenu final : public QWidget
{
    Q_OBJECT

public:
    // The desktop defaults to the real one; tests pass a fake.
    explicit PopupMenu(MenuHost& host, std::unique_ptr<Desktop> desktop = {},
                       QWidget* parent = nullptr);
    ~PopupMenu() override;

    // Gives each item its picture. Runs once; later calls change nothing.
    void attachMenuPictures();

    // The folder that holds reader and help.html (the program folder unless
    // set otherwise).
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }
    QString programFolder() const { return m_programFolder; }

    // Where popup() puts the menu's top-left corner, in screen pixels.
    QPoint popupPosition() const;
    // Where "&Options..." places the options dialog, in screen pixels.
    QPoint optionsDialogPosition() const;

    // The about box while it is open, else nullptr.
    AboutBox* aboutBox() const;

    QMenu* menu() const { return m_menu; }
    // The items, top to bottom.
    QAction* optionsItem() const { return m_optionsItem; }
    // Hides or shows the character; its caption tells which.
    QAction* characterItem() const { return m_characterItem; }
    QAction* wordBookItem() const { return m_wordBookItem; }
    QAction* readerItem() const { return m_readerItem; }
    QAction* helpItem() const { return m_helpItem; }
    QAction* websiteItem() const { return m_websiteItem; }
    QAction* emailItem() const { return m_emailItem; }
    QAction* aboutItem() const { return m_aboutItem; }
    QAction* exitItem() const { return m_exitItem; }

public slots:
    // Opens the menu below the main window's bottom-right corner, unless the
    // hot spot is disabled or the menu is already open.
    void popup();
    // The same, with the menu's top-left corner at a point of the screen
    // (a right-click on the strip).
    void popupAt(const QPoint& screenPos);

signals:
    // The options dialog (at optionsDialogPosition()) and the word book
    // editor are opened by whoever listens here.
    void optionsRequested();
    void wordBookRequested();

private:
    QAction* addItem(const char* name, const QString& caption);
    void toggleCharacter();
    void startReader();
    void openHelp();
    void openAddress(const QUrl& url, AddressKind kind, const QString& address);
    void openAbout();

    MenuHost& m_host;
    std::unique_ptr<Desktop> m_desktop;
    QString m_programFolder;
    QPointer<AboutBox> m_about;
    bool m_picturesAttached = false;

    QMenu* m_menu = nullptr;
    QAction* m_optionsItem = nullptr;
    QAction* m_characterItem = nullptr;
    QAction* m_wordBookItem = nullptr;
    QAction* m_readerItem = nullptr;
    QAction* m_helpItem = nullptr;
    QAction* m_separatorAfterHelp = nullptr;
    QAction* m_websiteItem = nullptr;
    QAction* m_emailItem = nullptr;
    QAction* m_aboutItem = nullptr;
    QAction* m_separatorBeforeExit = nullptr;
    QAction* m_exitItem = nullptr;
};

} // namespace menu
