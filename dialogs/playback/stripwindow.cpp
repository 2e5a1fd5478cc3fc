#include "dialogs/playback/stripwindow.h"

#include "common/desktop/accessorywindow.h"
#include "common/desktop/placementwatch.h"
#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "common/speech/characterservice.h"
#include "common/speech/speechtext.h"
#include "dialogs/menu/helpviewer.h"
#include "dialogs/playback/colourreference.h"
#include "dialogs/playback/qtmessageboxes.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/slidelabel.h"
#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/playback/strippictures.h"
#include "dialogs/sentences/sentencetable.h"
#include "dialogs/startup/exitsettings.h"
#include "dialogs/startup/splashwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace playback {

namespace {

constexpr int kRussianLanguage = 1049;
const QString kLineFont = QStringLiteral("DejaVu Sans");
// Designed colours: white text on the desktop's own colour.
constexpr double kDesignedTextColour = 16777215;
constexpr double kDesignedBackColour = -2147483647;
constexpr int kDesignedWidthTwips = 7110;
constexpr int kLineTopTwips = 60;

QLabel* makeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

double screenTwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

} // namespace

StripWindow::StripWindow(settings::SettingsStore& store, settings::Settings& values,
                         std::unique_ptr<speech::CharacterService> characters,
                         PlaybackServices services, QWidget* parent)
    : QWidget(parent, desktop::AccessoryWindow::flags({})), m_store(store), m_values(values),
      m_characterService(std::move(characters)), m_countdown(*this),
      m_geometry(screenTwipsPerPixel()), m_services(std::move(services))
{
    setObjectName(QStringLiteral("stripWindow"));
    setWindowTitle(QStringLiteral("Morvane"));
    setAutoFillBackground(true);
    // Beside the learner's work: no focus, no taskbar button, every desktop.
    desktop::AccessoryWindow::apply(*this);
    // Docked below a top panel, and again whenever the panels change.
    m_placement = new desktop::PlacementWatch(*this);
    connect(m_placement, &desktop::PlacementWatch::availableAreaChanged, this, [this] {
        if (isVisible() && !m_geometry.dragging())
            rememberWindowRect();
    });

    if (!m_services.random)
        m_services.random = &processRandom();
    if (!m_services.wordBook)
        m_services.wordBook =
            std::make_unique<SqliteWordBook>(QCoreApplication::applicationDirPath());
    if (!m_services.messages)
        m_services.messages = std::make_unique<QtMessageBoxes>(this);
    m_engine = std::make_unique<PlaybackEngine>(m_values, *this, *m_services.random,
                                                *m_services.wordBook, *m_services.messages,
                                                sentences::SentenceTable::instance());

    // The outline only marks a rectangle; the window paints its own edge.
    m_outline = new QWidget(this);
    m_outline->setObjectName(QStringLiteral("outline"));
    m_outline->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_russianLine = new SlideLabel(this);
    m_russianLine->setObjectName(QStringLiteral("russianLine"));
    m_englishLine = new SlideLabel(this);
    m_englishLine->setObjectName(QStringLiteral("englishLine"));
    m_topDragHandle = makeLabel(this, "topDragHandle");
    m_hiddenDragHandle = makeLabel(this, "hiddenDragHandle");
    m_hiddenDragHandle->hide();
    m_boundRussianLabel = makeLabel(this, "boundRussianLabel");
    m_boundRussianLabel->hide();
    m_boundEnglishLabel = makeLabel(this, "boundEnglishLabel");
    m_boundEnglishLabel->hide();
    m_menuHotSpot = makeLabel(this, "menuHotSpot");
    m_menuHotSpot->setMouseTracking(true);
    m_playPicture = makeLabel(this, "playPicture");
    m_stopPicture = makeLabel(this, "stopPicture");
    m_playPicture->setToolTip(QStringLiteral("Play"));
    m_stopPicture->setToolTip(QStringLiteral("Stop"));
    m_playPicture->hide();
    // The pictures are drawn by layOutForFontSize, at the screen's pixel ratio.

    for (QLabel* line : {m_russianLine, m_englishLine}) {
        line->setFont(QFont(kLineFont, 12));
        line->setText(QStringLiteral(" "));
        line->setTextFormat(Qt::PlainText);
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (QLabel* handle : {m_russianLine, m_englishLine, m_topDragHandle, m_hiddenDragHandle})
        handle->installEventFilter(this);
    for (QLabel* image : {m_menuHotSpot, m_playPicture, m_stopPicture})
        image->installEventFilter(this);

    applyColours(kDesignedTextColour, kDesignedBackColour);
    // The line height, and with it the lines' places, come with
    // layOutForFontSize: measuring a font here would load the font system
    // before the splash shows.
    resize(pixels(kDesignedWidthTwips), pixels(360));

    m_watchTimer.setInterval(60);
    m_blinkTimer.setInterval(1500);
    m_englishSlideTimer.setInterval(50);
    m_russianSlideTimer.setInterval(80);
    m_presentationTimer.setInterval(100);
    connect(&m_watchTimer, &QTimer::timeout, this, &StripWindow::onWatchTick);
    connect(&m_blinkTimer, &QTimer::timeout, this, &StripWindow::onBlinkTick);
    connect(&m_englishSlideTimer, &QTimer::timeout, this,
            [this] { m_engine->onEnglishSlideTick(); });
    connect(&m_russianSlideTimer, &QTimer::timeout, this,
            [this] { m_engine->onRussianSlideTick(); });
    connect(&m_presentationTimer, &QTimer::timeout, this,
            [this] { m_engine->onPresentationTick(); });
    connect(&m_wordBookStepTimer, &QTimer::timeout, this,
            [this] { m_engine->onWordBookStepTick(); });
}

StripWindow::~StripWindow()
{
    if (m_splash)
        delete m_splash.data();
}

float StripWindow::leftTwips() const
{
    return float(twips(x()));
}

int StripWindow::screenWidthPixels() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : width();
}

