#include "assets/pictures/pictures.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initPictureResources()
{
    Q_INIT_RESOURCE(pictures);
}

namespace pictures {

void initResources()
{
    static const bool done = [] {
        initPictureResources();
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace pictures
