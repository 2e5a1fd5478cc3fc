#include "dialogs/playback/form1.h"

#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "common/speech/characterservice.h"
#include "dialogs/playback/colourreference.h"
#include "dialogs/playback/qtmessageboxes.h"
#include "dialogs/playback/randomsource.h"
#include "dialogs/playback/slidelabel.h"
#include "dialogs/playback/sqlitewordbook.h"
#include "dialogs/playback/strippictures.h"
#include "dialogs/sentences/sentencetable.h"
#include "dialogs/startup/exitsettings.h"
#include "dialogs/startup/form4.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace playback {

namespace {

constexpr int kRussianLanguage = 1049;
const QString kLabelFont = QStringLiteral("DejaVu Sans");
// Designed colours: white text on the desktop's own colour.
constexpr double kDesignedTextColour = 16777215;
constexpr double kDesignedBackColour = -2147483647;
constexpr int kDesignedWidthTwips = 7110;
constexpr int kLabelTopTwips = 60;

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

Form1::Form1(settings::SettingsStore& store, settings::Settings& values,
             std::unique_ptr<speech::CharacterService> agent, PlaybackServices services,
             QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_store(store), m_values(values), m_agent(std::move(agent)), m_countdown(*this),
      m_geometry(screenTwipsPerPixel()), m_services(std::move(services))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Morvane"));
    setAutoFillBackground(true);

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

    // Shape1 only marks a rectangle; the window paints its own edge.
    Shape1 = new QWidget(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label1 = new SlideLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new SlideLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = makeLabel(this, "Label3");
    Label4 = makeLabel(this, "Label4");
    Label4->hide();
    Label5 = makeLabel(this, "Label5");
    Label5->hide();
    Label6 = makeLabel(this, "Label6");
    Label6->hide();
    Image1 = makeLabel(this, "Image1");
    Image1->setMouseTracking(true);
    for (int i = 0; i < 2; ++i)
        Image2[size_t(i)] = makeLabel(this, i == 0 ? "Image2_0" : "Image2_1");
    Image2[0]->setToolTip(QStringLiteral("Play"));
    Image2[1]->setToolTip(QStringLiteral("Stop"));
    Image2[0]->hide();
    // The pictures are drawn by AdjustSize, at the screen's pixel ratio.

    for (QLabel* label : {Label1, Label2}) {
        label->setFont(QFont(kLabelFont, 12));
        label->setText(QStringLiteral(" "));
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (QLabel* label : {Label1, Label2, Label3, Label4})
        label->installEventFilter(this);
    for (QLabel* image : {Image1, Image2[0], Image2[1]})
        image->installEventFilter(this);

    applyColours(kDesignedTextColour, kDesignedBackColour);
    // The line height, and with it the labels' places, come with AdjustSize:
    // measuring a font here would load the font system before the splash shows.
    resize(pixels(kDesignedWidthTwips), pixels(360));

    Timer1.setInterval(60);
    Timer2.setInterval(1500);
    Timer3.setInterval(50);
    Timer4.setInterval(80);
    Timer5.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &Form1::Timer2_Timer);
    connect(&Timer3, &QTimer::timeout, this, [this] { m_engine->Timer3_Timer(); });
    connect(&Timer4, &QTimer::timeout, this, [this] { m_engine->Timer4_Timer(); });
    connect(&Timer5, &QTimer::timeout, this, [this] { m_engine->Timer5_Timer(); });
    connect(&Timer6, &QTimer::timeout, this, [this] { m_engine->Timer6_Timer(); });
}

Form1::~Form1()
{
    if (m_splash)
        delete m_splash.data();
}

float Form1::leftTwips() const
{
    return float(twips(x()));
}

int Form1::screenWidthPixels() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().width() : width();
}

double Form1::screenWidthTwips() const
{
    return twips(screenWidthPixels());
}

double Form1::screenHeightTwips() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? twips(screen->geometry().height()) : 0.0;
}

double Form1::label1TextColour() const
{
    return referenceFromColour(Label1->palette().color(QPalette::WindowText));
}

double Form1::formBackColour() const
{
    // The window is designed in the desktop's system colour, stored as such.
    return kDesignedBackColour;
}

bool Form1::openUrl(const QUrl& url)
{
    if (!url.isValid())
        return false;
    return m_openUrl ? m_openUrl(url) : QDesktopServices::openUrl(url);
}

void Form1::setLeftTwips(double left)
{
    move(pixels(left), y());
}

void Form1::setTopTwips(double top)
{
    move(x(), pixels(top));
}

