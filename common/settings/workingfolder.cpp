#include "common/settings/workingfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {

namespace {

bool processExists(qint64 process)
{
    return process > 0 && (::kill(pid_t(process), 0) == 0 || errno != ESRCH);
}

// Whether the folder at path was left by a process that has ended. Its lock
// decides: one that no live process holds is taken over (QLockFile checks the
// recorded process and, for a lock older than its stale time, whether anyone
// still holds it, so a reused process id keeps nothing). A folder without a
// lock is being set up, unless the process it is named after has ended.
bool abandoned(const QString& path, qint64 owner)
{
    const QString lockName = path + u'/' + WorkingFolder::kLockName;
    struct stat status;
    if (::lstat(QFile::encodeName(lockName).constData(), &status) != 0)
        return errno == ENOENT && !processExists(owner);
    if (!S_ISREG(status.st_mode))
        return false;
    QLockFile lock(lockName);
    if (!lock.tryLock(0))
        return false;
    lock.unlock();
    return true;
}

// Removes this user's working folders under parent whose process has ended.
// Anything else by that name (another user's, a link, a file) is left alone.
void removeLeftovers(const QString& parent)
{
    const QStringList names = QDir(parent).entryList({WorkingFolder::kNamePrefix + u'*'},
                                                     QDir::Dirs | QDir::NoSymLinks, QDir::NoSort);
    for (const QString& name : names) {
        bool numbered = false;
        const qint64 owner =
            name.mid(WorkingFolder::kNamePrefix.size()).section(u'-', 0, 0).toLongLong(&numbered);
        if (!numbered)
            continue;
        const QString path = parent + u'/' + name;
        struct stat status;
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0 ||
            !S_ISDIR(status.st_mode) || status.st_uid != ::geteuid())
            continue;
        if (abandoned(path, owner))
            QDir(path).removeRecursively();
    }
}

QString folderTemplate(const QString& parent)
{
    removeLeftovers(parent);
    return parent + u'/' + WorkingFolder::kNamePrefix +
           QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-XXXXXX");
}

} // namespace

WorkingFolder::WorkingFolder(const QString& parent) : m_folder(folderTemplate(parent))
{
    if (!m_folder.isValid()) {
        m_error = m_folder.errorString();
        return;
    }
    m_lock.emplace(m_folder.filePath(kLockName));
    if (!m_lock->tryLock(0)) {
        m_lock.reset();
        m_error = QStringLiteral("its lock cannot be taken");
    }
}

WorkingFolder::~WorkingFolder() = default;

QString WorkingFolder::defaultParent()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime).isDir() ? runtime : QDir::tempPath();
}

} // namespace settings
