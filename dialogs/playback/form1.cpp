#include "dialogs/playback/form1.h"

#include "common/settings/settings.h"
#include "common/settings/settingsstore.h"
#include "common/speech/characterservice.h"
#include "dialogs/playback/colourreference.h"
#include "dialogs/startup/exitsettings.h"
#include "dialogs/startup/form4.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QScreen>

namespace playback
{

namespace
{

constexpr int kRussianLanguage = 1049;
const QString kLabelFont = QStringLiteral("DejaVu Sans");
// Designed colours: white text on the desktop's own colour.
constexpr double kDesignedTextColour = 16777215;
constexpr double kDesignedBackColour = -2147483647;

QLabel* makeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

} // namespace

Form1::Form1(settings::SettingsStore& store, settings::Settings& values,
             std::unique_ptr<speech::CharacterService> agent, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_store(store), m_values(values), m_agent(std::move(agent)), m_countdown(*this)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Morvane"));
    setAutoFillBackground(true);

    Shape1 = new QWidget(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label1 = makeLabel(this, "Label1");
    Label2 = makeLabel(this, "Label2");
    Label3 = makeLabel(this, "Label3");
    Label4 = makeLabel(this, "Label4");
    Label4->hide();
    Label5 = makeLabel(this, "Label5");
    Label5->hide();
    Label6 = makeLabel(this, "Label6");
    Label6->hide();
    Image1 = makeLabel(this, "Image1");
    for (int i = 0; i < 2; ++i)
        Image2[size_t(i)] = makeLabel(this, i == 0 ? "Image2_0" : "Image2_1");
    Image2[0]->setToolTip(QStringLiteral("Play"));
    Image2[1]->setToolTip(QStringLiteral("Stop"));
    Image2[0]->hide();

    for (QLabel* label : {Label1, Label2}) {
        label->setFont(QFont(kLabelFont, 12));
        label->setText(QStringLiteral(" "));
        label->setTextFormat(Qt::PlainText);
    }
    applyColours(kDesignedTextColour, kDesignedBackColour);
    // Designed size: a strip 7110 twips wide.
    resize(pixels(7110), pixels(360));

    Timer1.setInterval(60);
    Timer2.setInterval(1500);
    Timer3.setInterval(50);
    Timer4.setInterval(80);
    Timer5.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
}

Form1::~Form1()
{
    if (m_splash)
        delete m_splash.data();
}

double Form1::twipsPerPixel() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int Form1::pixels(double twips) const
{
    return int(std::lround(twips / twipsPerPixel()));
}
double Form1::twips(int pixels) const
{
    return pixels * twipsPerPixel();
}

float Form1::leftTwips() const
{
    return float(twips(x()));
}

double Form1::screenWidthTwips() const
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? twips(screen->geometry().width()) : 0.0;
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
    const QString name = m_store.ReadSetting(QStringLiteral("Agent"), QStringLiteral("Merlin"));
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
    m_splash->show();
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
    m_palette = {10, 12, 10};
    m_countdown.reset();
}

void Form1::NextSentence() {}

void Form1::AttachMenuPictures() {}

void Form1::makeTopmost()
{
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
}

void Form1::AdjustSize()
{
    const int size = m_values.FontSizeNumber > 0 ? m_values.FontSizeNumber : 12;
    for (QLabel* label : {Label1, Label2})
        label->setFont(QFont(kLabelFont, size));
    const int lineHeight = QFontMetrics(Label1->font()).height();
    const int height = lineHeight;
    const int width = 22 * lineHeight;
    resize(width, height);
    Label1->setGeometry(0, pixels(60), width - pixels(900), lineHeight);
    Label2->setGeometry(0, pixels(60), width - pixels(900), lineHeight);
    Label3->setGeometry(0, 0, width, pixels(10));
    Shape1->setGeometry(0, 0, width + pixels(30), height - pixels(15));

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : width;
    int left = x();
    if (screenWidth - width >= left) {
        if (left < 0)
            left = 0;
    } else {
        left = screenWidth - width;
    }
    move(left, y());
    for (QLabel* image : Image2)
        image->move(width - pixels(900), height - pixels(315));
    Image1->move(width - pixels(570), height - pixels(330));
    Label1->repaint();
    update();
}

void Form1::Get_Windows_Rect()
{
    const int size = Label1->font().pointSize() > 0 ? Label1->font().pointSize() : 12;
    m_fullHeightTwips = 30 * size;
    setGeometry(x(), 0, width(), pixels(m_fullHeightTwips));
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

void Form1::bindDataLabels() {}

void Form1::setLabel1Caption(const QString& caption)
{
    Label1->setText(caption);
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
    Timer5.start();
}

void Form1::Timer1_Timer()
{
    m_countdown.decrease();
    m_countdown.act();
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
