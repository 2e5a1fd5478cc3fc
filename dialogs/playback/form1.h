#pragma once

#include "common/speech/agentcharacter.h"
#include "common/speech/characterservice.h"
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

namespace settings
{
class SettingsStore;
struct Settings;
} // namespace settings

namespace playback
{

// The main window: a thin always-on-top strip at the top edge of the screen.
class Form1 final : public QWidget, public startup::StartupHost, public startup::CountdownHost
{
    Q_OBJECT

public:
    Form1(settings::SettingsStore& store, settings::Settings& values,
          std::unique_ptr<speech::CharacterService> agent, QWidget* parent = nullptr);
    ~Form1() override;

    // Public procedures other windows call.
    void AdjustSize() override;
    void Get_Windows_Rect() override;
    void showagent();
    void hideagent();
    speech::AgentCharacter* mobjAgent() const { return m_character; }

    // The menu's exit command: store what the exit stores and end at once.
    void exitByMenu();
    void bringToFront();

    // How web pages and the help are opened (the desktop's default handler).
    using UrlOpener = std::function<bool(const QUrl&)>;
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    double twipsPerPixel() const;
    float leftTwips() const;

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

    // CountdownHost
    void setLabel1Caption(const QString& caption) override;
    void closeSplashShowMain() override;
    bool image1Enabled() const override;
    void enableTimer5() override;

    void Timer1_Timer();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    int pixels(double twips) const;
    double twips(int pixels) const;

    settings::SettingsStore& m_store;
    settings::Settings& m_values;
    std::unique_ptr<speech::CharacterService> m_agent;
    QPointer<speech::AgentCharacter> m_character;
    QString m_characterName;
    startup::StartupCountdown m_countdown;
    QPointer<startup::Form4> m_splash;
    std::array<int, 3> m_palette{10, 12, 10};
    int m_fullHeightTwips = 360;
    bool m_exiting = false;
    UrlOpener m_openUrl;
};

} // namespace playback
