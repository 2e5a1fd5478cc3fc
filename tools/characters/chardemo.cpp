// Shows a character on the desktop, has it speak a line with words revealed
// at a steady pace, and saves a screenshot of the whole screen; for checking
// window, mask and balloon under a real X server (xvfb-run -a).
//
//   chardemo <chars folder> <name> <shot.png> [animation]
#include "common/speech/agent/agent.h"
#include "common/speech/speechtext.h"

#include <QApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

// Reveals one word every 250 ms with alternating mouth shapes; no sound.
class PacedSynthesizer final : public speech::Synthesizer
{
public:
    void speak(quint64 id, const QString& text, int) override
    {
        const QString display = speech::parseSpeechText(text).display;
        int delay = 0;
        int n = 0;
        for (const auto& m : QRegularExpression(QStringLiteral("\\S+")).globalMatch(display)) {
            const int pos = static_cast<int>(m.capturedStart());
            const int len = static_cast<int>(m.capturedLength());
            const auto viseme = (n++ % 2) ? speech::Viseme::Open : speech::Viseme::Round;
            QTimer::singleShot(delay += 250, this, [this, id, pos, len, viseme] {
                emit wordReached(id, pos, len);
                emit visemeReached(id, viseme);
            });
        }
        QTimer::singleShot(delay + 250, this, [this, id] { emit utteranceFinished(id, true); });
    }
    void stop() override {}
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: chardemo <chars folder> <name> <shot.png> [animation]\n");
        return 2;
    }
    QTemporaryDir config;
    speech::agent::AgentOptions options;
    options.shippedFolder = args[1];
    options.positionFile = config.filePath(QStringLiteral("characters.ini"));
    speech::agent::Agent agent(std::make_unique<PacedSynthesizer>(), options);
    if (!agent.Load(args[2], args[2] + QStringLiteral(".acs"))) {
        std::fprintf(stderr, "chardemo: %s\n", qPrintable(agent.lastError()));
        return 1;
    }
    speech::AgentCharacter* character = agent.Character(args[2]);
    character->MoveTo(300, 250);
    character->Show();
    if (args.size() > 4)
        character->Play(args[4]);
    character->Speak(
        QStringLiteral("\\Spd=150\\Hello! I am %1. Let us learn some Russian words together.")
            .arg(args[2]));
    const QString shot = args[3];
    QTimer::singleShot(args.size() > 4 ? 3200 : 2200, &app, [&app, shot] {
        QGuiApplication::primaryScreen()->grabWindow(0).copy(200, 120, 460, 320).save(shot);
        app.quit();
    });
    return app.exec();
}