bool Form1::loadCharacter(const QString& name)
{
    if (!m_agent || name.isEmpty())
        return false;
    if (!m_agent->Load(name, name + QStringLiteral(".acs")))
        return false;
    m_character = m_agent->Character(name);
    if (!m_character)
        return false;
    m_characterName = name;
    m_character->Show();
    m_character->setLanguageID(kRussianLanguage);
    return true;
}

void Form1::showagent()
{
    const QString name = m_store.readSetting(settings::keys::character, settings::defaultCharacter);
    loadCharacter(name);
}

void Form1::hideagent()
{
    if (m_character)
        m_character->Hide();
    QCoreApplication::processEvents();
    if (m_agent && !m_characterName.isEmpty())
        m_agent->Unload(m_characterName);
    m_character = nullptr;
}

void Form1::hideMainWindow()
{
    hide();
}

void Form1::showSplash(double leftTwips, double topTwips)
{
    if (!m_splash) {
        m_splash = new startup::Form4;
        m_splash->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_splash, &startup::Form4::Image1Click, this,
                [this] { m_countdown.splashClicked(); });
    }
    m_splash->move(pixels(leftTwips), pixels(topTwips));
    m_splash->showPainted();
}

void Form1::configureTimers()
{
    Timer1.setInterval(60);
    Timer2.setInterval(1500);
    Timer1.start();
    Timer2.start();
    Timer3.stop();
    Timer4.stop();
    Timer5.stop();
    Timer6.stop();
}

void Form1::resetCounters()
{
    m_engine->reset();
    m_geometry.resetPalette();
    m_countdown.reset();
}

void Form1::NextSentence()
{
    m_engine->NextSentence();
}

void Form1::AttachMenuPictures()
{
    if (!m_form2) {
        m_form2 = new menu::Form2(*this, {}, this);
        connect(this, &Form1::menuRequested, m_form2, &menu::Form2::popup);
    }
    m_form2->AttachMenuPictures();
}

void Form1::makeTopmost()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void Form1::AdjustSize()
{
    const int size = m_values.fontSize > 0 ? m_values.fontSize : 12;
    for (QLabel* label : {Label1, Label2})
        label->setFont(QFont(kLabelFont, size));
    // The label's height is one line of its font; the window takes it.
    m_lineHeight = QFontMetrics(Label1->font()).height();
    const int height = m_lineHeight;
    const int width = 22 * m_lineHeight;
    resize(width, height);
    const int labelWidth = width - pixels(900);
    Label1->setGeometry(0, pixels(kLabelTopTwips), labelWidth, m_lineHeight);
    placeLabel2();
    Label3->setGeometry(0, 0, width, std::max(1, pixels(10)));
    Shape1->setGeometry(0, 0, width + pixels(30), height - pixels(15));

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
    for (QLabel* image : Image2)
        image->move(width - pixels(900), height - pixels(315));
    Image1->move(width - pixels(570), height - pixels(330));
    Label1->repaint();
    update();
}

void Form1::renderPictures()
{
    const qreal ratio = devicePixelRatioF();
    Image2[0]->setPixmap(stripPixmap(StripPicture::Play, ratio));
    Image2[1]->setPixmap(stripPixmap(StripPicture::Stop, ratio));
    Image1->setPixmap(stripPixmap(StripPicture::Menu, ratio));
    Image2[0]->resize(stripPictureSize(StripPicture::Play));
    Image2[1]->resize(stripPictureSize(StripPicture::Stop));
    Image1->resize(stripPictureSize(StripPicture::Menu));
}

void Form1::placeLabel2()
{
    const int labelWidth = width() - pixels(900);
    Label2->setGeometry(0, pixels(m_label2TopTwips), labelWidth, m_lineHeight);
}

PixelRect Form1::measuredRect() const
{
    const QRect r = geometry();
    return PixelRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void Form1::Get_Windows_Rect()
{
    const double size = Label1->font().pointSizeF() > 0 ? Label1->font().pointSizeF() : 12.0;
    m_geometry.setFontSize(size);
    setGeometry(x(), 0, width(), m_geometry.fullHeightPixels());
    m_geometry.setWindowRect(measuredRect());
}

void Form1::applyColours(double textColour, double backColour)
{
    for (QLabel* label : {Label1, Label2}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colourFromReference(textColour));
        label->setPalette(palette);
    }
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colourFromReference(backColour));
    setPalette(palette);
}

// Label5 and Label6 always show Data1's current record: they are filled
// whenever Data1 is bound or moves, so nothing is left to do here.
void Form1::bindDataLabels() {}

void Form1::setLabel1Caption(const QString& caption)
{
    Label1->setText(caption);
}

