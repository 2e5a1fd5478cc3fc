#include "common/speech/agent/characterloader.h"

#include <QFile>
#include <QSet>
#include <QSvgRenderer>

#include <array>
#include <vector>

namespace speech::agent {

namespace {

constexpr std::array<const char*, kVisemeCount> kVisemeNames = {"rest",   "open",  "wide",  "round",
                                                                "closed", "teeth", "tongue"};

struct ParseError {
    QString reason;
};

bool isValidName(const QByteArray& name)
{
    if (name.isEmpty() || name.size() > CharacterLoader::kMaxNameLength)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
        if (!ok)
            return false;
    }
    return true;
}

int parseInt(const QByteArray& token, int min, int max, const char* what)
{
    bool ok = false;
    const qlonglong value = token.toLongLong(&ok);
    if (!ok || value < min || value > max) {
        throw ParseError{QStringLiteral("%1 \"%2\" is not a number from %3 to %4")
                             .arg(QLatin1String(what), QString::fromLatin1(token.left(32)))
                             .arg(min)
                             .arg(max)};
    }
    return static_cast<int>(value);
}

QList<QByteArray> tokens(const QByteArray& line)
{
    QList<QByteArray> result;
    for (const QByteArray& part : line.simplified().split(' ')) {
        if (!part.isEmpty())
            result.append(part);
    }
    return result;
}

void expectCount(const QList<QByteArray>& t, qsizetype count)
{
    if (t.size() != count)
        throw ParseError{
            QStringLiteral("\"%1\" takes %2 values").arg(QString::fromLatin1(t[0])).arg(count - 1)};
}

// SVG parts must be self-contained pictures: no document types (entity
// expansion) and no embedded or external raster images. Returns the size the
// picture declares.
QSize checkSvg(const QByteArray& svg, const QString& id)
{
    static const char* const forbidden[] = {"<!doctype", "<!entity", "<image", "<?xml-stylesheet"};
    const QByteArray lower = svg.toLower();
    for (const char* word : forbidden) {
        if (lower.contains(word))
            throw ParseError{QStringLiteral("image %1 contains %2").arg(id, QLatin1String(word))};
    }
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw ParseError{QStringLiteral("image %1 is not a valid SVG picture").arg(id)};
    return renderer.defaultSize();
}

// Following exit jumps from any frame must reach the end; a loop there would
// keep an animation alive that was asked to end.
void checkExitPaths(const Animation& animation)
{
    const qsizetype count = animation.frames.size();
    // 0 = unvisited, 1 = on the current path, 2 = known to end
    std::vector<char> mark(static_cast<size_t>(count), 0);
    for (qsizetype start = 0; start < count; ++start) {
        QList<qsizetype> path;
        qsizetype at = start;
        while (at < count && mark[at] == 0) {
            mark[at] = 1;
            path.append(at);
            const int exit = animation.frames[at].exitTarget;
            at = exit >= 0 ? exit : at + 1;
        }
        if (at < count && mark[at] == 1)
            throw ParseError{QStringLiteral("animation %1: exit jumps loop at frame %2")
                                 .arg(animation.name)
                                 .arg(at)};
        for (const qsizetype f : path)
            mark[f] = 2;
    }
}

class Parser
{
public:
    explicit Parser(const QByteArray& bytes) : m_lines(bytes.split('\n')) {}

    CharacterData parse()
    {
        header();
        while (next()) {
            const QList<QByteArray> t = tokens(m_line);
            if (t.isEmpty() || t[0].startsWith('#'))
                continue;
            const QByteArray& key = t[0];
            if (key == "name") {
                if (t.size() < 2)
                    throw ParseError{QStringLiteral("name is empty")};
                m_data.name = QString::fromUtf8(m_line.trimmed().mid(4).trimmed()).left(kNameLimit);
            } else if (key == "size") {
                expectCount(t, 3);
                m_data.width =
                    parseInt(t[1], CharacterLoader::kMinSize, CharacterLoader::kMaxSize, "width");
                m_data.height =
                    parseInt(t[2], CharacterLoader::kMinSize, CharacterLoader::kMaxSize, "height");
            } else if (key == "image") {
                image(t);
            } else if (key == "mouth") {
                mouth(t);
            } else if (key == "state") {
                state(t);
            } else if (key == "animation") {
                animation(t);
            } else {
                throw ParseError{QStringLiteral("unknown keyword \"%1\"")
                                     .arg(QString::fromLatin1(key.left(32)))};
            }
        }
        finish();
        return std::move(m_data);
    }

