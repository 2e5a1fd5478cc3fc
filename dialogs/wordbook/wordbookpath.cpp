#include "dialogs/wordbook/wordbookpath.h"

#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/filepermissions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace wordbook {

namespace {

[[noreturn]] void copyFailed(const QString& target, const QString& reason)
{
    throw DbError(CannotOpen,
                  QStringLiteral("Cannot make the word book %1: %2").arg(target, reason));
}

bool isInside(const QString& path, const QString& folder)
{
    return path == folder || path.startsWith(folder.endsWith(u'/') ? folder : folder + u'/');
}

} // namespace

bool programFolderHoldsTheBook(const QString& programFolder, const QStringList& systemFolders)
{
    // Links resolved on both sides: /usr/bin/dialogs may lead anywhere.
    const QString folder = QFileInfo(programFolder).canonicalFilePath();
    if (folder.isEmpty())
        return false;
    for (const QString& system : systemFolders) {
        const QString canonical = QFileInfo(system).canonicalFilePath();
        if (isInside(folder, canonical.isEmpty() ? system : canonical))
            return false;
    }
    return isOwnedByUs(folder) && isWritableByUs(folder);
}

QString wordBookPath(const QString& programFolder, const QStringList& systemFolders)
{
    const QString fileName = QString::fromUtf16(WordBookFileName);
    const QString shipped = QDir(programFolder).filePath(fileName);
    if (programFolderHoldsTheBook(programFolder, systemFolders))
        return shipped;

    const QString userFolder =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
        QStringLiteral("/Velkor");
    const QString userCopy = userFolder + u'/' + fileName;
    if (QFileInfo::exists(userCopy))
        return userCopy;

    if (!QFileInfo(shipped).isFile())
        copyFailed(userCopy, QStringLiteral("the shipped file %1 is missing").arg(shipped));
    if (!QDir().mkpath(userFolder))
        copyFailed(userCopy, QStringLiteral("cannot create the folder %1").arg(userFolder));

    // Copy under a temporary name and rename, so an interrupted first run never
    // leaves a half-copied book that later runs would take for the real one.
    const QString partial = userCopy + QStringLiteral(".part");
    QFile::remove(partial);
    QFile source(shipped);
    if (!source.copy(partial)) {
        QFile::remove(partial);
        copyFailed(userCopy, source.errorString());
    }
    QFile::setPermissions(partial, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile copy(partial);
    if (!copy.rename(userCopy)) {
        QFile::remove(partial);
        copyFailed(userCopy, copy.errorString());
    }
    return userCopy;
}

} // namespace wordbook
