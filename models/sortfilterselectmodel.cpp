// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/sortfilterselectmodel.h"

#include "models/columncontextmenumodel.h"
#include "models/proxysource_p.h"

#include <loom/columnstore.h>
#include <loom/comparators.h>
#include <lumen/strings.h>

#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QPointer>
#include <QScopedValueRollback>
#include <QSet>
#include <QSignalBlocker>
#include <QSize>
#include <QTime>

#include <algorithm>
#include <climits>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace core
{
namespace
{
constexpr int InitiallyVisibleRole = Qt::UserRole;
constexpr int ProportionalWidthRole = Qt::UserRole + 1;
constexpr int SortTypeRole = Qt::UserRole + 2;
constexpr int ColumnIdRole = Qt::UserRole + 3;
constexpr int InitialSortColumnRole = Qt::UserRole + 5;

constexpr int DefaultColumnWidth = 100;
constexpr int InsertedColumnWidth = 80;
constexpr int AbsentColumnDefaultWidth = 80;
constexpr int DefaultSortType = 4;

struct ColumnInfo
{
    int position = 0;
    int width = DefaultColumnWidth;
    int proportionalWidth = 0;
    bool visible = true;
};

struct StoredColumnData
{
    int width = DefaultColumnWidth;
    bool visible = true;
    int position = 0;
    bool found = false;
};

struct ColumnState
{
    int sourceColumn = 0;
    QString identifier;
    int position = 0;
    int width = 0;
    bool visible = false;
};

using Intervals = std::vector<std::pair<int, int>>;

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

int headerWidth(const QAbstractItemModel* model, int column)
{
    const int width = model->headerData(column, Qt::Horizontal, Qt::SizeHintRole).toSize().width();
    return width >= 1 ? width : DefaultColumnWidth;
}

int headerProportionalWidth(const QAbstractItemModel* model, int column)
{
    return std::max(0, model->headerData(column, Qt::Horizontal, ProportionalWidthRole).toInt());
}

bool hiddenByHeader(const QAbstractItemModel* model, int column)
{
    const QVariant value = model->headerData(column, Qt::Horizontal, InitiallyVisibleRole);
    return value.userType() == QMetaType::Bool && !value.toBool();
}

QString columnIdentifier(const QAbstractItemModel* model, int column)
{
    return model->headerData(column, Qt::Horizontal, ColumnIdRole).toString();
}

// A hint only: compilers without it lose speed, never answers.
inline void prefetch(const void* address)
{
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    Q_UNUSED(address);
#endif
}

void prefetchText(const wxString& text)
{
    prefetch(text.wx_str());
}

void prefetchText(const QString& text)
{
    // The header, which the characters follow; constData() would wait for it to arrive.
    prefetch(const_cast<QString&>(text).data_ptr());
}

bool fileSizeLess(const wxString& left, const wxString& right)
{
    // The host comparator leaves its texts as they are; its references are not const only to keep
    // the host's signature.
    return lom::fileSizeLessThan(const_cast<wxString&>(left), const_cast<wxString&>(right));
}

// The number of a source column after columns first to last moved before column dest (numbers
// from before the move).
int movedColumn(int column, int first, int last, int dest)
{
    const int count = last - first + 1;
    if (column >= first && column <= last)
        return (dest > last ? dest - count : dest) + column - first;
    if (dest > last && column > last && column < dest)
        return column - count;
    if (dest < first && column >= dest && column < first)
        return column + count;
    return column;
}
}

class SortFilterSelectModel::Pimpl
{
public:
    explicit Pimpl(SortFilterSelectModel* owner);

    // The sort column read once per row during a sort instead of twice per comparison, keyed by
    // source row and dropped when the sort ends. A column of ints (code 4) becomes one array of
    // integers; the text codes order every row once with their comparator before the base proxy
    // sorts, which then compares ranks; anything else keeps compact keys (ints and doubles in place,
    // other values beside) and texts read on first use.
    enum class KeyKind : quint8
    {
        Unread,
        Invalid,
        Int,
        Double,
        Other
    };
    struct SortKey
    {
        union
        {
            qint64 integer;
            double real;
        };
        KeyKind kind;
    };
    struct SortCache
    {
        bool active = false;
        const QAbstractItemModel* model = nullptr;
        int column = -1;
        int role = Qt::DisplayRole;
        std::size_t rows = 0;
        bool prepared = false;
        bool ranked = false;
        // Empty cells hold a value above every int, so that they sort last and tie with each other.
        std::vector<qint64> integers;
        // Each row's place in the comparator's order; rows that tie share one.
        std::vector<int> ranks;
        std::vector<SortKey> keys;
        std::vector<QVariant> values; // of the keys of kind Other
        std::vector<QString> strings;
        std::vector<quint8> stringRead;
        // Texts in the order the sort first reads them, which is the order it walks them in.
        std::vector<wxString> texts;
        std::vector<int> textSlots;
    };
    using TextLess = bool (*)(const wxString&, const wxString&);
    using Comparator = bool (*)(const Pimpl&, const QModelIndex&, const QModelIndex&);

    // The selected rows of the selection model, merged per parent; rebuilt lazily after every
    // change of the selection or of the rows it refers to.
    struct SelectionIndex
    {
        bool dirty = true;
        QHash<QModelIndex, Intervals> rows;
        int count = 0;
        // The top-level rows, and the interval of the last answer there: views read neighbouring
        // rows one after another.
        const Intervals* topLevel = nullptr;
        std::size_t hint = 0;
    };

    // Selected rows and the current cell in source terms, for changes that reset the proxy. Parents
    // are asked for again on the way back, from a cell of one of their rows, and the current cell's
    // column is kept as a number: across a source column move the parent's own index may change
    // column, and Qt does not move persistent indexes made while the move is announced.
    struct RowSnapshot
    {
        std::vector<std::pair<QPersistentModelIndex, std::vector<int>>> groups;
        QPersistentModelIndex current;
        int currentColumn = -1;
    };

    SortFilterSelectModel* owner;
    QItemSelectionModel selectionModel;
    int isSelectedRole = -1;
    int isHoveredRole = -1;
    int hoveredRow = -1;
    int beginEditRole = -1;
    int beginEditRow = -1;
    int isPreFocusCellRole = -1;
    QPersistentModelIndex preFocusCell;
    int isFocusCellRole = -1;
    QPersistentModelIndex focusCell;
    QString defaultEditableColumnId;
    std::vector<int> columnOrder;
    std::vector<ColumnInfo> columns;
    ColumnContextMenuModel columnModel;
    std::unique_ptr<ConnectionKeeper> connectionKeeper;
    int sortColumn = -1;
    // Guarded: QML may destroy the filter or sorter while it is set.
    QPointer<lum::RowFilter> filter;
    QPointer<lum::Sorter> sorter;
    QString parentId;
    int sortType = DefaultSortType;
    bool hasInitialSortColumn = false;

    QMetaObject::Connection filterInvalidateConnection;
    QMetaObject::Connection filterDestroyedConnection;
    Comparator comparator = nullptr;
    // The text comparison behind `comparator` for the codes that compare texts, else null.
    TextLess textLess = nullptr;
    mutable SortCache sortCache;
    mutable SelectionIndex selectionIndex;
    // The base proxy's own column mapping follows the visible columns only after its filter is
    // invalidated; set while it lags behind `columns`.
    bool baseColumnsStale = false;
    // Set while the base proxy re-filters its columns: the records already describe the new layout,
    // and the base proxy's mapping catches up column by column.
    bool refiltering = false;
    // Set while a column change refilters, when no row can be refused.
    bool acceptAllRows = false;

    bool validSourceColumn(int column) const { return column >= 0 && column < int(columns.size()); }
    bool validProxyColumn(int column) const { return column >= 0 && column < int(columnOrder.size()); }
    int translateProxyColumn(int proxyColumn) const;

    void rebuildColumnPositions();
    bool treeSource() const;
    void invalidateColumns();
    void followColumnMove(int first, int last, int dest);
    void remapBaseColumns(bool sortColumnMoved);
    bool insertVisibleColumn(int sourceColumn);
    int baseColumn(int sourceColumn) const;
    QModelIndex baseRowIndex(const QModelIndex& sourceIndex) const;
    bool ancestorsShown(const QModelIndex& sourceIndex) const;
    StoredColumnData readColumnData(int sourceColumn, int defaultPosition) const;

    void setSortType(int code);
    void sortBase(int column, Qt::SortOrder order);
    void applyInitialSort(bool force);
    bool prepareSortCache() const;
    std::vector<int> heldRootRows() const;
    bool rankedLess(const QModelIndex& left, const QModelIndex& right, bool* less) const;
    std::ptrdiff_t cachedRow(const QModelIndex& index) const;
    const SortKey& sortKey(std::size_t row, const QModelIndex& index) const;
    QVariant sortValue(const QModelIndex& index) const;
    const QString& sortString(const QModelIndex& index, QString& scratch) const;
    wxString& sortText(const QModelIndex& index, wxString& scratch) const;
    // Comparators; one is chosen per sort from the column's comparator code.
    template <bool (*Less)(const wxString&, const wxString&)>
    static bool textLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right);
    static bool caseInsensitiveLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right);
    static bool valueTypeLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right);

    void ensureSelectionIndex() const;
    bool rowSelected(int row, const QModelIndex& parent) const;
    QItemSelection wholeRows(QHash<QModelIndex, Intervals>& groups) const;
    QItemSelection wholeRows(const QItemSelection& selection) const;
    void selectWholeRows();
    RowSnapshot takeRowSnapshot() const;
    void restoreRowSnapshot(const RowSnapshot& snapshot);

    QModelIndex ownCell(const QModelIndex& cell) const;
    void notifyRow(int row, int role);
    bool ensurePreFocusCell();
    void notifyPreFocusCell(const QModelIndex& cell, const QModelIndex& reference);
};

