// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/qtvaluewrapper.h"

QtValueWrapper::QtValueWrapper(int role, int row, QAbstractItemModel* model)
    : role(role)
    , row(row)
    , model(model)
{
    if (!model)
        return;
    // Signal to signal: the connections end by themselves when either side is destroyed.
    connect(model, &QAbstractItemModel::dataChanged, this, &QtValueWrapper::valueChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &QtValueWrapper::valueChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &QtValueWrapper::valueChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &QtValueWrapper::valueChanged);
}

QtValueWrapper::~QtValueWrapper() = default;

QVariant QtValueWrapper::value() const
{
    if (!model)
        return {};
    const QModelIndex index = model->index(row, 0);
    if (!index.isValid())
        return {};
    return model->data(index, role);
}
