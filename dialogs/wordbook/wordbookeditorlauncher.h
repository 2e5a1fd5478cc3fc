#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

#include <memory>

namespace wordbook {

class EditorMessages;
class WordBookEditor;

// The one way to open the word book editor, for the menu's "&New Dialogs
// Manager" and the options dialog's button alike: the first opening makes
// the window on the learner's book; while it is open, opening again only
// brings it forward with its state kept. A book that cannot be opened is
// reported in a message and no window opens.
class WordBookEditorLauncher final : public QObject
{
    Q_OBJECT

public:
    // programFolder: where the shipped book lies (see wordBookPath). The
    // messages default to message boxes.
    explicit WordBookEditorLauncher(QString programFolder = QCoreApplication::applicationDirPath(),
                                    std::shared_ptr<EditorMessages> messages = {},
                                    QObject* parent = nullptr);
    ~WordBookEditorLauncher() override;

    // The open editor, nullptr when none is open.
    WordBookEditor* editor() const;

public slots:
    void open();

private:
    void dropClosedEditor();

    QString m_programFolder;
    std::shared_ptr<EditorMessages> m_messages;
    std::unique_ptr<WordBookEditor> m_editor;
};

} // namespace wordbook
