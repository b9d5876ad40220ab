// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QIdentityProxyModel>

namespace core
{
// QIdentityProxyModel made creatable from QML: presents its sourceModel unchanged. QML sees the
// interface of QIdentityProxyModel and its bases. A source whose chain of sources leads back to
// this proxy is refused; the previous source stays.
class IdentityProxyModel : public QIdentityProxyModel
{
    // No meta-object of its own: QML sees the base class's interface.

public:
    explicit IdentityProxyModel(QObject* parent = nullptr);
    ~IdentityProxyModel() override;

    void setSourceModel(QAbstractItemModel* sourceModel) override;
};
}
