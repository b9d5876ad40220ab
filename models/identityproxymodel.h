// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QIdentityProxyModel>

namespace core
{
class IdentityProxyModel : public QIdentityProxyModel
{
    // No meta-object of its own: QML sees the base class's interface.

public:
    explicit IdentityProxyModel(QObject* parent = nullptr);
    ~IdentityProxyModel() override;
};
}
