#pragma once

#include <QMessageBox>

namespace menu {

// What an address is for: the maker's web page or the maker's e-mail.
enum class AddressKind { WebPage, Email };

// Tells the learner where to go by hand when the desktop has no program for
// the web page or for e-mail: a short message with the address as text that
// can be selected and copied.
class AddressMessage final : public QMessageBox
{
    Q_OBJECT

public:
    // Shows the message without waiting for it to close.
    static AddressMessage* showFor(AddressKind kind, const QString& address);

    // The lines the message shows.
    static QString messageText(AddressKind kind, const QString& address);

private:
    AddressMessage(AddressKind kind, const QString& address);
};

} // namespace menu
