#pragma once

#include <QAbstractListModel>

namespace wordbook {

class Recordset;

// The editor's list: the English text of each record of the cursor, in the
// cursor's order, so that entry i is the record i places after the first.
// The texts are read from the cursor when shown, so opening a large book
// costs no copy of it; the entry count is the model's own and changes only
// through the calls below, which the editor makes as it changes the cursor.
class WordListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit WordListModel(const Recordset& cursor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Fills the list with every record of the cursor.
    void fill();
    void clear();
    // The cursor has a new record at its end.
    void appendEntry();
    // The record at row has a new English text.
    void changeEntry(int row);
    // The record at row, whose English was english, has left the cursor.
    void removeEntry(int row, const QString& english);

private:
    const Recordset& m_cursor;
    int m_count = 0;
    // While the views hear of a removal, they still see the entries as they
    // were: the removed one, and the ones after it one place further on.
    int m_removedRow = -1;
    QString m_removedEnglish;
};

} // namespace wordbook
