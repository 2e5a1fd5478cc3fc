#pragma once

#include <QPoint>

namespace skin {

// The pointer's position on the screen, injectable so hover watches can be
// driven by tests.
class Pointer
{
public:
    virtual ~Pointer() = default;
    virtual QPoint position() const = 0;
};

} // namespace skin
