// Corvane stand-in for the host's Qt utility library.
#include "lumen/intervalmodel.h"

namespace lum
{
IntervalModel::IntervalModel()
    : m_intervals{{QStringLiteral("Any time"), -1},
                  {QStringLiteral("Today"), 1},
                  {QStringLiteral("Last 7 days"), 7},
                  {QStringLiteral("Last 30 days"), 30},
                  {QStringLiteral("Last 365 days"), 365}}
{
}

IntervalModel::~IntervalModel() = default;

int IntervalModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_intervals.size();
}

QVariant IntervalModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Interval& interval = m_intervals.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case LabelRole:
        return interval.label;
    case DaysRole:
        return interval.days;
    default:
        return {};
    }
}

QHash<int, QByteArray> IntervalModel::roleNames() const
{
    return {{Qt::DisplayRole, "display"}, {LabelRole, "label"}, {DaysRole, "days"}};
}

int IntervalModel::days(int row) const
{
    return row >= 0 && row < m_intervals.size() ? m_intervals.at(row).days : -1;
}
}
