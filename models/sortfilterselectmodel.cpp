// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfilterselectmodel_p.h"

#include "models/proxysource_p.h"

#include <loom/columnstore.h>

#include <QDebug>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QVarLengthArray>

namespace core
{
SortFilterSelectModel::Pimpl::Pimpl(SortFilterSelectModel* model)
    : owner(model)
    , selectionModel(model)
    , columnModel(model)
{
}

void SortFilterSelectModel::Pimpl::forgetCellRoles()
{
    isSelectedRole = -1;
    isHoveredRole = -1;
    hoveredRow = -1;
    isPreFocusCellRole = -1;
    isFocusCellRole = -1;
    preFocusCell = QPersistentModelIndex();
    focusCell = QPersistentModelIndex();
}

int SortFilterSelectModel::Pimpl::translateProxyColumn(int proxyColumn) const
{
    if (proxyColumn < 0)
        return -1;
    return validProxyColumn(proxyColumn) ? columnOrder[std::size_t(proxyColumn)] : proxyColumn;
}

bool SortFilterSelectModel::Pimpl::treeSource() const
{
    const QAbstractItemModel* model = owner->sourceModel();
    // Tables and lists have no children by construction: spare large ones the walk over every row.
    if (qobject_cast<const QAbstractTableModel*>(model) || qobject_cast<const QAbstractListModel*>(model))
        return false;
    bool tree = false;
    for (int row = 0, rows = model ? model->rowCount() : 0; row < rows && !tree; ++row)
        tree = model->hasChildren(model->index(row, 0));
    return tree;
}

int SortFilterSelectModel::Pimpl::baseColumn(int sourceColumn) const
{
    if (!validSourceColumn(sourceColumn))
        return -1;
    int hidden = 0;
    for (int c = 0; c < sourceColumn; ++c)
        hidden += columns[std::size_t(c)].visible ? 0 : 1;
    return sourceColumn - hidden;
}

QModelIndex SortFilterSelectModel::Pimpl::baseRowIndex(const QModelIndex& sourceIndex) const
{
    // The base proxy may not map this column yet (or any more), but the row is the same in every
    // column it maps; without this a child's parent would read as the root while it catches up.
    const QAbstractItemModel* model = sourceIndex.model();
    for (int column = 0; column < int(columns.size()); ++column) {
        if (column == sourceIndex.column())
            continue;
        const QModelIndex base = owner->QSortFilterProxyModel::mapFromSource(
            model->index(sourceIndex.row(), column, sourceIndex.parent()));
        if (base.isValid())
            return base;
    }
    return {};
}

bool SortFilterSelectModel::Pimpl::ancestorsShown(const QModelIndex& sourceIndex) const
{
    // Rows below a parent that is not shown (its column is hidden or its row filtered out, or the
    // same for a parent further up) are not shown either. Asking the base proxy about a parent maps
    // the children of the parent above it, so the parents are asked from the top down and the walk
    // stops at the first one not shown: a level the base proxy maps below a hidden parent misses
    // its later changes, and shows them wrongly once the parent is shown again.
    QVarLengthArray<QModelIndex, 8> ancestors;
    for (QModelIndex up = sourceIndex.parent(); up.isValid(); up = up.parent()) {
        if (!validSourceColumn(up.column()) || !columns[std::size_t(up.column())].visible)
            return false;
        ancestors.append(up);
    }
    for (auto up = ancestors.crbegin(); up != ancestors.crend(); ++up) {
        if (!owner->QSortFilterProxyModel::mapFromSource(*up).isValid()
            && !((refiltering || baseColumnsStale) && baseRowIndex(*up).isValid()))
            return false;
    }
    return true;
}

// ConnectionKeeper

void SortFilterSelectModel::ConnectionKeeper::resetColumns(QAbstractItemModel* model, bool refilter)
{
    const int count = model ? std::max(0, model->columnCount()) : 0;
    const std::size_t oldColumns = d->columns.size();
    const std::size_t oldOrder = d->columnOrder.size();
    d->columns.clear();
    d->columnOrder.clear();
    d->columns.resize(std::size_t(count));
    for (int c = 0; c < count; ++c) {
        ColumnInfo& info = d->columns[std::size_t(c)];
        info.position = c;
        info.width = model ? headerWidth(model, c) : DefaultColumnWidth;
        info.proportionalWidth = model ? headerProportionalWidth(model, c) : 0;
        info.visible = true;
        d->columnOrder.push_back(c);
    }
    // Re-filtering the previous source with the new records would hand views the columns of
    // one model over the rows of another.
    if (refilter && (oldColumns != d->columns.size() || oldOrder != d->columnOrder.size()))
        d->invalidateColumns();
    if (model) {
        d->columnOrder.erase(std::remove_if(d->columnOrder.begin(), d->columnOrder.end(),
                                 [model](int c) { return hiddenByHeader(model, c); }),
            d->columnOrder.end());
    }
    d->rebuildColumnPositions();
    if (refilter)
        d->invalidateColumns();
    else
        d->baseColumnsStale = false;
    d->sortColumn = -1;
    Q_EMIT d->owner->proxySortColumnChanged();
    d->selectionModel.clear();
    Q_EMIT d->owner->selectionChanged();
    d->preFocusCell = QPersistentModelIndex();
    d->focusCell = QPersistentModelIndex();
}

void SortFilterSelectModel::ConnectionKeeper::connectTo(QAbstractItemModel* model)
{
    connect(model, &QAbstractItemModel::columnsAboutToBeInserted, this, &ConnectionKeeper::onColumnsAboutToBeInserted);
    connect(model, &QAbstractItemModel::columnsInserted, this, &ConnectionKeeper::onColumnsInserted);
    connect(model, &QAbstractItemModel::columnsAboutToBeRemoved, this, &ConnectionKeeper::onColumnsAboutToBeRemoved);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &ConnectionKeeper::onColumnsRemoved);
    connect(model, &QAbstractItemModel::modelReset, this, &ConnectionKeeper::onModelReset);
    // The records must follow a top-level column move between the base proxy's two halves of it, so
    // the keeper runs both (and for other moves hands them to the base proxy unchanged).
    QObject::disconnect(model, SIGNAL(columnsAboutToBeMoved(QModelIndex, int, int, QModelIndex, int)), d->owner,
        SLOT(_q_sourceColumnsAboutToBeMoved(QModelIndex, int, int, QModelIndex, int)));
    QObject::disconnect(model, SIGNAL(columnsMoved(QModelIndex, int, int, QModelIndex, int)), d->owner,
        SLOT(_q_sourceColumnsMoved(QModelIndex, int, int, QModelIndex, int)));
    connect(model, &QAbstractItemModel::columnsAboutToBeMoved, this, &ConnectionKeeper::onColumnsAboutToBeMoved);
    connect(model, &QAbstractItemModel::columnsMoved, this, &ConnectionKeeper::onColumnsMoved);
    // The base proxy decides the columns below a parent with the top-level column records; a change
    // of those columns leaves its decision stale until it filters again.
    connect(model, &QAbstractItemModel::columnsInserted, this,
        [this](const QModelIndex& parent, int first, int last) { onChildColumnsChanged(parent, first, last - first + 1); });
    connect(model, &QAbstractItemModel::columnsRemoved, this,
        [this](const QModelIndex& parent, int first, int last) { onChildColumnsChanged(parent, first, first - last - 1); });
    connect(model, &QAbstractItemModel::columnsMoved, this,
            [this](const QModelIndex& parent, int, int, const QModelIndex& destination) {
                onChildColumnsChanged(parent.isValid() ? parent : destination, 0, 0);
            });
    // The base class forwards data and header changes through its own column numbering (visible
    // columns in source order); they must reach the views where the source columns are shown.
    QObject::disconnect(model, SIGNAL(dataChanged(QModelIndex, QModelIndex, QVector<int>)), d->owner,
        SLOT(_q_sourceDataChanged(QModelIndex, QModelIndex, QVector<int>)));
    QObject::disconnect(model, SIGNAL(headerDataChanged(Qt::Orientation, int, int)), d->owner,
        SLOT(_q_sourceHeaderDataChanged(Qt::Orientation, int, int)));
    connect(model, &QAbstractItemModel::dataChanged, this, &ConnectionKeeper::onDataChanged);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &ConnectionKeeper::onHeaderDataChanged);
    connect(model, &QObject::destroyed, this, &ConnectionKeeper::onSourceDestroyed);
}