double StripWindow::screenWidthTwips() const
{
    return twips(screenWidthPixels());
}

double StripWindow::screenHeightTwips() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? twips(screen->geometry().height()) : 0.0;
}

double StripWindow::lineTextColour() const
{
    return referenceFromColour(m_russianLine->palette().color(QPalette::WindowText));
}

double StripWindow::windowBackColour() const
{
    // The window is designed in the desktop's system colour, stored as such.
    return kDesignedBackColour;
}

bool StripWindow::openUrl(const QUrl& url)
{
    if (!url.isValid())
        return false;
    if (m_openUrl)
        return m_openUrl(url);
    m_desktop.openUrl(url, [url] { menu::HelpViewer::showPage(url); });
    return true;
}

void StripWindow::setLeftTwips(double left)
{
    move(pixels(left), y());
}

void StripWindow::setTopTwips(double top)
{
    // Measured from the top of the screen's available area.
    move(x(), m_placement->availableArea().top() + pixels(top));
}

bool StripWindow::loadCharacter(const QString& name)
{
    if (!m_characterService || name.isEmpty())
        return false;
    if (!m_characterService->Load(name, name + QStringLiteral(".acs")))
        return false;
    m_character = m_characterService->Character(name);
    if (!m_character)
        return false;
    m_characterName = name;
    m_character->Show();
    m_character->setLanguageID(kRussianLanguage);
    return true;
}

void StripWindow::showCharacter()
{
    const QString name = m_store.readSetting(settings::keys::character, settings::defaultCharacter);
    loadCharacter(name);
}

void StripWindow::hideCharacter()
{
    if (m_character)
        m_character->Hide();
    QCoreApplication::processEvents();
    if (m_characterService && !m_characterName.isEmpty())
        m_characterService->Unload(m_characterName);
    m_character = nullptr;
}

void StripWindow::hideMainWindow()
{
    hide();
}

void StripWindow::showSplash(double leftTwips, double topTwips)
{
    if (!m_splash) {
        m_splash = new startup::SplashWindow;
        m_splash->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_splash, &startup::SplashWindow::pictureClicked, this,
                [this] { m_countdown.splashClicked(); });
    }
    m_splash->move(pixels(leftTwips), pixels(topTwips));
    m_splash->showPainted();
}

