#include "dialogs/options/spinrange.h"

#include <algorithm>

namespace options {

int SpinRange::clamp(int value) const
{
    return std::clamp(value, minimum, maximum);
}

std::optional<int> SpinRange::take(const QString& text) const
{
    const QString trimmed = text.trimmed();
    qsizetype digitsFrom = 0;
    if (!trimmed.isEmpty() && (trimmed.front() == u'-' || trimmed.front() == u'+'))
        digitsFrom = 1;
    if (digitsFrom == trimmed.size())
        return std::nullopt;
    for (qsizetype i = digitsFrom; i < trimmed.size(); ++i) {
        if (trimmed.at(i) < u'0' || trimmed.at(i) > u'9')
            return std::nullopt;
    }
    // Any run of digits is a number, however long: past the range it is the end.
    bool fits = false;
    const qlonglong value = trimmed.toLongLong(&fits);
    if (!fits)
        return trimmed.front() == u'-' ? minimum : maximum;
    return int(std::clamp<qlonglong>(value, minimum, maximum));
}

} // namespace options