bool SortFilterSelectModel::ConnectionKeeper::ignored(const QModelIndex& parent, int first, int last) const
{
    return parent.isValid() || last < first || first < 0 || first > int(d->columns.size());
}

void SortFilterSelectModel::ConnectionKeeper::onColumnsAboutToBeInserted(const QModelIndex& parent, int first, int last)
{
    if (!d->owner->sourceModel() || ignored(parent, first, last))
        return;
    const int count = last - first + 1;
    int visibleBefore = 0;
    for (int c = 0; c < first; ++c)
        visibleBefore += d->columns[std::size_t(c)].visible ? 1 : 0;
    const int at = std::min(int(d->columnOrder.size()), visibleBefore);
    for (int& column : d->columnOrder) {
        if (column >= first)
            column += count;
    }
    for (ColumnInfo& info : d->columns) {
        if (info.position >= at)
            info.position += count;
    }
    std::vector<ColumnInfo> inserted(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        inserted[std::size_t(k)].position = at + k;
        inserted[std::size_t(k)].width = InsertedColumnWidth;
        // The weight is read in onColumnsInserted: the source does not have these columns yet.
        inserted[std::size_t(k)].proportionalWidth = 0;
    }
    d->columns.insert(d->columns.begin() + first, inserted.begin(), inserted.end());
    d->rebuildColumnPositions();
}

