#include "dialogs/options/optionsdialog.h"

#include "common/settings/autostart.h"
#include "common/settings/settings.h"
#include "common/settings/settingskeys.h"
#include "common/settings/settingsstore.h"
#include "common/speech/agent/agent.h"
#include "dialogs/options/colourdialog.h"
#include "dialogs/options/optionshost.h"
#include "dialogs/options/optionstexts.h"
#include "dialogs/options/spinbar.h"
#include "dialogs/playback/colourreference.h"
#include "dialogs/playback/qtmessageboxes.h"
#include "skin/captionbutton.h"
#include "skin/mousecodes.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>

#include <cmath>

namespace options {

namespace {

// The window design, in twips.
constexpr int kWidth = 6135;
constexpr int kHeight = 4815;
constexpr int kTabStripLeft = 120;
constexpr int kTabStripTop = 480;
constexpr int kTabStripWidth = 5895;
constexpr int kTabStripHeight = 4215;
constexpr int kPageLeft = 210;
constexpr int kPageAway = -20000; // where the pages of the other tabs wait
constexpr int kPageTop = 870;
constexpr int kPageWidth = 5715;
constexpr int kPageHeight = 3735;

// "Play Content": the topics, two columns of option buttons.
constexpr int kTopicViewportWidth = 5680;
constexpr int kTopicViewportHeight = 3255;
constexpr int kTopicPanelHeight = 2475;
constexpr int kTopicScrollLeft = 5480;
constexpr int kTopicScrollWidth = 200;
constexpr int kTopicScrollSmallStep = 50;
constexpr int kTopicScrollLargeStep = 1250;
constexpr int kEntireLeft = 120;
constexpr int kEntireTop = 100;
constexpr int kOddTopicLeft = 100;
constexpr int kEvenTopicLeft = 2650;
constexpr int kFirstTopicRow = 350;
constexpr int kTopicRowStep = 250;
constexpr int kTopicWidth = 2550;
constexpr int kOptionHeight = 225;
constexpr int kButtonTop = 3330;
constexpr int kButtonHeight = 375;

// "Settings...": two columns of groups.
constexpr int kLeftColumn = 0;
constexpr int kLeftColumnWidth = 2490;
constexpr int kRightColumn = 2580;
constexpr int kRightColumnWidth = kPageWidth - kRightColumn;
constexpr int kRowWidth = kRightColumnWidth - 2 * 90;
constexpr int kGroupTitle = 285; // first row below a group's caption
constexpr int kInset = 90;
constexpr int kLabelHeight = 210;
constexpr int kBoxWidth = 600;
constexpr int kBoxHeight = 300;
constexpr int kBarWidth = 255;
constexpr int kSpeechGroupHeight = 1980;
constexpr int kListWidth = kLeftColumnWidth - 2 * 90;
constexpr int kListHeight = 750;

// Caption close button: on the title bar, inside the right border.
constexpr int kCloseButtonRight = 8; // pixels
constexpr int kCloseButtonTop = 4;   // pixels

constexpr SpinRange kSpeedRange{40, 200};
constexpr SpinRange kFontSizeRange{8, 55};
constexpr SpinRange kShowsRange{1, 12};
constexpr SpinRange kRussianSecondsRange{5, 15};
constexpr SpinRange kEnglishSecondsRange{3, 15};
constexpr int kSpeedLargeStep = 2;
// Ctrl+Shift+Tab (Key_Backtab) and Ctrl+Alt+Tab do nothing here.
constexpr Qt::KeyboardModifiers kNextPageModifiers = Qt::ControlModifier;

QFont captionFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.25);
    return font;
}

QFont choiceFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(8.25);
    return font;
}

template <typename Widget> Widget* make(QWidget* parent, const char* name)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text)
{
    auto* label = make<QLabel>(parent, name);
    label->setText(text);
    return label;
}

template <typename Button>
Button* makeChoice(QWidget* parent, const char* name, const QString& text)
{
    auto* button = make<Button>(parent, name);
    button->setText(text);
    button->setFont(choiceFont());
    return button;
}

QStringList defaultCharacterFiles()
{
    return speech::agent::Agent::characterFiles(speech::agent::Agent::defaultOptions());
}

bool isRelease(const QEvent* event)
{
    return event->type() == QEvent::MouseButtonRelease;
}

} // namespace

