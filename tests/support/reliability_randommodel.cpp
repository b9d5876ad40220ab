// Corvane.Core tests.
#include "support/reliability_randommodel.h"

#include <algorithm>

namespace cvtest
{
ReliabilityRandomModel::Header ReliabilityRandomModel::header(const QString& name, const QString& id)
{
    Header header { { Qt::DisplayRole, name }, { NameNotEmptyRole, name } };
    if (!id.isEmpty())
        header.insert(ColumnIdRole, id);
    return header;
}

void ReliabilityRandomModel::addRows(int table, int row, int count)
{
    for (int k = 0; k < count; ++k) {
        m_nodes[m_nextId] = Node { table, 0, m_nodes[0].columns, {}, {} };
        m_nodes[table].children.insert(m_nodes[table].children.begin() + row + k, m_nextId++);
    }
}

void ReliabilityRandomModel::reset(int rows, const std::vector<Header>& headers, unsigned (*next)(void*), void* state)
{
    beginResetModel();
    m_nodes.clear();
    m_headers.clear();
    for (const Header& header : headers) {
        m_headers.insert(m_nextId, header);
        m_nodes[0].columns.push_back(m_nextId++);
    }
    addRows(0, 0, rows);
    // A few levels of children under random rows, when rows have an index.
    std::vector<int> level = m_nodes[0].children;
    for (int depth = 0; depth < 3 && m_tree && next && !headers.empty(); ++depth) {
        std::vector<int> below;
        for (int id : level) {
            addRows(id, 0, next(state) % 3 != 0 ? 0 : int(next(state) % 4));
            below.insert(below.end(), m_nodes[id].children.begin(), m_nodes[id].children.end());
        }
        level = below;
    }
    endResetModel();
}

void ReliabilityRandomModel::build(const QString& names, int rows)
{
    std::vector<Header> headers;
    for (const QChar name : names)
        headers.push_back(header(name, name));
    reset(rows, headers, nullptr, nullptr);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < names.size(); ++c)
            setData(index(r, c), names.at(c) + QString::number(r));
    }
}

std::vector<QModelIndex> ReliabilityRandomModel::parents() const
{
    std::vector<QModelIndex> out { QModelIndex() };
    for (std::size_t k = 0; m_tree && columnCount() > 0 && k < out.size(); ++k) {
        for (int r = 0; r < rowCount(out[k]); ++r)
            out.push_back(index(r, 0, out[k]));
    }
    return out;
}

QModelIndex ReliabilityRandomModel::indexOf(int id) const
{
    const std::vector<int>& siblings = m_nodes[m_nodes[id].parent].children;
    const int row = int(std::find(siblings.begin(), siblings.end(), id) - siblings.begin());
    return id == 0 ? QModelIndex() : createIndex(row, 0, quintptr(m_nodes[id].parent));
}

void ReliabilityRandomModel::insertRowsAt(const QModelIndex& parent, int row, int count)
{
    beginInsertRows(parent, row, row + count - 1);
    addRows(rowId(parent), row, count);
    endInsertRows();
}

void ReliabilityRandomModel::removeRowsAt(const QModelIndex& parent, int row, int count)
{
    if (row < 0 || count <= 0 || row + count > rowCount(parent))
        return;
    beginRemoveRows(parent, row, row + count - 1);
    std::vector<int>& rows = m_nodes[rowId(parent)].children;
    rows.erase(rows.begin() + row, rows.begin() + row + count);
    endRemoveRows();
}

bool ReliabilityRandomModel::moveRowsTo(const QModelIndex& from, int row, int count, const QModelIndex& to, int dest)
{
    // Qt refuses moves into the moved rows themselves and moves that change nothing.
    if (row < 0 || row + count > rowCount(from) || dest > rowCount(to)
        || !beginMoveRows(from, row, row + count - 1, to, dest))
        return false;
    const int target = rowId(to);
    std::vector<int>& source = m_nodes[rowId(from)].children;
    const std::vector<int> moving(source.begin() + row, source.begin() + row + count);
    source.erase(source.begin() + row, source.begin() + row + count);
    std::vector<int>& rows = m_nodes[target].children;
    rows.insert(rows.begin() + (from == to && dest > row ? dest - count : dest), moving.begin(), moving.end());
    for (int id : moving)
        m_nodes[id].parent = target;
    endMoveRows();
    return true;
}