    int lineNumber() const { return m_lineNumber; }

private:
    static constexpr int kNameLimit = 64;

    bool next()
    {
        if (m_index >= m_lines.size())
            return false;
        m_line = m_lines[m_index++];
        if (m_line.endsWith('\r'))
            m_line.chop(1);
        m_lineNumber = static_cast<int>(m_index);
        return true;
    }

    void header()
    {
        if (!next())
            throw ParseError{QStringLiteral("file is empty")};
        const QList<QByteArray> t = tokens(m_line);
        if (t.size() != 2 || t[0] != "VELKOR-ACS")
            throw ParseError{QStringLiteral("not a character file (bad magic)")};
        bool ok = false;
        const int version = t[1].toInt(&ok);
        if (!ok || version != CharacterLoader::kFormatVersion)
            throw ParseError{QStringLiteral("unsupported format version \"%1\"")
                                 .arg(QString::fromLatin1(t[1].left(16)))};
    }

    void image(const QList<QByteArray>& t)
    {
        expectCount(t, 2);
        if (!isValidName(t[1]))
            throw ParseError{QStringLiteral("bad image name")};
        const QString id = QString::fromLatin1(t[1]);
        if (m_imageIndex.contains(id))
            throw ParseError{QStringLiteral("image %1 defined twice").arg(id)};
        if (m_data.images.size() >= CharacterLoader::kMaxImages)
            throw ParseError{QStringLiteral("too many images")};
        QByteArray svg;
        bool closed = false;
        while (next()) {
            if (m_line.trimmed() == "endimage") {
                closed = true;
                break;
            }
            svg += m_line;
            svg += '\n';
            if (svg.size() > CharacterLoader::kMaxImageBytes)
                throw ParseError{QStringLiteral("image %1 is too large").arg(id)};
        }
        if (!closed)
            throw ParseError{QStringLiteral("image %1 is not closed by endimage").arg(id)};
        const QSize declared = checkSvg(svg, id);
        m_imageIndex.insert(id, static_cast<int>(m_data.images.size()));
        m_data.images.append({id, svg, declared});
    }

    int imageRef(const QByteArray& token) const
    {
        const auto it = m_imageIndex.constFind(QString::fromLatin1(token));
        if (!isValidName(token) || it == m_imageIndex.cend())
            throw ParseError{
                QStringLiteral("unknown image \"%1\"").arg(QString::fromLatin1(token.left(32)))};
        return *it;
    }

    void mouth(const QList<QByteArray>& t)
    {
        expectCount(t, 5);
        int viseme = -1;
        for (int i = 0; i < kVisemeCount; ++i) {
            if (t[1] == kVisemeNames[i])
                viseme = i;
        }
        if (viseme < 0)
            throw ParseError{QStringLiteral("unknown mouth shape")};
        MouthOverlay& overlay = m_data.mouths[viseme];
        overlay.image = imageRef(t[2]);
        overlay.x = parseInt(t[3], -CharacterLoader::kMaxOffset, CharacterLoader::kMaxOffset, "x");
        overlay.y = parseInt(t[4], -CharacterLoader::kMaxOffset, CharacterLoader::kMaxOffset, "y");
    }

    void state(const QList<QByteArray>& t)
    {
        if (t.size() < 3)
            throw ParseError{QStringLiteral("state needs a name and at least one animation")};
        if (!isValidName(t[1]) || t.size() > 2 + CharacterLoader::kMaxStates)
            throw ParseError{QStringLiteral("bad state")};
        const QString name = QString::fromLatin1(t[1]);
        if (m_data.states.contains(name))
            throw ParseError{QStringLiteral("state %1 defined twice").arg(name)};
        if (m_data.states.size() >= CharacterLoader::kMaxStates)
            throw ParseError{QStringLiteral("too many states")};
        QStringList animations;
        for (qsizetype i = 2; i < t.size(); ++i) {
            if (!isValidName(t[i]))
                throw ParseError{QStringLiteral("bad animation name in state %1").arg(name)};
            animations.append(QString::fromLatin1(t[i]));
        }
        m_data.states.insert(name, animations);
        m_stateLines.insert(name, m_lineNumber);
    }

