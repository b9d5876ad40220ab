// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfiltermodel.h"

#include "models/proxysource_p.h"

#include <QDebug>
#include <QSignalBlocker>

#include <algorithm>

namespace core
{
SortFilterModel::SortFilterModel(QObject* parent)
    : QSortFilterProxyModel(parent)
{
    // Direct, so that the pending name is in force before anyone else hears of the new source.
    connect(this, &QAbstractProxyModel::sourceModelChanged, this, &SortFilterModel::onSourceModelChanged,
        Qt::DirectConnection);
}

SortFilterModel::~SortFilterModel() = default;

void SortFilterModel::setSortColumn(int sortColumn)
{
    // QSortFilterProxyModel crashes on INT_MIN; every negative column means the source order.
    const int column = std::max(sortColumn, -1);
    if (column == QSortFilterProxyModel::sortColumn())
        return;
    sort(column, sortOrder());
    Q_EMIT sortColumnChanged(column);
}

bool SortFilterModel::ascending() const
{
    return sortOrder() == Qt::AscendingOrder;
}

void SortFilterModel::setAscending(bool ascending)
{
    if (ascending == this->ascending())
        return;
    sort(sortColumn(), ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    Q_EMIT ascendingChanged(ascending);
}

QString SortFilterModel::sortRoleName() const
{
    const QAbstractItemModel* source = sourceModel();
    if (!source)
        return {};
    const QHash<int, QByteArray> roles = source->roleNames();
    const auto found = roles.constFind(sortRole());
    if (found == roles.cend()) {
        qDebug() << "Sort role" << sortRole() << "not found";
        return {};
    }
    return QString::fromUtf8(found.value());
}

void SortFilterModel::setSortRoleName(const QString& sortRoleName)
{
    if (!sourceModel()) {
        m_pendingSortRoleName = sortRoleName;
        return;
    }
    applySortRoleName(sortRoleName);
}

void SortFilterModel::setSourceModel(QAbstractItemModel* sourceModel)
{
    if (detail::wouldBecomeOwnSource(this, sourceModel))
        return;
    QSortFilterProxyModel::setSourceModel(sourceModel);
}

int SortFilterModel::mapRowToSource(int proxyRow)
{
    return mapToSource(index(proxyRow, 0)).row();
}

int SortFilterModel::mapRowFromSource(int sourceRow)
{
    const QAbstractItemModel* source = sourceModel();
    if (!source)
        return -1;
    return mapFromSource(source->index(sourceRow, 0)).row();
}

void SortFilterModel::applySortRoleName(const QString& sortRoleName)
{
    m_pendingSortRoleName.reset();
    const QHash<int, QByteArray> roles = sourceModel()->roleNames();
    for (auto it = roles.cbegin(); it != roles.cend(); ++it) {
        if (QString::fromUtf8(it.value()) != sortRoleName)
            continue;
        if (it.key() == sortRole())
            return;
        setSortRole(it.key());
        Q_EMIT sortRoleNameChanged(sortRoleName);
        return;
    }
    qDebug() << "Sort role" << sortRoleName << "not found";
}

void SortFilterModel::onSourceModelChanged()
{
    if (!sourceModel() || !m_pendingSortRoleName)
        return;
    // Applying clears the pending name: work on a copy of it.
    const QString pending = *m_pendingSortRoleName;
    // The base proxy announces its new source inside its reset, which sorts by the new role anyway;
    // a layout change of its own in there would break the reset's promise to the views.
    const int before = sortRole();
    {
        const QSignalBlocker quiet(this);
        applySortRoleName(pending);
    }
    if (sortRole() != before) {
        Q_EMIT sortRoleChanged(sortRole());
        Q_EMIT sortRoleNameChanged(pending);
    }
}
}
