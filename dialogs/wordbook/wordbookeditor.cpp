#include "dialogs/wordbook/wordbookeditor.h"

#include "common/text/stressmarkfont.h"
#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/editorcontroller.h"
#include "dialogs/wordbook/editormessages.h"
#include "dialogs/wordbook/editortexts.h"
#include "dialogs/wordbook/navigationpictures.h"
#include "skin/captionbutton.h"
#include "skin/skinbutton.h"
#include "skin/skinframe.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScreen>
#include <QToolButton>

#include <cmath>
#include <utility>

namespace wordbook {

namespace {

// The window's design, in twips: its inner area and each control's left,
// top, width and height.
constexpr QSize kInnerTwips(5175, 6975);
constexpr QRect kEnglishCaptionTwips(240, 480, 855, 255);
constexpr QRect kEnglishEditTwips(240, 720, 4695, 285);
constexpr QRect kRussianCaptionTwips(240, 1080, 855, 255);
constexpr QRect kRussianEditTwips(240, 1320, 4695, 285);
constexpr QRect kSaveTwips(360, 1680, 1215, 375);
constexpr QRect kAddTwips(1800, 1680, 1335, 375);
constexpr QRect kDeleteTwips(3360, 1680, 1455, 375);
constexpr QRect kListTwips(240, 2160, 4695, 4155);
constexpr QRect kFirstTwips(240, 6480, 255, 255);
constexpr QRect kPreviousTwips(480, 6480, 255, 255);
constexpr QRect kRecordLabelTwips(840, 6480, 3255, 285);
constexpr QRect kNextTwips(4200, 6480, 255, 255);
constexpr QRect kLastTwips(4440, 6480, 255, 255);
constexpr QRect kNewRecordTwips(4680, 6480, 255, 255);

// Caption buttons on the title bar, from the right: close, maximise, minimise.
constexpr int kCaptionButtonTop = 4;
constexpr int kCaptionButtonGap = 2;
constexpr int kRightBorder = 5;

// Glyphs of the caption buttons.
constexpr int kCloseGlyph = 0;
constexpr int kMaximiseGlyph = 1;
constexpr int kMinimiseGlyph = 2;

QFont designFont(const char* family, double points, bool bold)
{
    QFont font(QString::fromLatin1(family));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

bool isPressKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

} // namespace

WordBookEditor::WordBookEditor(Connection connection, std::shared_ptr<EditorMessages> messages,
                               QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_messages(std::move(messages)),
      m_controller(std::make_unique<EditorController>(std::move(connection), *m_messages))
{
    setObjectName(QStringLiteral("wordBookEditor"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        m_twipsPerPixel = 1440.0 / screen->logicalDotsPerInchY();
    build();
    connectControls();
    refresh();
}

WordBookEditor::~WordBookEditor()
{
    // The list view goes before the model it shows.
    if (m_wordList)
        m_wordList->setModel(nullptr);
}

int WordBookEditor::pixels(int twips) const
{
    return int(std::lround(twips / m_twipsPerPixel));
}

void WordBookEditor::build()
{
    const auto place = [this](QWidget* widget, const QRect& twips, const char* name) {
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(pixels(twips.left()), pixels(twips.top()), pixels(twips.width()),
                            pixels(twips.height()));
    };
    setFixedSize(pixels(kInnerTwips.width()), pixels(kInnerTwips.height()));

    // The frame first, so every control lies above it.
    m_frame = new skin::SkinFrame(this);
    m_frame->setObjectName(QStringLiteral("frame"));
    m_frame->setGeometry(rect());
    // The window keeps its designed size: no border resizing, no maximising.
    m_frame->readProperties({{QStringLiteral("Caption"), editortexts::caption},
                             {QStringLiteral("Fixed_Single"), true}});

    const QFont captionFont = designFont("Tahoma", 9, true);
    m_englishCaption = new QLabel(editortexts::englishLabel, this);
    place(m_englishCaption, kEnglishCaptionTwips, "englishCaption");
    m_russianCaption = new QLabel(editortexts::russianLabel, this);
    place(m_russianCaption, kRussianCaptionTwips, "russianCaption");
    for (QLabel* label : {m_englishCaption, m_russianCaption}) {
        label->setFont(captionFont);
        label->setAttribute(Qt::WA_TranslucentBackground);
    }

    m_englishEdit = new QLineEdit(this);
    place(m_englishEdit, kEnglishEditTwips, "englishEdit");
    m_russianEdit = new QLineEdit(this);
    place(m_russianEdit, kRussianEditTwips, "russianEdit");
    // Pairs keep the stress marks typed into them; the boxes show them over their vowels.
    for (QLineEdit* edit : {m_englishEdit, m_russianEdit})
        edit->setFont(text::stressMarkFont(edit->font()));

    const QFont buttonFont = designFont("Arial", 9, false);
    const auto makeButton = [&](const QString& caption, const QRect& twips, const char* name) {
        auto* button = new skin::SkinButton(this);
        place(button, twips, name);
        button->readProperties(
            {{QStringLiteral("Caption"), caption}, {QStringLiteral("Font"), buttonFont}});
        return button;
    };
    m_saveButton = makeButton(editortexts::saveRecord, kSaveTwips, "saveButton");
    m_addButton = makeButton(editortexts::addRecord, kAddTwips, "addButton");
    m_deleteButton = makeButton(editortexts::deleteRecord, kDeleteTwips, "deleteButton");

    m_wordList = new QListView(this);
    place(m_wordList, kListTwips, "wordList");
    m_wordList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_wordList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Every entry is one line: the view need not measure 100,000 of them.
    m_wordList->setUniformItemSizes(true);
    m_wordList->setModel(m_controller->listModel());
    m_wordList->installEventFilter(this);

    const auto makeArrow = [&](NavigationPicture picture, const QRect& twips, const char* name) {
        auto* button = new QToolButton(this);
        place(button, twips, name);
        button->setIcon(navigationIcon(picture));
        button->setIconSize(kNavigationPictureSize);
        return button;
    };
    m_firstButton = makeArrow(NavigationPicture::First, kFirstTwips, "firstButton");
    m_previousButton = makeArrow(NavigationPicture::Previous, kPreviousTwips, "previousButton");
    m_nextButton = makeArrow(NavigationPicture::Next, kNextTwips, "nextButton");
    m_lastButton = makeArrow(NavigationPicture::Last, kLastTwips, "lastButton");
    m_newRecordButton = makeArrow(NavigationPicture::NewRecord, kNewRecordTwips, "newRecordButton");
    // Its text names it for screen readers and tips; the picture shows.
    m_newRecordButton->setText(editortexts::add);
    m_newRecordButton->setToolTip(editortexts::add);
    m_newRecordButton->setToolButtonStyle(Qt::ToolButtonIconOnly);

    m_recordLabel = new QLineEdit(this);
    place(m_recordLabel, kRecordLabelTwips, "recordLabel");
    m_recordLabel->setReadOnly(true);
    m_recordLabel->setFocusPolicy(Qt::NoFocus);
    m_recordLabel->setFont(designFont("MS Sans Serif", 8.25, true));

    const auto makeCaptionButton = [this](int glyph, bool enabled, const char* name) {
        auto* button = new skin::CaptionButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->readProperties(
            {{QStringLiteral("Value"), glyph}, {QStringLiteral("Enabled"), enabled}});
        return button;
    };
    m_minimiseButton = makeCaptionButton(kMinimiseGlyph, true, "minimiseButton");
    m_maximiseButton = makeCaptionButton(kMaximiseGlyph, false, "maximiseButton");
    m_closeButton = makeCaptionButton(kCloseGlyph, true, "closeButton");
    int x = width() - kRightBorder - 3 * skin::CaptionButton::kSide - 2 * kCaptionButtonGap;
    for (skin::CaptionButton* button : {m_minimiseButton, m_maximiseButton, m_closeButton}) {
        button->move(x, kCaptionButtonTop);
        x += skin::CaptionButton::kSide + kCaptionButtonGap;
    }

    setTabOrder(m_englishEdit, m_russianEdit);
    setTabOrder(m_russianEdit, m_saveButton);
    setTabOrder(m_saveButton, m_addButton);
    setTabOrder(m_addButton, m_deleteButton);
    setTabOrder(m_deleteButton, m_wordList);
    setTabOrder(m_wordList, m_firstButton);
    setTabOrder(m_firstButton, m_previousButton);
    setTabOrder(m_previousButton, m_nextButton);
    setTabOrder(m_nextButton, m_lastButton);
    setTabOrder(m_lastButton, m_newRecordButton);

    if (m_controller->readOnly()) {
        m_englishEdit->setReadOnly(true);
        m_russianEdit->setReadOnly(true);
    }
}

void WordBookEditor::connectControls()
{
    using Controller = EditorController;
    connect(m_englishEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_controller)
            m_controller->setEnglishText(text);
    });
    connect(m_russianEdit, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_controller)
            m_controller->setRussianText(text);
    });
    connect(m_russianEdit, &QLineEdit::returnPressed, this, [this] { act(&Controller::save); });

