#include "common/settings/inifilebackend.h"

#include "common/settings/workingfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace settings {

namespace {

using Version = IniFileBackend::Version;

enum class Kind { Regular, Missing, Other };

struct Examined {
    Kind kind = Kind::Missing;
    QString cause;
    Version version;
};

qint64 nanoseconds(const timespec& time)
{
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

Version versionOf(const struct stat& status)
{
    return {quint64(status.st_dev), quint64(status.st_ino), qint64(status.st_size),
            nanoseconds(status.st_mtim), nanoseconds(status.st_ctim)};
}

QString describe(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

// What is at path, following symbolic links, without opening anything.
Examined examine(const QString& path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) == 0) {
        if (S_ISREG(status.st_mode))
            return {Kind::Regular, {}, versionOf(status)};
        return {Kind::Other, describe(status.st_mode), {}};
    }
    const int error = errno;
    // A link to a file that is not there yet counts as missing: the first
    // write creates the file where the link points.
    if (error == ENOENT)
        return {Kind::Missing, {}, {}};
    return {Kind::Other, qt_error_string(error), {}};
}

// Reads a regular file whole. The open never waits: should a pipe have taken
// the file's place since it was examined, it is refused rather than waited on.
StoreOutcome readRegularFile(const QString& path, QByteArray& text, Version& version)
{
    const int descriptor =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return {StoreFault::Unusable, qt_error_string(errno)};
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        return {StoreFault::Unusable, file.errorString()};
    }
    struct stat status;
    if (::fstat(descriptor, &status) != 0)
        return {StoreFault::Unusable, qt_error_string(errno)};
    if (!S_ISREG(status.st_mode))
        return {StoreFault::Unusable, describe(status.st_mode)};
    text = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {StoreFault::Unusable, file.errorString()};
    version = versionOf(status);
    return {};
}

QString lockHolder(const QLockFile& lock, const QString& lockName)
{
    qint64 process = 0;
    QString host;
    QString program;
    if (lock.getLockInfo(&process, &host, &program)) {
        return QStringLiteral("its lock %1 is held by %2, process %3 on %4")
            .arg(lockName, program.isEmpty() ? QStringLiteral("another program") : program)
            .arg(process)
            .arg(host);
    }
    return QStringLiteral("its lock %1 is held by another program").arg(lockName);
}

} // namespace

IniFileBackend::IniFileBackend(QString fileName, QString section)
    : m_fileName(std::move(fileName)), m_section(std::move(section))
{}

IniFileBackend::~IniFileBackend() = default;

StoreOutcome IniFileBackend::giveUp(StoreFault fault, const QString& cause)
{
    m_lastingFault = StoreOutcome{fault, cause};
    return *m_lastingFault;
}

void IniFileBackend::forget(bool values)
{
    m_copy.reset();
    m_version.reset();
    if (values)
        m_values.clear();
}

StoreOutcome IniFileBackend::refresh()
{
    if (m_lastingFault && m_lastingFault->fault == StoreFault::Unusable)
        return *m_lastingFault;
    const Examined now = examine(m_fileName);
    switch (now.kind) {
    case Kind::Other:
        forget(true);
        return giveUp(StoreFault::Unusable, now.cause);
    case Kind::Missing:
        forget(true);
        return {};
    case Kind::Regular:
        break;
    }
    if (m_copy && m_version && *m_version == now.version)
        return {};
    return reload();
}

StoreOutcome IniFileBackend::reload()
{
    QByteArray text;
    Version version;
    const StoreOutcome read = readRegularFile(m_fileName, text, version);
    if (!read.ok()) {
        forget(true);
        return giveUp(read.fault, read.cause);
    }
    const StoreOutcome copied = takeCopy(text);
    if (copied.ok())
        m_version = version;
    return copied;
}

StoreOutcome IniFileBackend::takeCopy(const QByteArray& text)
{
    forget(false);
    // The per-user runtime folder is normally in memory: QSettings syncs the
    // copy to disk at every write, which there costs nothing.
    if (!m_copyFolder)
        m_copyFolder = std::make_unique<WorkingFolder>();
    if (!m_copyFolder->isValid()) {
        return giveUp(
            StoreFault::Unusable,
            QStringLiteral("no private working folder (%1)").arg(m_copyFolder->errorString()));
    }
    if (!m_copyName.isEmpty())
        QFile::remove(m_copyName);
    // A new name for every copy: QSettings caches what it parsed by name.
    m_copyName = m_copyFolder->filePath(QStringLiteral("copy-%1.ini").arg(++m_copies));
    QFile copy(m_copyName);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(text) != text.size() || !copy.flush()) {
        return giveUp(StoreFault::Unusable,
                      QStringLiteral("no private working copy (%1)").arg(copy.errorString()));
    }
    copy.close();

    // Kept open while the copy is current, so a write does not parse it again.
    m_copy = std::make_unique<QSettings>(m_copyName, QSettings::IniFormat);
    m_copy->beginGroup(m_section);
    SectionValues values;
    const QStringList keys = m_copy->childKeys();
    for (const QString& key : keys)
        values.insert(key, m_copy->value(key).toString());
    m_values = std::move(values);
    return {};
}