OptionsDialog::OptionsDialog(settings::SettingsStore& store, settings::Settings& values,
                             OptionsHost& host, OptionsServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_store(store), m_values(values),
      m_host(host), m_services(std::move(services)),
      m_session(
          store, values, host, m_services.autoStart ? m_services.autoStart : [](qint16 mark) {
              settings::setAutoStart(mark);
          })
{
    if (!m_services.pickColour)
        m_services.pickColour = askColour;
    if (!m_services.characterFiles)
        m_services.characterFiles = defaultCharacterFiles;
    if (!m_services.messages)
        m_services.messages = std::make_unique<playback::QtMessageBoxes>(this);

    setObjectName(QStringLiteral("optionsDialog"));
    setWindowTitle(texts::title);
    setFont(captionFont());
    resize(px(kWidth), px(kHeight));

    buildFrame();
    buildTopicsPage();
    buildSettingsPage();
    open();
}

OptionsDialog::~OptionsDialog() = default;

int OptionsDialog::px(double twips) const
{
    const double perPixel = m_host.twipsPerPixel() > 0 ? m_host.twipsPerPixel() : 15.0;
    return int(std::lround(twips / perPixel));
}

void OptionsDialog::place(QWidget* widget, int left, int top, int width, int height) const
{
    widget->setGeometry(px(left), px(top), px(width), px(height));
}

void OptionsDialog::buildFrame()
{
    m_frame = make<skin::SkinFrame>(this, "frame");
    m_frame->setGeometry(rect());
    // A dialog of fixed layout: it moves by its title bar but neither
    // resizes nor maximises.
    m_frame->readProperties(
        {{QStringLiteral("Caption"), texts::title}, {QStringLiteral("Fixed_Single"), true}});

    m_closeButton = make<skin::CaptionButton>(this, "closeButton");
    m_closeButton->readProperties({{QStringLiteral("Value"), 0}});
    m_closeButton->move(width() - kCloseButtonRight - skin::CaptionButton::kSide, kCloseButtonTop);
    connect(m_closeButton, &skin::CaptionButton::clicked, this, &QWidget::close);
    // The frame keeps the keys it gets; Ctrl+Tab turns the page from there too.
    connect(m_frame, &skin::SkinFrame::keyPressed, this, [this](int key, int shift) {
        if (key == Qt::Key_Tab && shift == skin::shiftCode(kNextPageModifiers))
            nextPage();
    });

    // The tab strip: its tabs over a raised body; the pages lie on top.
    m_tabStrip = make<QFrame>(this, "tabStrip");
    m_tabStrip->setFrameShape(QFrame::StyledPanel);
    place(m_tabStrip, kTabStripLeft, kTabStripTop, kTabStripWidth, kTabStripHeight);
    m_tabBar = make<QTabBar>(this, "tabBar");
    m_tabBar->setDrawBase(false);
    m_tabBar->setFocusPolicy(Qt::TabFocus);
    m_tabBar->addTab(texts::playContentTab);
    m_tabBar->addTab(texts::settingsTab);
    m_tabBar->adjustSize();
    m_tabBar->move(px(kTabStripLeft), px(kPageTop) - m_tabBar->height());
    connect(m_tabBar, &QTabBar::currentChanged, this, &OptionsDialog::showPage);

    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        m_pages[i] = new QWidget(this);
        m_pages[i]->setObjectName(QStringLiteral("page%1").arg(i));
        place(m_pages[i], kPageLeft, kPageTop, kPageWidth, kPageHeight);
    }
}

