// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfilterselectmodel_p.h"

#include <QDebug>
#include <QScopedValueRollback>
#include <QSet>
#include <QSignalBlocker>

namespace core
{
namespace
{
// Sorts and joins overlapping or adjacent row intervals so that every row appears once.
void mergeIntervals(Intervals& intervals)
{
    if (intervals.empty())
        return;
    std::sort(intervals.begin(), intervals.end());
    std::size_t out = 0;
    for (std::size_t i = 1; i < intervals.size(); ++i) {
        if (intervals[i].first <= intervals[out].second + 1)
            intervals[out].second = std::max(intervals[out].second, intervals[i].second);
        else
            intervals[++out] = intervals[i];
    }
    intervals.resize(out + 1);
}
}

void SortFilterSelectModel::Pimpl::ensureSelectionIndex() const
{
    if (!selectionIndex.dirty)
        return;
    selectionIndex.rows.clear();
    selectionIndex.count = 0;
    const QItemSelection selection = selectionModel.selection();
    for (const QItemSelectionRange& range : selection) {
        if (!range.isValid())
            continue;
        selectionIndex.rows[range.parent()].emplace_back(range.top(), range.bottom());
    }
    for (auto it = selectionIndex.rows.begin(); it != selectionIndex.rows.end(); ++it) {
        mergeIntervals(it.value());
        for (const auto& interval : it.value())
            selectionIndex.count += interval.second - interval.first + 1;
    }
    const auto topLevel = selectionIndex.rows.constFind(QModelIndex());
    selectionIndex.topLevel = topLevel != selectionIndex.rows.constEnd() ? &topLevel.value() : nullptr;
    selectionIndex.hint = 0;
    selectionIndex.dirty = false;
}

bool SortFilterSelectModel::Pimpl::rowSelected(int row, const QModelIndex& parent) const
{
    ensureSelectionIndex();
    const Intervals* intervals = selectionIndex.topLevel;
    if (parent.isValid()) {
        const auto it = selectionIndex.rows.constFind(parent);
        intervals = it != selectionIndex.rows.constEnd() ? &it.value() : nullptr;
    } else if (intervals) {
        // The interval of the last answer, or the one after it.
        const std::size_t k = selectionIndex.hint;
        if (k < intervals->size() && row >= (*intervals)[k].first) {
            if (row <= (*intervals)[k].second)
                return true;
            if (k + 1 == intervals->size() || row < (*intervals)[k + 1].first)
                return false;
            if (row <= (*intervals)[k + 1].second) {
                selectionIndex.hint = k + 1;
                return true;
            }
        }
    }
    if (!intervals)
        return false;
    auto next = std::upper_bound(intervals->begin(), intervals->end(), std::make_pair(row, INT_MAX));
    if (next == intervals->begin())
        return false;
    --next;
    if (!parent.isValid())
        selectionIndex.hint = std::size_t(next - intervals->begin());
    return row <= next->second;
}

QItemSelection SortFilterSelectModel::Pimpl::wholeRows(QHash<QModelIndex, Intervals>& groups) const
{
    QItemSelection result;
    for (auto it = groups.begin(); it != groups.end(); ++it) {
        const QModelIndex& parent = it.key();
        const int last = owner->columnCount(parent) - 1;
        if (last < 0)
            continue;
        mergeIntervals(it.value());
        for (const auto& interval : it.value()) {
            const QModelIndex topLeft = owner->index(interval.first, 0, parent);
            const QModelIndex bottomRight = owner->index(interval.second, last, parent);
            if (topLeft.isValid() && bottomRight.isValid())
                result.append(QItemSelectionRange(topLeft, bottomRight));
        }
    }
    return result;
}

QItemSelection SortFilterSelectModel::Pimpl::wholeRows(const QItemSelection& selection) const
{
    // Rows only: a range whose columns were cut or crossed by a column change still names its rows.
    QHash<QModelIndex, Intervals> groups;
    for (const QItemSelectionRange& range : selection) {
        const QPersistentModelIndex& topLeft = range.topLeft();
        const QPersistentModelIndex& bottomRight = range.bottomRight();
        if (!topLeft.isValid() || !bottomRight.isValid() || topLeft.parent() != bottomRight.parent())
            continue;
        groups[topLeft.parent()].emplace_back(
            std::min(topLeft.row(), bottomRight.row()), std::max(topLeft.row(), bottomRight.row()));
    }
    return wholeRows(groups);
}

void SortFilterSelectModel::Pimpl::selectWholeRows()
{
    const QItemSelection current = selectionModel.selection();
    if (current.isEmpty())
        return;
    const QItemSelection rows = wholeRows(current);
    if (rows != current)
        selectionModel.select(rows, QItemSelectionModel::ClearAndSelect);
}

SortFilterSelectModel::Pimpl::RowSnapshot SortFilterSelectModel::Pimpl::takeRowSnapshot() const
{
    RowSnapshot snapshot;
    if (!owner->sourceModel() || owner->columnCount() <= 0)
        return snapshot;
    ensureSelectionIndex();
    for (auto it = selectionIndex.rows.constBegin(); it != selectionIndex.rows.constEnd(); ++it) {
        std::vector<int> sourceRows;
        QModelIndex anchor;
        for (const auto& interval : it.value()) {
            for (int row = interval.first; row <= interval.second; ++row) {
                const QModelIndex source = owner->QSortFilterProxyModel::mapToSource(owner->index(row, 0, it.key()));
                if (!source.isValid())
                    continue;
                if (!anchor.isValid())
                    anchor = source;
                sourceRows.push_back(source.row());
            }
        }
        if (!sourceRows.empty())
            snapshot.groups.emplace_back(QPersistentModelIndex(anchor), std::move(sourceRows));
    }
    snapshot.current = owner->mapToSource(selectionModel.currentIndex());
    snapshot.currentColumn = snapshot.current.column();
    return snapshot;
}

void SortFilterSelectModel::Pimpl::restoreRowSnapshot(const RowSnapshot& snapshot)
{
    QAbstractItemModel* model = owner->sourceModel();
    if (!model || columnOrder.empty())
        return;
    const int anyColumn = columnOrder.front();
    QHash<QModelIndex, Intervals> groups;
    for (const auto& group : snapshot.groups) {
        if (!group.first.isValid())
            continue;
        const QModelIndex parent = group.first.parent();
        for (int row : group.second) {
            const QModelIndex proxy = owner->mapFromSource(model->index(row, anyColumn, parent));
            if (proxy.isValid())
                groups[proxy.parent()].emplace_back(proxy.row(), proxy.row());
        }
    }
    const QItemSelection rows = wholeRows(groups);
    if (!rows.isEmpty() || selectionModel.hasSelection())
        selectionModel.select(rows, QItemSelectionModel::ClearAndSelect);
    if (snapshot.current.isValid()) {
        QModelIndex current = owner->mapFromSource(
            model->index(snapshot.current.row(), snapshot.currentColumn, snapshot.current.parent()));
        if (!current.isValid())
            current = owner->mapFromSource(model->index(snapshot.current.row(), anyColumn, snapshot.current.parent()));
        if (current.isValid())
            selectionModel.setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    }
}

QModelIndex SortFilterSelectModel::Pimpl::ownCell(const QModelIndex& cell) const
{
    // Indexes of other models are not ours to select; they count as no cell.
    return cell.isValid() && cell.model() == owner ? cell : QModelIndex();
}

void SortFilterSelectModel::Pimpl::notifyRow(int row, int role)
{
    const int last = owner->columnCount() - 1;
    if (last < 0)
        return;
    const QModelIndex first = owner->index(row, 0);
    const QModelIndex end = owner->index(row, last);
    if (first.isValid() && end.isValid())
        Q_EMIT owner->dataChanged(first, end, { role });
}

bool SortFilterSelectModel::Pimpl::ensurePreFocusCell()
{
    if (preFocusCell.isValid())
        return false;
    const QModelIndex current = selectionModel.currentIndex();
    preFocusCell = owner->index(current.row(), 0, current.parent());
    return true;
}

void SortFilterSelectModel::Pimpl::notifyPreFocusCell(const QModelIndex& cell, const QModelIndex& reference)
{
    if (!cell.isValid())
        return;
    const QModelIndex parent = reference.isValid() && reference.parent().isValid() ? reference.parent() : QModelIndex();
    const QModelIndex target = owner->index(cell.row(), cell.column(), parent);
    if (target.isValid())
        Q_EMIT owner->dataChanged(target, target, { isPreFocusCellRole });
}

// Selection

void SortFilterSelectModel::updateSelection(const QItemSelection& selected, const QItemSelection& deselected)
{
    const int last = columnCount() - 1;
    if (last < 0)
        return;
    for (const QItemSelection* selection : { &selected, &deselected }) {
        for (const QItemSelectionRange& range : *selection) {
            const QModelIndex topLeft = index(range.top(), 0, range.topLeft().parent());
            const QModelIndex bottomRight = index(range.bottom(), last, range.bottomRight().parent());
            if (topLeft.isValid() && bottomRight.isValid())
                Q_EMIT dataChanged(topLeft, bottomRight, { d->isSelectedRole });
        }
    }
    Q_EMIT selectionChanged();
}

void SortFilterSelectModel::shiftSelection(int row, int column)
{
    shiftSelection(index(row, column));
}

void SortFilterSelectModel::shiftSelection(const QModelIndex& cell)
{
    const QModelIndex target = d->ownCell(cell);
    const bool hadSelection = d->selectionModel.hasSelection();
    const QModelIndex anchor = hadSelection ? QModelIndex(d->selectionModel.currentIndex()) : index(0, 0);
    if (!hadSelection)
        d->selectionModel.setCurrentIndex(target, QItemSelectionModel::Current);
    QItemSelection range;
    // A range needs both ends under one parent; otherwise it selects nothing.
    if (anchor.isValid() && target.isValid() && anchor.parent() == target.parent())
        range.select(anchor, target);
    d->selectionModel.select(range, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void SortFilterSelectModel::ctrlSelection(int row, int column)
{
    ctrlSelection(index(row, column));
}

void SortFilterSelectModel::ctrlSelection(const QModelIndex& cell)
{
    const QModelIndex target = d->ownCell(cell);
    if (target.isValid() && d->selectionModel.isSelected(target)) {
        d->selectionModel.select(target, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        return;
    }
    d->selectionModel.select(target, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    d->selectionModel.setCurrentIndex(target, QItemSelectionModel::Current);
}

void SortFilterSelectModel::leftClickSelection(int row, int column)
{
    leftClickSelection(index(row, column));
}

void SortFilterSelectModel::leftClickSelection(const QModelIndex& cell)
{
    const QModelIndex target = d->ownCell(cell);
    d->selectionModel.select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    d->selectionModel.setCurrentIndex(target, QItemSelectionModel::Current);
}

void SortFilterSelectModel::rightClickSelection(int row, int column)
{
    const QModelIndex cell = index(row, column);
    if (cell.isValid() && d->selectionModel.isSelected(cell))
        return;
    leftClickSelection(cell);
}

void SortFilterSelectModel::addToSelection(int row, int column)
{
    addToSelection(index(row, column));
}

void SortFilterSelectModel::addToSelection(const QModelIndex& cell)
{
    const QModelIndex target = d->ownCell(cell);
    if (!target.isValid() || !d->selectionModel.isRowSelected(target.row(), target.parent()))
        d->selectionModel.select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    d->selectionModel.setCurrentIndex(target, QItemSelectionModel::Current);
}

void SortFilterSelectModel::clearSelection()
{
    d->selectionModel.clear();
}

bool SortFilterSelectModel::isSelected(int row, const QModelIndex& parent) const
{
    if (parent.isValid() && parent.model() != this)
        return false;
    return d->selectionModel.isRowSelected(row, parent);
}

void SortFilterSelectModel::selectAll()
{
    const int rows = rowCount();
    if (rows <= 0 || columnCount() <= 0)
        return;
    d->selectionModel.select(QItemSelection(index(0, 0), index(rows - 1, 0)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void SortFilterSelectModel::selectPreviousRow()
{
    const QModelIndex current = d->selectionModel.currentIndex();
    QModelIndex target;
    if (!current.isValid()) {
        target = index(0, 0);
    } else {
        const QModelIndex parent = current.parent();
        target = index(std::max(current.row() - 1, 0), std::max(current.column(), 0), parent);
        if (current.row() == 0)
            target = index(parent.row(), parent.column(), parent.parent());
        if (!target.isValid())
            target = current;
    }
    d->selectionModel.select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    d->selectionModel.setCurrentIndex(target, QItemSelectionModel::Current);
}

void SortFilterSelectModel::selectNextRow()
{
    const QModelIndex current = d->selectionModel.currentIndex();
    const QModelIndex parent = current.parent();
    const int rows = rowCount(parent);
    QModelIndex target
        = index(std::max(std::min(current.row() + 1, rows - 1), 0), std::max(current.column(), 0), parent);
    if (hasChildren(current)) {
        target = index(0, current.column(), current);
    } else if (target == current && parent.isValid()) {
        const QModelIndex after = sibling(parent.row() + 1, parent.column(), parent);
        if (after.isValid())
            target = after;
    }
    d->selectionModel.select(target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    d->selectionModel.setCurrentIndex(target, QItemSelectionModel::Current);
}

QModelIndex SortFilterSelectModel::getShiftSelectionStart() const
{
    return d->selectionModel.hasSelection() ? QModelIndex(d->selectionModel.currentIndex()) : index(0, 0);
}

QModelIndexList SortFilterSelectModel::selectedSourceRows() const
{
    QModelIndexList result;
    const QModelIndexList rows = d->selectionModel.selectedRows(0);
    result.reserve(rows.size());
    for (const QModelIndex& row : rows)
        result.append(mapToSource(row));
    return result;
}

void SortFilterSelectModel::setSelectedSourceRows(const QModelIndexList& selectedSourceRows)
{
    QHash<QModelIndex, Intervals> groups;
    for (const QModelIndex& source : selectedSourceRows) {
        QModelIndex proxy = mapFromSource(source);
        // A row is selected whatever column its index names, a hidden one included.
        if (!proxy.isValid() && source.isValid() && source.model() == sourceModel() && !d->columnOrder.empty())
            proxy = mapFromSource(source.sibling(source.row(), d->columnOrder.front()));
        if (proxy.isValid())
            groups[proxy.parent()].emplace_back(proxy.row(), proxy.row());
    }
    d->selectionModel.select(d->wholeRows(groups), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

int SortFilterSelectModel::selectedSourceRowsCount() const
{
    d->ensureSelectionIndex();
    return d->selectionIndex.count;
}

// Hover, begin edit, pre-focus and focus

void SortFilterSelectModel::setHovered(int row, bool hovered)
{
    if (columnCount() <= 0)
        return;
    d->hoveredRow = hovered ? row : -1;
    d->notifyRow(row, d->isHoveredRole);
}

void SortFilterSelectModel::setBeginEditIndex(int row)
{
    if (row == d->beginEditRow)
        return;
    d->beginEditRow = row;
    if (row < 0 || columnCount() <= 0)
        return;
    d->notifyRow(row, d->beginEditRole);
}

bool SortFilterSelectModel::hasPreFocus() const
{
    return d->preFocusCell.isValid();
}

void SortFilterSelectModel::increasePreFocusIndexColumn()
{
    if (d->preFocusCell.column() >= columnCount() - 1)
        return;
    QModelIndex old = d->preFocusCell;
    if (!d->ensurePreFocusCell()) {
        int row = d->preFocusCell.row();
        if (row == -1)
            row = d->selectionModel.currentIndex().row();
        d->preFocusCell = d->preFocusCell.sibling(row, d->preFocusCell.column() + 1);
    }
    if (!old.isValid())
        old = d->preFocusCell;
    d->notifyPreFocusCell(old, d->preFocusCell);
    d->notifyPreFocusCell(d->preFocusCell, d->preFocusCell);
}

void SortFilterSelectModel::decreasePreFocusIndexColumn()
{
    QModelIndex old = d->preFocusCell;
    if (!d->ensurePreFocusCell()) {
        int row = d->preFocusCell.row();
        if (row == -1)
            row = d->selectionModel.currentIndex().row();
        d->preFocusCell = d->preFocusCell.sibling(row, std::max(d->preFocusCell.column() - 1, 0));
    }
    if (!old.isValid())
        old = d->preFocusCell;
    d->notifyPreFocusCell(old, d->preFocusCell);
    d->notifyPreFocusCell(d->preFocusCell, d->preFocusCell);
}

void SortFilterSelectModel::increasePreFocusIndexRow()
{
    if (!d->preFocusCell.isValid())
        return;
    QModelIndex old = d->preFocusCell;
    const QModelIndex parent = d->preFocusCell.parent();
    const int row = d->preFocusCell.row();
    const int column = d->preFocusCell.column();
    const int rows = rowCount(parent);
    if (row >= rows - 1)
        d->preFocusCell = parent.sibling(parent.row() + 1, parent.column());
    else
        d->preFocusCell
            = index(std::min(row + 1, rows - 1), std::max(std::min(columnCount(parent), column), 0), parent);
    if (!old.isValid())
        old = d->preFocusCell;
    if (checkPreFocusOnParent(old)) {
        d->notifyPreFocusCell(old, d->preFocusCell);
        d->notifyPreFocusCell(d->preFocusCell, d->preFocusCell);
    }
}

void SortFilterSelectModel::decreasePreFocusIndexRow()
{
    if (!d->preFocusCell.isValid())
        return;
    QModelIndex old = d->preFocusCell;
    const QModelIndex parent = d->preFocusCell.parent();
    const int row = d->preFocusCell.row();
    const int column = d->preFocusCell.column();
    if (row == 0)
        d->preFocusCell = parent;
    else
        d->preFocusCell = index(std::max(row - 1, 0), std::max(std::min(columnCount(parent), column), 0), parent);
    if (!old.isValid())
        old = d->preFocusCell;
    if (checkPreFocusOnParent(old)) {
        d->notifyPreFocusCell(old, d->preFocusCell);
        d->notifyPreFocusCell(d->preFocusCell, d->preFocusCell);
    }
}

void SortFilterSelectModel::unsetPreFocus()
{
    const QModelIndex old = d->preFocusCell;
    d->preFocusCell = QPersistentModelIndex();
    const QModelIndex cell = index(old.row(), old.column());
    if (cell.isValid())
        Q_EMIT dataChanged(cell, cell, { d->isPreFocusCellRole });
}

bool SortFilterSelectModel::checkPreFocusOnParent(const QModelIndex& oldPreFocusIndex)
{
    if (!hasChildren(d->selectionModel.currentIndex()))
        return true;
    d->preFocusCell = QPersistentModelIndex();
    d->focusCell = QPersistentModelIndex();
    d->notifyPreFocusCell(d->ownCell(oldPreFocusIndex), d->ownCell(oldPreFocusIndex));
    return false;
}

void SortFilterSelectModel::requestActiveFocusOnPrefocusedCell()
{
    d->focusCell = d->preFocusCell;
    const QModelIndex cell = index(d->focusCell.row(), d->focusCell.column(), d->focusCell.parent());
    if (cell.isValid())
        Q_EMIT dataChanged(cell, cell, { d->isFocusCellRole });
}
}
