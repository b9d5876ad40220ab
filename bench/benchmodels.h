// Corvane.Core benchmarks.
#pragma once

#include <QAbstractItemModel>
#include <QDate>
#include <QString>
#include <QVector>

namespace cvbench
{
// Natural order written by hand, as a typical proxy subclass would: digit runs by value up to 64
// bits, other characters case-folded.
bool naturalLess(const QString& left, const QString& right);

// Header roles that table source models answer.
enum HeaderRole
{
    InitiallyVisibleRole = Qt::UserRole,
    ProportionalWidthRole,
    SortTypeRole,
    ColumnIdRole,
    ColumnCodeRole,
    InitialSortColumnRole,
    NameNotEmptyRole,
};

// A flat table of generated rows, eight columns unless asked otherwise:
// 0 int, 1 double, 2 "Layer 12" style names, 3 file sizes ("1.5 MB"), 4 dates, 5 free text,
// 6 int, 7 "Sheet 7" style names. Columns beyond eight repeat the pattern.
class TableModel : public QAbstractTableModel
{
public:
    explicit TableModel(int rows, int columns = 8, int initialSortColumn = -1);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /// The comparator code the header declares for column.
    static int sortTypeOf(int column);

private:
    int m_rows;
    int m_columns;
    int m_initialSortColumn;
    QVector<int> m_ints;
    QVector<double> m_doubles;
    QVector<QString> m_names;
    QVector<QString> m_sizes;
    QVector<QDate> m_dates;
    QVector<QString> m_texts;
};

// A tree of generated nodes, each node with up to `fanout` children, `nodes` in all; every
// third node wants to be expanded.
class TreeModel : public QAbstractItemModel
{
public:
    TreeModel(int nodes, int fanout);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Node
    {
        int parent;
        int row;
        QVector<int> children;
        bool expanded;
    };
    const Node& nodeOf(const QModelIndex& index) const;
    QVector<Node> m_nodes; // node 0 is the invisible root
};
}
