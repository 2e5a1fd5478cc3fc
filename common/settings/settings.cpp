#include "common/settings/settings.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace settings {

Settings& globals()
{
    static Settings values;
    return values;
}

namespace {

// Plain decimal notation only: an exponent or a word such as "inf" is refused.
bool parseDecimal(const QString& text, double& value)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (const QChar c : trimmed) {
        if (!c.isDigit() && c != u'.' && c != u'-' && c != u'+')
            return false;
    }
    bool ok = false;
    value = trimmed.toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

bool parseInt16(const QString& text, qint16& target)
{
    bool ok = false;
    const short value = text.trimmed().toShort(&ok, 10);
    if (!ok)
        return false;
    target = value;
    return true;
}

bool parsePosition(const QString& text, float& target)
{
    double value = 0;
    if (!parseDecimal(text, value) || std::fabs(value) > std::numeric_limits<float>::max())
        return false;
    target = static_cast<float>(value);
    return true;
}

bool parseColour(const QString& text, double& target)
{
    double value = 0;
    if (!parseDecimal(text, value))
        return false;
    target = std::clamp(std::nearbyint(value), double(std::numeric_limits<qint32>::min()),
                        double(std::numeric_limits<qint32>::max()));
    return true;
}

bool parseInRange(const QString& text, ValueRange range, qint16& target)
{
    const QString trimmed = text.trimmed();
    qsizetype at = 0;
    const bool negative = trimmed.startsWith(u'-');
    if (negative || trimmed.startsWith(u'+'))
        at = 1;
    if (at == trimmed.size())
        return false;
    // Far enough past any range to clamp the same; never overflows.
    constexpr qint64 kBeyond = 1000000;
    qint64 value = 0;
    for (; at < trimmed.size(); ++at) {
        const QChar c = trimmed.at(at);
        if (c < u'0' || c > u'9')
            return false;
        value = std::min(kBeyond, value * 10 + (c.unicode() - u'0'));
    }
    target = qint16(std::clamp<qint64>(negative ? -value : value, range.lowest, range.highest));
    return true;
}

QString formatInt16(qint16 value)
{
    return QString::number(value);
}

QString formatPosition(float twips)
{
    if (std::isfinite(twips) && twips == std::trunc(twips) && std::fabs(twips) < 1e9f)
        return QString::number(static_cast<qint64>(twips));
    return QString::number(static_cast<double>(twips), 'g', 9);
}

QString formatColour(double reference)
{
    // References are 32-bit; anything else read from a damaged file is cut to that.
    if (!std::isfinite(reference))
        return QStringLiteral("0");
    return QString::number(qint64(std::clamp(reference, -2147483648.0, 4294967295.0)));
}

} // namespace settings
