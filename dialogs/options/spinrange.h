#pragma once

#include <QString>

#include <optional>

namespace options {

// The range of one spin bar and what its box may hand on. A text is a number
// only when it is a plain decimal integer (spaces around it and a sign
// allowed); a number outside the range is taken as the nearest end, so
// nothing out of range ever leaves the dialog.
struct SpinRange {
    int minimum = 0;
    int maximum = 0;

    int clamp(int value) const;
    // The value a box's text stands for, or nothing for "", "abc", "1e3".
    std::optional<int> take(const QString& text) const;
};

} // namespace options
