// Corvane.Core — QML extension module of the Corvane CAD application.
// Internal: the subtree walk and expansion-flag helpers shared by TreeExpandConnections and QtModelUtils.
#pragma once

#include <lumen/treeroles.h>

#include <QAbstractItemModel>
#include <QModelIndex>
#include <QModelIndexList>
#include <QVariant>

#include <vector>

namespace core
{
namespace detail
{
// An index that belongs to another model must never reach this model: models read the internal
// pointer of the indexes they are given, so a foreign index may point anywhere. The root index is
// everybody's.
inline bool belongsTo(const QAbstractItemModel* model, const QModelIndex& index)
{
    return model && (!index.isValid() || index.model() == model);
}

// Visits `start` and then every node below it in column 0, each node before its descendants and
// the children of a node from the last row to the first. The stack lives on the heap, so trees of
// any depth are walked without recursion. Children the model answers with an invalid index (a
// model with rows but no columns) are not visited: pushing them would restart the walk at the root
// and never end.
template <typename Visitor>
void visitSubtree(const QAbstractItemModel* model, Visitor&& visitor, const QModelIndex& start)
{
    if (!belongsTo(model, start))
        return;
    std::vector<QModelIndex> stack;
    stack.push_back(start);
    while (!stack.empty()) {
        const QModelIndex index = stack.back();
        stack.pop_back();
        visitor(index);
        const int rowCount = model->rowCount(index);
        for (int row = 0; row < rowCount; ++row) {
            const QModelIndex child = model->index(row, 0, index);
            if (child.isValid())
                stack.push_back(child);
        }
    }
}

inline bool wantsToBeExpanded(const QAbstractItemModel* model, const QModelIndex& index)
{
    return belongsTo(model, index) && model->data(index, lum::getWantsToBeExpandedRole()).toBool();
}

// A flagged leaf is never requested: a view cannot expand a node without children.
inline void collectWantedNode(QModelIndexList& list, const QAbstractItemModel* model, const QModelIndex& index)
{
    if (!model)
        return;
    if (wantsToBeExpanded(model, index) && model->rowCount(index) >= 1)
        list.append(index);
}

inline QModelIndexList collectWantedNodes(const QAbstractItemModel* model, const QModelIndex& start)
{
    QModelIndexList list;
    visitSubtree(
        model, [&list, model](const QModelIndex& index) { collectWantedNode(list, model, index); }, start);
    return list;
}
}
}
