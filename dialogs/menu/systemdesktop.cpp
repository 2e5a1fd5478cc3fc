#include "dialogs/menu/systemdesktop.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace menu {

void SystemDesktop::openUrl(const QUrl& url, std::function<void()> unhandled)
{
    if (!url.isValid())
        return;
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url) && unhandled)
            QTimer::singleShot(0, QCoreApplication::instance(), std::move(unhandled));
        return;
    }
    // xdg-open ends at once with a failure status when nothing can open the
    // address; on a plain window manager it may instead wait for the handler.
    auto* process = new QProcess(QCoreApplication::instance());
    process->setProgram(opener);
    process->setArguments({QString::fromLatin1(url.toEncoded())});
    // Its complaints are no business of our terminal.
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto report = [process, settle = QDeadlineTimer(kSettleMs),
                   unhandled = std::move(unhandled)](bool failed) {
        if (failed && !settle.hasExpired() && unhandled)
            unhandled();
        process->deleteLater();
    };
    QObject::connect(process, &QProcess::finished, process,
                     [report](int code, QProcess::ExitStatus status) {
                         report(code != 0 || status != QProcess::NormalExit);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [report](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             report(true);
                     });
    process->start();
}

void SystemDesktop::startDetached(const QString& program)
{
    // A program given by path alone, no arguments: nothing is interpreted by
    // a shell, so spaces or quotes in the program folder are harmless.
    QProcess::startDetached(program, {});
}

} // namespace menu