void StripWindow::configureTimers()
{
    m_watchTimer.setInterval(60);
    m_blinkTimer.setInterval(1500);
    m_watchTimer.start();
    m_blinkTimer.start();
    m_englishSlideTimer.stop();
    m_russianSlideTimer.stop();
    m_presentationTimer.stop();
    m_wordBookStepTimer.stop();
}

void StripWindow::resetCounters()
{
    m_engine->reset();
    m_geometry.resetPalette();
    m_countdown.reset();
}

void StripWindow::pickNextPair()
{
    m_engine->pickNextPair();
}

void StripWindow::attachMenuPictures()
{
    if (!m_popupMenu) {
        m_popupMenu = new menu::PopupMenu(*this, {}, this);
        connect(this, &StripWindow::menuRequested, m_popupMenu, &menu::PopupMenu::popup);
        connect(this, &StripWindow::menuRequestedAt, m_popupMenu, &menu::PopupMenu::popupAt);
    }
    m_popupMenu->attachMenuPictures();
}

void StripWindow::makeTopmost()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void StripWindow::layOutForFontSize()
{
    const int size = m_values.fontSize > 0 ? m_values.fontSize : 12;
    for (QLabel* label : {m_russianLine, m_englishLine})
        label->setFont(QFont(kLineFont, size));
    // The label's height is one line of its font; the window takes it.
    m_lineHeight = QFontMetrics(m_russianLine->font()).height();
    const int height = m_lineHeight;
    const int width = 22 * m_lineHeight;
    resize(width, height);
    const int labelWidth = width - pixels(900);
    // The Russian line reaches up to the window's top edge, its text still
    // kLineTopTwips down: a stress mark over a capital rises above the
    // font's ascent, into that band.
    const int lineTop = pixels(kLineTopTwips);
    m_russianLine->setContentsMargins(0, lineTop, 0, 0);
    m_russianLine->setGeometry(0, 0, labelWidth, lineTop + m_lineHeight);
    placeEnglishLine();
    m_topDragHandle->setGeometry(0, 0, width, std::max(1, pixels(10)));
    m_outline->setGeometry(0, 0, width + pixels(30), height - pixels(15));

    const int screenWidth = screenWidthPixels();
    int left = x();
    if (screenWidth - width >= left) {
        if (left < 0)
            left = 0;
    } else {
        left = screenWidth - width;
    }
    move(left, y());
    renderPictures();
    for (QLabel* image : {m_playPicture, m_stopPicture})
        image->move(width - pixels(900), height - pixels(315));
    m_menuHotSpot->move(width - pixels(570), height - pixels(330));
    m_russianLine->repaint();
    update();
}

void StripWindow::renderPictures()
{
    const qreal ratio = devicePixelRatioF();
    m_playPicture->setPixmap(stripPixmap(StripPicture::Play, ratio));
    m_stopPicture->setPixmap(stripPixmap(StripPicture::Stop, ratio));
    m_menuHotSpot->setPixmap(stripPixmap(StripPicture::Menu, ratio));
    m_playPicture->resize(stripPictureSize(StripPicture::Play));
    m_stopPicture->resize(stripPictureSize(StripPicture::Stop));
    m_menuHotSpot->resize(stripPictureSize(StripPicture::Menu));
}

void StripWindow::placeEnglishLine()
{
    const int labelWidth = width() - pixels(900);
    m_englishLine->setGeometry(0, pixels(m_englishLineTopTwips), labelWidth, m_lineHeight);
}

void StripWindow::takeConfirmedGeometry()
{
    m_geometry.confirmWindowGeometry(m_placement->confirmedFrame());
}

void StripWindow::rememberWindowRect()
{
    const double size =
        m_russianLine->font().pointSizeF() > 0 ? m_russianLine->font().pointSizeF() : 12.0;
    m_geometry.setFontSize(size);
    m_geometry.setAvailableTop(m_placement->availableArea().top());
    setGeometry(x(), m_geometry.dockTop(), width(), m_geometry.fullHeightPixels());
    // A shown strip keeps its last confirmed place until the window manager
    // answers; the watch picks the answer up.
    takeConfirmedGeometry();
}

