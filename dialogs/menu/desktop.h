#pragma once

#include <QString>
#include <QUrl>

#include <functional>

namespace menu {

// The desktop services the menu asks for. A missing program is not reported:
// it leaves everything as it was.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Opens a web page, a mailto: address or a local file with the desktop's
    // default handler. When the desktop turns out to have none, unhandled (if
    // given) runs later on the GUI thread, so the caller can offer another way.
    virtual void openUrl(const QUrl& url, std::function<void()> unhandled) = 0;

    // Starts a program detached, with no arguments and no shell.
    virtual void startDetached(const QString& program) = 0;
};

} // namespace menu
