// Corvane demo host application.
#include "treerowsmodel.h"

#include <QSequentialIterable>

namespace demo
{
TreeRowsModel::TreeRowsModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

TreeRowsModel::~TreeRowsModel()
{
    delete m_connections;
}

QAbstractItemModel* TreeRowsModel::sourceModel() const
{
    return m_source;
}

void TreeRowsModel::setSourceModel(QAbstractItemModel* model)
{
    if (m_source == model)
        return;
    beginResetModel();
    delete m_connections;
    m_connections = nullptr;
    m_source = model;
    m_expanded.clear();
    if (model) {
        m_connections = new QObject(this);
        // Any change of the tree's shape rebuilds the rows; the tree sizes of the demo make that
        // cheap next to the sort or reset that caused it.
        auto begin = [this] { beginResetModel(); };
        auto end = [this] { resetFromSource(); };
        connect(model, &QAbstractItemModel::modelAboutToBeReset, m_connections, begin);
        connect(model, &QAbstractItemModel::modelReset, m_connections, [this] {
            m_expanded.clear();
            resetFromSource();
        });
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, m_connections, begin);
        connect(model, &QAbstractItemModel::layoutChanged, m_connections, end);
        connect(model, &QAbstractItemModel::rowsAboutToBeInserted, m_connections, begin);
        connect(model, &QAbstractItemModel::rowsInserted, m_connections, end);
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, m_connections, begin);
        connect(model, &QAbstractItemModel::rowsRemoved, m_connections, end);
        connect(model, &QAbstractItemModel::rowsAboutToBeMoved, m_connections, begin);
        connect(model, &QAbstractItemModel::rowsMoved, m_connections, end);
        connect(model, &QAbstractItemModel::columnsAboutToBeInserted, m_connections, begin);
        connect(model, &QAbstractItemModel::columnsInserted, m_connections, end);
        connect(model, &QAbstractItemModel::columnsAboutToBeRemoved, m_connections, begin);
        connect(model, &QAbstractItemModel::columnsRemoved, m_connections, end);
        connect(model, &QAbstractItemModel::columnsAboutToBeMoved, m_connections, begin);
        connect(model, &QAbstractItemModel::columnsMoved, m_connections, end);
        connect(model, &QAbstractItemModel::dataChanged, m_connections,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles) {
                if (m_rows.isEmpty())
                    return;
                // The row of a changed node, if shown; a child range is contiguous in the rows.
                const int first = rowOf(topLeft.siblingAtColumn(0));
                const int last = rowOf(bottomRight.siblingAtColumn(0));
                if (first < 0 || last < first)
                    return;
                Q_EMIT dataChanged(index(first, 0), index(last, columnCount() - 1), roles);
            });
        connect(model, &QObject::destroyed, m_connections, [this] {
            beginResetModel();
            m_rows.clear();
            m_depths.clear();
            m_expanded.clear();
            endResetModel();
        });
    }
    resetFromSource();
    Q_EMIT sourceModelChanged();
}

void TreeRowsModel::resetFromSource()
{
    m_roleNames = m_source ? m_source->roleNames() : QHash<int, QByteArray>();
    auto freeRole = [this](int from) {
        int role = from;
        while (m_roleNames.contains(role))
            ++role;
        return role;
    };
    m_depthRole = freeRole(Qt::UserRole + 2000);
    m_roleNames.insert(m_depthRole, "depth");
    m_expandedRole = freeRole(m_depthRole);
    m_roleNames.insert(m_expandedRole, "expanded");
    m_hasChildrenRole = freeRole(m_expandedRole);
    m_roleNames.insert(m_hasChildrenRole, "hasChildren");
    rebuild();
    endResetModel();
}

void TreeRowsModel::rebuild()
{
    m_rows.clear();
    m_depths.clear();
    if (!m_source)
        return;
    // Depth-first over the shown nodes, without recursion.
    struct Pending
    {
        QModelIndex parent;
        int next;
        int depth;
    };
    QSet<QModelIndex> expanded;
    for (const QPersistentModelIndex& node : qAsConst(m_expanded)) {
        if (node.isValid())
            expanded.insert(node);
    }
    QVector<Pending> stack { { QModelIndex(), 0, 0 } };
    while (!stack.isEmpty()) {
        Pending& top = stack.last();
        if (top.next >= m_source->rowCount(top.parent)) {
            stack.removeLast();
            continue;
        }
        const QModelIndex node = m_source->index(top.next++, 0, top.parent);
        const int depth = top.depth;
        m_rows.append(node);
        m_depths.append(depth);
        if (expanded.contains(node) && m_source->hasChildren(node))
            stack.append({ node, 0, depth + 1 });
    }
}