// The receiver of the source model's column signals: deleting it drops exactly those connections.
class SortFilterSelectModel::ConnectionKeeper : public QObject
{
public:
    explicit ConnectionKeeper(Pimpl* pimpl)
        : d(pimpl)
    {
    }

    // refilter is false when the base proxy is about to drop its mapping anyway (a new source).
    void resetColumns(QAbstractItemModel* model, bool refilter = true);
    void connectTo(QAbstractItemModel* model);

private:
    bool ignored(const QModelIndex& parent, int first, int last) const;
    void onColumnsAboutToBeInserted(const QModelIndex& parent, int first, int last);
    void onColumnsInserted(const QModelIndex& parent, int first, int last);
    void onColumnsAboutToBeRemoved(const QModelIndex& parent, int first, int last);
    void onColumnsRemoved(const QModelIndex& parent, int first, int last);
    void onColumnsAboutToBeMoved(
        const QModelIndex& parent, int first, int last, const QModelIndex& destination, int dest);
    void onColumnsMoved(const QModelIndex& parent, int first, int last, const QModelIndex& destination, int dest);
    void onModelReset();
    void onChildColumnsChanged(const QModelIndex& parent);
    void onDataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QVector<int>& roles);
    void onHeaderDataChanged(Qt::Orientation orientation, int first, int last);
    void onSourceDestroyed();

    // How a source column move between its two signals is followed.
    enum class MoveKind
    {
        None,
        // Below a parent row: the base proxy's own handling.
        Base,
        // Top-level columns of a flat source: a layout change, whose persistent indexes the base
        // proxy carries over.
        Layout,
        // Top-level columns of a tree: a reset, the selection carried across in source terms.
        Reset,
        // Columns leaving or joining the top level: the records are rebuilt.
        Rebuild
    };
    struct PendingMove
    {
        MoveKind kind = MoveKind::None;
        int first = 0;
        int last = 0;
        int dest = 0;
        Pimpl::RowSnapshot snapshot;
    };

    Pimpl* const d;
    PendingMove pendingMove;
};