void ReliabilityRandomModel::changeColumns(const std::vector<int>& after, int first, int last, int dest)
{
    // Tables below rows without an index (the root has no column) change unseen, before the root.
    for (auto it = m_nodes.begin(); columnCount() == 0 && it != m_nodes.end(); ++it)
        it->columns = it.key() > 0 ? after : it->columns;
    std::vector<QModelIndex> tables = parents();
    if (dest == Insert)
        std::reverse(tables.begin(), tables.end());
    for (const QModelIndex& table : tables) {
        dest == Insert       ? beginInsertColumns(table, first, last)
            : dest == Remove ? beginRemoveColumns(table, first, last)
                             : void(beginMoveColumns(table, first, last, table, dest));
        m_nodes[rowId(table)].columns = after;
        dest == Insert ? endInsertColumns() : dest == Remove ? endRemoveColumns() : endMoveColumns();
    }
}

void ReliabilityRandomModel::insertColumnsAt(int column, const std::vector<Header>& headers)
{
    column = std::max(0, std::min(column, columnCount()));
    std::vector<int> after = m_nodes[0].columns;
    for (std::size_t k = 0; k < headers.size(); ++k) {
        m_headers.insert(m_nextId, headers[k]);
        after.insert(after.begin() + column + int(k), m_nextId++);
    }
    // Children first: while the root still has fewer columns than its children, every column a
    // proxy keeps from the root's layout still exists below it.
    changeColumns(after, column, column + int(headers.size()) - 1, Insert);
}

void ReliabilityRandomModel::removeColumnsAt(int column, int count)
{
    if (column < 0 || column + count > columnCount())
        return;
    // Rows about to lose their last column first lose their children, which would have no parent index.
    for (int r = 0; count == columnCount() && r < rowCount(); ++r)
        removeRowsAt(index(r, 0), 0, rowCount(index(r, 0)));
    std::vector<int> after = m_nodes[0].columns;
    after.erase(after.begin() + column, after.begin() + column + count);
    changeColumns(after, column, column + count - 1, Remove);
}

bool ReliabilityRandomModel::moveColumnsTo(int column, int count, int dest)
{
    const int size = columnCount();
    if (column < 0 || column + count > size || dest < 0 || dest > size || (dest >= column && dest <= column + count))
        return false;
    std::vector<int> after = m_nodes[0].columns;
    std::rotate(after.begin() + std::min(column, dest), after.begin() + (dest < column ? column : column + count),
        after.begin() + (dest < column ? column + count : dest));
    changeColumns(after, column, column + count - 1, dest);
    return true;
}

void ReliabilityRandomModel::touchCells(const QModelIndex& parent, int row, int firstColumn, int lastColumn)
{
    m_nodes[rowId(index(row, 0, parent))].version++;
    Q_EMIT dataChanged(index(row, firstColumn, parent), index(row, lastColumn, parent));
}

void ReliabilityRandomModel::setHeaderValue(int column, int role, const QVariant& value)
{
    if (column < 0 || column >= columnCount())
        return;
    m_headers[m_nodes[0].columns[std::size_t(column)]].insert(role, value);
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

QModelIndex ReliabilityRandomModel::index(int row, int column, const QModelIndex& parent) const
{
    const bool ours = hasIndex(row, column, parent) && (!parent.isValid() || parent.model() == this);
    return ours ? createIndex(row, column, quintptr(rowId(parent))) : QModelIndex();
}

QVariant ReliabilityRandomModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node& row = m_nodes[rowId(index)];
    const int column = m_nodes[int(index.internalId())].columns[std::size_t(index.column())];
    if (role != Qt::DisplayRole || row.values.contains({ column, role }))
        return row.values.value({ column, role });
    return QStringLiteral("r%1v%2c%3").arg(rowId(index)).arg(row.version).arg(column);
}

bool ReliabilityRandomModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid())
        return false;
    role = role == Qt::EditRole ? int(Qt::DisplayRole) : role;
    const int column = m_nodes[int(index.internalId())].columns[std::size_t(index.column())];
    m_nodes[rowId(index)].values[{ column, role }] = value;
    Q_EMIT dataChanged(index, index, { role });
    return true;
}

QVariant ReliabilityRandomModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical || section < 0 || section >= columnCount())
        return QAbstractItemModel::headerData(section, orientation, role);
    const int id = m_nodes[0].columns[std::size_t(section)];
    return role == Qt::DisplayRole && !m_headers[id].contains(role) ? QStringLiteral("H%1").arg(id)
                                                                    : m_headers[id].value(role);
}

QHash<int, QByteArray> ReliabilityRandomModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractItemModel::roleNames();
    names.insert(extraRoleNames);
    return names;
}
}
