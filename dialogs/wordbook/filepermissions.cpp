#include "dialogs/wordbook/filepermissions.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace wordbook {

bool isWritableByUs(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {
    };
    if (::stat(name.constData(), &info) != 0)
        return false;
    if (::access(name.constData(), W_OK) != 0)
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

bool isOwnedByUs(const QString& path)
{
    struct stat info {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && info.st_uid == ::geteuid();
}

} // namespace wordbook
