#include "dialogs/menu/popupmenu.h"

#include "assets/pictures/pictures.h"
#include "common/speech/agentcharacter.h"
#include "dialogs/menu/aboutbox.h"
#include "dialogs/menu/addressmessage.h"
#include "dialogs/menu/helpviewer.h"
#include "dialogs/menu/menuhost.h"
#include "dialogs/menu/popupplacement.h"
#include "dialogs/menu/systemdesktop.h"
#include "dialogs/startup/addresses.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QSvgRenderer>

#include <utility>

namespace menu {

namespace {

const QString kHideCharacter = QStringLiteral("&Hide MSAgent");
const QString kShowCharacter = QStringLiteral("&Show MSAgent");

// An icon from one of the menu pictures, drawn for 1x and 2x screens so it
// stays sharp on both.
QIcon pictureIcon(const QString& name)
{
    QSvgRenderer renderer(QStringLiteral(":/pictures/%1.svg").arg(name));
    QIcon icon;
    if (!renderer.isValid())
        return icon;
    for (int side : {16, 24, 32, 48}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

PopupMenu::PopupMenu(MenuHost& host, std::unique_ptr<Desktop> desktop, QWidget* parent)
    : QWidget(parent, Qt::Window), m_host(host), m_desktop(std::move(desktop)),
      m_programFolder(QCoreApplication::applicationDirPath())
{
    pictures::initResources();
    if (!m_desktop)
        m_desktop = std::make_unique<SystemDesktop>();
    setObjectName(QStringLiteral("popupMenu"));

    m_menu = new QMenu(QStringLiteral("file"), this);
    m_menu->setObjectName(QStringLiteral("menu"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    m_menu->setFont(font);

    m_optionsItem = addItem("optionsItem", QStringLiteral("&Options..."));
    m_characterItem = addItem("characterItem", kHideCharacter);
    m_wordBookItem = addItem("wordBookItem", QStringLiteral("&New Dialogs Manager"));
    m_readerItem = addItem("readerItem", QStringLiteral("Re&cite Tobrin"));
    m_helpItem = addItem("helpItem", QStringLiteral("H&elp"));
    m_separatorAfterHelp = m_menu->addSeparator();
    m_separatorAfterHelp->setObjectName(QStringLiteral("separatorAfterHelp"));
    m_websiteItem = addItem("websiteItem", QStringLiteral("&Website"));
    m_emailItem = addItem("emailItem", QStringLiteral("E_&mail"));
    m_aboutItem = addItem("aboutItem", QStringLiteral("A&bout us"));
    m_separatorBeforeExit = m_menu->addSeparator();
    m_separatorBeforeExit->setObjectName(QStringLiteral("separatorBeforeExit"));
    m_exitItem = addItem("exitItem", QStringLiteral("&Exit"));

    connect(m_optionsItem, &QAction::triggered, this, &PopupMenu::optionsRequested);
    connect(m_characterItem, &QAction::triggered, this, &PopupMenu::toggleCharacter);
    connect(m_wordBookItem, &QAction::triggered, this, &PopupMenu::wordBookRequested);
    connect(m_readerItem, &QAction::triggered, this, &PopupMenu::startReader);
    connect(m_helpItem, &QAction::triggered, this, &PopupMenu::openHelp);
    connect(m_websiteItem, &QAction::triggered, this, [this] {
        openAddress(QUrl(startup::kHomePage), AddressKind::WebPage, startup::kHomePage);
    });
    connect(m_emailItem, &QAction::triggered, this, [this] {
        openAddress(QUrl(QStringLiteral("mailto:") + startup::kEmailAddress), AddressKind::Email,
                    startup::kEmailAddress);
    });
    connect(m_aboutItem, &QAction::triggered, this, &PopupMenu::openAbout);
    connect(m_exitItem, &QAction::triggered, this, [this] { m_host.exitByMenu(); });
}

PopupMenu::~PopupMenu() = default;

AboutBox* PopupMenu::aboutBox() const
{
    return m_about.data();
}

QAction* PopupMenu::addItem(const char* name, const QString& caption)
{
    QAction* action = m_menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void PopupMenu::attachMenuPictures()
{
    if (m_picturesAttached)
        return;
    m_picturesAttached = true;
    const std::pair<QAction*, const char*> pictures[] = {
        {m_characterItem, "ico1"}, {m_optionsItem, "ico2"}, {m_wordBookItem, "ico4"},
        {m_readerItem, "ico3"},    {m_helpItem, "ico5"},    {m_websiteItem, "ico6"},
        {m_emailItem, "ico7"},     {m_exitItem, "ico11"},   {m_aboutItem, "ico10"},
    };
    for (const auto& [item, picture] : pictures)
        item->setIcon(pictureIcon(QString::fromLatin1(picture)));
}

QPoint PopupMenu::popupPosition() const
{
    const PopupAnchor anchor{m_host.widthTwips(), double(m_host.fullHeightTwips()),
                             m_host.twipsPerPixel(), m_host.originOnScreen()};
    return popupTopLeft(anchor, m_menu->sizeHint().width());
}

QPoint PopupMenu::optionsDialogPosition() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return optionsDialogTopLeft(screen ? screen->geometry() : QRect(), m_host.twipsPerPixel());
}

void PopupMenu::popup()
{
    // Every pointer move over the hot spot asks again; an open menu stays put.
    if (!m_host.menuHotSpotEnabled() || m_menu->isVisible())
        return;
    m_menu->popup(popupPosition());
}

void PopupMenu::popupAt(const QPoint& screenPos)
{
    if (!m_host.menuHotSpotEnabled() || m_menu->isVisible())
        return;
    m_menu->popup(screenPos);
}

void PopupMenu::toggleCharacter()
{
    // The caption alone records whether the character was hidden here.
    speech::AgentCharacter* character = m_host.currentCharacter();
    if (m_characterItem->text() == kHideCharacter) {
        if (character)
            character->Hide();
        m_characterItem->setText(kShowCharacter);
    } else {
        if (character)
            character->Show();
        m_characterItem->setText(kHideCharacter);
    }
}

void PopupMenu::startReader()
{
    m_desktop->startDetached(m_programFolder + QStringLiteral("/reader"));
}

void PopupMenu::openHelp()
{
    // Without the help file there is nothing to show; asking the desktop
    // anyway would only bring up its own error.
    const QString file = m_programFolder + QStringLiteral("/help.html");
    if (!QFileInfo(file).isFile())
        return;
    // A desktop with nothing to show web pages gets our own viewer.
    const QUrl page = QUrl::fromLocalFile(file);
    m_desktop->openUrl(page, [page] { HelpViewer::showPage(page); });
}

void PopupMenu::openAddress(const QUrl& url, AddressKind kind, const QString& address)
{
    m_desktop->openUrl(url, [kind, address] { AddressMessage::showFor(kind, address); });
}

void PopupMenu::openAbout()
{
    if (!m_about) {
        m_about = new AboutBox(m_host, this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->open();
}

} // namespace menu