bool TreeRowsModel::expandedContains(const QModelIndex& node) const
{
    for (const QPersistentModelIndex& expanded : m_expanded) {
        if (expanded == node)
            return true;
    }
    return false;
}

int TreeRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int TreeRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_source ? 0 : m_source->columnCount();
}

QVariant TreeRowsModel::data(const QModelIndex& index, int role) const
{
    if (!m_source || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const QModelIndex node = m_rows.at(index.row());
    if (role == m_depthRole)
        return m_depths.at(index.row());
    if (role == m_expandedRole)
        return expandedContains(node);
    if (role == m_hasChildrenRole)
        return m_source->hasChildren(node);
    return m_source->data(node.siblingAtColumn(index.column()), role);
}

QHash<int, QByteArray> TreeRowsModel::roleNames() const
{
    return m_roleNames;
}

QModelIndex TreeRowsModel::sourceIndex(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row) : QModelIndex();
}

int TreeRowsModel::rowOf(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid())
        return -1;
    return m_rows.indexOf(sourceIndex.siblingAtColumn(0));
}

bool TreeRowsModel::isExpanded(int row) const
{
    return row >= 0 && row < m_rows.size() && expandedContains(m_rows.at(row));
}

bool TreeRowsModel::setExpanded(int row, bool expanded)
{
    if (!m_source || row < 0 || row >= m_rows.size() || isExpanded(row) == expanded)
        return false;
    const QModelIndex node = m_rows.at(row);
    if (expanded && !m_source->hasChildren(node))
        return false;
    const int depth = m_depths.at(row);
    if (expanded) {
        m_expanded.append(node);
        // Rebuild into a side list to learn how many rows open up under the node.
        QVector<QModelIndex> oldRows = m_rows;
        QVector<int> oldDepths = m_depths;
        rebuild();
        const int added = m_rows.size() - oldRows.size();
        if (added > 0) {
            QVector<QModelIndex> newRows = m_rows;
            QVector<int> newDepths = m_depths;
            m_rows = oldRows;
            m_depths = oldDepths;
            beginInsertRows(QModelIndex(), row + 1, row + added);
            m_rows = newRows;
            m_depths = newDepths;
            endInsertRows();
        }
    } else {
        int end = row + 1;
        while (end < m_rows.size() && m_depths.at(end) > depth)
            ++end;
        m_expanded.removeAll(node);
        if (end > row + 1) {
            beginRemoveRows(QModelIndex(), row + 1, end - 1);
            m_rows.remove(row + 1, end - row - 1);
            m_depths.remove(row + 1, end - row - 1);
            endRemoveRows();
        }
    }
    const QModelIndex changed = index(row, 0);
    Q_EMIT dataChanged(changed, index(row, qMax(0, columnCount() - 1)), { m_expandedRole });
    return true;
}

void TreeRowsModel::expandSourceIndexes(const QVariant& indexes)
{
    if (!m_source)
        return;
    QList<QModelIndex> nodes;
    if (indexes.canConvert<QModelIndexList>()) {
        nodes = indexes.value<QModelIndexList>();
    } else if (indexes.canConvert<QVariantList>()) {
        const QVariantList list = indexes.toList();
        for (const QVariant& item : list)
            nodes.append(item.value<QModelIndex>());
    }
    bool changed = false;
    for (const QModelIndex& node : qAsConst(nodes)) {
        if (node.model() == m_source && !expandedContains(node.siblingAtColumn(0))) {
            m_expanded.append(node.siblingAtColumn(0));
            changed = true;
        }
    }
    if (!changed)
        return;
    beginResetModel();
    rebuild();
    endResetModel();
}

void TreeRowsModel::collapseAll()
{
    if (m_expanded.isEmpty())
        return;
    beginResetModel();
    m_expanded.clear();
    rebuild();
    endResetModel();
}
}
