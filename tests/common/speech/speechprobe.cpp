// The desktop's synthesizer in a process of its own, driven through stdin, so
// tests can watch what a whole program does: its stderr, and how long its exit
// takes. Commands, one per line:
//   speak <id> <text>   stop   quit
// Reports on stdout, times in steady-clock nanoseconds:
//   ready | started <id> <t> | word <id> <t> | finished <id> <0|1> <t>
//   stopped <t> <nanoseconds stop() took>
#include "common/speech/synthesizerfactory.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <thread>

namespace {

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void say(const QString& line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::unique_ptr<speech::Synthesizer> synth = speech::createSynthesizer();
    QObject::connect(synth.get(), &speech::Synthesizer::utteranceStarted,
                     [](quint64 id) { say(QStringLiteral("started %1 %2").arg(id).arg(nowNs())); });
    QObject::connect(synth.get(), &speech::Synthesizer::wordReached, [](quint64 id, int, int) {
        say(QStringLiteral("word %1 %2").arg(id).arg(nowNs()));
    });
    QObject::connect(
        synth.get(), &speech::Synthesizer::utteranceFinished, [](quint64 id, bool completed) {
            say(QStringLiteral("finished %1 %2 %3").arg(id).arg(completed ? 1 : 0).arg(nowNs()));
        });
    auto command = [&](const QString& line) {
        if (line.startsWith(QLatin1String("speak "))) {
            const qsizetype space = line.indexOf(QLatin1Char(' '), 6);
            synth->speak(line.mid(6, space - 6).toULongLong(), line.mid(space + 1), 1049);
        } else if (line == QLatin1String("stop")) {
            const long long before = nowNs();
            synth->stop();
            say(QStringLiteral("stopped %1 %2").arg(before).arg(nowNs() - before));
        } else if (line == QLatin1String("quit")) {
            app.quit();
        }
    };
    // A plain blocking reader: it may still sit in read() when the program
    // ends, which takes it down with the process.
    std::thread([&app, command] {
        std::string line;
        while (std::getline(std::cin, line)) {
            const QString text = QString::fromStdString(line);
            QMetaObject::invokeMethod(&app, [command, text] { command(text); });
        }
    }).detach();
    say(QStringLiteral("ready"));
    return app.exec();
}
