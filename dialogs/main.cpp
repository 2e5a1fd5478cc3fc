#include "assets/icon/programicon.h"
#include "common/desktop/singleinstance.h"
#include "common/settings/problemmessagebox.h"
#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "common/speech/agent/agent.h"
#include "dialogs/menu/popupmenu.h"
#include "dialogs/options/optionsopener.h"
#include "dialogs/playback/stripwindow.h"
#include "dialogs/startup/addresses.h"
#include "dialogs/startup/startupsequence.h"
#include "dialogs/wordbook/wordbookeditorlauncher.h"

#include <QApplication>

#include <cstdlib>
#include <memory>

int main(int argc, char** argv)
{
    // Wayland clients cannot place themselves or stay on top: use XWayland
    // unless the user chose a platform.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Morvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Morvane"));
    // The desktop entry the windows belong to, and the icon they show.
    QGuiApplication::setDesktopFileName(QStringLiteral("velkor-dialogs"));
    icon::installProgramIcon();
    QApplication::setQuitOnLastWindowClosed(false);

    desktop::SingleInstance instance(QStringLiteral("velkor-dialogs"));
    if (!instance.tryBecomePrimary()) {
        instance.activateRunning();
        return 0;
    }

    settings::SettingsStore& store = settings::SettingsStore::shared();
    settings::Settings& values = settings::globals();
    playback::StripWindow strip(store, values, std::make_unique<speech::agent::Agent>());
    // A settings file that cannot be used or saved is told once, without
    // holding the start up.
    store.setProblemReporter(std::make_unique<settings::ProblemMessageBox>(&strip));
    QObject::connect(&instance, &desktop::SingleInstance::activationRequested, &strip,
                     &playback::StripWindow::bringToFront);

    startup::StartupSequence load(store, values, strip);
    load.setSetupPage(startup::setupPage(QCoreApplication::applicationDirPath()));
    load.run();

    // "&Options..." builds the options dialog, or moves the open one back.
    // The menu's "&New Dialogs Manager" and the dialog's button share one
    // editor window; a second opening brings it forward.
    options::OptionsOpener optionsOpener(store, values, strip);
    wordbook::WordBookEditorLauncher wordBookEditor;
    if (menu::PopupMenu* menu = strip.popupMenu()) {
        QObject::connect(
            menu, &menu::PopupMenu::optionsRequested, &optionsOpener,
            [&optionsOpener, menu] { optionsOpener.open(menu->optionsDialogPosition()); });
        QObject::connect(menu, &menu::PopupMenu::wordBookRequested, &wordBookEditor,
                         &wordbook::WordBookEditorLauncher::open);
    }
    QObject::connect(&optionsOpener, &options::OptionsOpener::wordBookEditorRequested,
                     &wordBookEditor, &wordbook::WordBookEditorLauncher::open);
    return app.exec();
}
