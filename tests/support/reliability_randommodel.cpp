// Corvane.Core tests.
#include "support/reliability_randommodel.h"

#include <lumen/treeroles.h>

#include <algorithm>

namespace cvtest
{
ReliabilityRandomModel::ReliabilityRandomModel(bool tree, QObject* parent)
    : QAbstractItemModel(parent)
    , m_tree(tree)
{
}

ReliabilityRandomModel::~ReliabilityRandomModel() = default;

std::unique_ptr<ReliabilityRandomModel::Node> ReliabilityRandomModel::newNode(Node* parent)
{
    auto node = std::make_unique<Node>();
    node->id = m_nextId++;
    node->parent = parent;
    node->columns = m_root.columns;
    return node;
}

ReliabilityRandomModel::Header ReliabilityRandomModel::header(const QString& name, const QString& id)
{
    Header header{{Qt::DisplayRole, name}, {NameNotEmptyRole, name}};
    if (!id.isEmpty())
        header.insert(ColumnIdRole, id);
    return header;
}

void ReliabilityRandomModel::reset(int rows, const std::vector<Header>& headers, unsigned (*next)(void*), void* state)
{
    beginResetModel();
    rebuild(rows, headers, next, state);
    endResetModel();
}

void ReliabilityRandomModel::build(const QString& names, int rows)
{
    std::vector<Header> headers;
    for (const QChar name : names)
        headers.push_back(header(name, name));
    beginResetModel();
    rebuild(rows, headers, [](void*) { return 1u; }, nullptr);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < names.size(); ++c)
            m_root.children[std::size_t(r)]->values[m_root.columns[std::size_t(c)]][Qt::DisplayRole] = names.at(c) + QString::number(r);
    }
    endResetModel();
}

void ReliabilityRandomModel::rebuild(int rows, const std::vector<Header>& headers, unsigned (*next)(void*), void* state)
{
    m_root.children.clear();
    m_root.columns.clear();
    m_headers.clear();
    for (const Header& header : headers) {
        const int id = m_nextId++;
        m_headers.insert(id, header);
        m_root.columns.push_back(id);
    }
    for (int r = 0; r < rows; ++r)
        m_root.children.push_back(newNode(&m_root));
    // Rows of a table without columns have no index, so they cannot hold children.
    if (m_tree && !m_root.columns.empty()) {
        // A few levels of children under random rows.
        std::vector<Node*> candidates;
        for (auto& child : m_root.children)
            candidates.push_back(child.get());
        for (int depth = 0; depth < 3 && !candidates.empty(); ++depth) {
            std::vector<Node*> nextLevel;
            for (Node* node : candidates) {
                if (next(state) % 3 != 0)
                    continue;
                const int count = int(next(state) % 4);
                for (int k = 0; k < count; ++k) {
                    node->children.push_back(newNode(node));
                    nextLevel.push_back(node->children.back().get());
                }
            }
            candidates = nextLevel;
        }
    }
}

std::vector<ReliabilityRandomModel::Node*> ReliabilityRandomModel::allTables() const
{
    // Depth first, parents before their children.
    std::vector<Node*> out;
    std::vector<Node*> stack{const_cast<Node*>(&m_root)};
    while (!stack.empty()) {
        Node* current = stack.back();
        stack.pop_back();
        out.push_back(current);
        for (auto it = current->children.rbegin(); m_tree && it != current->children.rend(); ++it)
            stack.push_back(it->get());
    }
    return out;
}

bool ReliabilityRandomModel::addressable(const Node* table) const
{
    // A row has an index (and can be a parent) only while its own table has a column.
    for (const Node* node = table; node != &m_root; node = node->parent) {
        if (!node->parent || node->parent->columns.empty())
            return false;
    }
    return true;
}

std::vector<QModelIndex> ReliabilityRandomModel::parents() const
{
    std::vector<QModelIndex> out;
    for (Node* node : allTables()) {
        if (addressable(node))
            out.push_back(indexOf(node));
    }
    return out;
}

ReliabilityRandomModel::Node* ReliabilityRandomModel::nodeOf(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return const_cast<Node*>(&m_root);
    Node* table = static_cast<Node*>(parent.internalPointer());
    if (parent.row() < 0 || std::size_t(parent.row()) >= table->children.size())
        return nullptr;
    return table->children[std::size_t(parent.row())].get();
}

QModelIndex ReliabilityRandomModel::indexOf(const Node* node) const
{
    if (!node || node == &m_root || !node->parent)
        return {};
    const auto& siblings = node->parent->children;
    for (std::size_t row = 0; row < siblings.size(); ++row) {
        if (siblings[row].get() == node)
            return createIndex(int(row), 0, node->parent);
    }
    return {};
}

void ReliabilityRandomModel::insertRowsAt(const QModelIndex& parent, int row, int count)
{
    Node* node = nodeOf(parent);
    if (!node || count <= 0 || (!m_tree && node != &m_root))
        return;
    row = std::max(0, std::min(row, int(node->children.size())));
    beginInsertRows(parent, row, row + count - 1);
    for (int k = 0; k < count; ++k) {
        auto child = newNode(node);
        child->columns = node->columns;
        node->children.insert(node->children.begin() + row + k, std::move(child));
    }
    endInsertRows();
}