void SortFilterSelectModel::ConnectionKeeper::onColumnsInserted(const QModelIndex& parent, int first, int last)
{
    const QAbstractItemModel* model = d->owner->sourceModel();
    if (!model || ignored(parent, first, last))
        return;
    const int count = last - first + 1;
    for (int c = first; c <= last && d->validSourceColumn(c); ++c) {
        bool visible = !hiddenByHeader(model, c);
        int width = headerWidth(model, c);
        int position = d->columns[std::size_t(c)].position;
        d->columns[std::size_t(c)].proportionalWidth = headerProportionalWidth(model, c);
        const StoredColumnData stored = d->readColumnData(c, position);
        if (stored.found) {
            visible = stored.visible;
            width = stored.width;
            position = stored.position;
        }
        position = std::max(0, std::min(position, int(d->columnOrder.size())));
        d->columns[std::size_t(c)].width = width;
        if (visible && std::find(d->columnOrder.begin(), d->columnOrder.end(), c) == d->columnOrder.end())
            d->columnOrder.insert(d->columnOrder.begin() + position, c);
    }
    d->rebuildColumnPositions();
    d->invalidateColumns();
    d->selectWholeRows();
    d->preFocusCell = QPersistentModelIndex();
    d->focusCell = QPersistentModelIndex();
    if (first <= d->sortColumn)
        d->sortColumn += count;
    Q_EMIT d->owner->proxySortColumnChanged();
}

void SortFilterSelectModel::ConnectionKeeper::onColumnsAboutToBeRemoved(const QModelIndex& parent, int first, int last)
{
    const QAbstractItemModel* model = d->owner->sourceModel();
    if (!model || ignored(parent, first, last))
        return;
    const int count = last - first + 1;
    const int end = std::min(last, int(d->columns.size()) - 1);
    for (int c = first; c <= end; ++c) {
        const QString identifier = columnIdentifier(model, c);
        if (identifier.isEmpty())
            continue;
        const ColumnInfo& info = d->columns[std::size_t(c)];
        lom::writeColumnDataToRegistry(
            lum::wxFromQt(identifier), info.visible ? info.width : 0, info.position, lum::wxFromQt(d->parentId));
    }
    if (first <= end)
        d->columns.erase(d->columns.begin() + first, d->columns.begin() + end + 1);
    d->columnOrder.erase(std::remove_if(d->columnOrder.begin(), d->columnOrder.end(),
                             [first, last](int c) { return c >= first && c <= last; }),
        d->columnOrder.end());
    for (int& column : d->columnOrder) {
        if (column > last)
            column -= count;
    }
    d->rebuildColumnPositions();
}