void StripWindow::applyColours(double textColour, double backColour)
{
    setLineTextColour(textColour);
    setBackColour(backColour);
}

void StripWindow::setLineTextColour(double reference)
{
    for (QLabel* label : {m_russianLine, m_englishLine}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colourFromReference(reference));
        label->setPalette(palette);
    }
}

void StripWindow::setBackColour(double reference)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colourFromReference(reference));
    setPalette(palette);
}

void StripWindow::resumePresentation()
{
    // The Play picture shows while the learner keeps playback stopped.
    if (!m_playPicture->isVisibleTo(this))
        startPresentation();
}

// The hidden word book labels always show the bound cursor's current record:
// they are filled whenever it is bound or moves, so nothing is left to do here.
void StripWindow::bindWordBookLabels() {}

QString StripWindow::shownRussian(const QString& text) const
{
    return m_values.showStressMarks != 0 ? text : speech::withoutStressMarks(text);
}

void StripWindow::setRussianLineCaption(const QString& caption)
{
    m_russianCaption = caption;
    m_russianLine->setText(shownRussian(caption));
}

void StripWindow::setEnglishLineCaption(const QString& caption)
{
    m_englishLine->setText(caption);
}

void StripWindow::setRussianLineToolTip(const QString& text)
{
    // A tooltip is drawn by the toolkit, which puts combining marks about an
    // em above the line in this font: it always shows the plain sentence.
    m_russianLine->setToolTip(speech::withoutStressMarks(text));
}

void StripWindow::stressMarksChanged()
{
    m_russianLine->setText(shownRussian(m_russianCaption));
}

void StripWindow::setEnglishLineToolTip(const QString& text)
{
    m_englishLine->setToolTip(text);
}

void StripWindow::setEnglishLineTopTwips(int top)
{
    if (top == m_englishLineTopTwips)
        return;
    m_englishLineTopTwips = top;
    placeEnglishLine();
}

void StripWindow::setBoundRussianCaption(const QString& caption)
{
    m_boundRussianLabel->setText(caption);
}

void StripWindow::setBoundEnglishCaption(const QString& caption)
{
    m_boundEnglishLabel->setText(caption);
}

void StripWindow::setEnglishSlideEnabled(bool enabled)
{
    if (enabled)
        m_englishSlideTimer.start();
    else
        m_englishSlideTimer.stop();
}

void StripWindow::setRussianSlideEnabled(bool enabled)
{
    if (enabled)
        m_russianSlideTimer.start();
    else
        m_russianSlideTimer.stop();
}

void StripWindow::startWordBookStep(int intervalMs)
{
    // An interval of 0 keeps the timer off, as a zero interval always has.
    if (intervalMs <= 0) {
        m_wordBookStepTimer.stop();
        return;
    }
    if (m_wordBookStepTimer.isActive() && m_wordBookStepTimer.interval() == intervalMs)
        return;
    m_wordBookStepTimer.start(intervalMs);
}

void StripWindow::closeSplashShowMain()
{
    if (m_splash)
        m_splash->close();
    if (!isVisible())
        show();
}

bool StripWindow::menuHotSpotEnabled() const
{
    return m_menuHotSpot->isEnabled();
}

void StripWindow::startPresentation()
{
    if (!m_presentationTimer.isActive())
        m_presentationTimer.start();
}

void StripWindow::setWindowHeight(int height)
{
    if (height != this->height())
        resize(width(), height);
}

void StripWindow::onWatchTick()
{
    m_countdown.decrease();
    // The pointer only matters with auto-hide on; reading it costs a round
    // trip to the display server on every tick.
    const bool autoHide = m_values.autoHide != 0;
    if (autoHide)
        m_geometry.samplePointer(m_pointer ? m_pointer() : QCursor::pos());
    takeConfirmedGeometry();
    setWindowHeight(
        m_geometry.autoHideHeight(m_geometry.confirmedHeight(), autoHide, m_countdown.value()));
    m_countdown.act();
    // Once start-up is over, with auto-hide off and the strip unfolded, the
    // ticks have nothing left to do: rest until auto-hide is turned on.
    if (!autoHide && m_countdown.value() <= 1 && height() == m_geometry.fullHeightPixels())
        m_watchTimer.stop();
}

