#include "dialogs/wordbook/wordlistmodel.h"

#include "dialogs/wordbook/dberror.h"
#include "dialogs/wordbook/recordset.h"

namespace wordbook {

WordListModel::WordListModel(const Recordset& cursor, QObject* parent)
    : QAbstractListModel(parent), m_cursor(cursor)
{}

int WordListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

QVariant WordListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_count)
        return QVariant();
    int position = index.row();
    if (m_removedRow >= 0 && position >= m_removedRow) {
        if (position == m_removedRow)
            return m_removedEnglish;
        --position;
    }
    try {
        return m_cursor.textAt(position, Recordset::Field::English);
    } catch (const DbError&) {
        // Deleted by another program since the list was filled.
        return QString();
    }
}

void WordListModel::fill()
{
    beginResetModel();
    m_count = m_cursor.recordCount();
    endResetModel();
}

void WordListModel::clear()
{
    beginResetModel();
    m_count = 0;
    endResetModel();
}

void WordListModel::appendEntry()
{
    beginInsertRows(QModelIndex(), m_count, m_count);
    ++m_count;
    endInsertRows();
}

void WordListModel::changeEntry(int row)
{
    if (row < 0 || row >= m_count)
        return;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void WordListModel::removeEntry(int row, const QString& english)
{
    if (row < 0 || row >= m_count)
        return;
    m_removedRow = row;
    m_removedEnglish = english;
    beginRemoveRows(QModelIndex(), row, row);
    --m_count;
    m_removedRow = -1;
    m_removedEnglish.clear();
    endRemoveRows();
}

} // namespace wordbook