void ReliabilityRandomModel::removeRowsAt(const QModelIndex& parent, int row, int count)
{
    Node* node = nodeOf(parent);
    if (!node || row < 0 || count <= 0 || row + count > int(node->children.size()))
        return;
    beginRemoveRows(parent, row, row + count - 1);
    node->children.erase(node->children.begin() + row, node->children.begin() + row + count);
    endRemoveRows();
}

bool ReliabilityRandomModel::moveRowsTo(const QModelIndex& from, int row, int count, const QModelIndex& to, int dest)
{
    Node* source = nodeOf(from);
    Node* target = nodeOf(to);
    if (!source || !target || row < 0 || count <= 0 || row + count > int(source->children.size()) || dest < 0
        || dest > int(target->children.size()))
        return false;
    // Rows with children cannot join a table without columns, where they would have no index.
    for (int k = row; k < row + count && target->columns.empty(); ++k) {
        if (!source->children[std::size_t(k)]->children.empty())
            return false;
    }
    // A row never moves below itself.
    for (Node* up = target; up; up = up->parent) {
        for (int k = row; k < row + count; ++k) {
            if (source->children[std::size_t(k)].get() == up)
                return false;
        }
    }
    if (!beginMoveRows(from, row, row + count - 1, to, dest))
        return false;
    std::vector<std::unique_ptr<Node>> moving;
    for (int k = row; k < row + count; ++k)
        moving.push_back(std::move(source->children[std::size_t(k)]));
    source->children.erase(source->children.begin() + row, source->children.begin() + row + count);
    int at = dest;
    if (source == target && dest > row)
        at -= count;
    for (auto& node : moving) {
        node->parent = target;
        target->children.insert(target->children.begin() + at++, std::move(node));
    }
    endMoveRows();
    return true;
}

void ReliabilityRandomModel::insertColumnsAt(int column, const std::vector<Header>& headers)
{
    if (headers.empty())
        return;
    column = std::max(0, std::min(column, int(m_root.columns.size())));
    std::vector<int> ids;
    for (const Header& header : headers) {
        ids.push_back(m_nextId++);
        m_headers.insert(ids.back(), header);
    }
    // Children first: while the root still has fewer columns than its children, every column
    // a proxy keeps from the root's layout still exists below it.
    const std::vector<Node*> tables = allTables();
    for (auto it = tables.rbegin(); it != tables.rend(); ++it) {
        Node* table = *it;
        const int at = std::min(column, int(table->columns.size()));
        // Tables below rows without an index change unseen.
        const bool seen = addressable(table);
        if (seen)
            beginInsertColumns(indexOf(table), at, at + int(ids.size()) - 1);
        table->columns.insert(table->columns.begin() + at, ids.begin(), ids.end());
        if (seen)
            endInsertColumns();
    }
}

void ReliabilityRandomModel::removeColumnsAt(int column, int count)
{
    if (column < 0 || count <= 0 || column + count > int(m_root.columns.size()))
        return;
    // A table about to lose its last column first loses the children of its rows, which would
    // have no parent index any more.
    for (bool dropped = true; dropped;) {
        dropped = false;
        for (Node* table : allTables()) {
            if (column != 0 || count != int(table->columns.size()) || !addressable(table))
                continue;
            for (std::size_t r = 0; r < table->children.size(); ++r) {
                Node* row = table->children[r].get();
                if (row->children.empty())
                    continue;
                beginRemoveRows(indexOf(row), 0, int(row->children.size()) - 1);
                row->children.clear();
                endRemoveRows();
                dropped = true;
            }
            if (dropped)
                break;
        }
    }
    for (Node* table : allTables()) {
        if (column + count > int(table->columns.size()))
            continue;
        const bool seen = addressable(table);
        if (seen)
            beginRemoveColumns(indexOf(table), column, column + count - 1);
        table->columns.erase(table->columns.begin() + column, table->columns.begin() + column + count);
        if (seen)
            endRemoveColumns();
    }
}

bool ReliabilityRandomModel::moveColumnsTo(int column, int count, int dest)
{
    const int size = int(m_root.columns.size());
    if (column < 0 || count <= 0 || column + count > size || dest < 0 || dest > size
        || (dest >= column && dest <= column + count))
        return false;
    for (Node* table : allTables()) {
        const bool seen = addressable(table);
        if (seen && !beginMoveColumns(indexOf(table), column, column + count - 1, indexOf(table), dest))
            return false;
        std::vector<int> moving(table->columns.begin() + column, table->columns.begin() + column + count);
        table->columns.erase(table->columns.begin() + column, table->columns.begin() + column + count);
        const int at = dest > column ? dest - count : dest;
        table->columns.insert(table->columns.begin() + at, moving.begin(), moving.end());
        if (seen)
            endMoveColumns();
    }
    return true;
}