void SortFilterSelectModel::ConnectionKeeper::onColumnsRemoved(const QModelIndex& parent, int first, int last)
{
    if (!d->owner->sourceModel() || ignored(parent, first, last))
        return;
    const int count = last - first + 1;
    d->invalidateColumns();
    d->selectWholeRows();
    if (first <= d->sortColumn) {
        if (last < d->sortColumn)
            d->sortColumn -= count;
        else
            d->sortColumn = -1;
    }
    Q_EMIT d->owner->proxySortColumnChanged();
}

void SortFilterSelectModel::ConnectionKeeper::onColumnsAboutToBeMoved(
    const QModelIndex& parent, int first, int last, const QModelIndex& destination, int dest)
{
    pendingMove = PendingMove();
    if (!d->owner->sourceModel())
        return;
    if (parent.isValid() && destination.isValid()) {
        pendingMove.kind = MoveKind::Base;
        QMetaObject::invokeMethod(d->owner, "_q_sourceColumnsAboutToBeMoved", Qt::DirectConnection,
            Q_ARG(QModelIndex, parent), Q_ARG(int, first), Q_ARG(int, last), Q_ARG(QModelIndex, destination),
            Q_ARG(int, dest));
        return;
    }
    if (parent.isValid() || destination.isValid()) {
        // Rare enough to start the layout over, as a reset of the source would. The selection is
        // cleared while the views still agree with the proxy.
        pendingMove.kind = MoveKind::Rebuild;
        d->selectionModel.clear();
        d->owner->beginResetModel();
        return;
    }
    const int count = int(d->columns.size());
    if (first < 0 || last < first || last >= count || dest < 0 || dest > count || (dest >= first && dest <= last + 1))
        return;
    pendingMove.first = first;
    pendingMove.last = last;
    pendingMove.dest = dest;
    // The proxy's own columns stay where they are, so a flat table only remaps. In a tree the rows
    // below parents can come and go with the column their parents are shown in, and the base proxy
    // would keep mappings of parents it no longer shows (see invalidateColumns).
    if (d->treeSource()) {
        pendingMove.kind = MoveKind::Reset;
        pendingMove.snapshot = d->takeRowSnapshot();
        d->owner->beginResetModel();
    } else {
        pendingMove.kind = MoveKind::Layout;
        Q_EMIT d->owner->layoutAboutToBeChanged();
    }
}

void SortFilterSelectModel::ConnectionKeeper::onColumnsMoved(
    const QModelIndex& parent, int first, int last, const QModelIndex& destination, int dest)
{
    PendingMove move;
    std::swap(move, pendingMove);
    // A reset or layout change begun must end, whatever the source did meanwhile.
    switch (move.kind) {
    case MoveKind::None:
        return;
    case MoveKind::Base:
        QMetaObject::invokeMethod(d->owner, "_q_sourceColumnsMoved", Qt::DirectConnection, Q_ARG(QModelIndex, parent),
            Q_ARG(int, first), Q_ARG(int, last), Q_ARG(QModelIndex, destination), Q_ARG(int, dest));
        return;
    case MoveKind::Rebuild: {
        // Its notifications wait until the base proxy has dropped its mapping with the reset.
        {
            const QSignalBlocker blocker(d->owner);
            resetColumns(d->owner->sourceModel(), false);
        }
        d->owner->endResetModel();
        Q_EMIT d->owner->proxySortColumnChanged();
        Q_EMIT d->owner->selectionChanged();
        return;
    }
    case MoveKind::Layout:
    case MoveKind::Reset:
        break;
    }
    const int sortColumn = d->sortColumn;
    d->followColumnMove(move.first, move.last, move.dest);
    move.snapshot.currentColumn = movedColumn(move.snapshot.currentColumn, move.first, move.last, move.dest);
    {
        const QSignalBlocker blocker(d->owner);
        d->remapBaseColumns(sortColumn != d->sortColumn);
    }
    if (move.kind == MoveKind::Layout) {
        Q_EMIT d->owner->layoutChanged();
    } else {
        d->owner->endResetModel();
        d->restoreRowSnapshot(move.snapshot);
    }
    Q_EMIT d->owner->proxySortColumnChanged();
}

