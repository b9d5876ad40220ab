// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/columncontextmenumodel.h"

namespace core
{
ColumnContextMenuModel::ColumnContextMenuModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

ColumnContextMenuModel::~ColumnContextMenuModel() = default;
}