void ReliabilityRandomModel::touchCells(const QModelIndex& parent, int row, int firstColumn, int lastColumn)
{
    Node* table = nodeOf(parent);
    if (!table || row < 0 || row >= int(table->children.size()))
        return;
    const int columns = int(table->columns.size());
    firstColumn = std::max(0, firstColumn);
    lastColumn = std::min(columns - 1, lastColumn);
    table->children[std::size_t(row)]->version++;
    if (firstColumn <= lastColumn)
        Q_EMIT dataChanged(index(row, firstColumn, parent), index(row, lastColumn, parent));
}

void ReliabilityRandomModel::setHeaderValue(int column, int role, const QVariant& value)
{
    if (column < 0 || column >= int(m_root.columns.size()))
        return;
    m_headers[m_root.columns[std::size_t(column)]].insert(role, value);
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

void ReliabilityRandomModel::reverseChildren(const std::vector<QModelIndex>& parentsToReverse, bool announceParents)
{
    std::vector<Node*> tables;
    QList<QPersistentModelIndex> announced;
    for (const QModelIndex& parent : parentsToReverse) {
        Node* table = nodeOf(parent);
        if (table && std::find(tables.begin(), tables.end(), table) == tables.end()) {
            tables.push_back(table);
            announced.append(parent);
        }
    }
    if (!announceParents)
        announced.clear();
    Q_EMIT layoutAboutToBeChanged(announced);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::pair<Node*, int>> cells;
    for (const QModelIndex& index : before) {
        Node* table = static_cast<Node*>(index.internalPointer());
        cells.emplace_back(table->children[std::size_t(index.row())].get(), index.column());
    }
    for (Node* table : tables)
        std::reverse(table->children.begin(), table->children.end());
    QModelIndexList after;
    for (const auto& cell : cells) {
        const QModelIndex row = indexOf(cell.first);
        after.append(createIndex(row.row(), cell.second, cell.first->parent));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged(announced);
}

void ReliabilityRandomModel::setExpandFlag(const QModelIndex& index, bool flag)
{
    setData(index, flag, lum::getWantsToBeExpandedRole());
}

int ReliabilityRandomModel::headerColumnId(int column) const
{
    return column >= 0 && column < int(m_root.columns.size()) ? m_root.columns[std::size_t(column)] : -1;
}

QModelIndex ReliabilityRandomModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() && (parent.model() != this || parent.column() != 0))
        return {};
    Node* table = nodeOf(parent);
    if (!table || row < 0 || column < 0 || row >= int(table->children.size()) || column >= int(table->columns.size()))
        return {};
    return createIndex(row, column, table);
}

QModelIndex ReliabilityRandomModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOf(static_cast<Node*>(child.internalPointer()));
}

int ReliabilityRandomModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const Node* table = nodeOf(parent);
    return table ? int(table->children.size()) : 0;
}

int ReliabilityRandomModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    const Node* table = nodeOf(parent);
    return table ? int(table->columns.size()) : 0;
}

QVariant ReliabilityRandomModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* table = static_cast<Node*>(index.internalPointer());
    if (index.row() >= int(table->children.size()) || index.column() >= int(table->columns.size()))
        return {};
    const Node* node = table->children[std::size_t(index.row())].get();
    const QHash<int, QVariant> values = node->values.value(table->columns[std::size_t(index.column())]);
    if (values.contains(role == Qt::EditRole ? Qt::DisplayRole : role))
        return values.value(role == Qt::EditRole ? Qt::DisplayRole : role);
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return QStringLiteral("r%1v%2c%3")
            .arg(node->id)
            .arg(node->version)
            .arg(table->columns[std::size_t(index.column())]);
    }
    if (role == RowIdRole)
        return node->id;
    if (role == lum::getWantsToBeExpandedRole())
        return node->flag;
    return {};
}

bool ReliabilityRandomModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.model() != this)
        return false;
    Node* table = static_cast<Node*>(index.internalPointer());
    Node* node = table->children[std::size_t(index.row())].get();
    role = role == Qt::EditRole ? int(Qt::DisplayRole) : role;
    if (role == lum::getWantsToBeExpandedRole())
        node->flag = value.toBool();
    else
        node->values[table->columns[std::size_t(index.column())]][role] = value;
    Q_EMIT dataChanged(index, index, {role});
    return true;
}

Qt::ItemFlags ReliabilityRandomModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

QVariant ReliabilityRandomModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole && section >= 0 && section < int(m_root.children.size()) ? QVariant(section + 1)
                                                                                                : QVariant();
    const int id = headerColumnId(section);
    if (id < 0)
        return {};
    const Header header = m_headers.value(id);
    if (role == Qt::DisplayRole && !header.contains(Qt::DisplayRole))
        return QStringLiteral("H%1").arg(id);
    return header.value(role);
}

QHash<int, QByteArray> ReliabilityRandomModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractItemModel::roleNames();
    names.insert(RowIdRole, QByteArrayLiteral("rowId"));
    for (auto it = extraRoleNames.constBegin(); it != extraRoleNames.constEnd(); ++it)
        names.insert(it.key(), it.value());
    return names;
}
}
