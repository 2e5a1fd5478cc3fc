#include "dialogs/sentences/sentencetable.h"

#include <QFile>
#include <QStringDecoder>
#include <QtGlobal>

#include <algorithm>

// The table lives in a static library; naming its resource initialiser here
// makes every program that looks a sentence up link the resource as well.
static void initSentenceResources()
{
    Q_INIT_RESOURCE(sentences);
}

namespace sentences {

namespace {

constexpr char16_t byteOrderMark = 0xFEFF;
const QString separator = QStringLiteral(" | ");

} // namespace

QString SentenceTable::fileName(int group)
{
    return QStringLiteral("group%1.txt").arg(group, 2, 10, QLatin1Char('0'));
}

ParsedGroup SentenceTable::parseGroup(const QByteArray& data, int group)
{
    ParsedGroup result;
    const QString file = fileName(group);
    const auto fail = [&](int line, const QString& what) {
        result.errors << QStringLiteral("%1:%2: %3").arg(file).arg(line).arg(what);
    };

    const QList<QByteArray> rawLines = data.split('\n');
    bool headerSeen = false;
    int lastLine = 0;
    for (int i = 0; i < rawLines.size(); ++i) {
        const int lineNumber = i + 1;
        // Lines are decoded one by one so that a bad byte is reported where it is.
        QStringDecoder decoder(QStringDecoder::Utf8);
        QString line = decoder(rawLines[i]);
        if (decoder.hasError()) {
            fail(lineNumber, QStringLiteral("not valid UTF-8"));
            continue;
        }
        if (i == 0 && line.startsWith(QChar(byteOrderMark)))
            line.remove(0, 1);
        if (line.endsWith(u'\r'))
            line.chop(1);

        if (!headerSeen) {
            headerSeen = true;
            lastLine = lineNumber;
            const QString prefix = QStringLiteral("# %1 ").arg(group, 2, 10, QLatin1Char('0'));
            const QString topic = line.mid(prefix.size());
            if (!line.startsWith(prefix) || topic.trimmed().isEmpty() || topic != topic.trimmed())
                fail(lineNumber, QStringLiteral("first line must be \"%1Topic name\"").arg(prefix));
            else
                result.topic = topic;
            continue;
        }
        if (line.trimmed().isEmpty() || line.startsWith(u'#'))
            continue;
        lastLine = lineNumber;

        const int at = line.indexOf(separator);
        if (at < 0 || line.count(u'|') != 1) {
            fail(lineNumber, QStringLiteral("expected \"Russian | English\" with one \" | \""));
            continue;
        }
        const QString russian = line.left(at);
        const QString english = line.mid(at + separator.size());
        if (russian.trimmed().isEmpty() || english.trimmed().isEmpty()) {
            fail(lineNumber, QStringLiteral("empty sentence"));
            continue;
        }
        if (russian != russian.trimmed() || english != english.trimmed()) {
            fail(lineNumber, QStringLiteral("blanks around a sentence"));
            continue;
        }
        if (result.russian.size() == pairsPerGroup) {
            fail(lineNumber, QStringLiteral("more than %1 pairs").arg(pairsPerGroup));
            continue;
        }
        result.russian << russian;
        result.english << english;
        result.lines << lineNumber;
    }
    if (!headerSeen || rawLines.isEmpty())
        fail(1, QStringLiteral("empty file"));
    else if (result.russian.size() < pairsPerGroup)
        fail(lastLine,
             QStringLiteral("%1 pairs, expected %2").arg(result.russian.size()).arg(pairsPerGroup));
    return result;
}

SentenceTable::SentenceTable(const QString& folder)
{
    for (int group = 1; group <= groupCount; ++group) {
        QFile file(folder + u'/' + fileName(group));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        ParsedGroup parsed = parseGroup(file.readAll(), group);
        m_errors << parsed.errors;
        m_topics[group - 1] = parsed.topic;
        const int count = std::min<int>(parsed.russian.size(), pairsPerGroup);
        for (int k = 0; k < count; ++k) {
            const int russianSlot = slotOf(sentenceId(group, k + 1));
            const int englishSlot = slotOf(sentenceId(group, k + 1) + englishOffset);
            m_strings[russianSlot] = parsed.russian[k];
            m_strings[englishSlot] = parsed.english[k];
            m_lines[russianSlot] = m_lines[englishSlot] = parsed.lines[k];
        }
    }
}

const SentenceTable& SentenceTable::instance()
{
    static const SentenceTable table = [] {
        initSentenceResources();
        SentenceTable loaded(QStringLiteral(":/sentences"));
        for (const QString& error : loaded.m_errors)
            qWarning("sentence table: %s", qUtf8Printable(error));
        return loaded;
    }();
    return table;
}

int SentenceTable::slotOf(int id) noexcept
{
    int language = 0;
    if (id >= 20000 && id < 22000) {
        language = 1;
        id -= englishOffset;
    } else if (id < 10000 || id >= 12000) {
        return -1;
    }
    const int group = (id - 10000) / 100;
    const int number = id % 100;
    if (group < 1 || group > groupCount || number < 1 || number > pairsPerGroup)
        return -1;
    return (language * groupCount + group - 1) * pairsPerGroup + number - 1;
}

const QString* SentenceTable::string(int id) const noexcept
{
    const int slot = slotOf(id);
    if (slot < 0 || m_strings[slot].isNull())
        return nullptr;
    return &m_strings[slot];
}

QString SentenceTable::topicName(int group) const
{
    if (group < 1 || group > groupCount)
        return {};
    return m_topics[group - 1];
}

bool SentenceTable::hasGroup(int group) const
{
    return string(sentenceId(group, 1)) != nullptr;
}

QString SentenceTable::location(int id) const
{
    const int slot = slotOf(id);
    if (slot < 0 || m_lines[slot] == 0)
        return {};
    const int group = (slot % (groupCount * pairsPerGroup)) / pairsPerGroup + 1;
    return fileName(group) + u':' + QString::number(m_lines[slot]);
}

} // namespace sentences
