#pragma once

#include <QTime>

namespace reader {

// The local time of day; tests substitute a clock set to the hour they need.
class LocalClock
{
public:
    virtual ~LocalClock() = default;
    virtual QTime timeOfDay() const = 0;
};

class SystemLocalClock final : public LocalClock
{
public:
    QTime timeOfDay() const override { return QTime::currentTime(); }
};

} // namespace reader
