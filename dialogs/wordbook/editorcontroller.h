#pragma once

#include "dialogs/wordbook/connection.h"
#include "dialogs/wordbook/recordset.h"
#include "dialogs/wordbook/wordlistmodel.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace wordbook {

class EditorMessages;

// What the word book editor does, without its widgets: its own connection
// and cursor on the book ("select * from word ORDER BY English"), the texts
// of the two boxes, the list, the record label, adding mode and which
// buttons may be used. The window shows this state after every changed()
// and passes the learner's typing and clicks in.
//
// The list and the cursor never disagree: list entry i is the record i
// places after the first. Opening fills the list in the cursor's order; a new
// record goes to the end of both, a changed one keeps its place in both, and
// an entry leaves the list only when its record has left the cursor.
class EditorController final : public QObject
{
    Q_OBJECT

public:
    // The statement the editor's cursor runs.
    static inline const QString kStatement = QStringLiteral("select * from word ORDER BY English");

    // Opens the cursor on the connection and shows the first record (or, on
    // an empty book, waits for the first pair). Throws DbError when the
    // cursor cannot be opened.
    EditorController(Connection connection, EditorMessages& messages, QObject* parent = nullptr);
    ~EditorController() override;

    // The list, in the cursor's order.
    WordListModel* listModel() { return &m_list; }

    QString englishText() const { return m_english; }
    QString russianText() const { return m_russian; }
    // The learner's typing; shown again as it is, stored by save().
    void setEnglishText(const QString& text) { m_english = text; }
    void setRussianText(const QString& text) { m_russian = text; }

    QString recordLabel() const { return m_label; }
    // The selected list entry, -1 when none is.
    int selectedRow() const { return m_selectedRow; }
    // On: the next save() adds a new pair; off: it changes the shown one.
    bool addingMode() const { return m_adding; }
    // A book that refuses writes can be browsed only.
    bool readOnly() const { return m_readOnly; }

    // Which controls may be used: the four arrows; both Add buttons; the
    // Save and Delete buttons. An action whose control may not be used does
    // nothing.
    bool navigationEnabled() const { return m_navigationUnlocked; }
    bool addEnabled() const { return m_navigationUnlocked && !m_readOnly; }
    bool saveEnabled() const { return !m_readOnly; }
    bool deleteEnabled() const { return m_deleteEnabled && !m_readOnly; }

    void moveToFirst();
    void moveToLast();
    void moveToNext();
    void moveToPrevious();
    // The learner picks a list entry.
    void selectEntry(int row);
    // Empties the texts and waits for a new pair.
    void add();
    // Stores the texts: a new pair in adding mode, else the shown pair changed.
    void save();
    // Deletes the shown pair.
    void deleteRecord();

signals:
    // Any of the state above may have changed.
    void changed();
    // The keyboard belongs in the English box now.
    void englishFocusRequested();

private:
    void open();
    // Runs a move of the cursor if the arrows may be used.
    void navigate(const std::function<void()>& move);
    void clearFields();
    void lockNavigation() { m_navigationUnlocked = false; }
    void unlockNavigation() { m_navigationUnlocked = true; }
    void readCurrentTexts();
    void showRecord();
    void showRecordLabel();
    void clickEntry(int row);
    void selectEntryFromCode(int row);
    void startAdding();

    Connection m_connection;
    Recordset m_cursor;
    WordListModel m_list;
    EditorMessages& m_messages;
    const bool m_readOnly;

    QString m_english;
    QString m_russian;
    QString m_label;
    int m_selectedRow = -1;
    bool m_adding = false;
    // As designed: every button enabled until the book says otherwise.
    bool m_navigationUnlocked = true;
    bool m_deleteEnabled = true;
    // The cursor's first record, from which a list entry counts its way.
    QByteArray m_firstMark;
};

} // namespace wordbook
