#include "reader/readerwindow.h"

#include "common/text/stressmarkfont.h"
#include "reader/readercontroller.h"
#include "reader/readertexts.h"
#include "skin/captionbutton.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextLayout>

#include <cmath>

namespace reader {

namespace {

const QColor kBackground(224, 224, 224);
const QColor kControlBackground(236, 233, 216);
// The word being heard: dark text on a warm yellow, readable on any theme.
const QColor kHighlightBackground(255, 214, 64);
const QColor kHighlightText(0, 0, 0);

double screenTwipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void paintBackground(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// Breaks a caption into lines that fit width, at blanks, as the designed
// two-line check box shows it.
QString wrapped(const QString& caption, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    for (const QString& word : caption.split(u' ', Qt::SkipEmptyParts)) {
        if (!lines.isEmpty() && metrics.horizontalAdvance(lines.last() + u' ' + word) <= width)
            lines.last() += u' ' + word;
        else
            lines.append(word);
    }
    return lines.join(u'\n');
}

skin::SkinButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new skin::SkinButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->readProperties({{QStringLiteral("Caption"), caption},
                            {QStringLiteral("Font"), QFont(QStringLiteral("Arial"), 9)}});
    return button;
}

} // namespace

ReaderWindow::ReaderWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_twipsPerPixel(screenTwipsPerPixel())
{
    setObjectName(QStringLiteral("readerWindow"));
    setWindowTitle(texts::windowCaption);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    paintBackground(this, kBackground);
    setFixedSize(designRect(0, 0, kWidthTwips, kHeightTwips).size());

    m_frame = new skin::SkinFrame(this);
    m_frame->setObjectName(QStringLiteral("skinFrame"));
    m_frame->setGeometry(rect());
    m_frame->readProperties({{QStringLiteral("Caption"), texts::windowCaption},
                             {QStringLiteral("Fixed_Single"), true}});

    m_closeButton = new skin::CaptionButton(this);
    m_closeButton->setObjectName(QStringLiteral("closeButton"));
    m_closeButton->readProperties({{QStringLiteral("Value"), 0}});
    m_closeButton->move(width() - 5 - skin::CaptionButton::kSide, 4);
    connect(m_closeButton, &skin::CaptionButton::clicked, this, &QWidget::close);

    m_characterLabel = new QLabel(this);
    m_characterLabel->setObjectName(QStringLiteral("characterLabel"));
    m_characterLabel->setGeometry(designRect(240, 600, 1215, 255));

    m_textFrame = new QGroupBox(texts::textFrameCaption, this);
    m_textFrame->setObjectName(QStringLiteral("textFrame"));
    m_textFrame->setGeometry(designRect(1560, 600, 4695, 3495));
    m_textBox = new QPlainTextEdit(texts::initialText, m_textFrame);
    m_textBox->setObjectName(QStringLiteral("textToRead"));
    m_textBox->setGeometry(designRect(120, 240, 4425, 3105));
    // Typed or copied stress marks show over their vowels.
    m_textBox->setFont(text::stressMarkFont(m_textBox->font()));
    connect(m_textBox->document(), &QTextDocument::contentsChanged, this, [this] {
        if (!m_settingText)
            emit textEdited();
    });

    m_autoReadBox = new QCheckBox(this);
    m_autoReadBox->setObjectName(QStringLiteral("autoReadBox"));
    m_autoReadBox->setGeometry(designRect(240, 3480, 1215, 495));
    m_autoReadBox->setAccessibleName(texts::autoReadCaption);
    const int besideIndicator = m_autoReadBox->width() -
                                style()->pixelMetric(QStyle::PM_IndicatorWidth) -
                                style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    m_autoReadBox->setText(
        wrapped(texts::autoReadCaption, m_autoReadBox->fontMetrics(), besideIndicator));
    connect(m_autoReadBox, &QCheckBox::clicked, this, &ReaderWindow::autoReadClicked);

    m_exitButton = makeButton(this, "exitButton", texts::exitCaption);
    m_exitButton->setGeometry(designRect(240, 4200, 615, 375));
    connect(m_exitButton, &skin::SkinButton::clicked, this, &QWidget::close);
    m_readButton = makeButton(this, "readButton", texts::readCaption);
    m_readButton->setGeometry(designRect(840, 4200, 735, 375));
    connect(m_readButton, &skin::SkinButton::clicked, this, &ReaderWindow::readClicked);
    m_stopButton = makeButton(this, "stopButton", texts::stopCaption);
    m_stopButton->setGeometry(designRect(1560, 4200, 735, 375));
    connect(m_stopButton, &skin::SkinButton::clicked, this, &ReaderWindow::stopClicked);
    m_playAnimationButton = makeButton(this, "playAnimationButton", texts::playAnimationCaption);
    m_playAnimationButton->setGeometry(designRect(2280, 4200, 1575, 375));
    connect(m_playAnimationButton, &skin::SkinButton::clicked, this,
            &ReaderWindow::playAnimationClicked);

    m_characterCaption = new QLabel(texts::characterCaption, this);
    m_characterCaption->setObjectName(QStringLiteral("characterCaption"));
    m_characterCaption->setGeometry(designRect(3960, 4320, 855, 255));
    m_characterList = new QComboBox(this);
    m_characterList->setObjectName(QStringLiteral("characterList"));
    m_characterList->setGeometry(designRect(4800, 4270, 1455, 285));
    m_characterList->installEventFilter(this);
    connect(m_characterList, &QComboBox::activated, this, [this](int index) {
        emit characterPicked(m_characterList->itemData(index).toString());
    });

    for (QWidget* control : std::initializer_list<QWidget*>{m_characterLabel, m_textFrame,
                                                            m_autoReadBox, m_characterCaption})
        paintBackground(control, kControlBackground);
    m_frame->lower();
}

ReaderWindow::~ReaderWindow() = default;

void ReaderWindow::connectTo(ReaderController& controller)
{
    connect(this, &ReaderWindow::autoReadClicked, &controller, &ReaderController::setAutoRead);
    connect(this, &ReaderWindow::readClicked, &controller, &ReaderController::read);
    connect(this, &ReaderWindow::stopClicked, &controller, &ReaderController::stop);
    connect(this, &ReaderWindow::playAnimationClicked, &controller,
            &ReaderController::playAnimation);
    connect(this, &ReaderWindow::characterPicked, &controller, &ReaderController::chooseCharacter);
    connect(this, &ReaderWindow::textEdited, &controller, &ReaderController::textEdited);
    connect(this, &ReaderWindow::closing, &controller, &ReaderController::close);
}

QRect ReaderWindow::designRect(int left, int top, int width, int height) const
{
    const auto px = [this](int twips) { return int(std::lround(twips / m_twipsPerPixel)); };
    return QRect(px(left), px(top), px(width), px(height));
}

void ReaderWindow::showCentred()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(), size());
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
    show();
}

