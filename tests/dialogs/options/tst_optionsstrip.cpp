#include "common/settings/settingsstore.h"
#include "common/speech/agent/agent.h"
#include "dialogs/menu/popupmenu.h"
#include "dialogs/menu/popupplacement.h"
#include "dialogs/options/optionsopener.h"
#include "dialogs/playback/stripwindow.h"
#include "tests/dialogs/options/optionsfakes.h"
#include "tests/dialogs/playback/playbackfakes.h"
#include "tests/support/testenvironment.h"

#include <QAction>
#include <QCheckBox>
#include <QListWidget>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

namespace {

// Loads whatever it is asked for and writes the requests down.
class RecordingCharacters final : public speech::CharacterService
{
public:
    bool Load(const QString& name, const QString& fileName) override
    {
        calls << QStringLiteral("Load %1 %2").arg(name, fileName);
        return true;
    }
    speech::AgentCharacter* Character(const QString&) override { return &character; }
    void Unload(const QString& name) override { calls << QStringLiteral("Unload ") + name; }

    QStringList calls;
    testsupport::FakeCharacter character;
};

void click(QWidget* widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

} // namespace

class TestOptionsStrip : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    // The dialog opened from the menu acts on the real strip: it pauses and
    // resumes playback, re-lays the strip for a new size at once, colours its
    // lines, switches the character and wakes the auto-hide watch.
    void actsOnTheRunningStrip()
    {
        settings::SettingsStore store;
        settings::Settings values = optionstest::firstRunValues();
        values.position = 11000;
        auto characters = std::make_unique<RecordingCharacters>();
        RecordingCharacters& service = *characters;
        playbacktest::FixedRandom random;
        playback::PlaybackServices services;
        services.random = &random;
        services.wordBook = std::make_unique<playbacktest::FakeBook>();
        services.messages = std::make_unique<playbacktest::FakeMessages>();
        playback::StripWindow strip(store, values, std::move(characters), std::move(services));
        strip.loadCharacter(QStringLiteral("Merlin"));
        strip.layOutForFontSize();
        strip.rememberWindowRect();
        strip.attachMenuPictures();
        strip.show();
        while (strip.countdown().value() > 0)
            strip.countdown().decrease();
        strip.presentationTimer().start();

        const QString shipped = testsupport::TestEnvironment::instance().root() + "/shipped";
        QDir().mkpath(shipped);
        for (const char* name : {"Merlin.acs", "Sova.acs"}) {
            QFile file(shipped + u'/' + QLatin1String(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        options::OptionsOpener opener(store, values, strip, [&] {
            options::OptionsServices s;
            s.pickColour = [](QWidget*) { return std::optional<QColor>(QColor(255, 0, 0)); };
            s.characterFiles = [shipped] {
                speech::agent::AgentOptions folders;
                folders.shippedFolder = shipped;
                return speech::agent::Agent::characterFiles(folders);
            };
            return s;
        });
        menu::PopupMenu* menu = strip.popupMenu();
        QObject::connect(menu, &menu::PopupMenu::optionsRequested, &opener,
                         [&] { opener.open(menu->optionsDialogPosition()); });

        menu->optionsItem()->trigger();
        options::OptionsDialog* dialog = opener.dialog();
        QVERIFY(dialog);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QPoint place(int(std::lround(screen.width() / 2.0 - 4000 / 15.0)),
                           int(std::lround(screen.height() / 2.0 - 3000 / 15.0)));
        QCOMPARE(dialog->pos(), screen.topLeft() + place);
        QVERIFY(!strip.menuHotSpotEnabled() && !strip.presentationTimer().isActive());
        QTest::mouseClick(dialog->tabBar(), Qt::LeftButton, {},
                          dialog->tabBar()->tabRect(1).center());

        QCOMPARE(strip.height(), 24);
        for (int i = 0; i < 3; ++i)
            optionstest::clickArrow(dialog->findChild<QScrollBar*>("fontSizeBoxBar"), true);
        QCOMPARE(strip.russianLine()->font().pointSize(), 15);
        QCOMPARE(strip.height(), 30); // 30 twips a point, at 15 twips a pixel

        click(dialog->textColourSwatch(), {5, 5});
        QCOMPARE(strip.russianLine()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QCOMPARE(strip.russianLine()->text(), startup::StartupCountdown::kGreeting);

        QListWidget* list = dialog->characterList();
        service.calls.clear();
        click(list->viewport(), list->visualItemRect(list->item(1)).center());
        QCOMPARE(service.calls, QStringList({"Unload Merlin", "Load Sova Sova.acs"}));
        QVERIFY(strip.currentCharacter());

        QVERIFY(!strip.watchTimer().isActive());
        QTest::mouseClick(dialog->findChild<QCheckBox*>("autoHideBox"), Qt::LeftButton, {}, {6, 6});
        QVERIFY(strip.watchTimer().isActive());

        dialog->close();
        QVERIFY(strip.menuHotSpotEnabled() && strip.presentationTimer().isActive());

        // Stopped by the learner, playback stays stopped across the dialog.
        strip.onPlayStopClicked();
        QVERIFY(!strip.presentationTimer().isActive());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        menu->optionsItem()->trigger();
        opener.dialog()->close();
        QVERIFY(!strip.presentationTimer().isActive() && strip.menuHotSpotEnabled());
    }
};

QTEST_MAIN(TestOptionsStrip)
#include "tst_optionsstrip.moc"
