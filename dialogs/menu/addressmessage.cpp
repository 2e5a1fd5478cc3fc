#include "dialogs/menu/addressmessage.h"

#include <QApplication>

namespace menu {

namespace {

const QString kNoBrowser =
    QStringLiteral("No program to show web pages is set up on this desktop.\n"
                   "Copy the address into a browser:");
const QString kNoMailer =
    QStringLiteral("No e-mail program is set up on this desktop.\nCopy the address into "
                   "your mail:");

} // namespace

QString AddressMessage::messageText(AddressKind kind, const QString& address)
{
    return (kind == AddressKind::WebPage ? kNoBrowser : kNoMailer) + QStringLiteral("\n\n") +
           address;
}

AddressMessage::AddressMessage(AddressKind kind, const QString& address)
{
    setObjectName(QStringLiteral("addressMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QApplication::applicationDisplayName());
    setIcon(QMessageBox::Information);
    setText(messageText(kind, address));
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setStandardButtons(QMessageBox::Ok);
}

AddressMessage* AddressMessage::showFor(AddressKind kind, const QString& address)
{
    auto* message = new AddressMessage(kind, address);
    message->setModal(false);
    message->show();
    return message;
}

} // namespace menu
