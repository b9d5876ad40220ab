// Corvane demo host application.
#pragma once

#include <Qt>

// The horizontal header roles that manager table models answer for the table proxy.
namespace demo
{
enum HeaderRole
{
    InitiallyVisibleRole = Qt::UserRole,
    ProportionalWidthRole = Qt::UserRole + 1,
    SortTypeRole = Qt::UserRole + 2,
    ColumnIdRole = Qt::UserRole + 3,
    ColumnCodeRole = Qt::UserRole + 4,
    InitialSortColumnRole = Qt::UserRole + 5,
    NameNotEmptyRole = Qt::UserRole + 6,
    // The demo's own: whether the header shows its label or an image (LayerHeaderTypes).
    HeaderTypeRole = Qt::UserRole + 7,
};

// Comparator codes of SortTypeRole that the demo's tables use.
enum SortCode
{
    SortNaturalNames = 0,
    SortTextNoCase = 1,
    SortByValueType = 4,
    SortIntegers = 6,
    SortDoubles = 7,
    SortFileSize = 8,
    SortToggle = 9,
    SortPlotStyles = 10,
};

// The column code the proxy's column menu never lets the user hide.
constexpr int NameColumnCode = 409;
}
