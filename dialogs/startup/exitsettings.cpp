#include "dialogs/startup/exitsettings.h"

#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"

namespace startup {

void writeExitSettings(settings::SettingsStore& store, const settings::Settings& values,
                       float leftTwips)
{
    store.WriteSetting(QStringLiteral("voice"), settings::formatInt16(values.voice));
    store.WriteSetting(QStringLiteral("left"), settings::formatPosition(leftTwips));
    if (values.psave == 1 && values.rd == 1)
        store.WriteSetting(QStringLiteral("guagen"), settings::formatInt16(values.guagen));
}

} // namespace startup
