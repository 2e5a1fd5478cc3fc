#pragma once

#include <QString>
#include <QUrl>

namespace menu {

// The desktop services the menu asks for. Results are deliberately not
// reported: a missing program or handler leaves everything as it was.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Opens a web page, a mailto: address or a local file with the desktop's
    // default handler.
    virtual void openUrl(const QUrl& url) = 0;

    // Starts a program detached, with no arguments and no shell.
    virtual void startDetached(const QString& program) = 0;
};

} // namespace menu
