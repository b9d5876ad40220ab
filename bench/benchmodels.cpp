// Corvane.Core benchmarks.
#include "benchmodels.h"

#include <lumen/treeroles.h>

#include <QSize>

namespace cvbench
{
namespace
{
// Deterministic data: every run and every peer sees the same rows.
struct Lcg
{
    quint64 state;
    quint32 next()
    {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return quint32(state >> 33);
    }
};

const char* const units[] = {"B", "KB", "MB", "GB"};
}

bool naturalLess(const QString& left, const QString& right)
{
    int i = 0;
    int j = 0;
    while (i < left.size() && j < right.size()) {
        const QChar a = left.at(i);
        const QChar b = right.at(j);
        if (a.isDigit() && b.isDigit()) {
            qint64 x = 0;
            qint64 y = 0;
            while (i < left.size() && left.at(i).isDigit())
                x = x * 10 + left.at(i++).digitValue();
            while (j < right.size() && right.at(j).isDigit())
                y = y * 10 + right.at(j++).digitValue();
            if (x != y)
                return x < y;
            continue;
        }
        const QChar la = a.toCaseFolded();
        const QChar lb = b.toCaseFolded();
        if (la != lb)
            return la < lb;
        ++i;
        ++j;
    }
    return left.size() - i < right.size() - j;
}

TableModel::TableModel(int rows, int columns, int initialSortColumn)
    : m_rows(rows)
    , m_columns(columns)
    , m_initialSortColumn(initialSortColumn)
{
    Lcg random{0x5eedULL};
    m_ints.reserve(rows);
    m_doubles.reserve(rows);
    m_names.reserve(rows);
    m_sizes.reserve(rows);
    m_dates.reserve(rows);
    m_texts.reserve(rows);
    const QDate epoch(2000, 1, 1);
    for (int row = 0; row < rows; ++row) {
        m_ints.append(int(random.next() % 1000000));
        m_doubles.append(double(random.next() % 100000) / 7.0);
        m_names.append(QStringLiteral("Layer ") + QString::number(random.next() % 100000));
        const quint32 size = random.next();
        m_sizes.append(QString::number(double(size % 10000) / 10.0) + QLatin1Char(' ')
                       + QLatin1String(units[(size >> 16) % 4]));
        m_dates.append(epoch.addDays(random.next() % 9000));
        m_texts.append(QStringLiteral("item-%1-%2").arg(random.next() % 5000).arg(row % 97));
    }
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const int row = index.row();
    switch (index.column() % 8) {
    case 0:
        return m_ints.at(row);
    case 1:
        return m_doubles.at(row);
    case 2:
        return m_names.at(row);
    case 3:
        return m_sizes.at(row);
    case 4:
        return m_dates.at(row);
    case 5:
        return m_texts.at(row);
    case 6:
        return m_ints.at(m_rows - 1 - row);
    default:
        return m_names.at(m_rows - 1 - row);
    }
}

int TableModel::sortTypeOf(int column)
{
    switch (column % 8) {
    case 2:
    case 7:
        return 0; // natural text
    case 3:
        return 8; // file size
    case 5:
        return 1; // plain case-insensitive text
    default:
        return 4; // by value type
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return QStringLiteral("Column %1").arg(section);
    case Qt::SizeHintRole:
        return QSize(90 + section, 20);
    case ProportionalWidthRole:
        return 1;
    case SortTypeRole:
        return sortTypeOf(section);
    case ColumnIdRole:
        return QStringLiteral("col%1").arg(section);
    case InitialSortColumnRole:
        return section == m_initialSortColumn;
    case Qt::InitialSortOrderRole:
        return int(Qt::AscendingOrder);
    default:
        return {};
    }
}

TreeModel::TreeModel(int nodes, int fanout)
{
    m_nodes.reserve(nodes + 1);
    m_nodes.append(Node{-1, 0, {}, false});
    // Breadth-first: node k's parent is (k - 1) / fanout, so the tree is as shallow as it gets.
    for (int k = 1; k <= nodes; ++k) {
        const int parent = (k - 1) / fanout;
        Node node{parent, int(m_nodes[parent].children.size()), {}, k % 3 == 0};
        m_nodes[parent].children.append(k);
        m_nodes.append(node);
    }
}

const TreeModel::Node& TreeModel::nodeOf(const QModelIndex& index) const
{
    return m_nodes.at(index.isValid() ? int(index.internalId()) : 0);
}

QModelIndex TreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const Node& node = nodeOf(parent);
    if (row < 0 || row >= node.children.size() || column != 0)
        return {};
    return createIndex(row, column, quintptr(node.children.at(row)));
}

QModelIndex TreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    const int parent = m_nodes.at(int(child.internalId())).parent;
    if (parent <= 0)
        return {};
    return createIndex(m_nodes.at(parent).row, 0, quintptr(parent));
}

int TreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return nodeOf(parent).children.size();
}

int TreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant TreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == lum::getWantsToBeExpandedRole())
        return nodeOf(index).expanded;
    if (role == Qt::DisplayRole)
        return QStringLiteral("Node %1").arg(index.internalId());
    return {};
}

bool TreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != lum::getWantsToBeExpandedRole())
        return false;
    m_nodes[int(index.internalId())].expanded = value.toBool();
    Q_EMIT dataChanged(index, index, {role});
    return true;
}
}