SortFilterSelectModel::Pimpl::Pimpl(SortFilterSelectModel* model)
    : owner(model)
    , selectionModel(model)
    , columnModel(model)
{
}

int SortFilterSelectModel::Pimpl::translateProxyColumn(int proxyColumn) const
{
    if (proxyColumn < 0)
        return -1;
    return validProxyColumn(proxyColumn) ? columnOrder[std::size_t(proxyColumn)] : proxyColumn;
}

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

void SortFilterSelectModel::Pimpl::invalidateColumns()
{
    baseColumnsStale = false;
    const QScopedValueRollback<bool> guard(refiltering, true);
    // The base proxy re-runs the row predicate for every row as well; with no row filter and no
    // pattern every row passes, so answer that without asking per row.
    const QScopedValueRollback<bool> acceptAll(
        acceptAllRows,
        !filter && owner->filterRegExp().isEmpty() && owner->filterRegularExpression().pattern().isEmpty());
    if (!treeSource()) {
        owner->invalidateFilter();
        return;
    }
    // In a tree the base proxy drops the rows it mapped below a column it stops showing without
    // telling their persistent indexes, so views and the selection's current cell would keep
    // dangling indexes: the views start over instead, and the selection is carried across.
    const RowSnapshot snapshot = takeRowSnapshot();
    owner->beginResetModel();
    owner->invalidateFilter();
    owner->endResetModel();
    restoreRowSnapshot(snapshot);
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
    // through a sort, by the position among the columns it shows; a hidden sort column is shown
    // to it for that moment.
    ColumnInfo* sortInfo
        = sortColumnMoved && validSourceColumn(sortColumn) ? &columns[std::size_t(sortColumn)] : nullptr;
    const bool hiddenSortColumn = sortInfo && !sortInfo->visible;
    if (hiddenSortColumn)
        sortInfo->visible = true;
    const QScopedValueRollback<bool> acceptAll(
        acceptAllRows,
        !filter && owner->filterRegExp().isEmpty() && owner->filterRegularExpression().pattern().isEmpty());
    owner->invalidate();
    baseColumnsStale = false;
    if (!sortInfo)
        return;
    sortBase(baseColumn(sortColumn), owner->sortOrder());
    if (hiddenSortColumn) {
        sortInfo->visible = false;
        owner->invalidate();
    }
}

