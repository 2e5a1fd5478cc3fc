#include "dialogs/wordbook/statementtext.h"

namespace wordbook {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

// Index just past a quoted run that starts at from (which holds the opening
// quote); a doubled closing quote stands for itself inside the run.
qsizetype skipQuoted(const QString& text, qsizetype from, QChar close)
{
    qsizetype i = from + 1;
    while (i < text.size()) {
        if (text[i] == close) {
            if (close != u']' && i + 1 < text.size() && text[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return i;
}

} // namespace

QString quoteIndexIdentifier(const QString& statement)
{
    QString out;
    out.reserve(statement.size() + 8);
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar c = statement[i];
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            const qsizetype end = skipQuoted(statement, i, c == u'[' ? QChar(u']') : c);
            out += QStringView(statement).mid(i, end - i);
            i = end;
        } else if (c == u'-' && i + 1 < statement.size() && statement[i + 1] == u'-') {
            const qsizetype end = statement.indexOf(u'\n', i);
            const qsizetype stop = end < 0 ? statement.size() : end;
            out += QStringView(statement).mid(i, stop - i);
            i = stop;
        } else if (isWordChar(c)) {
            qsizetype end = i;
            while (end < statement.size() && isWordChar(statement[end]))
                ++end;
            const QStringView word = QStringView(statement).mid(i, end - i);
            if (word.compare(u"index", Qt::CaseInsensitive) == 0)
                out += u'"' + word.toString() + u'"';
            else
                out += word;
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace wordbook
