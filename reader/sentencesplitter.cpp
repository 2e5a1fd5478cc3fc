#include "reader/sentencesplitter.h"

#include "reader/readabletext.h"

namespace reader {

namespace {

bool isTerminator(QChar c)
{
    return c == u'.' || c == u'!' || c == u'?' || c == QChar(0x2026);
}

bool isCloser(QChar c)
{
    return c == u'"' || c == u'\'' || c == u')' || c == u']' || c == QChar(0x00BB) ||
           c == QChar(0x201D) || c == QChar(0x2019);
}

bool isPause(QChar c)
{
    return c == u',' || c == u';' || c == u':' || c == QChar(0x2013) || c == QChar(0x2014);
}

} // namespace

SentenceSplitter::SentenceSplitter(QString text) : m_text(std::move(text)) {}

std::optional<TextSpan> SentenceSplitter::next()
{
    while (const std::optional<TextSpan> stretch = nextStretch()) {
        if (hasWords(QStringView(m_text).mid(stretch->start, stretch->length)))
            return stretch;
    }
    return std::nullopt;
}

std::optional<TextSpan> SentenceSplitter::nextStretch()
{
    const qsizetype size = m_text.size();
    while (m_position < size && m_text[m_position].isSpace())
        ++m_position;
    if (m_position >= size)
        return std::nullopt;
    const qsizetype start = m_position;
    qsizetype end = endOfSentence(start);
    m_position = end;
    while (end > start && m_text[end - 1].isSpace())
        --end;
    return TextSpan{start, end - start};
}

qsizetype SentenceSplitter::endOfSentence(qsizetype start) const
{
    const qsizetype size = m_text.size();
    const qsizetype limit = std::min(size, start + kMaxLength);
    for (qsizetype i = start; i < limit; ++i) {
        const QChar c = m_text[i];
        if (isTerminator(c)) {
            qsizetype after = i + 1;
            while (after < size && (isTerminator(m_text[after]) || isCloser(m_text[after])))
                ++after;
            if (after >= size || m_text[after].isSpace())
                return after;
            i = after - 1;
        } else if (c == u'\n') {
            qsizetype after = i + 1;
            while (after < size && m_text[after] != u'\n' && m_text[after].isSpace())
                ++after;
            if (after < size && m_text[after] == u'\n')
                return i;
        }
    }
    return limit >= size ? size : breakPoint(start, limit);
}

qsizetype SentenceSplitter::breakPoint(qsizetype start, qsizetype limit) const
{
    qsizetype lastBlank = -1;
    for (qsizetype i = limit - 1; i > start; --i) {
        if (!m_text[i].isSpace())
            continue;
        // A pause in the second half makes the better break; one near the
        // start would leave a scrap of a sentence.
        if (isPause(m_text[i - 1]) && i - start > kMaxLength / 2)
            return i;
        if (lastBlank < 0)
            lastBlank = i;
    }
    if (lastBlank > start)
        return lastBlank;
    // No blank at all: cut, but never between the halves of a pair.
    if (m_text[limit - 1].isHighSurrogate() && m_text[limit].isLowSurrogate())
        return limit - 1;
    return limit;
}

} // namespace reader
