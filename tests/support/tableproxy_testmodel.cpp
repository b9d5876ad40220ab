// Corvane.Core tests.
#include "tableproxy_testmodel.h"

#include <type_traits>

namespace cvtest
{
TableProxyTestModel::TableProxyTestModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

TableProxyTestModel::~TableProxyTestModel() = default;

HeaderRoles TableProxyTestModel::column(const QString& name, const QString& id)
{
    HeaderRoles header { { Qt::DisplayRole, name }, { NameNotEmptyRole, name.isEmpty() ? QStringLiteral("?") : name },
        { ColumnCodeRole, 0 } };
    if (!id.isEmpty())
        header.insert(ColumnIdRole, id);
    return header;
}

void TableProxyTestModel::build(const QString& names, int rows)
{
    QList<HeaderRoles> headers;
    for (const QChar name : names)
        headers.append(column(name, name));
    QList<QVariantList> cells;
    for (int r = 0; r < rows; ++r) {
        QVariantList row;
        for (const QChar name : names)
            row.append(QString(name) + QString::number(r));
        cells.append(row);
    }
    reset(headers, cells);
}

void TableProxyTestModel::reset(const QList<HeaderRoles>& headers, const QList<QVariantList>& rows)
{
    beginResetModel();
    m_headers.assign(headers.begin(), headers.end());
    m_root.children.clear();
    for (const QVariantList& cells : rows) {
        auto node = std::make_unique<Node>();
        node->parent = &m_root;
        fill(*node, cells, int(m_headers.size()));
        m_root.children.push_back(std::move(node));
    }
    endResetModel();
}

void TableProxyTestModel::setExtraRoleNames(const QHash<int, QByteArray>& names)
{
    m_extraRoleNames = names;
}

void TableProxyTestModel::fill(Node& node, const QVariantList& cells, int columns)
{
    node.cells.assign(std::size_t(columns), QHash<int, QVariant>());
    for (int c = 0; c < columns && c < cells.size(); ++c)
        node.cells[std::size_t(c)].insert(Qt::DisplayRole, cells.at(c));
}

void TableProxyTestModel::insertColumnAt(int column, const HeaderRoles& header, const QVariantList& cells)
{
    beginInsertColumns(QModelIndex(), column, column);
    m_headers.insert(m_headers.begin() + column, header);
    int row = 0;
    for (auto& node : m_root.children) {
        QHash<int, QVariant> cell;
        if (row < cells.size())
            cell.insert(Qt::DisplayRole, cells.at(row));
        node->cells.insert(node->cells.begin() + column, cell);
        for (auto& child : node->children)
            child->cells.insert(child->cells.begin() + column, QHash<int, QVariant>());
        ++row;
    }
    endInsertColumns();
}

void TableProxyTestModel::removeColumnsAt(int first, int count)
{
    beginRemoveColumns(QModelIndex(), first, first + count - 1);
    m_headers.erase(m_headers.begin() + first, m_headers.begin() + first + count);
    for (auto& node : m_root.children) {
        node->cells.erase(node->cells.begin() + first, node->cells.begin() + first + count);
        for (auto& child : node->children)
            child->cells.erase(child->cells.begin() + first, child->cells.begin() + first + count);
    }
    endRemoveColumns();
}

bool TableProxyTestModel::moveColumnsTo(int first, int count, int dest)
{
    if (count <= 0 || !beginMoveColumns(QModelIndex(), first, first + count - 1, QModelIndex(), dest))
        return false;
    const int at = dest > first ? dest - count : dest;
    const auto move = [first, count, at](auto& items) {
        std::vector<typename std::decay_t<decltype(items)>::value_type> moving(
            items.begin() + first, items.begin() + first + count);
        items.erase(items.begin() + first, items.begin() + first + count);
        items.insert(items.begin() + at, moving.begin(), moving.end());
    };
    move(m_headers);
    for (auto& node : m_root.children) {
        move(node->cells);
        for (auto& child : node->children)
            move(child->cells);
    }
    endMoveColumns();
    return true;
}

void TableProxyTestModel::insertRowAt(int row, const QVariantList& cells)
{
    beginInsertRows(QModelIndex(), row, row);
    auto node = std::make_unique<Node>();
    node->parent = &m_root;
    fill(*node, cells, int(m_headers.size()));
    m_root.children.insert(m_root.children.begin() + row, std::move(node));
    endInsertRows();
}

void TableProxyTestModel::removeRowsAt(int first, int count)
{
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    m_root.children.erase(m_root.children.begin() + first, m_root.children.begin() + first + count);
    endRemoveRows();
}

void TableProxyTestModel::appendChildRow(int parentRow, const QVariantList& cells)
{
    Node* parentNode = m_root.children.at(std::size_t(parentRow)).get();
    const int row = int(parentNode->children.size());
    beginInsertRows(index(parentRow, 0), row, row);
    auto node = std::make_unique<Node>();
    node->parent = parentNode;
    fill(*node, cells, int(m_headers.size()));
    parentNode->children.push_back(std::move(node));
    endInsertRows();
}

void TableProxyTestModel::setCell(int row, int column, const QVariant& value, int role)
{
    m_root.children.at(std::size_t(row))->cells.at(std::size_t(column)).insert(role, value);
    const QModelIndex cell = index(row, column);
    Q_EMIT dataChanged(cell, cell, { role });
}

void TableProxyTestModel::setHeader(int column, int role, const QVariant& value)
{
    m_headers.at(std::size_t(column)).insert(role, value);
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

int TableProxyTestModel::headerReads(int role) const
{
    return m_headerReads.value(role);
}

TableProxyTestModel::Node* TableProxyTestModel::nodeOf(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return const_cast<Node*>(&m_root);
    Node* holder = static_cast<Node*>(parent.internalPointer());
    return holder->children.at(std::size_t(parent.row())).get();
}

QModelIndex TableProxyTestModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= columnCount(parent) || row >= rowCount(parent))
        return {};
    return createIndex(row, column, nodeOf(parent));
}

QModelIndex TableProxyTestModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    Node* holder = static_cast<Node*>(child.internalPointer());
    if (holder == &m_root)
        return {};
    const Node* grand = holder->parent;
    for (std::size_t r = 0; r < grand->children.size(); ++r) {
        if (grand->children[r].get() == holder)
            return createIndex(int(r), 0, const_cast<Node*>(grand));
    }
    return {};
}

int TableProxyTestModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return int(nodeOf(parent)->children.size());
}

int TableProxyTestModel::columnCount(const QModelIndex&) const
{
    return int(m_headers.size());
}

QVariant TableProxyTestModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node* holder = static_cast<Node*>(index.internalPointer());
    const Node* node = holder->children.at(std::size_t(index.row())).get();
    if (role == Qt::EditRole)
        role = Qt::DisplayRole;
    return node->cells.at(std::size_t(index.column())).value(role);
}

QVariant TableProxyTestModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < rowCount())
            return section;
        return {};
    }
    if (section < 0 || section >= int(m_headers.size()))
        return {};
    ++m_headerReads[role];
    return m_headers[std::size_t(section)].value(role);
}

QHash<int, QByteArray> TableProxyTestModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractItemModel::roleNames();
    for (auto it = m_extraRoleNames.constBegin(); it != m_extraRoleNames.constEnd(); ++it)
        names.insert(it.key(), it.value());
    return names;
}
}
