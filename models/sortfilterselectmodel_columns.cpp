// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfilterselectmodel_p.h"

#include "models/proxysource_p.h"

#include <loom/columnstore.h>

#include <QDebug>
#include <QScopedValueRollback>
#include <QSignalBlocker>

namespace core
{
void SortFilterSelectModel::Pimpl::rebuildColumnPositions()
{
    std::vector<bool> wasVisible(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        wasVisible[c] = columns[c].visible;
        columns[c].visible = false;
    }
    for (std::size_t k = 0; k < columnOrder.size(); ++k) {
        const int column = columnOrder[k];
        if (!validSourceColumn(column))
            continue;
        columns[std::size_t(column)].visible = true;
        columns[std::size_t(column)].position = int(k);
    }
    for (std::size_t c = 0; c < columns.size(); ++c)
        baseColumnsStale = baseColumnsStale || wasVisible[c] != columns[c].visible;
}

void SortFilterSelectModel::Pimpl::invalidateColumns()
{
    baseColumnsStale = false;
    const QScopedValueRollback<bool> guard(refiltering, true);
    if (!treeSource()) {
        refilterColumns();
        return;
    }
    // In a tree the base proxy drops the rows it mapped below a column it stops showing without
    // telling their persistent indexes, so views and the selection's current cell would keep
    // dangling indexes: the views start over instead, and the selection is carried across.
    const RowSnapshot snapshot = takeRowSnapshot();
    owner->beginResetModel();
    {
        // The views hear of the reset only, not of the columns the base proxy drops inside it.
        // The reset ends every persistent index: end them first, or the dropped columns would
        // move them onto cells that are gone, with a warning for each.
        const QModelIndexList persistent = owner->persistentIndexList();
        QModelIndexList ended = persistent;
        std::fill(ended.begin(), ended.end(), QModelIndex());
        owner->changePersistentIndexList(persistent, ended);
        const QSignalBlocker quiet(owner);
        refilterColumns();
    }
    owner->endResetModel();
    restoreRowSnapshot(snapshot);
}

void SortFilterSelectModel::Pimpl::refilterColumns()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    owner->invalidateColumnsFilter();
#else
    // Qt 5 re-runs the row predicate for every row as well; with no row filter and no pattern
    // every row passes, so answer that without asking per row.
    const QScopedValueRollback<bool> acceptAll(acceptAllRows, !filter && compat::noFilterPattern(*owner));
    owner->invalidateFilter();
#endif
}

void SortFilterSelectModel::Pimpl::followColumnMove(int first, int last, int dest)
{
    // Records travel with their columns; display positions, and so the user's order, stay.
    std::vector<ColumnInfo> moved(columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c)
        moved[std::size_t(movedColumn(int(c), first, last, dest))] = columns[c];
    columns.swap(moved);
    for (int& column : columnOrder)
        column = movedColumn(column, first, last, dest);
    if (validSourceColumn(sortColumn))
        sortColumn = movedColumn(sortColumn, first, last, dest);
    rebuildColumnPositions();
}

void SortFilterSelectModel::Pimpl::remapBaseColumns(bool sortColumnMoved)
{
    // Called with the proxy's signals blocked, between the caller's own notifications. The base
    // proxy's mappings hold source column numbers: map again, which also carries its persistent
    // indexes over. Its sort column is a source column number too, and it only takes a new one
    // through a sort, by the position among the columns it shows. A hidden sort column orders
    // nothing (see followSortColumnVisibility), so it needs none.
    const bool resort
        = sortColumnMoved && validSourceColumn(sortColumn) && columns[std::size_t(sortColumn)].visible;
    const QScopedValueRollback<bool> acceptAll(acceptAllRows, !filter && compat::noFilterPattern(*owner));
    owner->invalidate();
    baseColumnsStale = false;
    if (resort)
        sortBase(baseColumn(sortColumn), owner->sortOrder());
}

