#include "assets/icon/programicon.h"

#include <QApplication>
#include <QDirIterator>

namespace icon {

QIcon programIcon()
{
    // Files are read only when a size is first asked for.
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icon"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (sizes.hasNext()) {
        const QString folder = sizes.next();
        const int side = sizes.fileName().section(u'x', 0, 0).toInt();
        icon.addFile(folder + QStringLiteral("/apps/") + QLatin1String(kThemeName) +
                         QStringLiteral(".png"),
                     QSize(side, side));
    }
    return icon;
}

void installProgramIcon()
{
    QApplication::setWindowIcon(programIcon());
}

} // namespace icon
