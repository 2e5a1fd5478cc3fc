#pragma once

#include "common/settings/storebackend.h"

#include <QString>

#include <memory>
#include <optional>

class QLockFile;
class QSettings;

namespace settings {

class WorkingFolder;

// One section of an INI file in the text form QSettings reads and writes.
//
// The file is opened only once it is known to be a regular file, directly or
// through symbolic links: a pipe, a device or a folder in its place is never
// opened, so nothing blocks and nothing but a settings file is ever replaced.
// A link is followed for reading and writing and stays a link. A write waits
// for the file's lock (the one QSettings takes, so older builds agree) for a
// bounded time, merges into the file as it is now and replaces it with one
// rename. The file is read again only when it has changed, and QSettings only
// ever works on a private copy, so its shared in-process cache never holds
// changes that did not reach the file.
class IniFileBackend final : public StoreBackend
{
public:
    IniFileBackend(QString fileName, QString section);
    ~IniFileBackend() override;
    IniFileBackend(const IniFileBackend&) = delete;
    IniFileBackend& operator=(const IniFileBackend&) = delete;

    // How long a lock that does not change is waited on. One that another
    // program keeps taking and dropping while it writes is waited out, but
    // never longer than kBusyLockFactor times as long.
    static constexpr int kLockTimeoutMs = 2000;
    static constexpr int kBusyLockFactor = 10;

    QString location() const override { return m_fileName; }
    StoreOutcome refresh() override;
    const SectionValues& values() const override { return m_values; }
    StoreOutcome commit(const SettingChanges& changes) override;

    // What identifies one version of the file: a rename gives a new inode,
    // an edit in place a new size or time.
    struct Version {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = 0;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        bool operator==(const Version&) const = default;
    };

private:
    bool takeLock(QLockFile& lock) const;
    StoreOutcome reload();
    StoreOutcome takeCopy(const QByteArray& text);
    StoreOutcome writeCopyToFile();
    StoreOutcome giveUp(StoreFault fault, const QString& cause);
    // Drops the copy (and the values read from it) so the file is read afresh.
    void forget(bool values);

    QString m_fileName;
    QString m_section;
    SectionValues m_values;
    // The version m_values and the private copy were read from; none before
    // the first read, for a missing file, and after a write that failed.
    std::optional<Version> m_version;
    std::unique_ptr<WorkingFolder> m_copyFolder;
    QString m_copyName;
    // QSettings on the private copy, in the section; none when there is no
    // current copy.
    std::unique_ptr<QSettings> m_copy;
    int m_copies = 0;
    // A fault that holds for the rest of the session.
    std::optional<StoreOutcome> m_lastingFault;
};

} // namespace settings