void SortFilterSelectModel::Pimpl::followSortColumnVisibility()
{
    // The base proxy numbers its sort column among the columns it shows, and a re-sort would move
    // the sort to whichever column now has that number. A hidden sort column orders nothing: the
    // rows return to source order until it is shown again, and the order (ascending or not) stays.
    if (!validSourceColumn(sortColumn))
        return;
    const int base = columns[std::size_t(sortColumn)].visible ? baseColumn(sortColumn) : -1;
    if (owner->QSortFilterProxyModel::sortColumn() != base)
        sortBase(base, owner->sortOrder());
}

bool SortFilterSelectModel::Pimpl::insertVisibleColumn(int sourceColumn)
{
    if (!validSourceColumn(sourceColumn) || columns[std::size_t(sourceColumn)].visible)
        return false;
    columnOrder.insert(columnOrder.begin() + showPosition(sourceColumn), sourceColumn);
    rebuildColumnPositions();
    return true;
}

int SortFilterSelectModel::Pimpl::showPosition(int sourceColumn) const
{
    // Its last place, or its source place when that is gone.
    const int position = columns[std::size_t(sourceColumn)].position;
    const int count = int(columnOrder.size());
    return position < 0 || position > count ? std::min(count, sourceColumn) : position;
}

StoredColumnData SortFilterSelectModel::Pimpl::readColumnData(int sourceColumn, int defaultPosition) const
{
    StoredColumnData result;
    const QAbstractItemModel* model = owner->sourceModel();
    if (!model || !validSourceColumn(sourceColumn))
        return result;
    const QString identifier = columnIdentifier(model, sourceColumn);
    if (identifier.isEmpty())
        return result;
    const int defaultWidth = headerWidth(model, sourceColumn);
    bool hidden = hiddenByHeader(model, sourceColumn);
    int position = defaultPosition;
    const int width = lom::readColumnDataFromRegistry(lum::wxFromQt(identifier), defaultWidth,
        columns[std::size_t(sourceColumn)].position, hidden, position, lum::wxFromQt(parentId));
    result.width = width != 0 ? width : defaultWidth;
    result.visible = !hidden;
    result.position = position;
    result.found = true;
    return result;
}

// Column layout

void SortFilterSelectModel::moveColumn(int from, int to)
{
    if (from == to)
        return;
    const int count = std::min(columnCount(), int(d->columnOrder.size()));
    if (from < 0 || from >= count) {
        qDebug() << "move from column," << from << ", is not valid";
        return;
    }
    if (to < 0 || to >= count) {
        qDebug() << "move to column," << to << ", is not valid";
        return;
    }
    const QItemSelection saved = d->selectionModel.selection();
    d->selectionModel.clearSelection();
    const int dest = to > from ? to + 1 : to;
    if (!beginMoveColumns(QModelIndex(), from, from, QModelIndex(), dest)) {
        qDebug() << "Invalid move operation. from:" << from << "to index:" << dest;
        return;
    }
    const int column = d->columnOrder[std::size_t(from)];
    d->columnOrder.erase(d->columnOrder.begin() + from);
    d->columnOrder.insert(d->columnOrder.begin() + to, column);
    d->rebuildColumnPositions();
    endMoveColumns();
    Q_EMIT proxySortColumnChanged();
    // The saved ranges followed the move, so their columns may now be crossed; their rows are
    // what was selected.
    const QItemSelection rows = d->wholeRows(saved);
    if (!rows.isEmpty())
        d->selectionModel.select(rows, QItemSelectionModel::Select);
}

SortFilterSelectModel::Pimpl::CellSnapshot SortFilterSelectModel::Pimpl::takeCell(const QModelIndex& cell) const
{
    return { QPersistentModelIndex(owner->mapToSource(cell)), cell.isValid() ? cell.column() : -1 };
}

