#include "tests/naming/designnames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace designnames {

namespace {

// A design name used as an identifier.
const QRegularExpression kDesignIdentifier(QStringLiteral(
    R"(\b(Form[0-9]+|Label[0-9]+|Timer[0-9]+(_Timer)?|Image[0-9]+(_Click)?|Command[0-9]+)"
    R"(|Text[0-9]+|Check[0-9]+|Option[0-9]+|VScroll[0-9]+|Picture[0-9]+|File1|List1|Data1)"
    R"(|Shape1|mobj[A-Z][A-Za-z]*|xp_[A-Za-z0-9_]+|xpcmdbutton[0-9]*|xptopbuttons[0-9]*)"
    R"(|trans_colour|cmd[A-Z][A-Za-z]*|txt[A-Z][A-Za-z]*|chk[A-Z][A-Za-z]*|lbl[A-Z][A-Za-z]*)\b)"));

// The same in a lower-case file name, where words are joined by "_" or ".".
const QRegularExpression kDesignFileName(
    QStringLiteral(R"((^|[^a-z])((form|label|timer|image|command|text|check|option|vscroll)"
                   R"(|picture)[0-9]+|file1|list1|data1|shape1|mobj|xp_|xpcmdbutton)"
                   R"(|xptopbuttons|trans_colour))"),
    QRegularExpression::CaseInsensitiveOption);

const QStringList kCharacterPrefixes = {QStringLiteral("u"), QStringLiteral("U"),
                                        QStringLiteral("L"), QStringLiteral("u8")};

bool isIdentifierChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The word (letters, digits, "_") that ends just before position end.
QStringView wordBefore(QStringView text, qsizetype end)
{
    qsizetype start = end;
    while (start > 0 && isIdentifierChar(text[start - 1]))
        --start;
    return text.mid(start, end - start);
}

} // namespace

QString codeOnly(QStringView source)
{
    QString out;
    out.reserve(source.size());
    const qsizetype n = source.size();
    auto blank = [&out](QChar c) { out += c == u'\n' ? c : QChar(u' '); };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = source[i];
        const QChar next = i + 1 < n ? source[i + 1] : QChar();
        if (c == u'/' && next == u'/') {
            while (i < n && source[i] != u'\n')
                blank(source[i++]);
        } else if (c == u'/' && next == u'*') {
            const qsizetype end = source.indexOf(u"*/", i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            while (i < stop)
                blank(source[i++]);
        } else if (c == u'"' && wordBefore(source, i).endsWith(u'R')) {
            // Raw string: R"delimiter( ... )delimiter"
            const qsizetype open = source.indexOf(u'(', i);
            const QString close = u')' + source.mid(i + 1, open - i - 1).toString() + u'"';
            const qsizetype end = open < 0 ? -1 : source.indexOf(close, open);
            const qsizetype stop = end < 0 ? n : end + close.size();
            while (i < stop)
                blank(source[i++]);
        } else if (c == u'\'' && !wordBefore(source, i).isEmpty() &&
                   !kCharacterPrefixes.contains(wordBefore(source, i))) {
            out += c; // a digit separator, as in 100'000
            ++i;
        } else if (c == u'"' || c == u'\'') {
            blank(source[i++]);
            while (i < n && source[i] != c && source[i] != u'\n') {
                if (source[i] == u'\\' && i + 1 < n)
                    blank(source[i++]);
                blank(source[i++]);
            }
            if (i < n)
                blank(source[i++]);
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QStringList designNamesIn(QStringView source)
{
    QStringList found;
    const QString code = codeOnly(source);
    for (const QRegularExpressionMatch& match : kDesignIdentifier.globalMatch(code)) {
        const int line = int(code.left(match.capturedStart()).count(u'\n')) + 1;
        found << QStringLiteral("%1: %2").arg(line).arg(match.captured());
    }
    return found;
}

bool isDesignFileName(const QString& fileName)
{
    return kDesignFileName.match(fileName).hasMatch();
}

namespace {

void collectFiles(const QDir& root, const QString& folder, QStringList& files)
{
    const QDir dir(folder);
    if (dir.exists(QStringLiteral("CMakeCache.txt")))
        return;
    for (const QFileInfo& entry :
         dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (entry.isDir()) {
            const bool topLevelBuild =
                dir == root && entry.fileName().startsWith(QStringLiteral("build"));
            if (!topLevelBuild && !entry.isSymLink())
                collectFiles(root, entry.filePath(), files);
        } else {
            files << root.relativeFilePath(entry.filePath());
        }
    }
}

} // namespace

QStringList sourceFiles(const QString& root)
{
    const QDir dir(root);
    QStringList files;
    collectFiles(dir, dir.path(), files);
    return files;
}

QStringList storedKeys(QStringView keysHeader)
{
    static const QRegularExpression literal(QStringLiteral(R"re(QStringLiteral\("([^"]*)"\))re"));
    QStringList keys;
    for (const QRegularExpressionMatch& match : literal.globalMatch(keysHeader.toString()))
        keys << match.captured(1);
    return keys;
}

QStringList settingsMembers(QStringView settingsHeader)
{
    const QString code = codeOnly(settingsHeader);
    const qsizetype start = code.indexOf(QStringLiteral("struct Settings {"));
    const qsizetype end = code.indexOf(QStringLiteral("};"), start);
    if (start < 0 || end < 0)
        return {};
    static const QRegularExpression member(QStringLiteral(R"(^\s*[\w:<>]+\s+(\w+)\s*(=[^;]*)?;)"),
                                           QRegularExpression::MultilineOption);
    QStringList members;
    for (const QRegularExpressionMatch& match : member.globalMatch(code.mid(start, end - start)))
        members << match.captured(1);
    return members;
}

} // namespace designnames