void SortFilterSelectModel::ConnectionKeeper::onModelReset()
{
    resetColumns(d->owner->sourceModel());
}

void SortFilterSelectModel::ConnectionKeeper::onDataChanged(
    const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles)
{
    QAbstractItemModel* model = d->owner->sourceModel();
    if (!model || !topLeft.isValid() || !bottomRight.isValid() || topLeft.model() != model || d->columnOrder.empty())
        return;
    int left = INT_MAX;
    int right = -1;
    for (int c = topLeft.column(); c <= bottomRight.column(); ++c) {
        if (d->validSourceColumn(c) && d->columns[std::size_t(c)].visible) {
            left = std::min(left, d->columns[std::size_t(c)].position);
            right = std::max(right, d->columns[std::size_t(c)].position);
        }
    }
    if (right < 0)
        return;
    const QModelIndex sourceParent = topLeft.parent();
    if (!d->ancestorsShown(topLeft))
        return;
    const int anyColumn = d->columnOrder.front();
    int top = INT_MAX;
    int bottom = -1;
    void* internal = nullptr;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        const QModelIndex base
            = d->owner->QSortFilterProxyModel::mapFromSource(model->index(row, anyColumn, sourceParent));
        if (!base.isValid())
            continue;
        top = std::min(top, base.row());
        bottom = std::max(bottom, base.row());
        internal = base.internalPointer();
    }
    if (bottom < 0)
        return;
    Q_EMIT d->owner->dataChanged(
        d->owner->createIndex(top, left, internal), d->owner->createIndex(bottom, right, internal), roles);
}

void SortFilterSelectModel::ConnectionKeeper::onHeaderDataChanged(Qt::Orientation orientation, int first, int last)
{
    QAbstractItemModel* model = d->owner->sourceModel();
    if (!model || first < 0 || last < first || d->columnOrder.empty())
        return;
    std::vector<int> sections;
    if (orientation == Qt::Horizontal) {
        for (int c = first; c <= last; ++c) {
            if (d->validSourceColumn(c) && d->columns[std::size_t(c)].visible)
                sections.push_back(d->columns[std::size_t(c)].position);
        }
    } else {
        const int anyColumn = d->columnOrder.front();
        for (int row = first; row <= last; ++row) {
            const QModelIndex base = d->owner->QSortFilterProxyModel::mapFromSource(model->index(row, anyColumn));
            if (base.isValid())
                sections.push_back(base.row());
        }
    }
    std::sort(sections.begin(), sections.end());
    std::size_t i = 0;
    while (i < sections.size()) {
        std::size_t j = i;
        while (j + 1 < sections.size() && sections[j + 1] == sections[j] + 1)
            ++j;
        Q_EMIT d->owner->headerDataChanged(orientation, sections[i], sections[j]);
        i = j + 1;
    }
}

void SortFilterSelectModel::ConnectionKeeper::onSourceDestroyed()
{
    // The base proxy falls back to an empty model without telling anyone: views, the selection
    // and QML learn it as they would of a null source.
    d->owner->beginResetModel();
    d->columns.clear();
    d->columnOrder.clear();
    d->sortColumn = -1;
    d->baseColumnsStale = false;
    d->forgetCellRoles();
    d->owner->endResetModel();
    d->selectionModel.clear();
    d->selectionIndex.dirty = true;
    d->setSortType(DefaultSortType);
    Q_EMIT d->owner->proxySortColumnChanged();
    Q_EMIT d->owner->selectionChanged();
}

// SortFilterSelectModel