void OptionsDialog::buildTopicsPage()
{
    QWidget* page = m_pages[0];
    m_topicViewport = make<QWidget>(page, "topicViewport");
    place(m_topicViewport, 0, 0, kTopicViewportWidth, kTopicViewportHeight);
    m_topicPanel = make<QWidget>(m_topicViewport, "topicPanel");
    place(m_topicPanel, 0, 0, kTopicScrollLeft, kTopicPanelHeight);
    m_topicScrollBar = make<QScrollBar>(m_topicViewport, "topicScrollBar");
    m_topicScrollBar->setOrientation(Qt::Vertical);
    place(m_topicScrollBar, kTopicScrollLeft, 0, kTopicScrollWidth, kTopicViewportHeight);
    m_topicScrollBar->setMinimum(1);
    m_topicScrollBar->setSingleStep(kTopicScrollSmallStep);
    m_topicScrollBar->setPageStep(kTopicScrollLargeStep);
    connect(m_topicScrollBar, &QScrollBar::valueChanged, this, &OptionsDialog::scrollTopics);

    m_topics[0] = make<QRadioButton>(m_topicPanel, "topic0");
    m_topics[0]->setText(texts::entireTopic);
    place(m_topics[0], kEntireLeft, kEntireTop, kTopicWidth, kOptionHeight);

    m_wordBookButton = make<skin::SkinButton>(page, "wordBookButton");
    m_wordBookButton->setCaption(texts::wordBookButton);
    place(m_wordBookButton, 0, kButtonTop, 2100, kButtonHeight);
    connect(m_wordBookButton, &skin::SkinButton::clicked, this,
            &OptionsDialog::wordBookEditorRequested);
    m_okButton = make<skin::SkinButton>(page, "okButton");
    m_okButton->setCaption(texts::okButton);
    place(m_okButton, kTopicViewportWidth - 1200, kButtonTop, 1200, kButtonHeight);
    connect(m_okButton, &skin::SkinButton::clicked, this, &QWidget::close);
}

void OptionsDialog::buildSettingsPage()
{
    QWidget* page = m_pages[1];
    buildSpeechGroup(page);
    buildLookGroup(page);
    buildOrderGroups(page);
    buildSystemGroup(page);
    buildDisplayGroup(page);
}

SpinBar* OptionsDialog::addSpinBar(QWidget* group, const char* name, SpinRange range, int left,
                                   int top)
{
    auto* box = make<QLineEdit>(group, name);
    place(box, left, top, kBoxWidth, kBoxHeight);
    auto* bar = make<QScrollBar>(group, (QByteArray(name) + "Bar").constData());
    place(bar, left + kBoxWidth + 15, top, kBarWidth, kBoxHeight);
    return new SpinBar(range, bar, box, this);
}

void OptionsDialog::buildSpeechGroup(QWidget* page)
{
    auto* group = make<QGroupBox>(page, "speechGroup");
    place(group, kLeftColumn, 0, kLeftColumnWidth, kSpeechGroupHeight);
    place(makeLabel(group, "changeCharacterLabel", texts::changeCharacter), kInset, 90, 1500,
          kLabelHeight);
    m_characterFile = makeLabel(group, "characterFileLabel", QString());
    place(m_characterFile, kInset, 330 + kListHeight + 30, kListWidth, kLabelHeight);

    m_characterList = make<QListWidget>(group, "characterList");
    place(m_characterList, kInset, 330, kListWidth, kListHeight);
    m_characterList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_noCharacters =
        makeLabel(m_characterList->viewport(), "noCharactersLabel", texts::noCharacters);
    m_noCharacters->setAlignment(Qt::AlignCenter);
    m_noCharacters->setEnabled(false);
    m_noCharacters->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_characterList->viewport()->installEventFilter(this);
    m_characterList->installEventFilter(this);

    place(makeLabel(group, "speechSpeedLabel", texts::speechSpeed), kInset, 1350, kListWidth,
          kLabelHeight);
    m_speed = addSpinBar(group, "speedBox", kSpeedRange, kInset, 1590);
    m_speed->setLargeStep(kSpeedLargeStep);
    place(makeLabel(group, "speechSpeedRangeLabel", texts::speechSpeedRange), 1050, 1635, 1350,
          kLabelHeight);
}

void OptionsDialog::buildLookGroup(QWidget* page)
{
    auto* group = make<QGroupBox>(page, "lookGroup");
    const int groupTop = kSpeechGroupHeight + 45;
    place(group, kLeftColumn, groupTop, kLeftColumnWidth, kPageHeight - groupTop);
    const auto swatch = [&](const char* name, const char* labelName, const QString& caption,
                            int top) {
        place(makeLabel(group, labelName, caption), kInset, top + 45, 1050, kLabelHeight);
        auto* colour = make<QLabel>(group, name);
        colour->setFrameShape(QFrame::Box);
        colour->setAutoFillBackground(true);
        colour->setCursor(Qt::PointingHandCursor);
        colour->installEventFilter(this);
        place(colour, 1200, top, 495, 300);
        return colour;
    };
    m_textSwatch = swatch("textColourSwatch", "textColourLabel", texts::textColour, 90);
    m_backSwatch = swatch("backColourSwatch", "backColourLabel", texts::backColour, 450);
    place(makeLabel(group, "fontSizeLabel", texts::fontSize), kInset, 855, 1050, kLabelHeight);
    m_fontSize = addSpinBar(group, "fontSizeBox", kFontSizeRange, 1200, 810);
    connect(m_fontSize, &SpinBar::valueTaken, this,
            [this](int size) { m_session.takeFontSize(size); });

    m_defaultButton = make<skin::SkinButton>(group, "defaultButton");
    m_defaultButton->setCaption(texts::defaultButton);
    place(m_defaultButton, kInset, 1215, 1200, kButtonHeight);
    connect(m_defaultButton, &skin::SkinButton::clicked, this, &OptionsDialog::restoreDefaults);
}