    void animation(const QList<QByteArray>& t)
    {
        expectCount(t, 2);
        if (!isValidName(t[1]))
            throw ParseError{QStringLiteral("bad animation name")};
        Animation animation;
        animation.name = QString::fromLatin1(t[1]);
        if (m_data.findAnimation(animation.name) >= 0)
            throw ParseError{QStringLiteral("animation %1 defined twice").arg(animation.name)};
        if (m_data.animations.size() >= CharacterLoader::kMaxAnimations)
            throw ParseError{QStringLiteral("too many animations")};
        bool closed = false;
        while (next()) {
            const QList<QByteArray> f = tokens(m_line);
            if (f.isEmpty() || f[0].startsWith('#'))
                continue;
            if (f[0] == "endanimation") {
                closed = true;
                break;
            }
            if (f[0] == "frame") {
                frame(animation, f);
            } else if (f[0] == "layer" || f[0] == "branch") {
                if (animation.frames.isEmpty())
                    throw ParseError{
                        QStringLiteral("%1 before the first frame").arg(QString::fromLatin1(f[0]))};
                Frame& current = animation.frames.last();
                if (f[0] == "layer") {
                    expectCount(f, 4);
                    if (current.layers.size() >= CharacterLoader::kMaxLayersPerFrame)
                        throw ParseError{QStringLiteral("too many layers in one frame")};
                    current.layers.append({imageRef(f[1]),
                                           parseInt(f[2], -CharacterLoader::kMaxOffset,
                                                    CharacterLoader::kMaxOffset, "x"),
                                           parseInt(f[3], -CharacterLoader::kMaxOffset,
                                                    CharacterLoader::kMaxOffset, "y")});
                } else {
                    expectCount(f, 3);
                    if (current.branches.size() >= CharacterLoader::kMaxBranchesPerFrame)
                        throw ParseError{QStringLiteral("too many branches in one frame")};
                    // Targets are checked once the animation's frame count is known.
                    current.branches.append(
                        {parseInt(f[1], 0, CharacterLoader::kMaxFramesPerAnimation - 1,
                                  "branch target"),
                         parseInt(f[2], 1, 100, "probability")});
                    int sum = 0;
                    for (const FrameBranch& b : current.branches)
                        sum += b.percent;
                    if (sum > 100)
                        throw ParseError{
                            QStringLiteral("branch probabilities add up to more than 100")};
                }
            } else {
                throw ParseError{QStringLiteral("unknown keyword \"%1\" in animation")
                                     .arg(QString::fromLatin1(f[0].left(32)))};
            }
        }
        if (!closed)
            throw ParseError{
                QStringLiteral("animation %1 is not closed by endanimation").arg(animation.name)};
        if (animation.frames.isEmpty())
            throw ParseError{QStringLiteral("animation %1 has no frames").arg(animation.name)};
        const int count = static_cast<int>(animation.frames.size());
        for (qsizetype i = 0; i < animation.frames.size(); ++i) {
            const Frame& frame = animation.frames[i];
            if (frame.exitTarget > count)
                throw ParseError{QStringLiteral("animation %1 frame %2: exit beyond the end")
                                     .arg(animation.name)
                                     .arg(i)};
            for (const FrameBranch& b : frame.branches) {
                if (b.target >= count)
                    throw ParseError{
                        QStringLiteral("animation %1 frame %2: branch to missing frame %3")
                            .arg(animation.name)
                            .arg(i)
                            .arg(b.target)};
            }
        }
        checkExitPaths(animation);
        m_data.animations.append(std::move(animation));
    }