void StripWindow::autoHideChanged()
{
    if (m_values.autoHide != 0 && !m_watchTimer.isActive())
        m_watchTimer.start();
}

void StripWindow::onBlinkTick()
{
    std::optional<QColor> blink;
    takeConfirmedGeometry();
    if (const std::optional<int> index = m_geometry.blinkTick(m_geometry.confirmedHeight()))
        blink = StripGeometry::paletteColour(*index);
    if (blink != m_blink) {
        m_blink = blink;
        update();
    }
}

void StripWindow::onPlayStopClicked()
{
    if (m_presentationTimer.isActive()) {
        m_presentationTimer.stop();
        m_engine->interrupt();
    } else {
        m_presentationTimer.start();
    }
    if (m_presentationTimer.isActive()) {
        m_stopPicture->show();
        m_playPicture->hide();
    } else {
        m_playPicture->show();
        m_playPicture->setToolTip(QStringLiteral("Play"));
        m_stopPicture->hide();
    }
}

bool StripWindow::requestMenuAt(QMouseEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || event->button() != Qt::RightButton)
        return false;
    emit menuRequestedAt(event->globalPosition().toPoint());
    return true;
}

void StripWindow::mousePressEvent(QMouseEvent* event)
{
    if (!requestMenuAt(event))
        QWidget::mousePressEvent(event);
}

bool StripWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    // A right-click anywhere on the strip opens the menu at the pointer; it
    // neither drags nor plays.
    if (type == QEvent::MouseButtonPress && requestMenuAt(static_cast<QMouseEvent*>(event)))
        return true;
    if (watched == m_menuHotSpot) {
        if (type == QEvent::MouseMove && m_menuHotSpot->isEnabled())
            emit menuRequested();
        return false;
    }
    if (watched == m_playPicture || watched == m_stopPicture) {
        if (type == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            // The right button's click belongs to the menu.
            if (mouse->button() != Qt::RightButton &&
                static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
                onPlayStopClicked();
            return true;
        }
        return type == QEvent::MouseButtonPress;
    }
    if (watched != m_russianLine && watched != m_englishLine && watched != m_topDragHandle &&
        watched != m_hiddenDragHandle)
        return false;
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;

    // The event's own position is the freshest pointer sample there is.
    auto* mouse = static_cast<QMouseEvent*>(event);
    m_geometry.samplePointer(mouse->globalPosition().toPoint());
    if (type == QEvent::MouseButtonPress) {
        m_geometry.beginDrag();
    } else if (type == QEvent::MouseMove) {
        if (m_geometry.dragging()) {
            const QRect target = m_geometry.dragGeometry();
            if (target != geometry())
                setGeometry(target);
        }
    } else if (m_geometry.dragging()) {
        move(m_geometry.dragEndLeft(x(), screenWidthPixels()), y());
        rememberWindowRect();
        m_geometry.endDrag();
    }
    return true;
}

void StripWindow::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    // A quiet edge around the strip; the outline's own rectangle was sized for the
    // label's height, not the docked strip, and would cut through the text.
    painter.setPen(palette().color(QPalette::Window).darker(150));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_blink) {
        const int strip = m_geometry.foldedHeightPixels();
        painter.fillRect(QRect(0, height() - strip, width(), strip), *m_blink);
    }
}

void StripWindow::bringToFront()
{
    // Forward, but never with the keyboard focus.
    show();
    raise();
}

void StripWindow::exitByMenu()
{
    startup::writeExitSettings(m_store, m_values, leftTwips());
    m_exiting = true;
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

void StripWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_exiting)
        return;
    // Closed by the window manager or the session: nothing is stored.
    if (m_character)
        m_character->Hide();
    QCoreApplication::processEvents();
    if (m_characterService && !m_characterName.isEmpty())
        m_characterService->Unload(m_characterName);
    m_character = nullptr;
    QCoreApplication::exit(0);
}

} // namespace playback