void ReaderWindow::bringToFront()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void ReaderWindow::setCharacterCaption(const QString& caption, const QString& detail)
{
    m_characterLabel->setText(caption);
    m_characterLabel->setToolTip(detail);
}

void ReaderWindow::setCharacterChoices(const QStringList& names, const QString& current)
{
    const QSignalBlocker blocker(m_characterList);
    m_characterList->clear();
    for (const QString& name : names)
        m_characterList->addItem(name + texts::characterFileSuffix, name);
    int index = -1;
    for (int i = 0; i < names.size() && index < 0; ++i) {
        if (names.at(i).compare(current, Qt::CaseInsensitive) == 0)
            index = i;
    }
    m_characterList->setCurrentIndex(index);
}

QString ReaderWindow::text() const
{
    return m_textBox->toPlainText();
}

void ReaderWindow::setText(const QString& text)
{
    m_settingText = true;
    m_textBox->setExtraSelections({});
    m_textBox->setPlainText(text);
    m_settingText = false;
}

void ReaderWindow::setAutoReadChecked(bool checked)
{
    m_autoReadBox->setChecked(checked);
}

void ReaderWindow::highlightWord(qsizetype start, qsizetype length)
{
    QTextDocument* document = m_textBox->document();
    const int end = document->characterCount() - 1;
    if (length <= 0 || start < 0 || start >= end) {
        m_textBox->setExtraSelections({});
        return;
    }
    QTextEdit::ExtraSelection mark;
    mark.cursor = QTextCursor(document);
    mark.cursor.setPosition(int(start));
    mark.cursor.setPosition(int(std::min<qsizetype>(start + length, end)), QTextCursor::KeepAnchor);
    mark.format.setBackground(kHighlightBackground);
    mark.format.setForeground(kHighlightText);
    m_textBox->setExtraSelections({mark});
    keepVisible(int(start));
}

std::pair<qsizetype, qsizetype> ReaderWindow::highlightedWord() const
{
    const QList<QTextEdit::ExtraSelection> marks = m_textBox->extraSelections();
    if (marks.isEmpty())
        return {0, 0};
    const QTextCursor& cursor = marks.first().cursor;
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

void ReaderWindow::keepVisible(int position)
{
    QTextCursor cursor(m_textBox->document());
    cursor.setPosition(position);
    if (m_textBox->viewport()->rect().contains(m_textBox->cursorRect(cursor)))
        return;
    // The plain text box scrolls by lines: put the word's line second from the top.
    const QTextBlock block = cursor.block();
    int line = block.firstLineNumber();
    if (const QTextLayout* layout = block.layout()) {
        const QTextLine inBlock = layout->lineForTextPosition(cursor.positionInBlock());
        if (inBlock.isValid())
            line += inBlock.lineNumber();
    }
    m_textBox->verticalScrollBar()->setValue(std::max(0, line - 1));
}

void ReaderWindow::showMessage(const QString& message)
{
    QMessageBox::information(this, QGuiApplication::applicationDisplayName(), message);
}

void ReaderWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    hide();
    emit closing();
}

bool ReaderWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_characterList) {
        // Every pick loads a character and greets: a wheel turned over the
        // list in passing must not run through them all.
        if (event->type() == QEvent::Wheel)
            return true;
        // An empty list has nothing to pick; a click on it still asks for a pick.
        if (event->type() == QEvent::MouseButtonPress && m_characterList->count() == 0) {
            emit characterPicked(QString());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace reader