    void frame(Animation& animation, const QList<QByteArray>& f)
    {
        if (animation.frames.size() >= CharacterLoader::kMaxFramesPerAnimation ||
            ++m_totalFrames > CharacterLoader::kMaxTotalFrames)
            throw ParseError{QStringLiteral("too many frames")};
        if (f.size() < 2)
            throw ParseError{QStringLiteral("frame needs a duration")};
        Frame frame;
        frame.durationMs = parseInt(f[1], 1, CharacterLoader::kMaxDurationMs, "duration");
        qsizetype i = 2;
        while (i < f.size()) {
            if (f[i] == "exit" && i + 1 < f.size() && frame.exitTarget < 0) {
                frame.exitTarget =
                    parseInt(f[i + 1], 0, CharacterLoader::kMaxFramesPerAnimation, "exit target");
                i += 2;
            } else if (f[i] == "mouth" && i + 2 < f.size() && !frame.speaking) {
                frame.speaking = true;
                frame.mouthX = parseInt(f[i + 1], -CharacterLoader::kMaxOffset,
                                        CharacterLoader::kMaxOffset, "mouth x");
                frame.mouthY = parseInt(f[i + 2], -CharacterLoader::kMaxOffset,
                                        CharacterLoader::kMaxOffset, "mouth y");
                i += 3;
            } else {
                throw ParseError{QStringLiteral("bad frame option \"%1\"")
                                     .arg(QString::fromLatin1(f[i].left(32)))};
            }
        }
        animation.frames.append(std::move(frame));
    }

    void finish()
    {
        if (m_data.name.isEmpty())
            throw ParseError{QStringLiteral("character has no name")};
        if (m_data.width == 0)
            throw ParseError{QStringLiteral("character has no size")};
        if (m_data.animations.isEmpty())
            throw ParseError{QStringLiteral("character has no animations")};
        const qint64 pictureBytes = m_data.pictureBytes();
        if (pictureBytes > CharacterLoader::kMaxPictureBytes) {
            constexpr qint64 kMiB = 1024 * 1024;
            m_lineNumber = 0;
            throw ParseError{
                QStringLiteral("its pictures would take %1 MiB once drawn, more than the %2 MiB "
                               "a character may use")
                    .arg(pictureBytes / kMiB + (pictureBytes % kMiB != 0 ? 1 : 0))
                    .arg(CharacterLoader::kMaxPictureBytes / kMiB)};
        }
        for (auto it = m_data.states.cbegin(); it != m_data.states.cend(); ++it) {
            for (const QString& name : it.value()) {
                if (m_data.findAnimation(name) < 0) {
                    m_lineNumber = m_stateLines.value(it.key());
                    throw ParseError{
                        QStringLiteral("state %1 names unknown animation %2").arg(it.key(), name)};
                }
            }
        }
        bool speaks = false;
        for (const Animation& a : m_data.animations) {
            for (const Frame& f : a.frames)
                speaks = speaks || f.speaking;
        }
        if (speaks) {
            for (int i = 0; i < kVisemeCount; ++i) {
                if (m_data.mouths[i].image < 0) {
                    m_lineNumber = 0;
                    throw ParseError{QStringLiteral("speaking frames but no \"%1\" mouth")
                                         .arg(QLatin1String(kVisemeNames[i]))};
                }
            }
        }
    }

    QList<QByteArray> m_lines;
    qsizetype m_index = 0;
    int m_lineNumber = 0;
    QByteArray m_line;
    int m_totalFrames = 0;
    CharacterData m_data;
    QHash<QString, int> m_imageIndex;
    QHash<QString, int> m_stateLines;
};

} // namespace

CharacterLoader::Result CharacterLoader::fromBytes(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {std::nullopt, QStringLiteral("file is empty")};
    if (bytes.size() > kMaxFileBytes)
        return {std::nullopt, QStringLiteral("file is larger than %1 bytes").arg(kMaxFileBytes)};
    if (bytes.contains('\0'))
        return {std::nullopt, QStringLiteral("file holds binary data")};
    Parser parser(bytes);
    try {
        return {parser.parse(), QString()};
    } catch (const ParseError& e) {
        if (parser.lineNumber() > 0)
            return {std::nullopt,
                    QStringLiteral("line %1: %2").arg(parser.lineNumber()).arg(e.reason)};
        return {std::nullopt, e.reason};
    }
}

CharacterLoader::Result CharacterLoader::fromFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("cannot open %1").arg(path)};
    if (file.size() > kMaxFileBytes)
        return {std::nullopt, QStringLiteral("file is larger than %1 bytes").arg(kMaxFileBytes)};
    // Read one byte past the limit so a file that grows meanwhile is still refused.
    return fromBytes(file.read(kMaxFileBytes + 1));
}

} // namespace speech::agent
