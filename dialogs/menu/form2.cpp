#include "dialogs/menu/form2.h"

#include "assets/pictures/pictures.h"
#include "common/speech/agentcharacter.h"
#include "dialogs/menu/form7.h"
#include "dialogs/menu/menuhost.h"
#include "dialogs/menu/popupplacement.h"
#include "dialogs/menu/systemdesktop.h"
#include "dialogs/startup/addresses.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QPainter>
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

Form2::Form2(MenuHost& host, std::unique_ptr<Desktop> desktop, QWidget* parent)
    : QWidget(parent, Qt::Window), m_host(host), m_desktop(std::move(desktop)),
      m_programFolder(QCoreApplication::applicationDirPath())
{
    pictures::initResources();
    if (!m_desktop)
        m_desktop = std::make_unique<SystemDesktop>();
    setObjectName(QStringLiteral("Form2"));

    mnu_file = new QMenu(QStringLiteral("file"), this);
    mnu_file->setObjectName(QStringLiteral("mnu_file"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    mnu_file->setFont(font);

    mnu_sysset = addItem("mnu_sysset", QStringLiteral("&Options..."));
    mnu_hlp = addItem("mnu_hlp", kHideCharacter);
    managewords = addItem("managewords", QStringLiteral("&New Dialogs Manager"));
    recite = addItem("recite", QStringLiteral("Re&cite Tobrin"));
    mnuhelp = addItem("mnuhelp", QStringLiteral("H&elp"));
    f1 = mnu_file->addSeparator();
    f1->setObjectName(QStringLiteral("f1"));
    mnu_page = addItem("mnu_page", QStringLiteral("&Website"));
    mnu_email = addItem("mnu_email", QStringLiteral("E_&mail"));
    mnu_veri = addItem("mnu_veri", QStringLiteral("A&bout us"));
    f2 = mnu_file->addSeparator();
    f2->setObjectName(QStringLiteral("f2"));
    mnu_exit = addItem("mnu_exit", QStringLiteral("&Exit"));

    connect(mnu_sysset, &QAction::triggered, this, &Form2::optionsRequested);
    connect(mnu_hlp, &QAction::triggered, this, &Form2::toggleCharacter);
    connect(managewords, &QAction::triggered, this, &Form2::wordBookRequested);
    connect(recite, &QAction::triggered, this, &Form2::startReader);
    connect(mnuhelp, &QAction::triggered, this, &Form2::openHelp);
    connect(mnu_page, &QAction::triggered, this,
            [this] { m_desktop->openUrl(QUrl(startup::kHomePage)); });
    connect(mnu_email, &QAction::triggered, this, [this] {
        m_desktop->openUrl(QUrl(QStringLiteral("mailto:") + startup::kEmailAddress));
    });
    connect(mnu_veri, &QAction::triggered, this, &Form2::openAbout);
    connect(mnu_exit, &QAction::triggered, this, [this] { m_host.exitByMenu(); });
}

Form2::~Form2() = default;

Form7* Form2::aboutBox() const
{
    return m_about.data();
}

QAction* Form2::addItem(const char* name, const QString& caption)
{
    QAction* action = mnu_file->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void Form2::AttachMenuPictures()
{
    if (m_picturesAttached)
        return;
    m_picturesAttached = true;
    const std::pair<QAction*, const char*> pictures[] = {
        {mnu_hlp, "ico1"},   {mnu_sysset, "ico2"}, {managewords, "ico4"},
        {recite, "ico3"},    {mnuhelp, "ico5"},    {mnu_page, "ico6"},
        {mnu_email, "ico7"}, {mnu_exit, "ico11"},  {mnu_veri, "ico10"},
    };
    for (const auto& [item, picture] : pictures)
        item->setIcon(pictureIcon(QString::fromLatin1(picture)));
}

QPoint Form2::popupPosition() const
{
    const PopupAnchor anchor{m_host.widthTwips(), double(m_host.fullHeightTwips()),
                             m_host.twipsPerPixel(), m_host.originOnScreen()};
    return popupTopLeft(anchor, mnu_file->sizeHint().width());
}

void Form2::popup()
{
    // Every pointer move over the hot spot asks again; an open menu stays put.
    if (!m_host.image1Enabled() || mnu_file->isVisible())
        return;
    mnu_file->popup(popupPosition());
}

void Form2::toggleCharacter()
{
    // The caption alone records whether the character was hidden here.
    speech::AgentCharacter* character = m_host.mobjAgent();
    if (mnu_hlp->text() == kHideCharacter) {
        if (character)
            character->Hide();
        mnu_hlp->setText(kShowCharacter);
    } else {
        if (character)
            character->Show();
        mnu_hlp->setText(kHideCharacter);
    }
}

void Form2::startReader()
{
    m_desktop->startDetached(m_programFolder + QStringLiteral("/reader"));
}

void Form2::openHelp()
{
    // Without the help file there is nothing to show; asking the desktop
    // anyway would only bring up its own error.
    const QString file = m_programFolder + QStringLiteral("/help.html");
    if (QFileInfo(file).isFile())
        m_desktop->openUrl(QUrl::fromLocalFile(file));
}

void Form2::openAbout()
{
    if (!m_about) {
        m_about = new Form7(m_host, this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->open();
}

} // namespace menu