bool SortFilterSelectModel::Pimpl::insertVisibleColumn(int sourceColumn)
{
    if (!validSourceColumn(sourceColumn) || columns[std::size_t(sourceColumn)].visible)
        return false;
    int position = columns[std::size_t(sourceColumn)].position;
    if (position < 0 || position > int(columnOrder.size()))
        position = std::min(int(columnOrder.size()), sourceColumn);
    columnOrder.insert(columnOrder.begin() + position, sourceColumn);
    rebuildColumnPositions();
    return true;
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
    // same for a parent further up) are not shown either. Asking the base proxy about them would
    // make it map that parent's children, and its later row signals under that parent would then
    // name the root as their parent.
    for (QModelIndex up = sourceIndex.parent(); up.isValid(); up = up.parent()) {
        if (!validSourceColumn(up.column()) || !columns[std::size_t(up.column())].visible)
            return false;
        if (!owner->QSortFilterProxyModel::mapFromSource(up).isValid()
            && !((refiltering || baseColumnsStale) && baseRowIndex(up).isValid()))
            return false;
    }
    return true;
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

void SortFilterSelectModel::Pimpl::sortBase(int column, Qt::SortOrder order)
{
    if (baseColumnsStale)
        invalidateColumns();
    sortCache = SortCache();
    sortCache.active = column >= 0;
    sortCache.model = owner->sourceModel();
    sortCache.column = column >= 0 && validSourceColumn(sortColumn) ? sortColumn : -1;
    sortCache.role = owner->sortRole();
    sortCache.rows = sortCache.active && sortCache.model ? std::size_t(std::max(0, sortCache.model->rowCount())) : 0;
    owner->QSortFilterProxyModel::sort(column, order);
    sortCache = SortCache();
}

namespace
{
// Bottom-up stable merge sort of pointers into `texts`, fetching the texts a few steps before the
// merge reaches them: on large tables nearly every comparison would otherwise wait for memory.
template <typename Text, typename Less>
void mergeSortTexts(std::vector<const Text*>& order, Less less)
{
    constexpr std::size_t run = 16;
    constexpr std::size_t ahead = 8;
    const std::size_t n = order.size();
    // Rows come in the order they are shown. A table sorted before, either way round, is ordered
    // in one pass: reversing the order is what a second click on a header does.
    bool up = true;
    bool down = true;
    for (std::size_t i = 1; i < n && (up || down); ++i) {
        up = up && !less(*order[i], *order[i - 1]);
        down = down && !less(*order[i - 1], *order[i]);
    }
    if (up || down) {
        if (!up)
            std::reverse(order.begin(), order.end());
        return;
    }
    auto ordered = [&less](const Text* a, const Text* b) { return !less(*b, *a); };
    for (std::size_t begin = 0; begin < n; begin += run) {
        const auto first = order.begin() + std::ptrdiff_t(begin);
        std::stable_sort(first, first + std::ptrdiff_t(std::min(run, n - begin)),
            [&less](const Text* a, const Text* b) { return less(*a, *b); });
    }
    std::vector<const Text*> buffer(n);
    std::vector<const Text*>* from = &order;
    std::vector<const Text*>* to = &buffer;
    for (std::size_t width = run; width < n; width *= 2) {
        for (std::size_t begin = 0; begin < n; begin += 2 * width) {
            const std::size_t middle = std::min(begin + width, n);
            const std::size_t end = std::min(begin + 2 * width, n);
            const Text* const* a = from->data() + begin;
            const Text* const* aEnd = from->data() + middle;
            const Text* const* b = aEnd;
            const Text* const* bEnd = from->data() + end;
            const Text** out = to->data() + begin;
            while (a != aEnd && b != bEnd) {
                // The text objects first, their characters once the objects have arrived.
                if (aEnd - a > std::ptrdiff_t(2 * ahead))
                    prefetch(a[2 * ahead]);
                if (bEnd - b > std::ptrdiff_t(2 * ahead))
                    prefetch(b[2 * ahead]);
                if (aEnd - a > std::ptrdiff_t(ahead))
                    prefetchText(*a[ahead]);
                if (bEnd - b > std::ptrdiff_t(ahead))
                    prefetchText(*b[ahead]);
                // Ties take the left run first, which keeps the sort stable.
                if (ordered(*a, *b))
                    *out++ = *a++;
                else
                    *out++ = *b++;
            }
            out = std::copy(a, aEnd, out);
            std::copy(b, bEnd, out);
        }
        std::swap(from, to);
    }
    if (from != &order)
        order.swap(*from);
}

// The place of each listed row's text in the order of `less`, equal texts sharing one; rows not
// listed get -1.
template <typename Text, typename Less>
std::vector<int> rankTexts(const std::vector<Text>& texts, const std::vector<int>& rows, Less less)
{
    std::vector<const Text*> order;
    order.reserve(rows.size());
    for (int row : rows)
        order.push_back(&texts[std::size_t(row)]);
    mergeSortTexts(order, less);
    std::vector<int> ranks(texts.size(), -1);
    int rank = 0;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && less(*order[i - 1], *order[i]))
            ++rank;
        ranks[std::size_t(order[i] - texts.data())] = rank;
    }
    return ranks;
}
}

