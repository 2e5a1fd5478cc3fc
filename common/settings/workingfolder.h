#pragma once

#include <QLockFile>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace settings {

// A folder of this process's own for files no other program is to see, named
// after the process ("velkor-settings-<pid>-XXXXXX") and holding a lock that
// this object keeps until it removes the folder. A process killed before it
// could do so leaves its folder behind; making a folder removes such
// leftovers: this user's folders whose lock no live process holds.
class WorkingFolder final
{
public:
    explicit WorkingFolder(const QString& parent = defaultParent());
    ~WorkingFolder();
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    bool isValid() const { return m_lock.has_value(); }
    QString errorString() const { return m_error; }
    QString path() const { return m_folder.path(); }
    QString filePath(const QString& fileName) const { return m_folder.filePath(fileName); }

    // The per-user runtime folder (normally in memory), else the temporary folder.
    static QString defaultParent();

    static inline const QString kNamePrefix = QStringLiteral("velkor-settings-");
    static inline const QString kLockName = QStringLiteral("owner.lock");

private:
    QTemporaryDir m_folder;
    // Held while the folder is in use; declared last so it goes first.
    std::optional<QLockFile> m_lock;
    QString m_error;
};

} // namespace settings
