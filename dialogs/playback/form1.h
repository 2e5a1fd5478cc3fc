#pragma once

#include "common/speech/agentcharacter.h"
#include "common/speech/characterservice.h"
#include "dialogs/menu/form2.h"
#include "dialogs/menu/menuhost.h"
#include "dialogs/playback/messageboxes.h"
#include "dialogs/playback/playbackengine.h"
#include "dialogs/playback/playbackview.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/stripgeometry.h"
#include "dialogs/playback/wordbooksource.h"
#include "dialogs/startup/form4.h"
#include "dialogs/startup/startupcountdown.h"
#include "dialogs/startup/startuphost.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

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

// The main window: a thin always-on-top strip at the top edge of the screen.
// Its timers and controls are wired to the playback engine and the strip
// geometry, which hold the behaviour.
class Form1 final : public QWidget,
                    public startup::StartupHost,
                    public startup::CountdownHost,
                    public PlaybackView,
                    public menu::MenuHost
{
    Q_OBJECT

public:
    Form1(settings::SettingsStore& store, settings::Settings& values,
          std::unique_ptr<speech::CharacterService> agent, PlaybackServices services = {},
          QWidget* parent = nullptr);
    ~Form1() override;

    // Public procedures other windows call.
    void AdjustSize() override;
    void Get_Windows_Rect() override;
    void showagent();
    void hideagent();
    speech::AgentCharacter* mobjAgent() const override { return m_character; }

    // The menu's exit command: store what the exit stores and end at once.
    void exitByMenu() override;
    // To be called when "visi" changes: Timer1 rests while auto-hide is off.
    void autoHideChanged();
    void bringToFront();

    // The menu hot spot Image1: disabled while a dialog is open.
    void setMenuHotSpotEnabled(bool enabled) override { Image1->setEnabled(enabled); }
    // Unfolded height of the strip.
    int fullHeightTwips() const override { return m_geometry.fullHeightTwips(); }
    int fullHeightPixels() const { return m_geometry.fullHeightPixels(); }

    // How web pages and the help are opened (the desktop's default handler).
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    // Where the pointer is on the screen (QCursor::pos() unless replaced).
    using PointerSource = std::function<QPoint()>;
    void setPointerSource(PointerSource source) { m_pointer = std::move(source); }

    double twipsPerPixel() const override { return m_geometry.twipsPerPixel(); }
    double widthTwips() const override { return twips(width()); }
    QPoint originOnScreen() const override { return mapToGlobal(QPoint(0, 0)); }
    // The popup menu's holder, made when the pictures are attached.
    menu::Form2* menuHolder() const { return m_form2; }
    float leftTwips() const;

    PlaybackEngine& engine() { return *m_engine; }
    StripGeometry& strip() { return m_geometry; }
    // The colour the blinking strip paints now, if any.
    std::optional<QColor> blinkColour() const { return m_blink; }

    // Controls, by their design names.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Image1 = nullptr;
    std::array<QLabel*, 2> Image2{};
    QWidget* Shape1 = nullptr;
    QTimer Timer1;
    QTimer Timer2;
    QTimer Timer3;
    QTimer Timer4;
    QTimer Timer5;
    QTimer Timer6;

    startup::StartupCountdown& countdown() { return m_countdown; }
    startup::Form4* splash() const { return m_splash; }

    // StartupHost
    double screenWidthTwips() const override;
    double screenHeightTwips() const override;
    double label1TextColour() const override;
    double formBackColour() const override;
    bool openUrl(const QUrl& url) override;
    void setLeftTwips(double left) override;
    bool loadCharacter(const QString& name) override;
    void setTopTwips(double top) override;
    void hideMainWindow() override;
    void showSplash(double leftTwips, double topTwips) override;
    void configureTimers() override;
    void resetCounters() override;
    void NextSentence() override;
    void AttachMenuPictures() override;
    void makeTopmost() override;
    void applyColours(double textColour, double backColour) override;
    void bindDataLabels() override;

    // CountdownHost and PlaybackView
    void setLabel1Caption(const QString& caption) override;
    void closeSplashShowMain() override;
    bool image1Enabled() const override;
    void enableTimer5() override;

    // PlaybackView
    void setLabel2Caption(const QString& caption) override;
    void setLabel1ToolTip(const QString& text) override;
    void setLabel2ToolTip(const QString& text) override;
    int label2TopTwips() const override { return m_label2TopTwips; }
    void setLabel2TopTwips(int top) override;
    void setLabel5Caption(const QString& caption) override;
    void setLabel6Caption(const QString& caption) override;
    void setTimer3Enabled(bool enabled) override;
    void setTimer4Enabled(bool enabled) override;
    void enableTimer6(int intervalMs) override;
    speech::AgentCharacter* character() const override { return m_character; }

    // Tick handlers of the window's own timers.
    void Timer1_Timer();
    void Timer2_Timer();
    // Click on either Play/Stop picture.
    void Image2_Click();

signals:
    // The pointer moved over the enabled menu hot spot: open the popup menu.
    void menuRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int pixels(double twips) const { return m_geometry.pixels(twips); }
    double twips(int pixels) const { return m_geometry.twips(pixels); }
    int screenWidthPixels() const;
    void placeLabel2();
    void renderPictures();
    PixelRect measuredRect() const;
    void setWindowHeight(int height);

    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    std::unique_ptr<speech::CharacterService> m_agent;
    QPointer<speech::AgentCharacter> m_character;
    QString m_characterName;
    startup::StartupCountdown m_countdown;
    QPointer<startup::Form4> m_splash;
    StripGeometry m_geometry;
    PlaybackServices m_services;
    std::unique_ptr<PlaybackEngine> m_engine;
    int m_label2TopTwips = PlaybackEngine::kLabel2StartTop;
    int m_lineHeight = 0;
    std::optional<QColor> m_blink;
    bool m_exiting = false;
    UrlOpener m_openUrl;
    PointerSource m_pointer;
    QPointer<menu::Form2> m_form2;
};

} // namespace playback