SortFilterSelectModel::SortFilterSelectModel(QObject* parent)
    : QSortFilterProxyModel(parent)
    , d(std::make_unique<Pimpl>(this))
{
    compat::registerMetaTypes<QItemSelection, QModelIndexList, lum::RowFilter*, lum::Sorter*>();
    setSortRole(Qt::DisplayRole);
    setSortCaseSensitivity(Qt::CaseInsensitive);
    setSortLocaleAware(true);
    setDynamicSortFilter(false);
    d->setSortType(DefaultSortType);

    // The index of selected rows must be stale before anyone reads "isSelected" again, so these
    // connections come before updateSelection and before any view connects.
    const auto markSelectionDirty = [this] { d->selectionIndex.dirty = true; };
    connect(&d->selectionModel, &QItemSelectionModel::selectionChanged, this, markSelectionDirty);
    connect(&d->selectionModel, &QItemSelectionModel::modelChanged, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::rowsInserted, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::rowsRemoved, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::rowsMoved, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::columnsInserted, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::columnsRemoved, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::columnsMoved, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::layoutChanged, this, markSelectionDirty);
    connect(this, &QAbstractItemModel::modelReset, this, markSelectionDirty);
    connect(&d->selectionModel, &QItemSelectionModel::selectionChanged, this, &SortFilterSelectModel::updateSelection);
}

SortFilterSelectModel::~SortFilterSelectModel()
{
    // Views may still be attached while the private record goes; drop the keeper first so that
    // no source signal reaches a half-destroyed proxy.
    d->connectionKeeper.reset();
    disconnect(&d->selectionModel, nullptr, this, nullptr);
}

QItemSelectionModel* SortFilterSelectModel::selectionModel() const
{
    return &d->selectionModel;
}

QAbstractItemModel* SortFilterSelectModel::columnModel() const
{
    return &d->columnModel;
}

int SortFilterSelectModel::proxySortColumn() const
{
    // No shown column carries the indicator while the sort column is hidden.
    if (!d->validSourceColumn(d->sortColumn))
        return d->sortColumn;
    const ColumnInfo& info = d->columns[std::size_t(d->sortColumn)];
    return info.visible ? info.position : -1;
}

bool SortFilterSelectModel::ascending() const
{
    return sortOrder() == Qt::AscendingOrder;
}

void SortFilterSelectModel::setAscending(bool ascending)
{
    if (this->ascending() == ascending)
        return;
    if (d->validSourceColumn(d->sortColumn)) {
        // A hidden sort column keeps the rows in source order; the base proxy keeps the order for
        // when it is shown again.
        const bool shown = d->columns[std::size_t(d->sortColumn)].visible;
        d->sortBase(shown ? d->baseColumn(d->sortColumn) : -1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    }
    Q_EMIT ascendingChanged(ascending);
}

bool SortFilterSelectModel::hasInitialSortColumn() const
{
    return d->hasInitialSortColumn;
}

QString SortFilterSelectModel::parentId() const
{
    return d->parentId;
}

void SortFilterSelectModel::setParentId(const QString& parentId)
{
    if (d->parentId == parentId)
        return;
    d->parentId = parentId;
    Q_EMIT parentIdChanged();
}

lum::RowFilter* SortFilterSelectModel::filter() const
{
    return d->filter.data();
}

void SortFilterSelectModel::setFilter(lum::RowFilter* filter)
{
    if (!filter || d->filter == filter)
        return;
    disconnect(d->filterInvalidateConnection);
    disconnect(d->filterDestroyedConnection);
    d->filter = filter;
    d->filterInvalidateConnection = connect(filter, &lum::RowFilter::invalidate, this, [this] {
        const QScopedValueRollback<lum::RowFilter*> with(d->refilteringWith, d->filter.data());
        const QScopedValueRollback<QAbstractItemModel*> source(d->refilteringSource, sourceModel());
        const int before = rowCount();
        invalidateFilter();
        if (rowCount() >= before)
            doSort(proxySortColumn(), ascending(), true);
    });
    d->filterDestroyedConnection = connect(filter, &QObject::destroyed, this, [this] {
        d->refilteringWith = nullptr;
        Q_EMIT filterChanged();
    });
    Q_EMIT filterChanged();
}

lum::Sorter* SortFilterSelectModel::sorter() const
{
    return d->sorter.data();
}

void SortFilterSelectModel::setSorter(lum::Sorter* sorter)
{
    d->sorter = sorter;
}

int SortFilterSelectModel::columnRecordCount() const
{
    return int(d->columns.size());
}

bool SortFilterSelectModel::isSourceColumnVisible(int sourceColumn) const
{
    return d->validSourceColumn(sourceColumn) && d->columns[std::size_t(sourceColumn)].visible;
}

QVariant SortFilterSelectModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.model() != this || !sourceModel())
        return {};
    if (role == d->isSelectedRole) {
        const QModelIndex parent = index.parent();
        if (parent.isValid() && parent.model() != this)
            return false;
        return d->rowSelected(index.row(), parent);
    }
    if (role == d->isHoveredRole)
        return index.row() == d->hoveredRow;
    if (role == d->isPreFocusCellRole)
        return index.row() == d->preFocusCell.row() && index.column() == d->preFocusCell.column()
            && index.parent() == d->preFocusCell.parent();
    if (role == d->isFocusCellRole)
        return index.row() == d->focusCell.row() && index.column() == d->focusCell.column()
            && index.parent() == d->focusCell.parent();
    if (role == d->beginEditRole && d->beginEditRow >= 0 && !d->defaultEditableColumnId.isEmpty()) {
        return index.row() == d->beginEditRow
            && columnIdentifier(sourceModel(), mapProxyColumnToSource(index.column())) == d->defaultEditableColumnId;
    }
    return QSortFilterProxyModel::data(index, role);
}

