// Corvane.Core tests.
#include "support/helpers_treemodel.h"

#include <lumen/treeroles.h>

#include <algorithm>

namespace cvtest
{
HelpersTreeModel::HelpersTreeModel(QObject* parent)
    : QAbstractItemModel(parent)
    , m_nodes(1)
{
}

HelpersTreeModel::~HelpersTreeModel() = default;

int HelpersTreeModel::addNode(int parentId, const QString& name, bool wantsToBeExpanded)
{
    const int id = addNodes(parentId, { name });
    if (wantsToBeExpanded)
        m_nodes[id].flag = true;
    return id;
}

int HelpersTreeModel::addNodes(int parentId, const QStringList& names)
{
    const int first = int(m_nodes[parentId].children.size());
    beginInsertRows(indexOf(parentId), first, first + names.size() - 1);
    const int firstId = int(m_nodes.size());
    for (const QString& name : names) {
        Node node;
        node.name = name;
        node.parent = parentId;
        m_nodes.push_back(node);
        m_nodes[parentId].children.push_back(int(m_nodes.size()) - 1);
    }
    endInsertRows();
    return firstId;
}

int HelpersTreeModel::addSubtree(
    int parentId, const QString& name, bool wantsToBeExpanded, const QStringList& childNames)
{
    const int row = int(m_nodes[parentId].children.size());
    beginInsertRows(indexOf(parentId), row, row);
    const int id = int(m_nodes.size());
    Node node;
    node.name = name;
    node.flag = wantsToBeExpanded;
    node.parent = parentId;
    m_nodes.push_back(node);
    for (const QString& childName : childNames) {
        Node child;
        child.name = childName;
        child.parent = id;
        m_nodes.push_back(child);
        m_nodes[id].children.push_back(int(m_nodes.size()) - 1);
    }
    m_nodes[parentId].children.push_back(id);
    endInsertRows();
    return id;
}

void HelpersTreeModel::setFlag(int id, bool wantsToBeExpanded)
{
    m_nodes[id].flag = wantsToBeExpanded;
}

bool HelpersTreeModel::flag(int id) const
{
    return m_nodes[id].flag.toBool();
}

void HelpersTreeModel::resetToChain(int depth)
{
    beginResetModel();
    m_nodes.assign(1, Node());
    m_nodes.reserve(depth + 1);
    for (int level = 0; level < depth; ++level) {
        Node node;
        node.name = QString::number(level);
        node.flag = true;
        node.parent = level;
        m_nodes.push_back(node);
        m_nodes[level].children.push_back(level + 1);
    }
    endResetModel();
}

void HelpersTreeModel::resetKeepingNodes()
{
    beginResetModel();
    endResetModel();
}

void HelpersTreeModel::removeNode(int id)
{
    const int parentId = m_nodes[id].parent;
    const int row = rowOf(id);
    beginRemoveRows(indexOf(parentId), row, row);
    auto& siblings = m_nodes[parentId].children;
    siblings.erase(siblings.begin() + row);
    m_nodes[id].parent = -1;
    endRemoveRows();
}

QModelIndex HelpersTreeModel::indexOf(int id) const
{
    if (id == rootId || id < 0 || id >= int(m_nodes.size()) || m_nodes[id].parent < 0)
        return {};
    return createIndex(rowOf(id), 0, quintptr(id));
}

QModelIndex HelpersTreeModel::find(const QString& name) const
{
    for (int id = 1; id < int(m_nodes.size()); ++id) {
        if (m_nodes[id].parent >= 0 && m_nodes[id].name == name)
            return indexOf(id);
    }
    return {};
}

QString HelpersTreeModel::nameOf(const QModelIndex& index) const
{
    return index.isValid() ? m_nodes[idOf(index)].name : QStringLiteral("<root>");
}

QString HelpersTreeModel::names(const QModelIndexList& indexes) const
{
    QStringList result;
    for (const QModelIndex& index : indexes)
        result.append(index.model() == this || !index.isValid() ? nameOf(index) : QStringLiteral("<foreign>"));
    return result.join(QLatin1Char(','));
}

int HelpersTreeModel::idOf(const QModelIndex& index) const
{
    return index.isValid() ? int(index.internalId()) : rootId;
}

int HelpersTreeModel::rowOf(int id) const
{
    const auto& siblings = m_nodes[m_nodes[id].parent].children;
    return int(std::find(siblings.begin(), siblings.end(), id) - siblings.begin());
}

QModelIndex HelpersTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (!hasIndex(row, column, parent))
        return {};
    return createIndex(row, column, quintptr(m_nodes[idOf(parent)].children[row]));
}

QModelIndex HelpersTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOf(m_nodes[idOf(child)].parent);
}

int HelpersTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return int(m_nodes[idOf(parent)].children.size());
}

int HelpersTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant HelpersTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const Node& node = m_nodes[idOf(index)];
    if (role == Qt::DisplayRole)
        return node.name;
    if (role == lum::getWantsToBeExpandedRole())
        return node.flag;
    return {};
}

bool HelpersTreeModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    m_calls.append({ nameOf(index), value, role });
    if (!index.isValid() || role != lum::getWantsToBeExpandedRole())
        return false;
    m_nodes[idOf(index)].flag = value;
    Q_EMIT dataChanged(index, index, { role });
    return true;
}

Qt::ItemFlags HelpersTreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable : Qt::NoItemFlags;
}

QHash<int, QByteArray> HelpersTreeModel::roleNames() const
{
    return { { Qt::DisplayRole, "name" }, { lum::getWantsToBeExpandedRole(), "wantsToBeExpanded" } };
}
}
