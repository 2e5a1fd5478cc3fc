#include "common/settings/autostart.h"
#include "common/settings/inifilebackend.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "common/speech/agent/agent.h"
#include "dialogs/options/optionsdialog.h"
#include "dialogs/options/optionsopener.h"
#include "dialogs/options/optionstexts.h"
#include "dialogs/startup/startupcountdown.h"
#include "skin/captionbutton.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"
#include "tests/dialogs/options/optionsfakes.h"
#include "tests/support/testenvironment.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTabBar>
#include <QtTest>

using namespace optionstest;
using options::OptionsDialog;
namespace keys = settings::keys;

namespace {

// The per-user file, counting the writes made to it.
class CountingBackend final : public settings::StoreBackend
{
public:
    explicit CountingBackend(int& writes) : m_writes(writes) {}
    QString location() const override { return m_file.location(); }
    settings::StoreOutcome refresh() override { return m_file.refresh(); }
    const settings::SectionValues& values() const override { return m_file.values(); }
    settings::StoreOutcome commit(const settings::SettingChanges& changes) override
    {
        ++m_writes;
        return m_file.commit(changes);
    }

private:
    int& m_writes;
    settings::IniFileBackend m_file{settings::SettingsStore::defaultFileName(), keys::section};
};

// A dialog over a recording strip, with the character folders, the colour
// dialog and the message boxes of the test.
struct Fixture {
    int writes = 0;
    settings::SettingsStore store{std::make_unique<CountingBackend>(writes)};
    settings::Settings values = firstRunValues();
    FakeStrip strip{values};
    QStringList messages;
    ColourAnswers colours;
    QWidget* colourOwner = nullptr;
    speech::agent::AgentOptions folders;
    std::unique_ptr<OptionsDialog> dialog;
    OptionsDialog* shown = nullptr; // the dialog the lookups below search

    Fixture()
    {
        const QString root = testsupport::TestEnvironment::instance().root();
        folders.userFolder = testsupport::TestEnvironment::instance().dataHome() +
                             QStringLiteral("/Velkor/msagent/chars");
        folders.shippedFolder = root + QStringLiteral("/shipped");
        QDir(folders.shippedFolder).removeRecursively();
        QDir().mkpath(folders.userFolder);
        QDir().mkpath(folders.shippedFolder);
    }

