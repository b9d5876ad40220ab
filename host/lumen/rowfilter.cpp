// Corvane stand-in for the host's Qt utility library.
#include "lumen/rowfilter.h"

namespace lum
{
RowFilter::RowFilter(QObject* parent)
    : QObject(parent)
{
}

RowFilter::~RowFilter() = default;

bool RowFilter::acceptRow(QAbstractItemModel*, int, const QModelIndex&)
{
    return true;
}
}
