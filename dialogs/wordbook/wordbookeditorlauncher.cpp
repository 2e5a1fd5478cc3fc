#include "dialogs/wordbook/wordbookeditorlauncher.h"

#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/editortexts.h"
#include "dialogs/wordbook/messageboxeditormessages.h"
#include "dialogs/wordbook/wordbookeditor.h"
#include "dialogs/wordbook/wordbookpath.h"

#include <QTimer>

#include <utility>

namespace wordbook {

WordBookEditorLauncher::WordBookEditorLauncher(QString programFolder,
                                               std::shared_ptr<EditorMessages> messages,
                                               QObject* parent)
    : QObject(parent), m_programFolder(std::move(programFolder)), m_messages(std::move(messages))
{
    if (!m_messages)
        m_messages = std::make_shared<MessageBoxEditorMessages>();
}

WordBookEditorLauncher::~WordBookEditorLauncher() = default;

WordBookEditor* WordBookEditorLauncher::editor() const
{
    return m_editor && !m_editor->isReleased() ? m_editor.get() : nullptr;
}

void WordBookEditorLauncher::open()
{
    if (WordBookEditor* open = editor()) {
        open->bringForward();
        return;
    }
    m_editor.reset();
    try {
        Connection connection(wordBookPath(m_programFolder), ConnectionKind::Exclusive);
        m_editor = std::make_unique<WordBookEditor>(std::move(connection), m_messages);
    } catch (const DbError& error) {
        m_messages->error(editortexts::openFailure(error));
        return;
    }
    // The window is dropped once its close has run its course.
    connect(m_editor.get(), &WordBookEditor::closed, this,
            [this] { QTimer::singleShot(0, this, &WordBookEditorLauncher::dropClosedEditor); });
    m_editor->open();
}

void WordBookEditorLauncher::dropClosedEditor()
{
    if (m_editor && m_editor->isReleased())
        m_editor.reset();
}

} // namespace wordbook