StoreOutcome IniFileBackend::writeCopyToFile()
{
    QFile copy(m_copyName);
    if (!copy.open(QIODevice::ReadOnly))
        return {StoreFault::WriteFailed, copy.errorString()};
    const QByteArray text = copy.readAll();
    // Written beside the file (where a link points) and renamed over it;
    // never written in place, so a kill leaves the old or the new file.
    QSaveFile file(m_fileName);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return {StoreFault::WriteFailed, file.errorString()};
    if (file.write(text) != text.size() || !file.commit())
        return {StoreFault::WriteFailed, file.errorString()};
    return {};
}

bool IniFileBackend::takeLock(QLockFile& lock) const
{
    // A program that is writing takes and drops the lock again and again and
    // changes the file each time: that is waited out (up to a limit). A lock
    // that stays as it is, with the file unchanged, is waited on only for the
    // timeout.
    const auto lockAndFile = [&] {
        return std::pair(examine(lock.fileName()).version, examine(m_fileName).version);
    };
    QElapsedTimer sinceChange;
    QElapsedTimer total;
    sinceChange.start();
    total.start();
    auto seen = lockAndFile();
    for (;;) {
        if (lock.tryLock(0))
            return true;
        if (lock.error() != QLockFile::LockFailedError)
            return false;
        const auto now = lockAndFile();
        if (now != seen) {
            seen = now;
            sinceChange.restart();
        }
        if (sinceChange.hasExpired(kLockTimeoutMs) ||
            total.hasExpired(qint64(kLockTimeoutMs) * kBusyLockFactor))
            return false;
        QThread::msleep(5);
    }
}

StoreOutcome IniFileBackend::commit(const SettingChanges& changes)
{
    if (m_lastingFault)
        return *m_lastingFault;
    const QString folder = QFileInfo(m_fileName).absolutePath();
    if (!QDir().mkpath(folder))
        return {StoreFault::WriteFailed,
                QStringLiteral("the folder %1 cannot be made").arg(folder)};

    const QString lockName = m_fileName + QStringLiteral(".lock");
    struct stat lockStatus;
    if (::lstat(QFile::encodeName(lockName).constData(), &lockStatus) == 0 &&
        !S_ISREG(lockStatus.st_mode)) {
        return giveUp(StoreFault::Locked,
                      QStringLiteral("its lock %1 is not a lock file").arg(lockName));
    }
    QLockFile lock(lockName);
    if (!takeLock(lock)) {
        if (lock.error() == QLockFile::LockFailedError)
            return giveUp(StoreFault::Locked, lockHolder(lock, lockName));
        return {StoreFault::WriteFailed,
                QStringLiteral("its lock %1 cannot be made").arg(lockName)};
    }

    // Merge into the file as it is now: another program may have written.
    const Examined now = examine(m_fileName);
    if (now.kind == Kind::Other) {
        forget(true);
        return giveUp(StoreFault::Unusable, now.cause);
    }
    StoreOutcome current;
    if (now.kind == Kind::Missing)
        current = takeCopy(QByteArray());
    else if (!m_copy || !m_version || *m_version != now.version)
        current = reload();
    if (!current.ok())
        return current;

    const SectionEdit edit = planStore(m_values, changes);
    for (const QString& key : edit.dropped)
        m_copy->remove(key);
    for (const auto& [key, text] : edit.stored)
        m_copy->setValue(key, text);
    m_copy->sync();
    // A copy that did not parse cleanly is still written (FormatError); any
    // error stays with the QSettings object, which goes with the copy.
    StoreOutcome written;
    if (m_copy->status() == QSettings::AccessError)
        written = {StoreFault::WriteFailed, QStringLiteral("its private working copy failed")};
    else
        written = writeCopyToFile();
    if (!written.ok()) {
        // The copy now holds what the file does not: read the file afresh next time.
        forget(false);
        return written;
    }
    apply(m_values, edit);
    const Examined after = examine(m_fileName);
    if (after.kind == Kind::Regular)
        m_version = after.version;
    return {};
}

} // namespace settings
