#include "reader/readabletext.h"

namespace reader {

QString readableText(QStringView raw, qsizetype limit)
{
    qsizetype size = raw.size();
    if (limit >= 0 && size > limit) {
        size = limit;
        // Cutting between the halves of a pair would leave half a character.
        if (size > 0 && raw[size - 1].isHighSurrogate() && raw[size].isLowSurrogate())
            --size;
    }
    QString text = raw.left(size).toString();
    QChar* data = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = data[i];
        if (c.isHighSurrogate() && i + 1 < size && data[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            data[i] = QChar::ReplacementCharacter;
        } else if (c.category() == QChar::Other_Control && c != u'\t' && c != u'\n' && c != u'\r') {
            data[i] = QChar(u' ');
        }
    }
    return text;
}

bool hasWords(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            const char32_t code = QChar::surrogateToUcs4(c, text[i + 1]);
            if (QChar::isLetterOrNumber(code))
                return true;
            ++i;
        } else if (c.isLetterOrNumber()) {
            return true;
        }
    }
    return false;
}

} // namespace reader