    void addCharacter(bool user, const QString& fileName)
    {
        QFile file((user ? folders.userFolder : folders.shippedFolder) + u'/' + fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    options::OptionsServices services()
    {
        options::OptionsServices s;
        s.pickColour = [this](QWidget* owner) {
            colourOwner = owner;
            return colours.next();
        };
        s.characterFiles = [this] { return speech::agent::Agent::characterFiles(folders); };
        s.messages = std::make_unique<FakeMessages>(messages);
        // The autostart entry is the real one, in the test's own config folder.
        return s;
    }

    OptionsDialog& open()
    {
        dialog = std::make_unique<OptionsDialog>(store, values, strip, services());
        dialog->show();
        shown = dialog.get();
        return *dialog;
    }

    template <typename T> T* get(const char* name) const
    {
        T* widget = shown->findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    QLineEdit* box(const char* name) const { return get<QLineEdit>(name); }
    QScrollBar* bar(const char* name) const
    {
        return get<QScrollBar>((QByteArray(name) + "Bar").constData());
    }

    void settingsPage()
    {
        QTest::mouseClick(shown->tabBar(), Qt::LeftButton, {},
                          shown->tabBar()->tabRect(1).center());
    }
    void playContentPage()
    {
        QTest::mouseClick(shown->tabBar(), Qt::LeftButton, {},
                          shown->tabBar()->tabRect(0).center());
    }
};

// A click on the round or square mark, where any option button takes it.
void choose(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

void type(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
}

int px(int twips)
{
    return int(std::lround(twips / 15.0));
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT

private slots:
    void init() { testsupport::TestEnvironment::instance().reset(); }

    void opensAsDesignedWithTheValuesInEffect()
    {
        Fixture f;
        f.values.showsPerPair = 50; // out of its bar's range
        f.values.speechSpeed = 300;
        f.values.textColour = 255;
        f.values.backColour = 11230520;
        f.store.writeSetting(keys::character, QStringLiteral("Sova"));
        OptionsDialog& d = f.open();

        QCOMPARE(d.size(), QSize(409, 321));
        QCOMPARE(d.frame()->geometry(), d.rect());
        QCOMPARE(d.frame()->caption(), options::texts::title);
        QCOMPARE(d.windowTitle(), options::texts::title);
        QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(d.closeButton()->glyph(), 0);
        QVERIFY(d.frame()->titleBar()->geometry().contains(d.closeButton()->geometry()));

        QCOMPARE(d.tabBar()->tabText(0), QStringLiteral("Play Content"));
        QCOMPARE(d.tabBar()->tabText(1), QStringLiteral("Settings..."));
        QCOMPARE(d.currentPage(), 0);
        QVERIFY(d.page(0)->isEnabled() && d.page(0)->x() == px(210));
        QVERIFY(!d.page(1)->isEnabled() && d.page(1)->x() == px(-20000));

        QCOMPARE(d.topicOption(0)->text(), QStringLiteral("Entire"));
        QCOMPARE(d.topicOption(0)->pos(), QPoint(px(120), px(100)));
        for (int k = 1; k < OptionsDialog::kTopics; ++k) {
            QRadioButton* topic = d.topicOption(k);
            QCOMPARE(topic->pos(), QPoint(px(k % 2 ? 100 : 2650), px(350 + (k - 1) / 2 * 250)));
            // The designed width at least, more where the face needs it for the name.
            QVERIFY(topic->width() >= px(2550));
            QVERIFY(topic->width() >= std::min(topic->sizeHint().width(), px(5680) - topic->x()));
            QVERIFY(topic->isVisibleTo(&d) && topic->isEnabled());
            QCOMPARE(topic->isChecked(), k == 14);
        }
        QCOMPARE(d.topicOption(5)->text(), QStringLiteral("Instructions, advice"));
        QCOMPARE(d.topicOption(14)->text(), QStringLiteral("Thanks"));
        QCOMPARE(d.topicOption(16)->text(), QStringLiteral("New Dialogs Book"));
        QVERIFY(!f.get<QScrollBar>("topicScrollBar")->isVisibleTo(&d));

        f.settingsPage();
        for (const char* on : {"sequenceOrderOption", "englishFirstOption", "savePositionBox",
                               "saveSettingsBox", "stressMarksBox"})
            QVERIFY2(f.get<QAbstractButton>(on)->isChecked(), on);
        QVERIFY(f.get<QCheckBox>("savePositionBox")->isEnabled());
        QVERIFY(!f.get<QCheckBox>("autoHideBox")->isChecked());
        QVERIFY(!f.get<QCheckBox>("autoStartBox")->isChecked());
        // Out-of-range values show clamped; memory changes only at closing.
        const QStringList shown = {f.box("showsPerPairBox")->text(), f.box("speedBox")->text(),
                                   f.box("fontSizeBox")->text(), f.box("russianSecondsBox")->text(),
                                   f.box("englishSecondsBox")->text()};
        QCOMPARE(shown, QStringList({"12", "200", "12", "5", "3"}));
        QCOMPARE(f.values.showsPerPair, 50);
        QCOMPARE(f.bar("speedBox")->pageStep(), 2);
        QCOMPARE(d.textColourSwatch()->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(d.backColourSwatch()->palette().color(QPalette::Window), QColor(56, 93, 171));
        QCOMPARE(d.characterFileLabel()->text(), QStringLiteral("Sova.acs"));

        // Laid out again for the font size, and playback paused.
        QCOMPARE(f.strip.take(), QStringList({"layout 12", "rect", "repaint"}));
        QVERIFY(!f.strip.hotSpotEnabled && !f.strip.playing);

        // Random order keeps no schedule; "ce" 1 is Russian first.
        f.values.sequentialOrder = 0;
        f.values.russianFirst = 1;
        f.values.topic = 0;
        f.open();
        f.settingsPage();
        QVERIFY(!f.get<QCheckBox>("savePositionBox")->isEnabled());
        QVERIFY(f.get<QRadioButton>("russianFirstOption")->isChecked());
        QVERIFY(f.dialog->topicOption(0)->isChecked());
    }

    void pagesTurnByTabAndCtrlTabOnly()
    {
        Fixture f;
        OptionsDialog& d = f.open();
        f.settingsPage();
        QCOMPARE(d.currentPage(), 1);
        QVERIFY(d.page(1)->isEnabled() && d.page(1)->x() == px(210));
        QVERIFY(!d.page(0)->isEnabled() && d.page(0)->x() == px(-20000));

        // Ctrl+Tab on the last tab returns to the first, wherever the focus is.
        QLineEdit* fontBox = f.box("fontSizeBox");
        fontBox->setFocus();
        QTest::keyClick(fontBox, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.currentPage(), 0);
        QTest::keyClick(d.topicOption(3), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.currentPage(), 1);
        QTest::keyClick(d.characterList(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.currentPage(), 0);
        QTest::keyClick(d.tabBar(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.currentPage(), 1);
        QTest::keyClick(d.frame(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(d.currentPage(), 0);

        // Other combinations leave the page alone.
        QCheckBox* check = f.get<QCheckBox>("autoHideBox");
        QTest::keyClick(&d, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(&d, Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(&d, Qt::Key_Tab, Qt::ControlModifier | Qt::AltModifier);
        QTest::keyClick(d.frame(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(d.topicOption(2), Qt::Key_Tab);
        QCOMPARE(d.currentPage(), 0);
        QVERIFY(!check->isChecked());
    }

    // Without "Save settings when exit" the running program takes every
    // choice and nothing is written, the autostart entry included.
    void closingWithoutSaveChangesMemoryOnly()
    {
        Fixture f;
        QDir().mkpath(QFileInfo(settings::autoStartEntryPath()).path());
        QFile entry(settings::autoStartEntryPath());
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("mine");
        entry.close();
        OptionsDialog& d = f.open();
        QSignalSpy closed(&d, &OptionsDialog::closed);
        f.settingsPage();

        choose(f.get<QCheckBox>("saveSettingsBox"));
        QCOMPARE(f.values.saveSettings, 0);
        choose(f.get<QCheckBox>("autoStartBox"));
        QCOMPARE(f.values.autoStart, 1);
        choose(f.get<QCheckBox>("autoHideBox"));
        QCOMPARE(f.values.autoHide, 1);
        choose(f.get<QCheckBox>("stressMarksBox"));
        QCOMPARE(f.values.showStressMarks, 0);
        QCOMPARE(f.strip.take().mid(3), QStringList({"autoHide 1", "stress 0"}));

        // "at random" disables "Save schedule when exit" at once; "Sequence" enables it.
        QCheckBox* schedule = f.get<QCheckBox>("savePositionBox");
        choose(f.get<QRadioButton>("randomOrderOption"));
        QVERIFY(!schedule->isEnabled());
        choose(f.get<QRadioButton>("sequenceOrderOption"));
        QVERIFY(schedule->isEnabled());
        choose(f.get<QRadioButton>("randomOrderOption"));
        choose(f.get<QRadioButton>("russianFirstOption"));

        // The up arrow increases; typing into the timing boxes does nothing.
        clickArrow(f.bar("showsPerPairBox"), true);
        clickArrow(f.bar("showsPerPairBox"), true);
        clickArrow(f.bar("russianSecondsBox"), false); // already at its least
        clickArrow(f.bar("englishSecondsBox"), true);
        clickArrow(f.bar("speedBox"), false);
        type(f.box("showsPerPairBox"), QStringLiteral("9"));
        type(f.box("englishSecondsBox"), QStringLiteral("15"));
        QCOMPARE(f.box("showsPerPairBox")->text(), QStringLiteral("3"));
        QCOMPARE(f.values.showsPerPair, 1);

        f.playContentPage();
        choose(d.topicOption(3));
        click(d.okButton());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(f.values.topic, 3);
        QCOMPARE(f.values.sequentialOrder, 0);
        QCOMPARE(f.values.russianFirst, 1);
        QCOMPARE(f.values.showsPerPair, 3);
        QCOMPARE(f.values.russianSeconds, 5);
        QCOMPARE(f.values.englishSeconds, 4);
        QCOMPARE(f.values.speechSpeed, 89);
        QVERIFY(f.strip.hotSpotEnabled && f.strip.playing);

        QCOMPARE(f.store.storedKeys(), QStringList());
        QVERIFY(entry.open(QIODevice::ReadOnly));
        QCOMPARE(entry.readAll(), QByteArray("mine"));
        d.close();
        QCOMPARE(closed.size(), 1);
    }

    void closingWithSaveWritesEverythingAndTheAutostartEntry()
    {
        Fixture f;
        f.values.unusedRed = 7;
        f.open();
        f.settingsPage();
        choose(f.get<QCheckBox>("autoStartBox"));
        choose(f.get<QCheckBox>("stressMarksBox"));
        clickArrow(f.bar("fontSizeBox"), true);
        QCOMPARE(f.writes, 0);
        click(f.dialog->closeButton());
        QCOMPARE(f.writes, 1);
        QVERIFY(QFileInfo::exists(settings::autoStartEntryPath()));

        const std::pair<const QString&, const char*> written[] = {
            {keys::russianFirst, "0"},
            {keys::showsPerPair, "1"},
            {keys::englishSeconds, "3"},
            {keys::russianSeconds, "5"},
            {keys::sequentialOrder, "1"},
            {keys::savePosition, "1"},
            {keys::saveSettings, "1"},
            {keys::autoHide, "0"},
            {keys::topic, "14"},
            {keys::unusedRed, "7"},
            {keys::autoStart, "1"},
            {keys::firstRunDone, "1"},
            {keys::textColour, "16777215"},
            {keys::backColour, "-2147483647"},
            {keys::speechSpeed, "90"},
            {keys::fontSize, "13"},
            {keys::showStressMarks, "0"},
        };
        for (const auto& [key, text] : written)
            QCOMPARE(f.store.readSetting(key), QString::fromLatin1(text));
        QCOMPARE(f.store.storedKeys().size(), int(std::size(written)));
        // The same file, byte for byte, as one write per value makes.
        QFile file(f.store.fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray batched = file.readAll();
        file.close();
        QVERIFY(file.remove());
        {
            settings::SettingsStore perValue;
            for (const auto& [key, text] : written)
                perValue.writeSetting(key, QString::fromLatin1(text));
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), batched);
        file.close();

        f.open();
        f.settingsPage();
        choose(f.get<QCheckBox>("autoStartBox"));
        f.playContentPage();
        click(f.dialog->okButton());
        QCOMPARE(f.writes, 2);
        QVERIFY(!QFileInfo::exists(settings::autoStartEntryPath()));
        QCOMPARE(f.store.readSetting(keys::autoStart), QStringLiteral("0"));
    }

    void entireRestartsAKeptSequence_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("keepSchedule");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("position");
        QTest::newRow("topic to Entire, kept") << 5 << true << 0 << 10101;
        QTest::newRow("topic to Entire, not kept") << 5 << false << 0 << 10520;
        QTest::newRow("Entire to topic") << 0 << true << 7 << 10520;
        QTest::newRow("topic to topic") << 5 << true << 16 << 10520;
    }

    void entireRestartsAKeptSequence()
    {
        QFETCH(int, from);
        QFETCH(bool, keepSchedule);
        QFETCH(int, to);
        QFETCH(int, position);
        Fixture f;
        f.values.topic = qint16(from);
        f.values.position = 10520;
        f.values.savePosition = keepSchedule ? 1 : 0;
        f.open();
        choose(f.dialog->topicOption(to));
        click(f.dialog->okButton());
        QCOMPARE(int(f.values.topic), to);
        QCOMPARE(int(f.values.position), position);
    }

    void charactersListedOnceAndPickedAtOnce()
    {
        Fixture f;
        for (const char* name : {"Own.acs", "merlin.acs", "Owl.ACS", "notes.txt"})
            f.addCharacter(true, QString::fromLatin1(name));
        for (const char* name : {"Merlin.acs", "Sova.acs", "OWN.acs", "Rivet.acs"})
            f.addCharacter(false, QString::fromLatin1(name));
        f.values.saveSettings = 0;
        OptionsDialog& d = f.open();
        QListWidget* list = d.characterList();
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        QCOMPARE(shown, QStringList({"merlin.acs", "Owl.ACS", "Own.acs", "Rivet.acs", "Sova.acs"}));
        QVERIFY(!f.get<QLabel>("noCharactersLabel")->isVisible());
        QCOMPARE(d.characterFileLabel()->text(), QStringLiteral("Merlin.acs"));

        f.settingsPage();
        f.strip.take();
        const QRect owl = list->visualItemRect(list->item(1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, owl.center());
        QCOMPARE(f.store.readSetting(keys::character), QStringLiteral("Owl"));
        QCOMPARE(f.strip.take(), QStringList({"hideCharacter", "showCharacter"}));
        QCOMPARE(d.characterFileLabel()->text(), QStringLiteral("Owl.acs"));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_End);
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(f.store.readSetting(keys::character), QStringLiteral("Sova"));
        QVERIFY(f.messages.isEmpty());

        // The pick stays stored although nothing is saved at closing.
        d.close();
        QCOMPARE(f.store.readSetting(keys::character), QStringLiteral("Sova"));
        QCOMPARE(f.store.storedKeys(), QStringList({keys::character}));
    }

    void noCharactersSaysSoAndAsksForOne()
    {
        Fixture f;
        OptionsDialog& d = f.open();
        f.settingsPage();
        QCOMPARE(d.characterList()->count(), 0);
        QLabel* none = f.get<QLabel>("noCharactersLabel");
        QVERIFY(none->isVisible());
        QCOMPARE(none->text(), options::texts::noCharacters);
        f.strip.take();
        QTest::mouseClick(d.characterList()->viewport(), Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(f.messages, QStringList({"Please select an Agent"}));
        QVERIFY(f.strip.take().isEmpty());
        QVERIFY(f.store.readSetting(keys::character).isNull());
        f.playContentPage();
        click(d.okButton());
        QVERIFY(!d.isVisible());
        QCOMPARE(f.store.readSetting(keys::saveSettings), QStringLiteral("1"));
    }

    void secondOpeningMovesTheOpenDialogBack()
    {
        Fixture f;
        options::OptionsOpener opener(f.store, f.values, f.strip, [&f] { return f.services(); });
        QSignalSpy editor(&opener, &options::OptionsOpener::wordBookEditorRequested);
        const QPoint place(373, 200);
        opener.open(place);
        OptionsDialog* first = opener.dialog();
        QVERIFY(first && first->isVisible());
        f.shown = first;
        f.settingsPage();
        clickArrow(f.bar("speedBox"), true);
        first->move(20, 30);
        opener.open(place);
        QCOMPARE(opener.dialog(), first);
        QCOMPARE(first->pos(), place);
        QCOMPARE(f.box("speedBox")->text(), QStringLiteral("91"));

        f.playContentPage();
        click(first->wordBookButton());
        QCOMPARE(editor.size(), 1);
        QVERIFY(first->isVisible());

        click(first->okButton());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!opener.dialog());
        QCOMPARE(f.values.speechSpeed, 91);
        opener.open(place);
        QVERIFY(opener.dialog());
        QCOMPARE(opener.dialog()->findChild<QLineEdit*>("speedBox")->text(), QStringLiteral("91"));
    }

    void pickedColoursShowAndDefaultRestoresTheLook()
    {
        Fixture f;
        f.colours.answers = {QColor(255, 0, 0), std::nullopt, QColor(0, 255, 0)};
        OptionsDialog& d = f.open();
        f.settingsPage();
        f.strip.take();
        click(d.textColourSwatch());
        QCOMPARE(f.colourOwner, &d);
        QCOMPARE(d.textColourSwatch()->palette().color(QPalette::Window), QColor(255, 0, 0));
        QCOMPARE(f.strip.take(), QStringList({"caption", "text 255", "repaint"}));
        QCOMPARE(f.strip.russianCaption, startup::StartupCountdown::kGreeting);
        click(d.backColourSwatch()); // cancelled
        QVERIFY(f.strip.take().isEmpty());
        click(d.backColourSwatch());
        QCOMPARE(f.strip.take(), QStringList({"back 65280", "repaint"}));
        QCOMPARE(f.values.textColour, 16777215.0);

        // Speed and timings stay; colours and size go back to the design.
        type(f.box("fontSizeBox"), QStringLiteral("20"));
        clickArrow(f.bar("speedBox"), true);
        f.strip.take();
        click(d.defaultButton());
        QCOMPARE(f.strip.take(), QStringList({"layout 12", "rect", "repaint", "text 16777215",
                                              "back 11230520", "layout 12", "rect", "repaint"}));
        QCOMPARE(d.textColourSwatch()->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(d.backColourSwatch()->palette().color(QPalette::Window), QColor(56, 93, 171));
        QCOMPARE(f.box("fontSizeBox")->text(), QStringLiteral("12"));
        QCOMPARE(f.box("speedBox")->text(), QStringLiteral("91"));

        click(d.textColourSwatch());
        d.close();
        QCOMPARE(f.colours.asked, 4);
        QCOMPARE(f.values.textColour, 16777215.0); // the fourth answer was Cancel
        f.colours.answers = {QColor(0, 0, 255)};
        f.open();
        f.settingsPage();
        click(f.dialog->textColourSwatch());
        f.dialog->close();
        f.open();
        QCOMPARE(f.dialog->textColourSwatch()->palette().color(QPalette::Window),
                 QColor(0, 0, 255));
        QCOMPARE(f.store.readSetting(keys::textColour), QStringLiteral("16711680"));
        QCOMPARE(f.store.readSetting(keys::backColour), QStringLiteral("11230520"));
    }

    void badTextNeverReachesTheStripOrTheStore_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("fontSize");
        QTest::addColumn<int>("speed");
        QTest::newRow("empty") << "" << 12 << 90;
        QTest::newRow("word") << "abc" << 12 << 90;
        QTest::newRow("negative") << "-5" << 8 << 40;
        QTest::newRow("huge") << "99999" << 55 << 200;
        QTest::newRow("exponent") << "1e3" << 8 << 40; // "1" was a number on the way
    }

    void badTextNeverReachesTheStripOrTheStore()
    {
        QFETCH(QString, text);
        QFETCH(int, fontSize);
        QFETCH(int, speed);
        Fixture f;
        f.open();
        f.settingsPage();
        for (const char* name : {"fontSizeBox", "speedBox"}) {
            type(f.box(name), text);
            QTest::keyClick(f.box(name), Qt::Key_Return);
        }
        QCOMPARE(f.box("fontSizeBox")->text(), QString::number(fontSize));
        QCOMPARE(f.box("speedBox")->text(), QString::number(speed));
        QCOMPARE(int(f.values.fontSize), fontSize);
        for (int size : f.strip.layoutSizes)
            QVERIFY2(size >= 8 && size <= 55, qPrintable(QString::number(size)));
        QVERIFY(f.store.storedKeys().isEmpty());
        f.dialog->close();
        QCOMPARE(f.store.readSetting(keys::fontSize), QString::number(fontSize));
        QCOMPARE(f.store.readSetting(keys::speechSpeed), QString::number(speed));
    }

    // Random arrow clicks, page keys and typing on every spin bar: what the
    // strip is laid out with and what is stored always lies in the range, and
    // equals what a plain model of the bars expects.
    void randomSpinActionsStayInRange()
    {
        struct Spin {
            const char* name;
            options::SpinRange range;
            bool typed;
            const QString& key;
            int expected;
        };
        Fixture f;
        Spin spins[] = {{"fontSizeBox", {8, 55}, true, keys::fontSize, 12},
                        {"speedBox", {40, 200}, true, keys::speechSpeed, 90},
                        {"showsPerPairBox", {1, 12}, false, keys::showsPerPair, 1},
                        {"russianSecondsBox", {5, 15}, false, keys::russianSeconds, 5},
                        {"englishSecondsBox", {3, 15}, false, keys::englishSeconds, 3}};
        f.open();
        f.settingsPage();
        QRandomGenerator random(7);
        const QStringList texts = {"", "abc", "-5", "99999", "1e3", "12", "0", "54", "+41", " 9"};
        for (int step = 0; step < 400; ++step) {
            Spin& s = spins[random.bounded(int(std::size(spins)))];
            const options::SpinRange& r = s.range;
            switch (random.bounded(4)) {
            case 0:
                clickArrow(f.bar(s.name), true);
                s.expected = r.clamp(s.expected + 1);
                break;
            case 1:
                clickArrow(f.bar(s.name), false);
                s.expected = r.clamp(s.expected - 1);
                break;
            case 2: {
                // Page Up goes towards the top, the largest value, by the large step.
                const bool up = random.bounded(2) == 0;
                f.bar(s.name)->setFocus();
                QTest::keyClick(f.bar(s.name), up ? Qt::Key_PageUp : Qt::Key_PageDown);
                const int step = f.bar(s.name)->pageStep();
                s.expected = r.clamp(s.expected + (up ? step : -step));
                break;
            }
            default: {
                const QString text = texts[random.bounded(int(texts.size()))];
                type(f.box(s.name), text);
                QTest::keyClick(f.box(s.name), Qt::Key_Return);
                // Typed a key at a time: the last number on the way is taken.
                for (qsizetype n = 1; s.typed && n <= text.size(); ++n)
                    s.expected = r.take(text.left(n)).value_or(s.expected);
                break;
            }
            }
            QCOMPARE(f.box(s.name)->text(), QString::number(s.expected));
        }
        for (int size : f.strip.layoutSizes)
            QVERIFY(size >= 8 && size <= 55);
        f.dialog->close();
        for (const Spin& s : spins)
            QCOMPARE(f.store.readSetting(s.key), QString::number(s.expected));
    }

    void playbackResumesOnlyOnceStartUpIsOver_data()
    {
        QTest::addColumn<int>("countdown");
        QTest::addColumn<bool>("playing");
        QTest::newRow("start-up running") << 3 << false;
        QTest::newRow("start-up over") << 2 << true;
    }

    void playbackResumesOnlyOnceStartUpIsOver()
    {
        QFETCH(int, countdown);
        QFETCH(bool, playing);
        Fixture f;
        f.strip.countdown = qint16(countdown);
        f.open();
        QVERIFY(!f.strip.playing && !f.strip.hotSpotEnabled);
        f.dialog->close();
        QCOMPARE(f.strip.playing, playing);
        QVERIFY(f.strip.hotSpotEnabled);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_optionsdialog.moc"
