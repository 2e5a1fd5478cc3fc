#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

namespace sentences {

// One group file as read, before it goes into the table.
struct ParsedGroup {
    QString topic;
    QStringList russian;
    QStringList english;
    QList<int> lines;   // file line of each pair, for messages
    QStringList errors; // "groupNN.txt:LINE: what is wrong"
};

// The built-in sentence table: 19 groups of 37 Russian sentences with their
// English translations, compiled into the program. Sentence k of group g has
// the number 10000 + 100 * g + k for the Russian text and that number + 10000
// for the English one; no other number names a string.
class SentenceTable final
{
public:
    static constexpr int groupCount = 19;
    static constexpr int pairsPerGroup = 37;
    static constexpr int englishOffset = 10000;

    static constexpr int sentenceId(int group, int number) { return 10000 + 100 * group + number; }

    // The table in the program's resources, read on first use.
    static const SentenceTable& instance();

    // Reads groupNN.txt for NN = 01..19 from folder (a resource path or a
    // directory). A missing file leaves its numbers unresolved; problems in a
    // file are collected in errors().
    explicit SentenceTable(const QString& folder);

    // The built-in string with this number, or nullptr when there is none.
    // Cheap enough to call for every pair: an index into a flat array.
    const QString* string(int id) const noexcept;

    // The topic name from the group file's first line; empty if not loaded.
    QString topicName(int group) const;
    // True when the group's first pair is in the table.
    bool hasGroup(int group) const;

    // "groupNN.txt:LINE" of the pair behind a string number, for messages.
    QString location(int id) const;

    QStringList errors() const { return m_errors; }

    static QString fileName(int group);
    static ParsedGroup parseGroup(const QByteArray& data, int group);

private:
    static constexpr int slotCount = 2 * groupCount * pairsPerGroup;
    static int slotOf(int id) noexcept;

    std::array<QString, slotCount> m_strings;
    std::array<int, slotCount> m_lines{};
    std::array<QString, groupCount> m_topics;
    QStringList m_errors;
};

} // namespace sentences
