// Corvane.Core — QML extension module of the Corvane CAD application.
// Internal: the check that keeps a proxy out of its own chain of sources.
#pragma once

#include <QAbstractItemModel>
#include <QAbstractProxyModel>
#include <QSet>

namespace core
{
namespace detail
{
// True when `source`, or a source below it, is `proxy` itself. Such a chain asks itself for its
// rows forever and overflows the stack at the first call. Chains that are already circular further
// down (through proxies of other kinds) end at the first model seen twice.
inline bool wouldBecomeOwnSource(const QAbstractItemModel* proxy, const QAbstractItemModel* source)
{
    QSet<const QAbstractItemModel*> seen;
    for (const QAbstractItemModel* model = source; model && !seen.contains(model);) {
        if (model == proxy)
            return true;
        seen.insert(model);
        const auto* sourceProxy = qobject_cast<const QAbstractProxyModel*>(model);
        model = sourceProxy ? sourceProxy->sourceModel() : nullptr;
    }
    return false;
}
}
}