QModelIndex SortFilterSelectModel::Pimpl::restoreCell(const CellSnapshot& snapshot) const
{
    const QAbstractItemModel* model = owner->sourceModel();
    if (!model || !snapshot.source.isValid() || columnOrder.empty())
        return {};
    const QModelIndex cell = owner->mapFromSource(snapshot.source);
    if (cell.isValid())
        return cell;
    // Its column went: the cell moves to the neighbour now at its place.
    const QModelIndex row = owner->mapFromSource(
        model->index(snapshot.source.row(), columnOrder.front(), snapshot.source.parent()));
    if (!row.isValid())
        return {};
    const int last = owner->columnCount(row.parent()) - 1;
    return owner->index(row.row(), std::max(0, std::min(snapshot.position, last)), row.parent());
}

template <typename Change>
void SortFilterSelectModel::Pimpl::changeColumnsThroughReset(Change change)
{
    // The base proxy names the columns it adds or drops by their place in source order, which is
    // not where they show once the user moved columns: views learn of the change through a reset,
    // and the selection, the current cell, pre-focus and focus stay where they were.
    const RowSnapshot snapshot = takeRowSnapshot();
    const CellSnapshot preFocus = takeCell(preFocusCell);
    const CellSnapshot focus = takeCell(focusCell);
    owner->beginResetModel();
    change();
    rebuildColumnPositions();
    owner->endResetModel();
    invalidateColumns();
    restoreRowSnapshot(snapshot);
    preFocusCell = restoreCell(preFocus);
    focusCell = restoreCell(focus);
    followSortColumnVisibility();
}

void SortFilterSelectModel::setSourceColumnVisible(int sourceColumn, bool visible)
{
    if (!d->validSourceColumn(sourceColumn))
        return;
    const ColumnInfo& info = d->columns[std::size_t(sourceColumn)];
    if (!visible && d->columnOrder.size() < 2)
        return;
    const bool changes = visible ? !info.visible : info.visible && d->validProxyColumn(info.position);
    if (changes) {
        std::vector<int> after = d->columnOrder;
        if (visible) {
            after.insert(after.begin() + d->showPosition(sourceColumn), sourceColumn);
        } else {
            after.erase(after.begin() + info.position);
        }
        if (!std::is_sorted(d->columnOrder.begin(), d->columnOrder.end()) || !std::is_sorted(after.begin(), after.end())) {
            d->changeColumnsThroughReset([this, &after] { d->columnOrder = after; });
            d->selectWholeRows();
            Q_EMIT proxySortColumnChanged();
            return;
        }
    }
    if (!visible) {
        if (changes) {
            d->columnOrder.erase(d->columnOrder.begin() + info.position);
            d->rebuildColumnPositions();
            d->invalidateColumns();
            d->followSortColumnVisibility();
            d->selectWholeRows();
        }
        Q_EMIT proxySortColumnChanged();
        return;
    }
    if (d->insertVisibleColumn(sourceColumn)) {
        d->invalidateColumns();
        d->followSortColumnVisibility();
        d->selectWholeRows();
    }
    Q_EMIT proxySortColumnChanged();
}

void SortFilterSelectModel::showAllColumns()
{
    const QAbstractItemModel* model = sourceModel();
    if (!model)
        return;
    const int count = model->columnCount();
    const auto showAll = [this, count] {
        for (int c = 0; c < count; ++c) {
            if (d->validSourceColumn(c) && !d->columns[std::size_t(c)].visible)
                d->insertVisibleColumn(c);
        }
    };
    const std::vector<int> before = d->columnOrder;
    showAll();
    if (!std::is_sorted(before.begin(), before.end()) || !std::is_sorted(d->columnOrder.begin(), d->columnOrder.end())) {
        // Shown again from the old layout, through a reset (see changeColumnsThroughReset).
        std::vector<int> after;
        after.swap(d->columnOrder);
        d->columnOrder = before;
        d->rebuildColumnPositions();
        d->changeColumnsThroughReset([this, &after] { d->columnOrder = after; });
    } else {
        d->invalidateColumns();
        d->followSortColumnVisibility();
    }
    d->selectWholeRows();
    Q_EMIT proxySortColumnChanged();
}

