#include "common/speech/runtimeparts.h"

#include "common/speech/debuglog.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <atomic>
#include <cstdio>

namespace speech {

const std::array<RuntimePart, kRuntimePartCount>& runtimeParts()
{
    static const std::array<RuntimePart, kRuntimePartCount> parts{{
        {SpeechPart::Synthesizer, "libespeak-ng.so.1", "libespeak-ng1",
         "the character cannot speak", true},
        {SpeechPart::Voices, "the espeak-ng voice data", "espeak-ng-data",
         "the character cannot speak", true},
        {SpeechPart::SoundServer, "libpulse.so.0", "libpulse0",
         "speech cannot reach a sound server and tries ALSA alone", false},
        {SpeechPart::SoundDevice, "libasound.so.2", "libasound2",
         "speech has no sound without a sound server", false},
    }};
    return parts;
}

const RuntimePart& runtimePart(SpeechPart part)
{
    return runtimeParts()[std::size_t(part)];
}

QString missingPartMessage(SpeechPart part)
{
    const RuntimePart& missing = runtimePart(part);
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return QStringLiteral(
               "%1: %2 cannot be opened, so %3. Install the package %4 "
               "(sudo apt install %4); the guide's \"When something does not work\" says more.")
        .arg(program.isEmpty() ? QStringLiteral("dialogs") : program,
             QString::fromLatin1(missing.file), QString::fromLatin1(missing.loss),
             QString::fromLatin1(missing.package));
}

void reportMissingPart(SpeechPart part)
{
    static std::atomic_bool reported[kRuntimePartCount];
    if (reported[std::size_t(part)].exchange(true))
        return;
    if (!runtimePart(part).speechNeedsIt) {
        debugLog(missingPartMessage(part));
        return;
    }
    std::fprintf(stderr, "%s\n", missingPartMessage(part).toLocal8Bit().constData());
}

} // namespace speech