void OptionsDialog::buildOrderGroups(QWidget* page)
{
    auto* language = make<QGroupBox>(page, "languageGroup");
    place(language, kRightColumn, 0, kRightColumnWidth, 540);
    m_russianFirst = makeChoice<QRadioButton>(language, "russianFirstOption", QString());
    place(m_russianFirst, kInset, 60, kRowWidth, kOptionHeight);
    m_englishFirst = makeChoice<QRadioButton>(language, "englishFirstOption", QString());
    place(m_englishFirst, kInset, 285, kRowWidth, kOptionHeight);

    auto* order = make<QGroupBox>(page, "orderGroup");
    place(order, kRightColumn, 585, kRightColumnWidth, 345);
    m_randomOrder = makeChoice<QRadioButton>(order, "randomOrderOption", texts::randomOrder);
    place(m_randomOrder, kInset, 60, 1200, kOptionHeight);
    m_sequenceOrder = makeChoice<QRadioButton>(order, "sequenceOrderOption", texts::sequenceOrder);
    place(m_sequenceOrder, 1400, 60, 1300, kOptionHeight);
    // Only a sequence has a place to keep.
    connect(m_sequenceOrder, &QRadioButton::toggled, this,
            [this](bool sequence) { m_savePosition->setEnabled(sequence); });
}

void OptionsDialog::buildSystemGroup(QWidget* page)
{
    auto* group = make<QGroupBox>(page, "systemGroup");
    group->setTitle(texts::systemGroup);
    place(group, kRightColumn, 975, kRightColumnWidth, 1470);
    int top = kGroupTitle;
    const auto check = [&](const char* name, const QString& caption, qint16& value,
                           std::function<void()> changed) {
        auto* box = makeChoice<QCheckBox>(group, name, caption);
        place(box, kInset, top, kRowWidth, kOptionHeight);
        top += kOptionHeight;
        // A click changes the running program's value at once.
        connect(box, &QCheckBox::clicked, this, [&value, changed](bool on) {
            value = on ? 1 : 0;
            if (changed)
                changed();
        });
        return box;
    };
    m_autoHide = check("autoHideBox", texts::autoHide, m_values.autoHide,
                       [this] { m_host.autoHideChanged(); });
    m_savePosition = check("savePositionBox", texts::savePosition, m_values.savePosition, {});
    m_autoStart = check("autoStartBox", texts::autoStart, m_values.autoStart, {});
    m_saveSettings = check("saveSettingsBox", texts::saveSettings, m_values.saveSettings, {});
    m_stressMarks = check("stressMarksBox", texts::showStressMarks, m_values.showStressMarks,
                          [this] { m_host.stressMarksChanged(); });
}