void SortFilterSelectModel::restoreColumnPositions()
{
    // A reset drops the selection model's indexes; keep the rows in source terms meanwhile.
    const Pimpl::RowSnapshot snapshot = d->takeRowSnapshot();
    beginResetModel();
    std::sort(d->columnOrder.begin(), d->columnOrder.end());
    d->rebuildColumnPositions();
    endResetModel();
    d->restoreRowSnapshot(snapshot);
    Q_EMIT proxySortColumnChanged();
}

void SortFilterSelectModel::resizeColumn(int proxyColumn, int newSize)
{
    const int column = d->translateProxyColumn(proxyColumn);
    if (d->validSourceColumn(column))
        d->columns[std::size_t(column)].width = newSize;
}

void SortFilterSelectModel::setColumnWidth(int proxyColumn, int width)
{
    const int column = d->translateProxyColumn(proxyColumn);
    if (width >= 0 && d->validSourceColumn(column))
        d->columns[std::size_t(column)].width = width;
}

int SortFilterSelectModel::columnWidth(int proxyColumn) const
{
    const int column = d->translateProxyColumn(proxyColumn);
    return d->validSourceColumn(column) ? d->columns[std::size_t(column)].width : DefaultColumnWidth;
}

int SortFilterSelectModel::naturalWidth() const
{
    // Widths are whatever the view reported; their sum must not overflow.
    qint64 sum = 0;
    const int count = columnCount();
    for (int k = 0; k < count; ++k)
        sum += columnWidth(k);
    return int(std::max<qint64>(INT_MIN, std::min<qint64>(INT_MAX, sum)));
}

int SortFilterSelectModel::columnProportionalWidth(int proxyColumn) const
{
    const int column = d->translateProxyColumn(proxyColumn);
    return d->validSourceColumn(column) ? d->columns[std::size_t(column)].proportionalWidth : 0;
}

int SortFilterSelectModel::proportionalWidth() const
{
    qint64 sum = 0;
    const int count = columnCount();
    for (int k = 0; k < count; ++k)
        sum += columnProportionalWidth(k);
    return int(std::min<qint64>(INT_MAX, sum));
}

void SortFilterSelectModel::saveColumnData()
{
    const QAbstractItemModel* model = sourceModel();
    if (!model)
        return;
    const wxString table = lum::wxFromQt(d->parentId);
    QSet<QString> stored;
    const wxArrayString keys = lom::getSavedColumnDataList(table);
    for (const wxString& key : keys)
        stored.insert(lum::toQt(key));

    std::vector<ColumnState> snapshot;
    snapshot.reserve(d->columns.size());
    for (std::size_t c = 0; c < d->columns.size(); ++c) {
        const ColumnInfo& info = d->columns[c];
        snapshot.push_back(
            { int(c), columnIdentifier(model, int(c)), info.position, info.visible ? info.width : 0, info.visible });
    }
    std::stable_sort(snapshot.begin(), snapshot.end(),
        [](const ColumnState& a, const ColumnState& b) { return a.position < b.position; });
    for (const ColumnState& state : snapshot)
        stored.remove(state.identifier);

    // Places of stored visible columns that this model lacks: kept free so that a model which
    // has them again shows them where they were.
    std::vector<int> absent;
    for (const QString& key : qAsConst(stored)) {
        bool hidden = false;
        int position = 0;
        lom::readColumnDataFromRegistry(lum::wxFromQt(key), AbsentColumnDefaultWidth, 0, hidden, position, table);
        if (!hidden)
            absent.push_back(position);
    }
    std::sort(absent.begin(), absent.end());

    std::size_t j = 0;
    for (const ColumnState& state : snapshot) {
        int position = state.position + int(j);
        while (j < absent.size() && absent[j] <= position) {
            ++j;
            ++position;
        }
        if (!state.identifier.isEmpty())
            lom::writeColumnDataToRegistry(lum::wxFromQt(state.identifier), state.width, position, table);
    }
}

