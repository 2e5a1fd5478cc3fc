#include "dialogs/wordbook/statementtext.h"

#include <iterator>
#include <vector>

namespace wordbook {

namespace {

enum class TokenKind { Word, Quoted, Comment, Space, Symbol };

struct Token {
    qsizetype begin;
    qsizetype end;
    TokenKind kind;
};

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

// Splits a statement into words, quoted runs (literals and quoted names),
// line comments, blanks and single other characters. Joined back in order,
// the tokens give the statement unchanged.
std::vector<Token> tokenize(const QString& statement)
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < statement.size()) {
        const QChar c = statement[i];
        qsizetype end = i + 1;
        TokenKind kind = TokenKind::Symbol;
        if (c == u'\'' || c == u'"' || c == u'`' || c == u'[') {
            end = skipQuoted(statement, i, c == u'[' ? QChar(u']') : c);
            kind = TokenKind::Quoted;
        } else if (c == u'-' && i + 1 < statement.size() && statement[i + 1] == u'-') {
            const qsizetype newline = statement.indexOf(u'\n', i);
            end = newline < 0 ? statement.size() : newline;
            kind = TokenKind::Comment;
        } else if (c.isSpace()) {
            while (end < statement.size() && statement[end].isSpace())
                ++end;
            kind = TokenKind::Space;
        } else if (isWordChar(c)) {
            while (end < statement.size() && isWordChar(statement[end]))
                ++end;
            kind = TokenKind::Word;
        }
        tokens.push_back({i, end, kind});
        i = end;
    }
    return tokens;
}

QStringView textOf(const QString& statement, const Token& token)
{
    return QStringView(statement).mid(token.begin, token.end - token.begin);
}

bool isWord(const QString& statement, const Token& token, QStringView word)
{
    return token.kind == TokenKind::Word &&
           textOf(statement, token).compare(word, Qt::CaseInsensitive) == 0;
}

// The tokens that matter: blanks and comments between the words are skipped.
std::vector<Token> significantTokens(const QString& statement)
{
    std::vector<Token> tokens;
    for (const Token& token : tokenize(statement)) {
        if (token.kind != TokenKind::Space && token.kind != TokenKind::Comment)
            tokens.push_back(token);
    }
    return tokens;
}

} // namespace

bool selectsAllInKeyOrder(const QString& statement)
{
    std::vector<Token> tokens = significantTokens(statement);
    const auto isSymbol = [&](const Token& token, QChar symbol) {
        return token.kind == TokenKind::Symbol && statement[token.begin] == symbol;
    };
    if (!tokens.empty() && isSymbol(tokens.back(), u';'))
        tokens.pop_back();
    if (tokens.size() == 8 && isWord(statement, tokens.back(), u"ASC"))
        tokens.pop_back();
    const QStringView words[] = {u"SELECT", u"*", u"FROM", u"Word", u"ORDER", u"BY", u"index"};
    if (tokens.size() != std::size(words))
        return false;
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const bool matches =
            words[i] == u"*" ? isSymbol(tokens[i], u'*') : isWord(statement, tokens[i], words[i]);
        if (!matches)
            return false;
    }
    return true;
}

QString quoteIndexIdentifier(const QString& statement)
{
    QString out;
    out.reserve(statement.size() + 8);
    for (const Token& token : tokenize(statement)) {
        if (isWord(statement, token, u"index"))
            out += u'"' + textOf(statement, token).toString() + u'"';
        else
            out += textOf(statement, token);
    }
    return out;
}

QString caselessEnglishOrder(const QString& statement)
{
    const std::vector<Token> tokens = significantTokens(statement);

    // Where to add text: after the English word of a term, and after the term.
    struct Insertion {
        qsizetype at;
        QString text;
    };
    std::vector<Insertion> insertions;
    const auto isSymbol = [&](std::size_t i, QChar symbol) {
        return i < tokens.size() && tokens[i].kind == TokenKind::Symbol &&
               statement[tokens[i].begin] == symbol;
    };
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (!isWord(statement, tokens[i], u"ORDER") || !isWord(statement, tokens[i + 1], u"BY"))
            continue;
        // The terms, up to the end of the clause.
        std::size_t term = i + 2;
        while (term < tokens.size()) {
            std::size_t end = term;
            int depth = 0;
            while (end < tokens.size() &&
                   !(depth == 0 &&
                     (isSymbol(end, u',') || isSymbol(end, u';') || isSymbol(end, u')') ||
                      isWord(statement, tokens[end], u"LIMIT")))) {
                if (isSymbol(end, u'('))
                    ++depth;
                else if (isSymbol(end, u')'))
                    --depth;
                ++end;
            }
            const std::size_t length = end - term;
            const bool english = length >= 1 && isWord(statement, tokens[term], u"English");
            const bool direction = length == 2 && (isWord(statement, tokens[term + 1], u"ASC") ||
                                                   isWord(statement, tokens[term + 1], u"DESC"));
            if (english && (length == 1 || direction)) {
                const QString order =
                    direction ? u' ' + textOf(statement, tokens[term + 1]).toString() : QString();
                insertions.push_back({tokens[term].end, QStringLiteral(" COLLATE NOCASE")});
                insertions.push_back(
                    {tokens[end - 1].end,
                     QStringLiteral(", ") + textOf(statement, tokens[term]).toString() + order});
            }
            if (!isSymbol(end, u','))
                break;
            term = end + 1;
        }
    }
    if (insertions.empty())
        return statement;

    QString out;
    out.reserve(statement.size() + 48);
    qsizetype copied = 0;
    for (const Insertion& insertion : insertions) {
        out += QStringView(statement).mid(copied, insertion.at - copied);
        out += insertion.text;
        copied = insertion.at;
    }
    out += QStringView(statement).mid(copied);
    return out;
}

QString sqlForStatement(const QString& statement)
{
    return caselessEnglishOrder(quoteIndexIdentifier(statement));
}

} // namespace wordbook
