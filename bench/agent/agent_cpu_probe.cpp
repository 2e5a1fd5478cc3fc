// One process for the whole-process CPU measurements (idle_cpu.sh, loop_cpu.sh):
//   agent_cpu_probe character <seconds> <chars folder> [name] [animation]
//       shows a character, idling, or playing the animation (looping ones go on)
//   agent_cpu_probe plain <seconds>
//       shows a plain window (baseline)
#include "common/speech/agent/agent.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

// The measurements never speak; an utterance would just end at once.
class QuietSynthesizer final : public speech::Synthesizer
{
public:
    void speak(quint64 id, const QString&, int) override
    {
        QTimer::singleShot(0, this, [this, id] { emit utteranceFinished(id, true); });
    }
    void stop() override {}
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr,
                     "usage: agent_cpu_probe character|plain <seconds> [chars folder] [name] "
                     "[animation]\n");
        return 2;
    }
    QTimer::singleShot(args[2].toInt() * 1000, &app, &QCoreApplication::quit);

    QWidget plain(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    QTemporaryDir config;
    std::unique_ptr<speech::agent::Agent> agent;
    if (args[1] == QStringLiteral("plain")) {
        plain.resize(128, 160);
        plain.show();
    } else {
        if (args.size() < 4)
            return 2;
        speech::agent::AgentOptions options;
        options.shippedFolder = args[3];
        options.positionFile = config.filePath(QStringLiteral("characters.ini"));
        agent =
            std::make_unique<speech::agent::Agent>(std::make_unique<QuietSynthesizer>(), options);
        const QString name = args.size() > 4 ? args[4] : QStringLiteral("Merlin");
        if (!agent->Load(name, name + QStringLiteral(".acs"))) {
            std::fprintf(stderr, "agent_cpu_probe: %s\n", qPrintable(agent->lastError()));
            return 1;
        }
        speech::AgentCharacter* character = agent->Character(name);
        character->Show();
        if (args.size() > 5)
            character->Play(args[5]);
    }
    return app.exec();
}
