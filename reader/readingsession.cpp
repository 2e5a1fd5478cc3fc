#include "reader/readingsession.h"

#include "reader/narrator.h"

#include <algorithm>

namespace reader {

namespace {

// A backslash would open a speech tag ("\Spd=50\") and change the voice
// instead of being read, and the voices spell out a replacement character
// (left where the text was broken); blanks in their place keep every index.
QString speechTextOf(QStringView sentence)
{
    QString text = sentence.toString();
    text.replace(u'\\', u' ').replace(QChar::ReplacementCharacter, u' ');
    return text;
}

} // namespace

ReadingSession::ReadingSession(QObject* parent) : QObject(parent) {}

void ReadingSession::setNarrator(Narrator* narrator)
{
    if (narrator == m_narrator)
        return;
    stop();
    if (m_narrator)
        m_narrator->disconnect(this);
    m_narrator = narrator;
    if (narrator) {
        connect(narrator, &Narrator::wordSpoken, this, &ReadingSession::onWord);
        connect(narrator, &Narrator::finished, this, &ReadingSession::onFinished);
    }
}

void ReadingSession::start(const QString& text)
{
    stop();
    if (!m_narrator)
        return;
    m_splitter = SentenceSplitter(text);
    m_reading = true;
    feed();
}

void ReadingSession::stop()
{
    if (!m_reading)
        return;
    // Forget the queue first: the narrator reports the dropped sentences
    // while it is being silenced, and none of them may bring on the next.
    m_reading = false;
    m_queued.clear();
    m_splitter = SentenceSplitter();
    emit wordReached(0, 0);
    if (m_narrator)
        m_narrator->silence();
}

QList<TextSpan> ReadingSession::queuedSentences() const
{
    QList<TextSpan> spans;
    for (const Queued& q : m_queued)
        spans.append(q.sentence);
    return spans;
}

void ReadingSession::feed()
{
    if (m_feeding)
        return;
    m_feeding = true;
    while (m_reading && m_narrator) {
        // A narrator may finish a sentence before say() returns (a character
        // that cannot speak); such a sentence is not waited for.
        for (const quint64 id : std::as_const(m_finishedWhileQueueing))
            std::erase_if(m_queued, [id](const Queued& q) { return q.id == id; });
        m_finishedWhileQueueing.clear();
        if (m_queued.size() >= std::size_t(kSentencesAhead))
            break;
        const std::optional<TextSpan> sentence = m_splitter.next();
        if (!sentence)
            break;
        const QString text =
            speechTextOf(QStringView(m_splitter.text()).mid(sentence->start, sentence->length));
        const quint64 id = m_narrator->say(text);
        if (id == 0)
            continue;
        m_queued.push_back({id, *sentence});
        emit sentenceQueued(id, sentence->start, sentence->length);
    }
    m_finishedWhileQueueing.clear();
    m_feeding = false;
    if (m_reading && m_queued.empty())
        end();
}

void ReadingSession::onWord(quint64 id, int position, int length)
{
    if (!m_reading || id == 0)
        return;
    const auto it = std::find_if(m_queued.begin(), m_queued.end(),
                                 [id](const Queued& q) { return q.id == id; });
    if (it == m_queued.end())
        return;
    const TextSpan& sentence = it->sentence;
    const qsizetype start = std::clamp<qsizetype>(position, 0, sentence.length);
    const qsizetype heard = std::clamp<qsizetype>(length, 0, sentence.length - start);
    emit wordReached(sentence.start + start, heard);
}

void ReadingSession::onFinished(quint64 id)
{
    if (!m_reading || id == 0)
        return;
    if (m_feeding) {
        m_finishedWhileQueueing.append(id);
        return;
    }
    const auto it = std::find_if(m_queued.begin(), m_queued.end(),
                                 [id](const Queued& q) { return q.id == id; });
    if (it == m_queued.end())
        return;
    m_queued.erase(it);
    feed();
}

void ReadingSession::end()
{
    m_reading = false;
    m_splitter = SentenceSplitter();
    emit wordReached(0, 0);
    emit finished();
}

} // namespace reader
