#include "dialogs/wordbook/editorcontroller.h"

#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/editormessages.h"
#include "dialogs/wordbook/editortexts.h"

#include <functional>
#include <utility>

namespace wordbook {

using Field = Recordset::Field;

EditorController::EditorController(Connection connection, EditorMessages& messages, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)),
      m_cursor(m_connection.openRecordset(kStatement)), m_list(m_cursor), m_messages(messages),
      m_readOnly(m_connection.isReadOnly())
{
    open();
}

EditorController::~EditorController() = default;

void EditorController::open()
{
    if (m_cursor.eof() && m_cursor.bof()) {
        clearFields();
        m_list.clear();
        m_adding = true;
        if (m_readOnly)
            m_label = editortexts::emptyReadOnlyBook;
        return;
    }
    m_cursor.moveFirst();
    readCurrentTexts();
    m_list.fill();
    m_firstMark = m_cursor.bookmark();
    selectEntryFromCode(0);
    showRecordLabel();
    m_deleteEnabled = true;
    unlockNavigation();
}

void EditorController::clearFields()
{
    m_english.clear();
    m_russian.clear();
}

void EditorController::readCurrentTexts()
{
    m_english = m_cursor.text(Field::English);
    m_russian = m_cursor.text(Field::Russian);
}

void EditorController::showRecord()
{
    readCurrentTexts();
    selectEntryFromCode(m_cursor.absolutePosition());
    showRecordLabel();
}

void EditorController::showRecordLabel()
{
    const int position = m_cursor.absolutePosition() + 1;
    const int count = m_cursor.recordCount();
    m_label = m_readOnly ? editortexts::readOnlyRecordLabel(position, count)
                         : editortexts::recordLabel(position, count);
}

void EditorController::clickEntry(int row)
{
    m_selectedRow = row;
    if (m_adding) {
        m_adding = false;
        unlockNavigation();
    }
    try {
        m_cursor.move(row, m_firstMark);
        readCurrentTexts();
    } catch (const DbError&) {
        // Not an entry of the cursor: nothing to show.
    }
    const int count = m_cursor.recordCount();
    m_label = m_readOnly ? editortexts::readOnlyRecordLabel(row + 1, count)
                         : editortexts::recordLabel(row + 1, count);
}

// Selecting an entry from code has the effect of the learner's click; no
// entry (-1) only clears the selection.
void EditorController::selectEntryFromCode(int row)
{
    if (row < 0)
        m_selectedRow = -1;
    else
        clickEntry(row);
}

void EditorController::navigate(const std::function<void()>& move)
{
    if (!navigationEnabled())
        return;
    try {
        move();
    } catch (const DbError&) {
        // An empty book has nowhere to go: nothing changes.
    }
    emit changed();
}

void EditorController::moveToFirst()
{
    navigate([this] {
        m_cursor.moveFirst();
        showRecord();
    });
}

void EditorController::moveToLast()
{
    navigate([this] {
        m_cursor.moveLast();
        showRecord();
    });
}

void EditorController::moveToNext()
{
    // Past the last record the screen stays as it was.
    navigate([this] {
        if (m_cursor.eof())
            return;
        m_cursor.moveNext();
        if (!m_cursor.eof())
            showRecord();
    });
}

void EditorController::moveToPrevious()
{
    navigate([this] {
        if (m_cursor.bof())
            return;
        m_cursor.movePrevious();
        if (!m_cursor.bof())
            showRecord();
    });
}

void EditorController::selectEntry(int row)
{
    if (row < 0 || row >= m_list.rowCount())
        return;
    clickEntry(row);
    emit changed();
}

void EditorController::startAdding()
{
    clearFields();
    lockNavigation();
    emit englishFocusRequested();
    m_adding = true;
}

void EditorController::add()
{
    if (!addEnabled())
        return;
    startAdding();
    emit changed();
}

void EditorController::save()
{
    if (!saveEnabled())
        return;
    try {
        if (m_adding)
            m_cursor.addNew();
        else
            m_cursor.edit();
    } catch (const DbError& error) {
        // Moved past either end there is no shown pair to change, and
        // nothing to say about it.
        if (error.number() != NoCurrentRecord)
            m_messages.error(editortexts::storeFailure(error));
        emit changed();
        return;
    }
    // An empty side stores nothing and says nothing; the started record stays
    // pending until the next move or save.
    if (m_english.trimmed().isEmpty() || m_russian.trimmed().isEmpty())
        return;

    try {
        m_cursor.setField(QStringLiteral("English"), m_english);
        m_cursor.setField(QStringLiteral("Russian"), m_russian);
        m_cursor.update();
    } catch (const DbError& error) {
        // The texts and the mode stay, so nothing typed is lost.
        m_messages.error(error.number() == DuplicateKey ? editortexts::duplicateRecord
                                                        : editortexts::storeFailure(error));
        emit changed();
        return;
    }

    try {
        m_cursor.setBookmark(m_cursor.lastModified());
        if (m_adding)
            m_list.appendEntry();
        else
            m_list.changeEntry(m_cursor.absolutePosition());
        m_cursor.moveFirst();
        m_firstMark = m_cursor.bookmark();
        selectEntryFromCode(0);
        showRecordLabel();
    } catch (const DbError&) {
        // The pair is stored; only showing it failed.
    }
    unlockNavigation();
    m_adding = false;
    m_deleteEnabled = true;

    // Ready for the next new pair.
    startAdding();
    emit changed();
}

void EditorController::deleteRecord()
{
    if (!deleteEnabled())
        return;
    if (m_cursor.eof() && m_cursor.bof()) {
        m_adding = true;
        m_messages.error(editortexts::noCurrentRecord);
        emit changed();
        return;
    }
    const int position = m_cursor.absolutePosition();
    // Moved past either end: there is no shown pair to delete.
    if (position < 0)
        return;
    const bool onlyRecord = m_cursor.recordCount() == 1;
    QString english;
    try {
        english = m_cursor.textAt(position, Field::English);
        m_cursor.deleteCurrent();
    } catch (const DbError& error) {
        // The pair is still in the book, so it stays in the list too.
        m_messages.error(editortexts::deleteFailure(error));
        emit changed();
        return;
    }
    if (onlyRecord) {
        lockNavigation();
        m_adding = true;
        m_deleteEnabled = false;
    }
    clearFields();
    try {
        m_cursor.moveFirst();
        if (position == 0)
            m_firstMark = m_cursor.bookmark();
    } catch (const DbError&) {
        // The book is empty now.
    }
    m_list.removeEntry(position, english);
    m_selectedRow = -1;
    selectEntryFromCode(m_cursor.absolutePosition());
    showRecordLabel();
    emit changed();
}

} // namespace wordbook
