#include "dialogs/menu/systemdesktop.h"

#include <QDesktopServices>
#include <QProcess>

namespace menu {

void SystemDesktop::openUrl(const QUrl& url)
{
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void SystemDesktop::startDetached(const QString& program)
{
    // A program given by path alone, no arguments: nothing is interpreted by
    // a shell, so spaces or quotes in the program folder are harmless.
    QProcess::startDetached(program, {});
}

} // namespace menu
