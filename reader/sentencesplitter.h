#pragma once

#include <QString>

#include <optional>

namespace reader {

// A stretch of a text: start index and length.
struct TextSpan {
    qsizetype start = 0;
    qsizetype length = 0;

    qsizetype end() const { return start + length; }
    bool operator==(const TextSpan&) const = default;
};

// Walks a text sentence by sentence, one at a time, so that a long text costs
// nothing before its first sentence is spoken. A sentence ends after ".", "!",
// "?" or "…" (with any closing quotes or brackets) followed by a blank or the
// end, or at a blank line. One without an end for kMaxLength characters is
// broken at its last pause ("," ";" ":" or a dash) in its second half, else at
// its last blank.
// Sentences carry no surrounding blanks; stretches without a letter or digit
// are passed over.
class SentenceSplitter final
{
public:
    static constexpr qsizetype kMaxLength = 400;

    explicit SentenceSplitter(QString text = QString());

    std::optional<TextSpan> next();
    const QString& text() const { return m_text; }

private:
    std::optional<TextSpan> nextStretch();
    qsizetype endOfSentence(qsizetype start) const;
    qsizetype breakPoint(qsizetype start, qsizetype limit) const;

    QString m_text;
    qsizetype m_position = 0;
};

} // namespace reader
