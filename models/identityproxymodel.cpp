// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/identityproxymodel.h"

#include "models/proxysource_p.h"

namespace core
{
IdentityProxyModel::IdentityProxyModel(QObject* parent)
    : QIdentityProxyModel(parent)
{
}

IdentityProxyModel::~IdentityProxyModel() = default;

void IdentityProxyModel::setSourceModel(QAbstractItemModel* sourceModel)
{
    if (detail::wouldBecomeOwnSource(this, sourceModel))
        return;
    QIdentityProxyModel::setSourceModel(sourceModel);
}
}
