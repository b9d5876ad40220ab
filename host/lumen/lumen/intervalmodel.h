// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QAbstractListModel>
#include <QVector>

namespace lum
{
// The time intervals a filter row can choose from ("Today", "Last 7 days", ...).
// Roles: "label" (display text), "days" (length in days, -1 for any time).
class LUMEN_EXPORT IntervalModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ rowCount CONSTANT)

public:
    enum Roles
    {
        LabelRole = Qt::UserRole + 1,
        DaysRole,
    };

    IntervalModel();
    ~IntervalModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    /// The length in days of row, or -1 when out of range or unbounded.
    Q_INVOKABLE int days(int row) const;

private:
    struct Interval
    {
        QString label;
        int days;
    };
    QVector<Interval> m_intervals;
};
}