QVariant SortFilterSelectModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QAbstractItemModel* model = sourceModel();
    if (!model)
        return {};
    return model->headerData(mapProxyColumnToSource(section), orientation, role);
}

QHash<int, QByteArray> SortFilterSelectModel::roleNames() const
{
    QHash<int, QByteArray> names;
    if (const QAbstractItemModel* model = sourceModel())
        names = model->roleNames();
    const std::pair<int, const char*> extras[]
        = { { d->isSelectedRole, "isSelected" }, { d->isHoveredRole, "isHovered" }, { d->beginEditRole, "beginedit" },
              { d->isPreFocusCellRole, "isPreFocusCell" }, { d->isFocusCellRole, "isFocusCell" } };
    for (const auto& extra : extras) {
        if (extra.first >= 0)
            names.insert(extra.first, QByteArray(extra.second));
    }
    return names;
}

void SortFilterSelectModel::setSourceModel(QAbstractItemModel* model)
{
    // A proxy that is its own source (directly or further down) asks itself for its roles and rows
    // forever; the previous source stays.
    if (detail::wouldBecomeOwnSource(this, model))
        return;
    d->connectionKeeper = std::make_unique<ConnectionKeeper>(d.get());
    // The base proxy keeps its mapping when the source stays the same, and drops it otherwise.
    // Between the new records and the base proxy's switch the two disagree, so the views hear of
    // the cleared selection before, while they still agree.
    const bool sameSource = model == sourceModel();
    if (!sameSource)
        d->selectionModel.clear();
    d->connectionKeeper->resetColumns(model, sameSource);
    d->forgetCellRoles();
    QSortFilterProxyModel::setSourceModel(model);
    d->setSortType(DefaultSortType);
    if (!model)
        return;

    const QHash<int, QByteArray> sourceRoles = model->roleNames();
    int next = Qt::UserRole;
    const auto nextFreeRole = [&sourceRoles, &next] {
        while (sourceRoles.contains(next))
            ++next;
        return next++;
    };
    d->isSelectedRole = nextFreeRole();
    d->isHoveredRole = nextFreeRole();
    d->beginEditRole = nextFreeRole();
    d->isPreFocusCellRole = nextFreeRole();
    d->isFocusCellRole = nextFreeRole();

    d->connectionKeeper->connectTo(model);
    if (!d->parentId.isEmpty())
        loadColumnData();
    d->applyInitialSort(false);
}

