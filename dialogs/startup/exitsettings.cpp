#include "dialogs/startup/exitsettings.h"

#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"

namespace startup {

void writeExitSettings(settings::SettingsStore& store, const settings::Settings& values,
                       float leftTwips)
{
    namespace keys = settings::keys;
    // One write of the file for all of them.
    settings::SettingChanges changes = {
        {keys::speakAloud, settings::formatInt16(values.speakAloud)},
        {keys::leftTwips, settings::formatPosition(leftTwips)},
    };
    if (values.savePosition == 1 && values.sequentialOrder == 1)
        changes.append({keys::position, settings::formatInt16(values.position)});
    store.writeSettings(changes);
}

} // namespace startup