bool SortFilterSelectModel::Pimpl::prepareSortCache() const
{
    if (sortCache.prepared)
        return sortCache.ranked;
    sortCache.prepared = true;
    if (sorter || sortCache.column < 0)
        return false;
    std::vector<int> held = heldRootRows();
    // Without the rows the base proxy holds, every row is read and ordered: worth it only when it
    // holds most of them.
    if (held.empty() && std::size_t(owner->QSortFilterProxyModel::rowCount()) * 2 < sortCache.rows)
        return false;
    if (held.empty()) {
        held.resize(sortCache.rows);
        std::iota(held.begin(), held.end(), 0);
    }
    const QAbstractItemModel* model = sortCache.model;
    const int column = sortCache.column;
    const int role = sortCache.role;
    if (comparator == &valueTypeLessThan) {
        // A column of ints, or of strings, with empty cells among them: the comparison by value
        // type then reduces to integers or to the natural order of the texts, empty cells last.
        int type = QMetaType::UnknownType;
        std::vector<int> integers;
        std::vector<wxString> texts;
        std::vector<bool> absent(sortCache.rows, false);
        for (std::size_t row = 0; row < sortCache.rows; ++row) {
            const QVariant value = model->index(int(row), column).data(role);
            if (!value.isValid()) {
                absent[row] = true;
                continue;
            }
            if (type == QMetaType::UnknownType) {
                type = value.userType();
                if (type == QMetaType::Int)
                    integers.resize(sortCache.rows);
                else if (type == QMetaType::QString)
                    texts.resize(sortCache.rows);
                else
                    return false;
            } else if (value.userType() != type) {
                return false;
            }
            if (type == QMetaType::Int)
                integers[row] = value.toInt();
            else
                texts[row] = lum::wxFromQt(value.toString());
        }
        if (type == QMetaType::QString) {
            // Empty cells rank after every text.
            std::vector<int> present;
            present.reserve(held.size());
            for (int row : held) {
                if (!absent[std::size_t(row)])
                    present.push_back(row);
            }
            sortCache.ranks = rankTexts(texts, present, &lom::stringsLessThan);
            for (int row : held) {
                if (absent[std::size_t(row)])
                    sortCache.ranks[std::size_t(row)] = std::numeric_limits<int>::max();
            }
        } else if (std::find(absent.begin(), absent.end(), true) == absent.end()) {
            // The values are their own ranks.
            sortCache.ranks = std::move(integers);
        } else {
            // Wider keys when empty cells need a place above every int.
            integers.resize(sortCache.rows);
            sortCache.integers.resize(sortCache.rows);
            for (std::size_t row = 0; row < sortCache.rows; ++row)
                sortCache.integers[row] = absent[row] ? std::numeric_limits<qint64>::max() : integers[row];
        }
    } else if (comparator == &caseInsensitiveLessThan) {
        std::vector<QString> strings(sortCache.rows);
        for (int row : held)
            strings[std::size_t(row)] = model->index(row, column).data(role).toString();
        sortCache.ranks = rankTexts(strings, held, [](const QString& left, const QString& right) {
            return QString::compare(left, right, Qt::CaseInsensitive) < 0;
        });
    } else if (textLess) {
        std::vector<wxString> texts(sortCache.rows);
        for (int row : held)
            texts[std::size_t(row)] = lum::wxFromQt(model->index(row, column).data(role).toString());
        sortCache.ranks = rankTexts(texts, held, textLess);
    } else {
        return false;
    }
    sortCache.ranked = true;
    return true;
}

bool SortFilterSelectModel::Pimpl::rankedLess(const QModelIndex& left, const QModelIndex& right, bool* less) const
{
    const std::ptrdiff_t leftRow = cachedRow(left);
    if (leftRow < 0)
        return false;
    const std::ptrdiff_t rightRow = cachedRow(right);
    if (rightRow < 0 || !prepareSortCache())
        return false;
    if (!sortCache.integers.empty()) {
        *less = sortCache.integers[std::size_t(leftRow)] < sortCache.integers[std::size_t(rightRow)];
        return true;
    }
    const int leftRank = sortCache.ranks[std::size_t(leftRow)];
    const int rightRank = sortCache.ranks[std::size_t(rightRow)];
    // A row the base proxy did not hold when the sort began has no rank: the comparator decides.
    if (leftRank < 0 || rightRank < 0)
        return false;
    *less = leftRank < rightRank;
    return true;
}

std::vector<int> SortFilterSelectModel::Pimpl::heldRootRows() const
{
    // Read at the base proxy's first comparison of its top-level rows, which its stable sort makes
    // before it moves any: the rows it holds, in the order they are shown. Anything else than each
    // source row at most once gives up, and every row is ordered instead.
    const int count = owner->QSortFilterProxyModel::rowCount();
    std::vector<int> rows;
    rows.reserve(std::size_t(std::max(0, count)));
    std::vector<bool> seen(sortCache.rows, false);
    for (int proxyRow = 0; proxyRow < count; ++proxyRow) {
        const QModelIndex source
            = owner->QSortFilterProxyModel::mapToSource(owner->QSortFilterProxyModel::index(proxyRow, 0));
        const int row = source.row();
        if (!source.isValid() || source.parent().isValid() || row >= int(sortCache.rows) || seen[std::size_t(row)])
            return {};
        seen[std::size_t(row)] = true;
        rows.push_back(row);
    }
    return rows;
}

std::ptrdiff_t SortFilterSelectModel::Pimpl::cachedRow(const QModelIndex& index) const
{
    if (!sortCache.active || index.model() != sortCache.model || index.column() != sortCache.column)
        return -1;
    const int row = index.row();
    if (row < 0 || std::size_t(row) >= sortCache.rows || index.parent().isValid())
        return -1;
    return row;
}

