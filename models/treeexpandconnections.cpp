// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/treeexpandconnections.h"

#include "models/subtreewalk_p.h"

#include <lumen/treeroles.h>

#include <QPersistentModelIndex>

#include <algorithm>
#include <limits>

namespace core
{
TreeExpandConnections::TreeExpandConnections(QObject* parent)
    : QObject(parent)
{
}

TreeExpandConnections::~TreeExpandConnections() = default;

QAbstractItemModel* TreeExpandConnections::model() const
{
    return m_model;
}

void TreeExpandConnections::setModel(QAbstractItemModel* model)
{
    if (m_model == model)
        return;
    if (m_model) {
        disconnect(m_model, &QAbstractItemModel::rowsInserted, this, &TreeExpandConnections::onRowsInserted);
        disconnect(m_model, &QAbstractItemModel::modelReset, this, &TreeExpandConnections::onTreeCreated);
    }
    m_model = model;
    if (m_model) {
        connect(m_model, &QAbstractItemModel::rowsInserted, this, &TreeExpandConnections::onRowsInserted);
        connect(m_model, &QAbstractItemModel::modelReset, this, &TreeExpandConnections::onTreeCreated);
    }
    Q_EMIT modelChanged();
}

void TreeExpandConnections::onRowExpanded(const QModelIndex& proxyModelIndex, bool expanded)
{
    if (!detail::belongsTo(m_model, proxyModelIndex))
        return;
    const int rowCount = m_model->rowCount(proxyModelIndex);
    if (rowCount < 1)
        return;
    // A sorting model may rearrange its rows when the flag changes, which leaves a plain index
    // dangling; follow the node instead.
    const QPersistentModelIndex node(proxyModelIndex);
    m_model->setData(proxyModelIndex, QVariant(expanded), lum::getWantsToBeExpandedRole());
    if (!m_model || (proxyModelIndex.isValid() && !node.isValid()))
        return;
    requestExpansionInRange(node, 0, m_model->rowCount(node));
}

void TreeExpandConnections::onTreeCreated()
{
    if (!m_model)
        return;
    const QModelIndexList rows = detail::collectWantedNodes(m_model, QModelIndex());
    if (!rows.isEmpty())
        Q_EMIT requestExpandRows(rows);
}

void TreeExpandConnections::onRowsInserted(const QModelIndex& parent, int first, int last)
{
    // last + 1 cannot overflow for a row the model holds, but a model may report anything.
    if (last == std::numeric_limits<int>::max())
        return;
    requestExpansionInRange(parent, first, last + 1);
}

void TreeExpandConnections::requestExpansionInRange(const QModelIndex& parent, int first, int end)
{
    if (!detail::belongsTo(m_model, parent))
        return;
    QModelIndexList rows;
    // The parent has just received its first children (or has just been expanded): it can only now
    // be expanded by the view.
    if (first == 0 && end == m_model->rowCount(parent) && detail::wantsToBeExpanded(m_model, parent))
        rows.append(parent);
    for (int row = std::max(first, 0); row < end; ++row) {
        const QModelIndex child = m_model->index(row, 0, parent);
        if (!child.isValid())
            continue;
        rows.append(detail::collectWantedNodes(m_model, child));
    }
    if (!rows.isEmpty())
        Q_EMIT requestExpandRows(rows);
}
}