    connect(m_saveButton, &skin::SkinButton::clicked, this, [this] { act(&Controller::save); });
    connect(m_addButton, &skin::SkinButton::clicked, this, [this] { act(&Controller::add); });
    connect(m_deleteButton, &skin::SkinButton::clicked, this,
            [this] { act(&Controller::deleteRecord); });
    pressOnKey(m_saveButton, &Controller::save);
    pressOnKey(m_addButton, &Controller::add);
    pressOnKey(m_deleteButton, &Controller::deleteRecord);

    connect(m_firstButton, &QToolButton::clicked, this, [this] { act(&Controller::moveToFirst); });
    connect(m_previousButton, &QToolButton::clicked, this,
            [this] { act(&Controller::moveToPrevious); });
    connect(m_nextButton, &QToolButton::clicked, this, [this] { act(&Controller::moveToNext); });
    connect(m_lastButton, &QToolButton::clicked, this, [this] { act(&Controller::moveToLast); });
    connect(m_newRecordButton, &QToolButton::clicked, this, [this] { act(&Controller::add); });

    // A click, also on the entry already selected, and a move with the
    // keys both pick the entry.
    const auto pick = [this](const QModelIndex& index) {
        if (!m_updating && index.isValid())
            act([row = index.row()](Controller& controller) { controller.selectEntry(row); });
    };
    connect(m_wordList, &QListView::clicked, this, pick);
    connect(m_wordList->selectionModel(), &QItemSelectionModel::currentChanged, this, pick);