void OptionsDialog::buildDisplayGroup(QWidget* page)
{
    auto* group = make<QGroupBox>(page, "displayGroup");
    group->setTitle(texts::displayGroup);
    place(group, kRightColumn, 2490, kRightColumnWidth, kPageHeight - 2490);
    int top = kGroupTitle;
    int barsLeft = 0;
    const auto row = [&](const char* name, const char* labelName, const QString& caption,
                         SpinRange range) {
        QLabel* label = makeChoice<QLabel>(group, labelName, caption);
        place(label, kInset, top + 45, kRowWidth, kLabelHeight);
        SpinBar* spin = addSpinBar(group, name, range, kInset, top);
        // These boxes only show the bar's value: at closing the bars count.
        spin->setDisplayOnly(true);
        placeInGap(spin->box(), label);
        barsLeft = std::max(barsLeft, label->x() + label->fontMetrics().horizontalAdvance(caption));
        top += 300;
        return spin;
    };
    m_showsPerPair = row("showsPerPairBox", "showsPerPairLabel", texts::showsPerPair, kShowsRange);
    m_russianSeconds = row("russianSecondsBox", "russianSecondsLabel", texts::russianSeconds,
                           kRussianSecondsRange);
    m_englishSeconds = row("englishSecondsBox", "englishSecondsLabel", texts::englishSeconds,
                           kEnglishSecondsRange);
    // The bars stand in one column after the longest label.
    for (SpinBar* spin : {m_showsPerPair, m_russianSeconds, m_englishSeconds})
        spin->bar()->move(barsLeft + 4, spin->box()->y());
}

// The timing labels leave a gap of spaces for their box.
void OptionsDialog::placeInGap(QWidget* box, const QLabel* label)
{
    const QString text = label->text();
    const qsizetype gapStart = text.indexOf(QStringLiteral("  "));
    qsizetype gapEnd = gapStart;
    while (gapEnd < text.size() && text.at(gapEnd) == u' ')
        ++gapEnd;
    const QFontMetrics metrics(label->font());
    const int left = label->x() + metrics.horizontalAdvance(text.left(gapStart)) + 3;
    const int right = label->x() + metrics.horizontalAdvance(text.left(gapEnd)) - 3;
    const int top = label->y() + (label->height() - box->height()) / 2;
    box->setGeometry(left, top, std::max(right - left, px(kBoxWidth) / 2), box->height());
}

// Opening, step by step, with the values in effect.
void OptionsDialog::open()
{
    // The font size first: the box's change lays the strip out for it again.
    m_fontSize->setValue(m_values.fontSize);

    // The topics: the panel scrolls only when it is taller than its viewport.
    const QStringList names = texts::topicList();
    for (int k = 1; k < kTopics; ++k) {
        const int left = k % 2 == 1 ? kOddTopicLeft : kEvenTopicLeft;
        const int top = kFirstTopicRow + (k - 1) / 2 * kTopicRowStep;
        auto* topic =
            new QRadioButton(k - 1 < names.size() ? names[k - 1] : QString(), m_topicPanel);
        topic->setObjectName(QStringLiteral("topic%1").arg(k));
        place(topic, left, top, kTopicWidth, kOptionHeight);
        // A face wider than the designed one must not cut the name off.
        const int room = px(kTopicViewportWidth) - topic->x();
        topic->resize(std::clamp(topic->sizeHint().width(), topic->width(), room), topic->height());
        topic->show();
        m_topics[std::size_t(k)] = topic;
    }
    if (kTopicPanelHeight > kTopicViewportHeight) {
        m_topicScrollBar->setMaximum(kTopicPanelHeight - kTopicViewportHeight);
        m_topicScrollBar->setValue(m_topicScrollBar->minimum());
    } else {
        m_topicScrollBar->hide();
    }

    m_russianFirst->setText(texts::russianFirst);
    m_englishFirst->setText(texts::englishFirst);

    m_session.pausePlayback();

    fillCharacterList();
    m_characterFile->setText(
        m_store.readSetting(settings::keys::character, settings::defaultCharacter) +
        texts::characterSuffix);

    m_savePosition->setEnabled(m_values.sequentialOrder != 0);
    m_saveSettings->setChecked(m_values.saveSettings != 0);
    m_savePosition->setChecked(m_values.savePosition != 0);
    m_autoHide->setChecked(m_values.autoHide != 0);
    m_autoStart->setChecked(m_values.autoStart != 0);
    m_stressMarks->setChecked(m_values.showStressMarks != 0);

    m_showsPerPair->setValue(m_values.showsPerPair);
    m_russianSeconds->setValue(m_values.russianSeconds);
    m_englishSeconds->setValue(m_values.englishSeconds);
    m_speed->setValue(m_values.speechSpeed);
    m_textColour = m_values.textColour;
    m_backColour = m_values.backColour;
    showSwatch(m_textSwatch, m_textColour);
    showSwatch(m_backSwatch, m_backColour);

    (m_values.sequentialOrder != 0 ? m_sequenceOrder : m_randomOrder)->setChecked(true);
    (m_values.russianFirst == 1 ? m_russianFirst : m_englishFirst)->setChecked(true);
    if (m_values.topic >= 0 && m_values.topic < kTopics)
        m_topics[std::size_t(m_values.topic)]->setChecked(true);

    m_tabBar->setCurrentIndex(0);
    showPage(0);
}

