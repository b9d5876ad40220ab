// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/identityproxymodel.h"

namespace core
{
IdentityProxyModel::IdentityProxyModel(QObject* parent)
    : QIdentityProxyModel(parent)
{
}

IdentityProxyModel::~IdentityProxyModel() = default;
}
