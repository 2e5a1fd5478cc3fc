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
    target = value;
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
