// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/modelwatcher.h"

namespace core
{
ModelWatcher::ModelWatcher(QObject* parent)
    : QObject(parent)
{
}

ModelWatcher::~ModelWatcher() = default;

int ModelWatcher::rows() const
{
    return m_model ? m_model->rowCount() : -1;
}

QAbstractItemModel* ModelWatcher::model() const
{
    return m_model;
}

void ModelWatcher::setModel(QAbstractItemModel* model)
{
    if (m_model == model)
        return;
    if (m_model) {
        disconnect(m_model, &QAbstractItemModel::rowsInserted, this, &ModelWatcher::rowCountChanged);
        disconnect(m_model, &QAbstractItemModel::rowsRemoved, this, &ModelWatcher::rowCountChanged);
    }
    m_model = model;
    if (m_model) {
        connect(m_model, &QAbstractItemModel::rowsInserted, this, &ModelWatcher::rowCountChanged);
        connect(m_model, &QAbstractItemModel::rowsRemoved, this, &ModelWatcher::rowCountChanged);
    }
    Q_EMIT modelChanged();
}
}
