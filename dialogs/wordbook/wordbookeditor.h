#pragma once

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListView;
class QToolButton;

namespace skin {
class CaptionButton;
class SkinButton;
class SkinFrame;
} // namespace skin

namespace wordbook {

class Connection;
class EditorController;
class EditorMessages;

// The word book editor's window: a skinned frame captioned "New Dialogs
// Manager" holding the English and Russian boxes, the Save, Add and Delete
// buttons, the list of the book's English texts, the arrows and the record
// label. Its behaviour is EditorController's; the window passes the
// learner's typing, clicks and keys in and shows the state after each.
//
// Keyboard: Tab goes English, Russian, Save Record, ...; Enter in the
// Russian box saves; Enter or Space on a focused button presses it; the
// Delete key on the list deletes as the Delete Record button does.
class WordBookEditor final : public QWidget
{
    Q_OBJECT

public:
    // Opens the cursor on the connection; throws DbError when it cannot.
    WordBookEditor(Connection connection, std::shared_ptr<EditorMessages> messages,
                   QWidget* parent = nullptr);
    ~WordBookEditor() override;

    // Shows the window centred on the screen, with the keyboard in the
    // English box.
    void open();
    // Brings an open window forward, restoring it if minimised; its state
    // is kept.
    void bringForward();
    // Whether the window has been closed and its book let go.
    bool isReleased() const { return !m_controller; }

    // The behaviour behind the window, nullptr once it is closed.
    EditorController* controller() const { return m_controller.get(); }

    skin::SkinFrame* frame() const { return m_frame; }
    QLabel* englishCaption() const { return m_englishCaption; }
    QLabel* russianCaption() const { return m_russianCaption; }
    QLineEdit* englishEdit() const { return m_englishEdit; }
    QLineEdit* russianEdit() const { return m_russianEdit; }
    skin::SkinButton* saveButton() const { return m_saveButton; }
    skin::SkinButton* addButton() const { return m_addButton; }
    skin::SkinButton* deleteButton() const { return m_deleteButton; }
    QListView* wordList() const { return m_wordList; }
    QToolButton* firstButton() const { return m_firstButton; }
    QToolButton* previousButton() const { return m_previousButton; }
    QLineEdit* recordLabel() const { return m_recordLabel; }
    QToolButton* nextButton() const { return m_nextButton; }
    QToolButton* lastButton() const { return m_lastButton; }
    QToolButton* newRecordButton() const { return m_newRecordButton; }
    skin::CaptionButton* minimiseButton() const { return m_minimiseButton; }
    skin::CaptionButton* maximiseButton() const { return m_maximiseButton; }
    skin::CaptionButton* closeButton() const { return m_closeButton; }

signals:
    // The window was closed; its connection and cursor are released.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void connectControls();
    // Runs one action of the controller, then shows the state it left.
    void act(const std::function<void(EditorController&)>& action);
    void refresh();
    void pressOnKey(skin::SkinButton* button, void (EditorController::*action)());
    int pixels(int twips) const;

    std::shared_ptr<EditorMessages> m_messages;
    std::unique_ptr<EditorController> m_controller;
    // Set while the window itself changes the list's selection, so that only
    // the learner's own selections reach the controller.
    bool m_updating = false;
    double m_twipsPerPixel = 15.0;

    skin::SkinFrame* m_frame = nullptr;
    QLabel* m_englishCaption = nullptr;
    QLabel* m_russianCaption = nullptr;
    QLineEdit* m_englishEdit = nullptr;
    QLineEdit* m_russianEdit = nullptr;
    skin::SkinButton* m_saveButton = nullptr;
    skin::SkinButton* m_addButton = nullptr;
    skin::SkinButton* m_deleteButton = nullptr;
    QListView* m_wordList = nullptr;
    QToolButton* m_firstButton = nullptr;
    QToolButton* m_previousButton = nullptr;
    QLineEdit* m_recordLabel = nullptr;
    QToolButton* m_nextButton = nullptr;
    QToolButton* m_lastButton = nullptr;
    QToolButton* m_newRecordButton = nullptr;
    skin::CaptionButton* m_minimiseButton = nullptr;
    skin::CaptionButton* m_maximiseButton = nullptr;
    skin::CaptionButton* m_closeButton = nullptr;
};

} // namespace wordbook
