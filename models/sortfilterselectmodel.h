// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QItemSelection>
#include <QItemSelectionModel>
#include <QModelIndexList>
#include <QSortFilterProxyModel>

#include <lumen/rowfilter.h>
#include <lumen/sorter.h>

#include <memory>

namespace core
{
/// The proxy between a host table model and a QML table view: whole-row selection, hover,
/// begin-edit and keyboard pre-focus state exposed through five extra roles, typed sorting,
/// row filtering through a host filter and a user-arranged column layout stored per table.
///
/// Column numbers: a source column is the source model's column, a proxy column the display
/// position among the visible columns. Out-of-range rows and columns give neutral answers.
class SortFilterSelectModel : public QSortFilterProxyModel
{
    Q_OBJECT
    /// The row selection of the table; owned by the proxy.
    Q_PROPERTY(QItemSelectionModel* selectionModel READ selectionModel CONSTANT)
    /// The model behind the header's column context menu; owned by the proxy.
    Q_PROPERTY(QAbstractItemModel* columnModel READ columnModel CONSTANT)
    /// The proxy column of the current sort, -1 when unsorted; also notified on every column layout change.
    Q_PROPERTY(int proxySortColumn READ proxySortColumn NOTIFY proxySortColumnChanged)
    /// Whether the sort order is ascending.
    Q_PROPERTY(bool ascending READ ascending WRITE setAscending NOTIFY ascendingChanged)
    /// Whether the source declares an initial sort column.
    Q_PROPERTY(bool hasInitialSortColumn READ hasInitialSortColumn NOTIFY hasInitialSortColumnChanged)
    /// Key of this table's stored column layout.
    Q_PROPERTY(QString parentId READ parentId WRITE setParentId NOTIFY parentIdChanged)
    /// Number of selected rows, each counted once.
    Q_PROPERTY(int selectedSourceRowsCount READ selectedSourceRowsCount NOTIFY selectionChanged)
    /// Column identifier whose cell in the begin-edit row reports "beginedit".
    Q_PROPERTY(QString defaultEditableColumnId READ defaultEditableColumnId WRITE setDefaultEditableColumnId NOTIFY
            defaultEditableColumnIdChanged)
    /// The selected rows as source indexes.
    Q_PROPERTY(
        QModelIndexList selectedSourceRows READ selectedSourceRows WRITE setSelectedSourceRows NOTIFY selectionChanged)
    /// The row filter; not owned. A destroyed filter reads as null and is never called.
    Q_PROPERTY(lum::RowFilter* filter READ filter WRITE setFilter NOTIFY filterChanged)
    /// The row comparator replacing the typed comparators; not owned. A destroyed sorter reads as null.
    Q_PROPERTY(lum::Sorter* sorter READ sorter WRITE setSorter)

public:
    explicit SortFilterSelectModel(QObject* parent = nullptr);
    ~SortFilterSelectModel() override;

    QItemSelectionModel* selectionModel() const;
    QAbstractItemModel* columnModel() const;

    int proxySortColumn() const;

    bool ascending() const;
    void setAscending(bool ascending);

    bool hasInitialSortColumn() const;

    QString parentId() const;
    void setParentId(const QString& parentId);

    lum::RowFilter* filter() const;
    void setFilter(lum::RowFilter* filter);

    lum::Sorter* sorter() const;
    void setSorter(lum::Sorter* sorter);

