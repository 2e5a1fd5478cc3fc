#include "assets/icon/programicon.h"
#include "common/desktop/singleinstance.h"
#include "common/settings/problemmessagebox.h"
#include "common/settings/settingsstore.h"
#include "common/speech/agent/agent.h"
#include "reader/clipboardwatcher.h"
#include "reader/localclock.h"
#include "reader/readercontroller.h"
#include "reader/readertexts.h"
#include "reader/readerwindow.h"
#include "reader/seededrandom.h"
#include "reader/silentnarrator.h"
#include "reader/speechlog.h"
#include "reader/systemclipboard.h"

#include <QApplication>

#include <memory>

int main(int argc, char** argv)
{
    // Wayland clients cannot place the character or keep it on top: use
    // XWayland unless the user chose a platform.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") &&
        !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    // The window class and the desktop entry the desktop matches the
    // window with, whatever path started it; the caption stays the title.
    QApplication::setApplicationName(QStringLiteral("Reader"));
    QApplication::setApplicationDisplayName(reader::texts::windowCaption);
    QGuiApplication::setDesktopFileName(QStringLiteral("velkor-dialogs-reader"));
    icon::installProgramIcon();
    // The goodbye is still spoken after the window has gone.
    QApplication::setQuitOnLastWindowClosed(false);

    auto instance = std::make_unique<desktop::SingleInstance>(reader::texts::instanceKey);
    if (!instance->tryBecomePrimary()) {
        instance->activateRunning();
        return 0;
    }

    speech::agent::Agent agent;
    speech::agent::SteadyClock steadyClock;
    reader::SystemClipboard clipboard;
    reader::ClipboardWatcher watcher(clipboard, steadyClock);
    reader::SystemLocalClock localClock;
    reader::SeededRandom random;
    const std::unique_ptr<reader::SpeechLog> log = reader::SpeechLog::fromEnvironment();

    reader::ReaderServices services;
    services.characters = &agent;
    services.characterNames = [&agent] { return agent.availableCharacters(); };
    services.silentNarrator = [] { return std::make_unique<reader::SilentNarrator>(); };
    services.store = &settings::SettingsStore::shared();
    services.clock = &localClock;
    services.random = &random;
    services.clipboard = &watcher;
    services.log = log.get();

    reader::ReaderWindow window;
    // A settings file that cannot be used or saved is told once, without
    // holding the reader up.
    services.store->setProblemReporter(std::make_unique<settings::ProblemMessageBox>(&window));
    reader::ReaderController controller(window, services);
    window.connectTo(controller);
    QObject::connect(instance.get(), &desktop::SingleInstance::activationRequested, &window,
                     &reader::ReaderWindow::bringToFront);
    // While it says goodbye the reader is no longer the running one: a new
    // start opens a new window rather than waking this one.
    QObject::connect(&window, &reader::ReaderWindow::closing, &app,
                     [&instance] { instance.reset(); });
    QObject::connect(&controller, &reader::ReaderController::closed, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);

    window.showCentred();
    controller.open();
    return app.exec();
}
