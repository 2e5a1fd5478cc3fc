#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <utility>

namespace settings {

// The section's values as one place holds them: stored spelling -> text.
using SectionValues = QMap<QString, QString>;

// Values to store, in the order they are to reach the section.
using SettingChanges = QList<std::pair<QString, QString>>;

// What went wrong with the place the settings live in.
enum class StoreFault {
    None,
    // The file cannot be used at all (not a regular file, unreadable): the
    // session runs on the first-run values and saves nothing.
    Unusable,
    // Another program holds the file's lock and did not let go in time: the
    // session reads the file but saves nothing.
    Locked,
    // One write did not reach the file; later ones are tried again.
    WriteFailed,
};

struct StoreOutcome {
    StoreFault fault = StoreFault::None;
    // Why, in words for the learner ("Permission denied", "it is a folder").
    QString cause;

    bool ok() const { return fault == StoreFault::None; }
};

// The spelling under which section holds key (an exact match first, then
// one that differs only in case), or an empty string when it has none.
QString storedSpelling(const SectionValues& section, const QString& key);

// What storing changes in a section does, in order: each key is stored under
// the spelling the section already has (an exact match first) and any other
// spelling of it is dropped, so a key is never held twice in two cases.
struct SectionEdit {
    QStringList dropped;
    SettingChanges stored;
};
SectionEdit planStore(const SectionValues& section, const SettingChanges& changes);
void apply(SectionValues& section, const SectionEdit& edit);

// One key: apply(section, planStore(section, {{key, text}})).
void storeIn(SectionValues& section, const QString& key, const QString& text);

// Where the shared section lives. A backend reads and writes whole sections;
// the store above it keeps unsaved values and tells the learner about faults.
class StoreBackend
{
public:
    virtual ~StoreBackend() = default;

    // The place, as the learner would look for it (a file's path).
    virtual QString location() const = 0;

    // Brings values() up to date with what other programs have written.
    virtual StoreOutcome refresh() = 0;
    virtual const SectionValues& values() const = 0;

    // Stores changes (with storeIn, in order) on top of the latest section,
    // all in one write.
    virtual StoreOutcome commit(const SettingChanges& changes) = 0;
};

} // namespace settings
