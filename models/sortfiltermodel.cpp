// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfiltermodel.h"

namespace core
{
SortFilterModel::SortFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
}

SortFilterModel::~SortFilterModel() = default;
}