void SortFilterSelectModel::loadColumnData()
{
    if (!sourceModel() || d->columnOrder.empty())
        return;
    struct Entry
    {
        int column;
        StoredColumnData data;
    };
    std::vector<Entry> entries;
    std::vector<int> oldWidths;
    for (const ColumnInfo& info : d->columns)
        oldWidths.push_back(info.width);
    const std::vector<int> oldOrder = d->columnOrder;
    for (std::size_t c = 0; c < d->columns.size(); ++c) {
        const StoredColumnData stored = d->readColumnData(int(c), 0);
        if (stored.found)
            entries.push_back({ int(c), stored });
    }
    std::stable_sort(entries.begin(), entries.end(),
        [](const Entry& a, const Entry& b) { return a.data.position < b.data.position; });
    std::vector<int> order;
    for (const Entry& entry : entries) {
        d->columns[std::size_t(entry.column)].width = entry.data.width;
        if (entry.data.visible && entry.data.position >= 0)
            order.push_back(entry.column);
    }
    if (!order.empty() && order != d->columnOrder) {
        // Views learn of a new column order only through a reset; the rows stay selected.
        const Pimpl::RowSnapshot snapshot = d->takeRowSnapshot();
        beginResetModel();
        d->columnOrder = order;
        d->rebuildColumnPositions();
        endResetModel();
        d->invalidateColumns();
        d->restoreRowSnapshot(snapshot);
    } else {
        d->rebuildColumnPositions();
        // The base proxy must see the loaded visibility before the initial sort picks its column.
        d->invalidateColumns();
        d->selectWholeRows();
    }
    d->followSortColumnVisibility();
    // QML re-reads widths, order and visibility on proxySortColumnChanged: a load that changed
    // any of them says so once they are all in place, unless the initial sort already did.
    bool notified = false;
    const QMetaObject::Connection watch
        = connect(this, &SortFilterSelectModel::proxySortColumnChanged, this, [&notified] { notified = true; });
    d->applyInitialSort(true);
    disconnect(watch);
    bool changed = d->columnOrder != oldOrder;
    for (std::size_t c = 0; c < d->columns.size() && !changed; ++c)
        changed = d->columns[c].width != oldWidths[c];
    if (changed && !notified)
        Q_EMIT proxySortColumnChanged();
}

void SortFilterSelectModel::ConnectionKeeper::onChildColumnsChanged(const QModelIndex& parent, int first, int shift)
{
    const QAbstractItemModel* model = d->owner->sourceModel();
    if (!parent.isValid() || parent.model() != model)
        return;
    // The base proxy decides the new columns itself and keeps its decision for the columns that
    // moved up or down: only those whose number now meets another top-level record are stale.
    // Filling a tree gives each parent its first child columns, where none moved, so a fill never
    // re-filters. Columns moved below a parent are taken as stale.
    const auto accepted = [this](int column) {
        return d->validSourceColumn(column) && d->columns[std::size_t(column)].visible;
    };
    const int count = model->columnCount(parent);
    int stale = shift > 0 ? first + shift : first;
    while (shift != 0 && stale < count && accepted(stale) == accepted(stale - shift))
        ++stale;
    if (stale >= count)
        return;
    // The base proxy decides columns only as they come, or when it maps again: let it map again,
    // as after a change of the source's layout, which keeps the views and the rows they show.
    // Rows selected below the parent lose the cells that go; the selection is carried across whole.
    const Pimpl::RowSnapshot snapshot = d->takeRowSnapshot();
    d->owner->invalidate();
    d->restoreRowSnapshot(snapshot);
}
}