const SortFilterSelectModel::Pimpl::SortKey& SortFilterSelectModel::Pimpl::sortKey(
    std::size_t row, const QModelIndex& index) const
{
    SortKey& key = sortCache.keys[row];
    if (key.kind != KeyKind::Unread)
        return key;
    const QVariant value = index.data(sortCache.role);
    switch (value.userType()) {
    case QMetaType::UnknownType:
        key.kind = KeyKind::Invalid;
        break;
    case QMetaType::Int:
        key.integer = value.toInt();
        key.kind = KeyKind::Int;
        break;
    case QMetaType::Double:
        key.real = value.toDouble();
        key.kind = KeyKind::Double;
        break;
    default:
        if (sortCache.values.empty())
            sortCache.values.resize(sortCache.rows);
        sortCache.values[row] = value;
        key.kind = KeyKind::Other;
        break;
    }
    return key;
}

QVariant SortFilterSelectModel::Pimpl::sortValue(const QModelIndex& index) const
{
    const std::ptrdiff_t row = cachedRow(index);
    if (row < 0)
        return index.model() ? index.data(owner->sortRole()) : QVariant();
    if (sortCache.keys.empty())
        return index.data(sortCache.role);
    const SortKey& key = sortKey(std::size_t(row), index);
    switch (key.kind) {
    case KeyKind::Int:
        return QVariant(int(key.integer));
    case KeyKind::Double:
        return QVariant(key.real);
    case KeyKind::Other:
        return sortCache.values[std::size_t(row)];
    default:
        return QVariant();
    }
}

const QString& SortFilterSelectModel::Pimpl::sortString(const QModelIndex& index, QString& scratch) const
{
    const std::ptrdiff_t row = cachedRow(index);
    if (row < 0) {
        scratch = sortValue(index).toString();
        return scratch;
    }
    if (sortCache.strings.empty()) {
        sortCache.strings.resize(sortCache.rows);
        sortCache.stringRead.assign(sortCache.rows, 0);
    }
    if (!sortCache.stringRead[std::size_t(row)]) {
        sortCache.strings[std::size_t(row)] = sortValue(index).toString();
        sortCache.stringRead[std::size_t(row)] = 1;
    }
    return sortCache.strings[std::size_t(row)];
}

wxString& SortFilterSelectModel::Pimpl::sortText(const QModelIndex& index, wxString& scratch) const
{
    const std::ptrdiff_t row = cachedRow(index);
    if (row < 0) {
        scratch = lum::wxFromQt(sortValue(index).toString());
        return scratch;
    }
    if (sortCache.textSlots.empty()) {
        sortCache.textSlots.assign(sortCache.rows, -1);
        // Never reallocated during the sort: references to the texts stay valid.
        sortCache.texts.reserve(sortCache.rows);
    }
    int& slot = sortCache.textSlots[std::size_t(row)];
    if (slot < 0) {
        slot = int(sortCache.texts.size());
        sortCache.texts.push_back(lum::wxFromQt(sortValue(index).toString()));
    }
    return sortCache.texts[std::size_t(slot)];
}

template <bool (*Less)(const wxString&, const wxString&)>
bool SortFilterSelectModel::Pimpl::textLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right)
{
    bool less = false;
    if (d.rankedLess(left, right, &less))
        return less;
    wxString leftScratch;
    wxString rightScratch;
    return Less(d.sortText(left, leftScratch), d.sortText(right, rightScratch));
}

bool SortFilterSelectModel::Pimpl::caseInsensitiveLessThan(
    const Pimpl& d, const QModelIndex& left, const QModelIndex& right)
{
    bool less = false;
    if (d.rankedLess(left, right, &less))
        return less;
    QString leftScratch;
    QString rightScratch;
    return QString::compare(d.sortString(left, leftScratch), d.sortString(right, rightScratch), Qt::CaseInsensitive)
        < 0;
}

bool SortFilterSelectModel::Pimpl::valueTypeLessThan(const Pimpl& d, const QModelIndex& left, const QModelIndex& right)
{
    bool less = false;
    if (d.rankedLess(left, right, &less))
        return less;
    {
        const std::ptrdiff_t leftRow = d.cachedRow(left);
        const std::ptrdiff_t rightRow = leftRow >= 0 ? d.cachedRow(right) : -1;
        if (rightRow >= 0) {
            if (d.sortCache.keys.empty())
                d.sortCache.keys.assign(d.sortCache.rows, SortKey { { 0 }, KeyKind::Unread });
            // Same answers as the general comparison below, without building values.
            const SortKey& l = d.sortKey(std::size_t(leftRow), left);
            if (l.kind == KeyKind::Invalid)
                return false;
            const SortKey& r = d.sortKey(std::size_t(rightRow), right);
            if (r.kind == KeyKind::Invalid)
                return true;
            if (l.kind == KeyKind::Int && r.kind == KeyKind::Int)
                return l.integer < r.integer;
            if (l.kind == KeyKind::Double && r.kind == KeyKind::Double)
                return l.real < r.real;
        }
    }
    const QVariant l = d.sortValue(left);
    if (!l.isValid())
        return false;
    const QVariant r = d.sortValue(right);
    if (!r.isValid())
        return true;
    switch (l.userType()) {
    case QMetaType::Int:
        return l.toInt() < r.toInt();
    case QMetaType::UInt:
        return l.toUInt() < r.toUInt();
    case QMetaType::LongLong:
        return l.toLongLong() < r.toLongLong();
    case QMetaType::ULongLong:
        return l.toULongLong() < r.toULongLong();
    case QMetaType::Double:
        return l.toDouble() < r.toDouble();
    case QMetaType::Float:
        return l.toFloat() < r.toFloat();
    case QMetaType::QChar:
        return l.toChar().unicode() < r.toChar().unicode();
    case QMetaType::QDate:
        return l.toDate() < r.toDate();
    case QMetaType::QTime:
        return l.toTime() < r.toTime();
    case QMetaType::QDateTime:
        return l.toDateTime() < r.toDateTime();
    default:
        return textLessThan<lom::stringsLessThan>(d, left, right);
    }
}

