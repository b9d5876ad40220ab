// Corvane.Core — QML extension module of the Corvane CAD application.
// The table proxy's private record and the receiver of its source's column signals, shared by the
// files that implement the proxy's concerns: core and source handlers, selection and focus, column
// layout, sorting.
#pragma once

#include "models/sortfilterselectmodel.h"

#include "models/columncontextmenumodel.h"
#include "plugin/qtcompat.h"

#include <lumen/strings.h>

#include <QAbstractItemModel>
#include <QHash>
#include <QItemSelectionModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QSize>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace core
{
namespace tableproxy
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

inline int headerWidth(const QAbstractItemModel* model, int column)
{
    const int width = model->headerData(column, Qt::Horizontal, Qt::SizeHintRole).toSize().width();
    return width >= 1 ? width : DefaultColumnWidth;
}

inline int headerProportionalWidth(const QAbstractItemModel* model, int column)
{
    return std::max(0, model->headerData(column, Qt::Horizontal, ProportionalWidthRole).toInt());
}

inline bool hiddenByHeader(const QAbstractItemModel* model, int column)
{
    const QVariant value = model->headerData(column, Qt::Horizontal, InitiallyVisibleRole);
    return value.userType() == QMetaType::Bool && !value.toBool();
}

inline QString columnIdentifier(const QAbstractItemModel* model, int column)
{
    return model->headerData(column, Qt::Horizontal, ColumnIdRole).toString();
}

// The number of a source column after columns first to last moved before column dest (numbers
// from before the move).
inline int movedColumn(int column, int first, int last, int dest)
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
using namespace tableproxy;

class SortFilterSelectModel::Pimpl
{
public:
    explicit Pimpl(SortFilterSelectModel* owner);

    // During a sort of a text column, each row's place in the comparator's order, found at the base
    // proxy's first comparison so that it then compares ranks; keyed by source row and dropped when
    // the sort ends. The natural order (codes 0 and 5, and texts compared by value type) ranks compact byte
    // keys; the other text codes rank the texts with their comparator. Other columns compare their
    // values in place: read from the model, they are as fast as from a copy and cost no memory.
    struct SortCache
    {
        bool active = false;
        const QAbstractItemModel* model = nullptr;
        int column = -1;
        int role = Qt::DisplayRole;
        // Tables and lists have no children by construction: their rows need no look at the parent.
        bool flat = false;
        std::size_t rows = 0;
        bool prepared = false;
        bool ranked = false;
        // Each row's place in the comparator's order; rows that tie share one.
        std::vector<int> ranks;
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
    // The filter while it asks for a re-filter, alive as it emits, so read without the guard; and
    // the source it is handed, read once for all rows.
    lum::RowFilter* refilteringWith = nullptr;
    QAbstractItemModel* refilteringSource = nullptr;

    bool validSourceColumn(int column) const { return column >= 0 && column < int(columns.size()); }
    bool validProxyColumn(int column) const { return column >= 0 && column < int(columnOrder.size()); }
    int translateProxyColumn(int proxyColumn) const;
    // The extra roles and the cells they mark, as before any source.
    void forgetCellRoles();

    void rebuildColumnPositions();
    bool treeSource() const;
    void invalidateColumns();
    // Re-runs the base proxy's column predicate after a change of the visible columns.
    void refilterColumns();
    void followColumnMove(int first, int last, int dest);
    void remapBaseColumns(bool sortColumnMoved);
    void followSortColumnVisibility();
    template <typename Change>
    void changeColumnsThroughReset(Change change);
    struct CellSnapshot
    {
        QPersistentModelIndex source;
        int position = -1;
    };
    CellSnapshot takeCell(const QModelIndex& cell) const;
    QModelIndex restoreCell(const CellSnapshot& snapshot) const;
    bool insertVisibleColumn(int sourceColumn);
    int showPosition(int sourceColumn) const;
    int baseColumn(int sourceColumn) const;
    QModelIndex baseRowIndex(const QModelIndex& sourceIndex) const;
    bool ancestorsShown(const QModelIndex& sourceIndex) const;
    StoredColumnData readColumnData(int sourceColumn, int defaultPosition) const;

    void setSortType(int code);
    int sortTypeOf(int sourceColumn) const;
    void sortBase(int column, Qt::SortOrder order);
    void applyInitialSort(bool force);
    bool prepareSortCache() const;
    bool rankNaturally(std::vector<int>& held, bool byValueType) const;
    std::vector<int> heldRootRows() const;
    bool rankedLess(const QModelIndex& left, const QModelIndex& right, bool* less) const;
    std::ptrdiff_t cachedRow(const QModelIndex& index) const;
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
    // shift: columns inserted (> 0) or removed (< 0) at first; 0 for a move.
    void onChildColumnsChanged(const QModelIndex& parent, int first, int shift);
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
}
