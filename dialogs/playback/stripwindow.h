#pragma once

#include "common/speech/agentcharacter.h"
#include "common/speech/characterservice.h"
#include "dialogs/menu/menuhost.h"
#include "dialogs/menu/popupmenu.h"
#include "dialogs/menu/systemdesktop.h"
#include "dialogs/options/optionshost.h"
#include "dialogs/playback/messageboxes.h"
#include "dialogs/playback/playbackengine.h"
#include "dialogs/playback/playbackview.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/stripgeometry.h"
#include "dialogs/playback/wordbooksource.h"
#include "dialogs/startup/splashwindow.h"
#include "dialogs/startup/startupcountdown.h"
#include "dialogs/startup/startuphost.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace desktop {
class PlacementWatch;
} // namespace desktop

namespace settings {
class SettingsStore;
struct Settings;
} // namespace settings

namespace playback {

// What the playback draws on besides the window; each left empty is the real
// one (the process's generator, the word book beside the program, QMessageBox).
struct PlaybackServices {
    RandomSource* random = nullptr;
    std::unique_ptr<WordBookSource> wordBook;
    std::unique_ptr<MessageBoxes> messages;
};

// The main window: a thin always-on-top strip at the top edge of the screen
// in which the Russian and the English line of each pair slide in. Its timers
// and controls are wired to the playback engine and the strip geometry, which
// hold the behaviour.
class StripWindow final : public QWidget,
                          public startup::StartupHost,
                          public startup::CountdownHost,
                          public PlaybackView,
                          public menu::MenuHost,
                          public options::OptionsHost
{
    Q_OBJECT

public:
    StripWindow(settings::SettingsStore& store, settings::Settings& values,
                std::unique_ptr<speech::CharacterService> characters,
                PlaybackServices services = {}, QWidget* parent = nullptr);
    ~StripWindow() override;

    // Public procedures other windows call.
    void layOutForFontSize() override;
    void rememberWindowRect() override;
    void showCharacter() override;
    void hideCharacter() override;
    speech::AgentCharacter* currentCharacter() const override { return m_character; }

    // The menu's exit command: store what the exit stores and end at once.
    void exitByMenu() override;
    // To be called when the auto-hide setting changes: the watch timer rests
    // while auto-hide is off.
    void autoHideChanged() override;
    void bringToFront();

    // The menu hot spot: disabled while a dialog is open.
    void setMenuHotSpotEnabled(bool enabled) override { m_menuHotSpot->setEnabled(enabled); }
    // Unfolded height of the strip.
    int fullHeightTwips() const override { return m_geometry.fullHeightTwips(); }
    int fullHeightPixels() const { return m_geometry.fullHeightPixels(); }

    // How web pages and the help are opened (the desktop's default handler,
    // or the built-in help viewer where it has none).
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // Where the pointer is on the screen (QCursor::pos() unless replaced).
    using PointerSource = std::function<QPoint()>;
    void setPointerSource(PointerSource source) { m_pointer = std::move(source); }

    double twipsPerPixel() const override { return m_geometry.twipsPerPixel(); }
    double widthTwips() const override { return twips(width()); }
    QPoint originOnScreen() const override { return mapToGlobal(QPoint(0, 0)); }
    // The popup menu's holder, made when the pictures are attached.
    menu::PopupMenu* popupMenu() const { return m_popupMenu; }
    float leftTwips() const;

    PlaybackEngine& engine() { return *m_engine; }
    StripGeometry& strip() { return m_geometry; }
    // The colour the blinking strip paints now, if any.
    std::optional<QColor> blinkColour() const { return m_blink; }

    // The two sentence lines, the Play/Stop pictures and the menu hot spot.
    QLabel* russianLine() const { return m_russianLine; }
    QLabel* englishLine() const { return m_englishLine; }
    QLabel* playPicture() const { return m_playPicture; }
    QLabel* stopPicture() const { return m_stopPicture; }
    QLabel* menuHotSpot() const { return m_menuHotSpot; }

    // Playing is this timer running.
    QTimer& presentationTimer() { return m_presentationTimer; }
    // The start-up countdown and the auto-hide watch.
    QTimer& watchTimer() { return m_watchTimer; }

    startup::StartupCountdown& countdown() { return m_countdown; }
    startup::SplashWindow* splash() const { return m_splash; }

    // StartupHost
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;
    double lineTextColour() const override;
    double windowBackColour() const override;
    bool openUrl(const QUrl& url) override;
    void setLeftTwips(double left) override;
    bool loadCharacter(const QString& name) override;
    void setTopTwips(double top) override;
    void hideMainWindow() override;
    void showSplash(double leftTwips, double topTwips) override;
    void configureTimers() override;
    void resetCounters() override;
    void pickNextPair() override;
    void attachMenuPictures() override;
    void makeTopmost() override;
    void applyColours(double textColour, double backColour) override;
    void bindWordBookLabels() override;

    // OptionsHost
    void repaintStrip() override { repaint(); }
    void setLineTextColour(double reference) override;
    void setBackColour(double reference) override;
    void pausePresentation() override { m_presentationTimer.stop(); }
    void resumePresentation() override;
    qint16 countdownValue() const override { return m_countdown.value(); }
    // Shows the current lines again, with or without their stress marks.
    void stressMarksChanged() override;

    // CountdownHost and PlaybackView
    void setRussianLineCaption(const QString& caption) override;
    void closeSplashShowMain() override;
    bool menuHotSpotEnabled() const override;
    void startPresentation() override;

    // PlaybackView
    void setEnglishLineCaption(const QString& caption) override;
    void setRussianLineToolTip(const QString& text) override;
    void setEnglishLineToolTip(const QString& text) override;
    int englishLineTopTwips() const override { return m_englishLineTopTwips; }
    void setEnglishLineTopTwips(int top) override;
    void setBoundRussianCaption(const QString& caption) override;
    void setBoundEnglishCaption(const QString& caption) override;
    void setEnglishSlideEnabled(bool enabled) override;
    void setRussianSlideEnabled(bool enabled) override;
    void startWordBookStep(int intervalMs) override;

    // Tick handlers of the window's own timers; the others tick the engine.
    void onWatchTick();
    void onBlinkTick();
    // Click on either Play/Stop picture. Stopping also silences the
    // character; playing again starts the next pair.
    void onPlayStopClicked();

signals:
    // The pointer moved over the enabled menu hot spot: open the popup menu.
    void menuRequested();
    // A right-click on the strip: the same menu at the pointer.
    void menuRequestedAt(const QPoint& screenPos);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int pixels(double twips) const { return m_geometry.pixels(twips); }
    double twips(int pixels) const { return m_geometry.twips(pixels); }
    int screenWidthPixels() const;
    void placeEnglishLine();
    void renderPictures();
    // Where the window manager last confirmed the strip.
    void takeConfirmedGeometry();
    bool requestMenuAt(QMouseEvent* event);
    void setWindowHeight(int height);
    // A Russian text as the strip shows it: its stress marks only while the
    // setting asks for them.
    QString shownRussian(const QString& text) const;

    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    std::unique_ptr<speech::CharacterService> m_characterService;
    QPointer<speech::AgentCharacter> m_character;
    QString m_characterName;
    startup::StartupCountdown m_countdown;
    QPointer<startup::SplashWindow> m_splash;
    StripGeometry m_geometry;
    PlaybackServices m_services;
    std::unique_ptr<PlaybackEngine> m_engine;
    int m_englishLineTopTwips = PlaybackEngine::kEnglishLineStartTop;
    int m_lineHeight = 0;
    std::optional<QColor> m_blink;
    bool m_exiting = false;
    UrlOpener m_openUrl;
    PointerSource m_pointer;
    QPointer<menu::PopupMenu> m_popupMenu;
    // The Russian line's caption as given, marks included, so that turning
    // the marks back on can show them again.
    QString m_russianCaption = QStringLiteral(" ");
    menu::SystemDesktop m_desktop;
    // The confirmed frame and the screen's available area.
    desktop::PlacementWatch* m_placement = nullptr;

    // The Russian and the English line; both are drag handles too.
    QLabel* m_russianLine = nullptr;
    QLabel* m_englishLine = nullptr;
    // Drag handles without text: a thin line along the top edge, and a
    // hidden one.
    QLabel* m_topDragHandle = nullptr;
    QLabel* m_hiddenDragHandle = nullptr;
    // Hidden labels showing the bound word book record.
    QLabel* m_boundRussianLabel = nullptr;
    QLabel* m_boundEnglishLabel = nullptr;
    QLabel* m_menuHotSpot = nullptr;
    QLabel* m_playPicture = nullptr;
    QLabel* m_stopPicture = nullptr;
    // A rectangle sized with the window; it draws nothing (see paintEvent).
    QWidget* m_outline = nullptr;

    QTimer m_watchTimer;        // 60 ms: start-up countdown and auto-hide
    QTimer m_blinkTimer;        // 1500 ms: the folded strip blinks
    QTimer m_englishSlideTimer; // 50 ms: the English line rises
    QTimer m_russianSlideTimer; // 80 ms: the Russian line slides in
    QTimer m_presentationTimer; // 100 ms: the presentation cycle
    QTimer m_wordBookStepTimer; // the English seconds: steps the word book
};

} // namespace playback