    /// Number of column records (one per source column); for the column menu model.
    int columnRecordCount() const;
    /// Whether the source column is shown; false for a column without a record.
    bool isSourceColumnVisible(int sourceColumn) const;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;
    void setSourceModel(QAbstractItemModel* sourceModel) override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;

public Q_SLOTS:
    /// Sends the "isSelected" row notifications and selectionChanged() for a selection change.
    void updateSelection(const QItemSelection& selected, const QItemSelection& deselected);
    // Selection: every selecting slot selects whole rows; a selection stays a set of whole rows
    // through every column change. Cells that do not exist (or of other models) select nothing.
    void shiftSelection(int row, int column);
    void shiftSelection(const QModelIndex& cell);
    void ctrlSelection(int row, int column);
    void ctrlSelection(const QModelIndex& cell);
    void leftClickSelection(int row, int column);
    void leftClickSelection(const QModelIndex& cell);
    void rightClickSelection(int row, int column);
    void addToSelection(int row, int column);
    void addToSelection(const QModelIndex& cell);
    void clearSelection();
    bool isSelected(int row, const QModelIndex& parent = QModelIndex()) const;
    void selectAll();
    /// Keyboard stepping of the current row; knows parent and child rows.
    void selectPreviousRow();
    void selectNextRow();
    // The keyboard pre-focus cell, reported through "isPreFocusCell"; kept only while the
    // current row has no children.
    void increasePreFocusIndexRow();
    void decreasePreFocusIndexRow();
    void increasePreFocusIndexColumn();
    void decreasePreFocusIndexColumn();
    bool hasPreFocus() const;
    void unsetPreFocus();
    bool checkPreFocusOnParent(const QModelIndex& oldPreFocusIndex);
    /// Copies the pre-focus cell to the focus cell and notifies it ("isFocusCell").
    void requestActiveFocusOnPrefocusedCell();
    /// Sets (or, with hovered false, clears) the row reporting "isHovered".
    void setHovered(int row, bool hovered);
    /// The row whose cell in the defaultEditableColumnId column reports "beginedit"; -1 for none.
    void setBeginEditIndex(int row);
    /// The anchor of a shift selection: the current index when there is a selection, else cell (0, 0).
    QModelIndex getShiftSelectionStart() const;
    /// Moves the column at proxy column from to proxy column to; invalid columns are logged and ignored.
    void moveColumn(int from, int to);
    // Widths in pixels and proportional weights; 100 and 0 for a column without a record.
    void resizeColumn(int proxyColumn, int newSize);
    int columnWidth(int proxyColumn) const;
    int naturalWidth() const;
    void setColumnWidth(int proxyColumn, int width);
    int columnProportionalWidth(int proxyColumn) const;
    int proportionalWidth() const;
    // Mapping: column numbers without a counterpart come back unchanged, rows as -1.
    int mapProxyColumnToSource(int proxyColumn) const;
    int mapSourceColumnToProxy(int sourceColumn) const;
    int mapSourceRowToProxy(int sourceRow) const;
    int mapProxyRowToSource(int proxyRow) const;
    QModelIndex mapProxyIndexToSource(int proxyRow, int proxyColumn) const;
    QModelIndex mapProxyIndexToSource(const QModelIndex& proxyIndex) const;
    /// Hides or shows a source column; the last visible column cannot be hidden. A shown column
    /// returns to the position it had when it was hidden.
    void setSourceColumnVisible(int sourceColumn, bool visible);
    void showAllColumns();
    /// The visible columns back in source order; hidden ones stay hidden.
    void restoreColumnPositions();
    /// Sorts by a proxy column with the comparator its header names; unchanged sorts do nothing
    /// unless forced.
    void doSort(int proxyColumn, bool isAscending, bool force = false);
    /// Back to source order.
    void unSort();
    bool isInitiallyAscending(int proxyColumn) const;
    /// Stores the layout of every identified column under parentId.
    void saveColumnData();
    /// Applies the layout stored under parentId and the initial sort; keeps the selected rows.
    void loadColumnData();
    int selectedSourceRowsCount() const;
    QString defaultEditableColumnId() const;
    void setDefaultEditableColumnId(const QString& columnId);
    QModelIndexList selectedSourceRows() const;
    void setSelectedSourceRows(const QModelIndexList& selectedSourceRows);

Q_SIGNALS:
    void selectionChanged();
    void proxySortColumnChanged();
    void ascendingChanged(bool ascending);
    void filterChanged();
    void defaultEditableColumnIdChanged();
    void parentIdChanged();
    void hasInitialSortColumnChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    class Pimpl;
    class ConnectionKeeper;
    const std::unique_ptr<Pimpl> d;
};
}
