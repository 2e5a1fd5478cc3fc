#include "common/settings/storebackend.h"

#include <QHash>

namespace settings {

namespace {

// Case-insensitive comparison goes character by character, so keys of
// different lengths never match; checking the length first keeps a pass over
// a big section cheap.
bool sameKey(const QString& a, const QString& b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString storedSpelling(const SectionValues& section, const QString& key)
{
    if (section.contains(key))
        return key;
    for (auto it = section.constBegin(); it != section.constEnd(); ++it) {
        if (sameKey(it.key(), key))
            return it.key();
    }
    return QString();
}

SectionEdit planStore(const SectionValues& section, const SettingChanges& changes)
{
    // Every spelling the section has for each key of the changes, found in
    // one pass over the section.
    QHash<QString, QStringList> spellings;
    for (const auto& change : changes)
        spellings.insert(change.first.toCaseFolded(), {});
    for (auto it = section.constBegin(); it != section.constEnd(); ++it) {
        for (const auto& change : changes) {
            if (sameKey(it.key(), change.first)) {
                spellings[change.first.toCaseFolded()].append(it.key());
                break;
            }
        }
    }
    SectionEdit edit;
    for (const auto& [key, text] : changes) {
        QStringList& held = spellings[key.toCaseFolded()];
        QString target = held.contains(key) ? key : held.value(0, key);
        for (const QString& other : held) {
            if (other != target)
                edit.dropped.append(other);
        }
        held = {target};
        edit.stored.append({target, text});
    }
    return edit;
}

void apply(SectionValues& section, const SectionEdit& edit)
{
    for (const QString& key : edit.dropped)
        section.remove(key);
    for (const auto& [key, text] : edit.stored)
        section.insert(key, text);
}

void storeIn(SectionValues& section, const QString& key, const QString& text)
{
    apply(section, planStore(section, {{key, text}}));
}

} // namespace settings
