// Writes keys "<prefix>0" .. "<prefix>N-1" into the shared store, one write
// each, as another program would; used to check concurrent writers.
#include "common/settings/settingsstore.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return 2;
    const QString prefix = args.at(1);
    const int count = args.at(2).toInt();
    for (int i = 0; i < count; ++i)
        settings::writeSetting(prefix + QString::number(i), QString::number(i));
    return 0;
}