void Form1::setLabel2Caption(const QString& caption)
{
    Label2->setText(caption);
}

void Form1::setLabel1ToolTip(const QString& text)
{
    Label1->setToolTip(text);
}

void Form1::setLabel2ToolTip(const QString& text)
{
    Label2->setToolTip(text);
}

void Form1::setLabel2TopTwips(int top)
{
    if (top == m_label2TopTwips)
        return;
    m_label2TopTwips = top;
    placeLabel2();
}

void Form1::setLabel5Caption(const QString& caption)
{
    Label5->setText(caption);
}

void Form1::setLabel6Caption(const QString& caption)
{
    Label6->setText(caption);
}

void Form1::setTimer3Enabled(bool enabled)
{
    if (enabled)
        Timer3.start();
    else
        Timer3.stop();
}

void Form1::setTimer4Enabled(bool enabled)
{
    if (enabled)
        Timer4.start();
    else
        Timer4.stop();
}

void Form1::enableTimer6(int intervalMs)
{
    // An interval of 0 keeps the timer off, as a zero interval always has.
    if (intervalMs <= 0) {
        Timer6.stop();
        return;
    }
    if (Timer6.isActive() && Timer6.interval() == intervalMs)
        return;
    Timer6.start(intervalMs);
}

void Form1::closeSplashShowMain()
{
    if (m_splash)
        m_splash->close();
    if (!isVisible())
        show();
}

bool Form1::image1Enabled() const
{
    return Image1->isEnabled();
}

void Form1::enableTimer5()
{
    if (!Timer5.isActive())
        Timer5.start();
}

void Form1::setWindowHeight(int height)
{
    if (height != this->height())
        resize(width(), height);
}

void Form1::Timer1_Timer()
{
    m_countdown.decrease();
    // The pointer only matters with auto-hide on; reading it costs a round
    // trip to the display server on every tick.
    const bool autoHide = m_values.autoHide != 0;
    if (autoHide)
        m_geometry.samplePointer(m_pointer ? m_pointer() : QCursor::pos());
    setWindowHeight(m_geometry.autoHideHeight(height(), autoHide, m_countdown.value()));
    m_countdown.act();
    // Once start-up is over, with auto-hide off and the strip unfolded, the
    // ticks have nothing left to do: rest until auto-hide is turned on.
    if (!autoHide && m_countdown.value() <= 1 && height() == m_geometry.fullHeightPixels())
        Timer1.stop();
}

void Form1::autoHideChanged()
{
    if (m_values.autoHide != 0 && !Timer1.isActive())
        Timer1.start();
}

void Form1::Timer2_Timer()
{
    std::optional<QColor> blink;
    if (const std::optional<int> index = m_geometry.blinkTick(height()))
        blink = StripGeometry::paletteColour(*index);
    if (blink != m_blink) {
        m_blink = blink;
        update();
    }
}

void Form1::Image2_Click()
{
    if (Timer5.isActive())
        Timer5.stop();
    else
        Timer5.start();
    if (Timer5.isActive()) {
        Image2[1]->show();
        Image2[0]->hide();
    } else {
        Image2[0]->show();
        Image2[0]->setToolTip(QStringLiteral("Play"));
        Image2[1]->hide();
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == Image1) {
        if (type == QEvent::MouseMove && Image1->isEnabled())
            emit menuRequested();
        return false;
    }
    if (watched == Image2[0] || watched == Image2[1]) {
        if (type == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
                Image2_Click();
            return true;
        }
        return type == QEvent::MouseButtonPress;
    }
    if (watched != Label1 && watched != Label2 && watched != Label3 && watched != Label4)
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
        Get_Windows_Rect();
        m_geometry.endDrag();
    }
    return true;
}

void Form1::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    // A quiet edge around the strip; Shape1's own rectangle was sized for the
    // label's height, not the docked strip, and would cut through the text.
    painter.setPen(palette().color(QPalette::Window).darker(150));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_blink) {
        const int strip = m_geometry.foldedHeightPixels();
        painter.fillRect(QRect(0, height() - strip, width(), strip), *m_blink);
    }
}

void Form1::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void Form1::exitByMenu()
{
    startup::writeExitSettings(m_store, m_values, leftTwips());
    m_exiting = true;
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_exiting)
        return;
    // Closed by the window manager or the session: nothing is stored.
    if (m_character)
        m_character->Hide();
    QCoreApplication::processEvents();
    if (m_agent && !m_characterName.isEmpty())
        m_agent->Unload(m_characterName);
    m_character = nullptr;
    QCoreApplication::exit(0);
}

} // namespace playback
