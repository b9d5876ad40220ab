// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfilterselectmodel.h"

namespace core
{
SortFilterSelectModel::SortFilterSelectModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
}

SortFilterSelectModel::~SortFilterSelectModel() = default;
}
