#pragma once

#include "skin/pointer.h"

#include <memory>

namespace skin {

class SystemPointer final : public Pointer
{
public:
    QPoint position() const override;

    // One shared instance is enough: it holds no state.
    static std::shared_ptr<const Pointer> shared();
};

} // namespace skin