int OptionsDialog::currentPage() const
{
    return m_tabBar->currentIndex();
}

void OptionsDialog::showPage(int index)
{
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const bool shown = int(i) == index;
        m_pages[i]->move(px(shown ? kPageLeft : kPageAway), m_pages[i]->y());
        m_pages[i]->setEnabled(shown);
    }
}

void OptionsDialog::nextPage()
{
    m_tabBar->setCurrentIndex((m_tabBar->currentIndex() + 1) % m_tabBar->count());
}

void OptionsDialog::scrollTopics(int value)
{
    m_topicPanel->move(0, -px(value));
}

void OptionsDialog::fillCharacterList()
{
    m_characterList->clear();
    m_characterList->addItems(m_services.characterFiles());
    m_noCharacters->setVisible(m_characterList->count() == 0);
}

void OptionsDialog::characterListClicked(QPoint position)
{
    if (QListWidgetItem* item = m_characterList->itemAt(position)) {
        m_characterList->setCurrentItem(item);
        pickCharacter();
    } else if (m_characterList->selectedItems().isEmpty()) {
        m_services.messages->information(texts::selectCharacter);
    }
}

void OptionsDialog::pickCharacter()
{
    const QList<QListWidgetItem*> selected = m_characterList->selectedItems();
    if (selected.isEmpty() || !m_session.pickCharacter(selected.front()->text())) {
        m_services.messages->information(texts::selectCharacter);
        return;
    }
    m_characterFile->setText(m_values.character + texts::characterSuffix);
}

void OptionsDialog::pickColour(bool text)
{
    const std::optional<QColor> colour = m_services.pickColour(this);
    if (!colour)
        return;
    const double reference = playback::referenceFromColour(*colour);
    if (text) {
        m_textColour = reference;
        showSwatch(m_textSwatch, reference);
        m_session.showTextColour(reference);
    } else {
        m_backColour = reference;
        showSwatch(m_backSwatch, reference);
        m_session.showBackColour(reference);
    }
}

void OptionsDialog::showSwatch(QLabel* swatch, double reference)
{
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, playback::colourFromReference(reference));
    swatch->setPalette(palette);
}

void OptionsDialog::restoreDefaults()
{
    m_textColour = OptionsSession::kDefaultTextColour;
    m_backColour = OptionsSession::kDefaultBackColour;
    showSwatch(m_textSwatch, m_textColour);
    showSwatch(m_backSwatch, m_backColour);
    m_fontSize->setValue(OptionsSession::kDefaultFontSize);
    m_session.restoreDefaultLook();
}

OptionsChoices OptionsDialog::choices() const
{
    OptionsChoices c;
    c.topic = 0;
    for (int k = 0; k < kTopics; ++k) {
        if (m_topics[std::size_t(k)]->isChecked())
            c.topic = k;
    }
    c.sequentialOrder = !m_randomOrder->isChecked();
    c.russianFirst = m_russianFirst->isChecked();
    c.showsPerPair = m_showsPerPair->value();
    c.russianSeconds = m_russianSeconds->value();
    c.englishSeconds = m_englishSeconds->value();
    c.speechSpeed = m_speed->value();
    c.fontSize = m_fontSize->value();
    c.textColour = m_textColour;
    c.backColour = m_backColour;
    return c;
}

bool OptionsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_textSwatch || watched == m_backSwatch) && isRelease(event)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (static_cast<QWidget*>(watched)->rect().contains(mouse->position().toPoint()))
            pickColour(watched == m_textSwatch);
        return true;
    }
    if (watched == m_characterList->viewport()) {
        if (isRelease(event))
            characterListClicked(static_cast<QMouseEvent*>(event)->position().toPoint());
        else if (event->type() == QEvent::Resize)
            m_noCharacters->resize(m_characterList->viewport()->size());
        return false;
    }
    if (watched == m_characterList && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            pickCharacter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OptionsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Tab && event->modifiers() == kNextPageModifiers) {
        nextPage();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OptionsDialog::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    m_session.close(choices());
    emit closed();
}

} // namespace options