QModelIndex SortFilterSelectModel::mapToSource(const QModelIndex& proxyIndex) const
{
    // A stale index may name a proxy column that no longer exists. Without a source the base proxy
    // has no rows, so any index it maps is the source's; asked on every cell a view reads.
    if (!proxyIndex.isValid() || proxyIndex.model() != this || !d->validProxyColumn(proxyIndex.column()))
        return {};
    const QModelIndex base = QSortFilterProxyModel::mapToSource(proxyIndex);
    if (!base.isValid())
        return {};
    const int sourceColumn = d->columnOrder[std::size_t(proxyIndex.column())];
    // Columns the user has not moved map as the base proxy maps them: spare the source two lookups.
    if (base.column() == sourceColumn)
        return base;
    return base.model()->index(base.row(), sourceColumn, base.parent());
}

QModelIndex SortFilterSelectModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    const QAbstractItemModel* model = sourceModel();
    if (!sourceIndex.isValid() || !model || sourceIndex.model() != model)
        return {};
    if (!d->validSourceColumn(sourceIndex.column()) || !d->ancestorsShown(sourceIndex))
        return {};
    QModelIndex base = QSortFilterProxyModel::mapFromSource(sourceIndex);
    if (!base.isValid() && (d->refiltering || d->baseColumnsStale) && d->columns[std::size_t(sourceIndex.column())].visible)
        base = d->baseRowIndex(sourceIndex);
    if (!base.isValid())
        return {};
    const int position = d->columns[std::size_t(sourceIndex.column())].position;
    if (base.column() == position)
        return base;
    return createIndex(base.row(), position, base.internalPointer());
}

// Editable column, mapping and filtering

QString SortFilterSelectModel::defaultEditableColumnId() const
{
    return d->defaultEditableColumnId;
}

void SortFilterSelectModel::setDefaultEditableColumnId(const QString& columnId)
{
    if (d->defaultEditableColumnId == columnId)
        return;
    d->defaultEditableColumnId = columnId;
    Q_EMIT defaultEditableColumnIdChanged();
}

int SortFilterSelectModel::mapProxyColumnToSource(int proxyColumn) const
{
    return d->validProxyColumn(proxyColumn) ? d->columnOrder[std::size_t(proxyColumn)] : proxyColumn;
}

int SortFilterSelectModel::mapSourceColumnToProxy(int sourceColumn) const
{
    return d->validSourceColumn(sourceColumn) ? d->columns[std::size_t(sourceColumn)].position : sourceColumn;
}

int SortFilterSelectModel::mapSourceRowToProxy(int sourceRow) const
{
    QAbstractItemModel* model = sourceModel();
    if (!model || d->columnOrder.empty())
        return -1;
    const QModelIndex proxy = mapFromSource(model->index(sourceRow, d->columnOrder.front()));
    return proxy.isValid() ? proxy.row() : -1;
}

int SortFilterSelectModel::mapProxyRowToSource(int proxyRow) const
{
    if (!sourceModel())
        return -1;
    const QModelIndex source = mapToSource(index(proxyRow, 0));
    return source.isValid() ? source.row() : -1;
}

QModelIndex SortFilterSelectModel::mapProxyIndexToSource(int proxyRow, int proxyColumn) const
{
    if (!sourceModel())
        return {};
    return mapToSource(index(proxyRow, proxyColumn));
}

QModelIndex SortFilterSelectModel::mapProxyIndexToSource(const QModelIndex& proxyIndex) const
{
    if (!sourceModel())
        return {};
    return mapToSource(proxyIndex);
}

bool SortFilterSelectModel::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    // Asked once per row when the filter re-filters: the fewest reads first.
    if (lum::RowFilter* filter = d->refilteringWith)
        return filter->acceptRow(d->refilteringSource, sourceRow, sourceParent);
    if (d->acceptAllRows)
        return true;
    if (lum::RowFilter* filter = d->filter.data())
        return filter->acceptRow(sourceModel(), sourceRow, sourceParent);
    return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

bool SortFilterSelectModel::filterAcceptsColumn(int sourceColumn, const QModelIndex&) const
{
    return d->validSourceColumn(sourceColumn) && d->columns[std::size_t(sourceColumn)].visible;
}
}
