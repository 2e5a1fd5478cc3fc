#include "common/speech/speechtext.h"

namespace speech {

namespace {

bool isTagName(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// If raw[start] opens a tag "\Name=value\", returns the index just past it.
qsizetype tagEnd(const QString& raw, qsizetype start)
{
    qsizetype i = start + 1;
    const qsizetype nameStart = i;
    while (i < raw.size() && isTagName(raw[i]))
        ++i;
    if (i == nameStart || i >= raw.size() || raw[i] != u'=')
        return -1;
    const qsizetype close = raw.indexOf(u'\\', i + 1);
    return close < 0 ? -1 : close + 1;
}

} // namespace

SpeechText parseSpeechText(const QString& raw)
{
    SpeechText result;
    for (qsizetype i = 0; i < raw.size();) {
        if (raw[i] == u'\\') {
            const qsizetype end = tagEnd(raw, i);
            if (end > 0) {
                const QString tag = raw.mid(i + 1, end - i - 2);
                const qsizetype eq = tag.indexOf(u'=');
                if (tag.left(eq).compare(QLatin1String("spd"), Qt::CaseInsensitive) == 0) {
                    bool ok = false;
                    const int rate = tag.mid(eq + 1).trimmed().toInt(&ok);
                    if (ok && rate > 0)
                        result.wordsPerMinute = rate;
                }
                i = end;
                continue;
            }
        }
        const QChar c = raw[i];
        if (c != QChar(0x0301) && c != QChar(0x0300)) {
            result.synthesis += c;
            result.synthesisToDisplay.append(int(result.display.size()));
        }
        result.display += c;
        ++i;
    }
    return result;
}

} // namespace speech
