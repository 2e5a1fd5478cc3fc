// Another program using the shared store, for the tests of concurrent use.
//   settings_writer PREFIX COUNT      writes "<prefix>0" .. "<prefix>COUNT-1", one write each
//   settings_writer --set KEY VALUE   writes one value
//   settings_writer --get KEY         prints the value read
//   settings_writer --serve           keeps one store until its input closes:
//                                     each line KEY=VALUE is written and
//                                     answered "1" (saved) or "0"
#include "common/settings/settingsstore.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--set")) {
        settings::SettingsStore store;
        return store.writeSettings({{args.at(2), args.at(3)}}) ? 0 : 1;
    }
    if (args.size() == 3 && args.at(1) == QLatin1String("--get")) {
        QTextStream(stdout) << settings::readSetting(args.at(2));
        return 0;
    }
    if (args.size() == 2 && args.at(1) == QLatin1String("--serve")) {
        settings::SettingsStore store;
        QTextStream in(stdin);
        QTextStream out(stdout);
        QString line;
        while (in.readLineInto(&line)) {
            const bool saved =
                store.writeSettings({{line.section(u'=', 0, 0), line.section(u'=', 1)}});
            out << (saved ? "1" : "0") << Qt::endl;
        }
        return 0;
    }
    if (args.size() != 3)
        return 2;
    const QString prefix = args.at(1);
    const int count = args.at(2).toInt();
    for (int i = 0; i < count; ++i)
        settings::writeSetting(prefix + QString::number(i), QString::number(i));
    return 0;
}
