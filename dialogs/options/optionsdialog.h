#pragma once

#include "dialogs/options/optionssession.h"
#include "dialogs/options/spinrange.h"
#include "dialogs/playback/messageboxes.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QScrollBar;
class QTabBar;

namespace settings {
class SettingsStore;
struct Settings;
} // namespace settings

namespace skin {
class CaptionButton;
class SkinButton;
class SkinFrame;
} // namespace skin

namespace options {

class OptionsHost;
class SpinBar;

// What the dialog reaches besides the strip and the settings; each left
// empty is the real one.
struct OptionsServices {
    // The desktop's colour dialog; nothing when the learner cancels.
    std::function<std::optional<QColor>(QWidget* owner)> pickColour;
    // The start-with-the-desktop entry, brought in line at closing.
    OptionsSession::AutoStart autoStart;
    // Character file names ("Merlin.acs"): the learner's folder first, then
    // the shipped one, each name once.
    std::function<QStringList()> characterFiles;
    std::unique_ptr<playback::MessageBoxes> messages;
};

// The options dialog: a frameless window wearing the skin, with the topics on
// its first page and the order, pace, character, speed, colours, size and
// start-up behaviour on its second. It is built with the values in effect,
// pauses playback while it is open and hands everything on when it closes
// (by "O K", the caption close button or the window manager).
class OptionsDialog final : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTopics = 17; // "Entire" and the 16 named topics

    OptionsDialog(settings::SettingsStore& store, settings::Settings& values, OptionsHost& host,
                  OptionsServices services = {}, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    // The tab shown: 0 "Play Content", 1 "Settings...".
    int currentPage() const;

    skin::SkinFrame* frame() const { return m_frame; }
    skin::CaptionButton* closeButton() const { return m_closeButton; }
    skin::SkinButton* okButton() const { return m_okButton; }
    skin::SkinButton* wordBookButton() const { return m_wordBookButton; }
    skin::SkinButton* defaultButton() const { return m_defaultButton; }
    QTabBar* tabBar() const { return m_tabBar; }
    QWidget* page(int index) const { return m_pages.at(std::size_t(index)); }
    QRadioButton* topicOption(int topic) const { return m_topics.at(std::size_t(topic)); }
    QListWidget* characterList() const { return m_characterList; }
    QLabel* characterFileLabel() const { return m_characterFile; }
    QLabel* textColourSwatch() const { return m_textSwatch; }
    QLabel* backColourSwatch() const { return m_backSwatch; }

signals:
    // "New Dialogs Manager": the word book editor should open (the dialog
    // stays open).
    void wordBookEditorRequested();
    // The closing steps have run.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    int px(double twips) const;
    void place(QWidget* widget, int left, int top, int width, int height) const;
    void buildFrame();
    void buildTopicsPage();
    void buildSettingsPage();
    void buildSpeechGroup(QWidget* page);
    void buildLookGroup(QWidget* page);
    void buildOrderGroups(QWidget* page);
    void buildSystemGroup(QWidget* page);
    void buildDisplayGroup(QWidget* page);
    SpinBar* addSpinBar(QWidget* group, const char* name, SpinRange range, int left, int top);
    void placeInGap(QWidget* box, const QLabel* label);
    void open();

    void showPage(int index);
    void nextPage();
    void scrollTopics(int value);
    void fillCharacterList();
    void characterListClicked(QPoint position);
    void pickCharacter();
    void pickColour(bool text);
    void showSwatch(QLabel* swatch, double reference);
    void restoreDefaults();
    OptionsChoices choices() const;

    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    OptionsHost& m_host;
    OptionsServices m_services;
    OptionsSession m_session;
    bool m_closed = false;

    skin::SkinFrame* m_frame = nullptr;
    skin::CaptionButton* m_closeButton = nullptr;
    QFrame* m_tabStrip = nullptr;
    QTabBar* m_tabBar = nullptr;
    std::array<QWidget*, 2> m_pages{};

    // "Play Content": the topics on a panel that scrolls inside a viewport.
    QWidget* m_topicViewport = nullptr;
    QWidget* m_topicPanel = nullptr;
    QScrollBar* m_topicScrollBar = nullptr;
    std::array<QRadioButton*, kTopics> m_topics{};
    skin::SkinButton* m_wordBookButton = nullptr;
    skin::SkinButton* m_okButton = nullptr;

    // "Settings...".
    QListWidget* m_characterList = nullptr;
    QLabel* m_noCharacters = nullptr;
    QLabel* m_characterFile = nullptr;
    SpinBar* m_speed = nullptr;
    QLabel* m_textSwatch = nullptr;
    QLabel* m_backSwatch = nullptr;
    double m_textColour = 0;
    double m_backColour = 0;
    SpinBar* m_fontSize = nullptr;
    skin::SkinButton* m_defaultButton = nullptr;
    QRadioButton* m_russianFirst = nullptr;
    QRadioButton* m_englishFirst = nullptr;
    QRadioButton* m_randomOrder = nullptr;
    QRadioButton* m_sequenceOrder = nullptr;
    QCheckBox* m_autoHide = nullptr;
    QCheckBox* m_savePosition = nullptr;
    QCheckBox* m_autoStart = nullptr;
    QCheckBox* m_saveSettings = nullptr;
    QCheckBox* m_stressMarks = nullptr;
    SpinBar* m_showsPerPair = nullptr;
    SpinBar* m_russianSeconds = nullptr;
    SpinBar* m_englishSeconds = nullptr;
};

} // namespace options