void SortFilterSelectModel::Pimpl::setSortType(int code)
{
    sortType = code;
    textLess = nullptr;
    switch (code) {
    case 0:
    case 5:
        textLess = &lom::stringsLessThan;
        comparator = &textLessThan<lom::stringsLessThan>;
        break;
    case 1:
        comparator = &caseInsensitiveLessThan;
        break;
    case 2:
    case 3:
        comparator = nullptr; // the base class's comparison
        break;
    case 6:
        textLess = &lom::integersLessThan;
        comparator = &textLessThan<lom::integersLessThan>;
        break;
    case 7:
        textLess = &lom::doublesLessThan;
        comparator = &textLessThan<lom::doublesLessThan>;
        break;
    case 8:
        textLess = &fileSizeLess;
        comparator = &textLessThan<fileSizeLess>;
        break;
    case 9:
        textLess = &lom::toggleDisabledLessThan;
        comparator = &textLessThan<lom::toggleDisabledLessThan>;
        break;
    case 10:
        textLess = &lom::plotStylesLessThan;
        comparator = &textLessThan<lom::plotStylesLessThan>;
        break;
    case 11:
        textLess = &lom::pixelSizeLessThan;
        comparator = &textLessThan<lom::pixelSizeLessThan>;
        break;
    case 12:
        textLess = &lom::dimStylesLessThan;
        comparator = &textLessThan<lom::dimStylesLessThan>;
        break;
    default:
        comparator = &valueTypeLessThan;
        break;
    }
}