    connect(m_controller.get(), &Controller::englishFocusRequested, this,
            [this] { m_englishEdit->setFocus(Qt::OtherFocusReason); });

    connect(m_minimiseButton, &skin::CaptionButton::clicked, this, &QWidget::showMinimized);
    connect(m_closeButton, &skin::CaptionButton::clicked, this, &QWidget::close);
}

void WordBookEditor::pressOnKey(skin::SkinButton* button, void (EditorController::*action)())
{
    // The skin button passes keys on rather than pressing itself.
    connect(button, &skin::SkinButton::keyPressed, this, [this, action](int key, int) {
        if (isPressKey(key))
            act(action);
    });
}

void WordBookEditor::act(const std::function<void(EditorController&)>& action)
{
    if (!m_controller)
        return;
    // The controller changes the list as it goes; those changes move the
    // view's selection, which must not count as the learner's.
    m_updating = true;
    action(*m_controller);
    m_updating = false;
    refresh();
}

void WordBookEditor::refresh()
{
    if (!m_controller)
        return;
    const EditorController& state = *m_controller;
    if (m_englishEdit->text() != state.englishText())
        m_englishEdit->setText(state.englishText());
    if (m_russianEdit->text() != state.russianText())
        m_russianEdit->setText(state.russianText());
    m_recordLabel->setText(state.recordLabel());
    for (QToolButton* arrow : {m_firstButton, m_previousButton, m_nextButton, m_lastButton})
        arrow->setEnabled(state.navigationEnabled());
    m_newRecordButton->setEnabled(state.addEnabled());
    m_addButton->setEnabled(state.addEnabled());
    m_saveButton->setEnabled(state.saveEnabled());
    m_deleteButton->setEnabled(state.deleteEnabled());

    m_updating = true;
    QItemSelectionModel* selection = m_wordList->selectionModel();
    const int row = state.selectedRow();
    if (row >= 0 && row < m_wordList->model()->rowCount()) {
        const QModelIndex index = m_wordList->model()->index(row, 0);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_wordList->scrollTo(index);
    } else {
        selection->clear();
    }
    m_updating = false;
}

void WordBookEditor::open()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect place(QPoint(0, 0), size());
        place.moveCenter(screen->geometry().center());
        move(place.topLeft());
    }
    show();
    raise();
    activateWindow();
    m_englishEdit->setFocus(Qt::ActiveWindowFocusReason);
}

void WordBookEditor::bringForward()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

bool WordBookEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_wordList && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        act(&EditorController::deleteRecord);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void WordBookEditor::closeEvent(QCloseEvent* event)
{
    // Not while an action runs (a message box of it is open): the action
    // still needs the book.
    if (m_updating) {
        event->ignore();
        return;
    }
    // Closing lets go of the book at once, without writing; the next opening
    // reads it afresh.
    if (m_controller) {
        m_wordList->setModel(nullptr);
        m_controller.reset();
        emit closed();
    }
    event->accept();
}

} // namespace wordbook
