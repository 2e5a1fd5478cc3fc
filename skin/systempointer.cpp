#include "skin/systempointer.h"

#include <QCursor>

namespace skin {

QPoint SystemPointer::position() const
{
    return QCursor::pos();
}

std::shared_ptr<const Pointer> SystemPointer::shared()
{
    static const std::shared_ptr<const Pointer> instance = std::make_shared<SystemPointer>();
    return instance;
}

} // namespace skin