void SortFilterSelectModel::Pimpl::applyInitialSort(bool force)
{
    const QAbstractItemModel* model = owner->sourceModel();
    if (!model)
        return;
    int initial = -1;
    const int count = model->columnCount();
    for (int c = 0; c < count; ++c) {
        if (model->headerData(c, Qt::Horizontal, InitialSortColumnRole).toBool()) {
            initial = c;
            break;
        }
    }
    if (initial < 0) {
        if (hasInitialSortColumn) {
            hasInitialSortColumn = false;
            Q_EMIT owner->hasInitialSortColumnChanged();
        }
        return;
    }
    const int position = validSourceColumn(initial) ? columns[std::size_t(initial)].position : initial;
    if (position >= 0) {
        const QVariant order = owner->headerData(position, Qt::Horizontal, Qt::InitialSortOrderRole);
        const bool ascending = !(order.isValid() && order.toInt() != Qt::AscendingOrder);
        owner->doSort(position, ascending, force);
    }
    if (!hasInitialSortColumn) {
        hasInitialSortColumn = true;
        Q_EMIT owner->hasInitialSortColumnChanged();
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
    const auto childColumnsChanged = [this](const QModelIndex& parent) { onChildColumnsChanged(parent); };
    connect(model, &QAbstractItemModel::columnsInserted, this, childColumnsChanged);
    connect(model, &QAbstractItemModel::columnsRemoved, this, childColumnsChanged);
    connect(model, &QAbstractItemModel::columnsMoved, this,
            [this](const QModelIndex& parent, int, int, const QModelIndex& destination) {
                onChildColumnsChanged(parent.isValid() ? parent : destination);
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

void SortFilterSelectModel::ConnectionKeeper::onChildColumnsChanged(const QModelIndex& parent)
{
    if (parent.isValid() && parent.model() == d->owner->sourceModel())
        d->invalidateColumns();
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
    // The base proxy falls back to an empty model; forget the columns of the dead one.
    d->columns.clear();
    d->columnOrder.clear();
    d->sortColumn = -1;
}

// SortFilterSelectModel

SortFilterSelectModel::SortFilterSelectModel(QObject* parent)
    : QSortFilterProxyModel(parent)
    , d(std::make_unique<Pimpl>(this))
{
    qRegisterMetaType<QItemSelection>();
    qRegisterMetaType<QModelIndexList>();
    qRegisterMetaType<lum::RowFilter*>();
    qRegisterMetaType<lum::Sorter*>();
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
    return d->validSourceColumn(d->sortColumn) ? d->columns[std::size_t(d->sortColumn)].position : d->sortColumn;
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
        const int base = d->baseColumn(d->sortColumn);
        if (base >= 0)
            d->sortBase(base, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
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
        const int before = rowCount();
        invalidateFilter();
        if (rowCount() >= before)
            doSort(proxySortColumn(), ascending(), true);
    });
    d->filterDestroyedConnection = connect(filter, &QObject::destroyed, this, [this] { Q_EMIT filterChanged(); });
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
    d->isSelectedRole = -1;
    d->isHoveredRole = -1;
    d->hoveredRow = -1;
    d->isPreFocusCellRole = -1;
    d->isFocusCellRole = -1;
    d->preFocusCell = QPersistentModelIndex();
    d->focusCell = QPersistentModelIndex();
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
    QAbstractItemModel* model = sourceModel();
    if (!proxyIndex.isValid() || proxyIndex.model() != this || !model)
        return {};
    // A stale index may name a proxy column that no longer exists.
    if (!d->validProxyColumn(proxyIndex.column()))
        return {};
    const QModelIndex base = QSortFilterProxyModel::mapToSource(proxyIndex);
    if (!base.isValid())
        return {};
    return model->index(base.row(), d->columnOrder[std::size_t(proxyIndex.column())], base.parent());
}

QModelIndex SortFilterSelectModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || !sourceModel() || sourceIndex.model() != sourceModel())
        return {};
    if (!d->validSourceColumn(sourceIndex.column()) || !d->ancestorsShown(sourceIndex))
        return {};
    QModelIndex base = QSortFilterProxyModel::mapFromSource(sourceIndex);
    if (!base.isValid() && (d->refiltering || d->baseColumnsStale) && d->columns[std::size_t(sourceIndex.column())].visible)
        base = d->baseRowIndex(sourceIndex);
    if (!base.isValid())
        return {};
    return createIndex(base.row(), d->columns[std::size_t(sourceIndex.column())].position, base.internalPointer());
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
        const QModelIndex proxy = mapFromSource(source);
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

void SortFilterSelectModel::setSourceColumnVisible(int sourceColumn, bool visible)
{
    if (!d->validSourceColumn(sourceColumn))
        return;
    if (!visible) {
        if (d->columnOrder.size() < 2)
            return;
        const ColumnInfo& info = d->columns[std::size_t(sourceColumn)];
        if (info.visible && d->validProxyColumn(info.position)) {
            d->columnOrder.erase(d->columnOrder.begin() + info.position);
            d->rebuildColumnPositions();
            d->invalidateColumns();
            d->selectWholeRows();
        }
        Q_EMIT proxySortColumnChanged();
        return;
    }
    if (d->insertVisibleColumn(sourceColumn)) {
        d->invalidateColumns();
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
    for (int c = 0; c < count; ++c) {
        if (d->validSourceColumn(c) && !d->columns[std::size_t(c)].visible)
            d->insertVisibleColumn(c);
    }
    d->invalidateColumns();
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
    d->applyInitialSort(true);
}

// Sorting

void SortFilterSelectModel::doSort(int proxyColumn, bool isAscending, bool force)
{
    if (!d->validProxyColumn(proxyColumn))
        return;
    const int column = d->columnOrder[std::size_t(proxyColumn)];
    if (!force && ascending() == isAscending && d->sortColumn == column)
        return;
    int base = d->baseColumn(column);
    if (base >= 0) {
        d->sortColumn = column;
        int code = DefaultSortType;
        bool isInt = false;
        const int header
            = sourceModel() ? sourceModel()->headerData(column, Qt::Horizontal, SortTypeRole).toInt(&isInt) : 0;
        if (isInt)
            code = header;
        d->setSortType(code);
    } else {
        d->sortColumn = -1;
        base = -1;
    }
    d->sortBase(base, isAscending ? Qt::AscendingOrder : Qt::DescendingOrder);
    Q_EMIT ascendingChanged(isAscending);
    Q_EMIT proxySortColumnChanged();
}

void SortFilterSelectModel::unSort()
{
    d->sortColumn = -1;
    d->sortBase(-1, Qt::AscendingOrder);
    Q_EMIT proxySortColumnChanged();
}

bool SortFilterSelectModel::isInitiallyAscending(int proxyColumn) const
{
    const QVariant order = headerData(proxyColumn, Qt::Horizontal, Qt::InitialSortOrderRole);
    return !order.isValid() || order.toInt() == Qt::AscendingOrder;
}

bool SortFilterSelectModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    if (d->sorter)
        return d->sorter->lessThan(left, right);
    if (!d->comparator)
        return QSortFilterProxyModel::lessThan(left, right);
    return d->comparator(*d, left, right);
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
    if (d->acceptAllRows)
        return true;
    if (d->filter)
        return d->filter->acceptRow(sourceModel(), sourceRow, sourceParent);
    return QSortFilterProxyModel::filterAcceptsRow(sourceRow, sourceParent);
}

bool SortFilterSelectModel::filterAcceptsColumn(int sourceColumn, const QModelIndex&) const
{
    return d->validSourceColumn(sourceColumn) && d->columns[std::size_t(sourceColumn)].visible;
}
}
