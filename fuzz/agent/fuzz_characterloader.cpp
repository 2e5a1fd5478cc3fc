// libFuzzer target for the character file loader: any input must be refused
// or give a character within the picture budget whose every animation can be
// played without reaching outside its data.
#include "common/speech/agent/animationplayer.h"
#include "common/speech/agent/characterloader.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

namespace {

class CountingRandom final : public speech::agent::AgentRandom
{
public:
    int bounded(int bound) override
    {
        return static_cast<int>(m_next++ % static_cast<unsigned>(bound));
    }

private:
    unsigned m_next = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Pictures are parsed by the SVG renderer, which wants a GUI application.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Parse warnings about broken pictures are expected by the thousand.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    // Deliberately never destroyed: libFuzzer leaves through exit(), when
    // Qt's own globals may already be gone.
    static auto* app = new QGuiApplication(*argc, *argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto result = speech::agent::CharacterLoader::fromBytes(bytes);
    if (!result.character) {
        if (result.error.isEmpty())
            std::abort(); // every refusal carries a reason
        return 0;
    }
    const auto& character = *result.character;
    // Nothing accepted may draw more than the budget allows.
    if (character.pictureBytes() > speech::agent::CharacterLoader::kMaxPictureBytes)
        std::abort();
    CountingRandom random;
    speech::agent::AnimationPlayer player(character, random);
    for (int a = 0; a < character.animations.size(); ++a) {
        player.start(a, 0);
        qint64 now = 0;
        for (int step = 0; step < 64 && player.isPlaying(); ++step) {
            now = *player.nextDeadline();
            player.tick(now);
            // However short the file makes a frame, it is shown for a while.
            if (player.isPlaying() &&
                *player.nextDeadline() - now < speech::agent::AnimationPlayer::kMinFrameMs)
                std::abort();
            const auto* frame = player.currentFrame();
            for (const auto& layer : frame->layers)
                (void)character.images.at(layer.image);
        }
        // Every exit path ends: bounded by the frame count.
        player.requestExit();
        for (int step = 0; player.isPlaying(); ++step) {
            if (step > character.animations[a].frames.size() + 1)
                std::abort();
            player.tick(*player.nextDeadline());
        }
    }
    return 0;
}
