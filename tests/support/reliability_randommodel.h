// Corvane.Core tests.
#pragma once

#include <QAbstractItemModel>

#include <vector>

namespace cvtest
{
// Header roles that table sources answer for the table proxy.
enum TableHeaderRole
{
    InitiallyVisibleRole = Qt::UserRole,
    ProportionalWidthRole,
    SortTypeRole,
    ColumnIdRole,
    ColumnCodeRole,
    InitialSortColumnRole,
    NameNotEmptyRole
};

// A flat or tree source model for randomized runs and fixed cases. Every row has an id and a
// version, every column an id; a cell reads "r<row id>v<version>c<column id>" unless a value was
// set for it, so a view can tell exactly which source cell it shows. Every table has the same
// columns (children hang under column 0 only), but a column change is announced to every parent
// in turn, each table keeping its own list until its turn, so every signal is truthful. Rows of a
// table without columns have no index, so they hold no children.
class ReliabilityRandomModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit ReliabilityRandomModel(bool tree)
        : m_tree(tree)
    {
    }

    /// Header roles of a column, by column id; missing display text reads "H<id>".
    using Header = QHash<int, QVariant>;
    /// A header showing name, identified (ColumnIdRole) by id when id is not empty.
    static Header header(const QString& name, const QString& id = QString());

    /// Replaces everything inside a model reset: `rows` top-level rows (and, for a tree, random
    /// children below them drawn with `next`, when given), the given column headers.
    void reset(int rows, const std::vector<Header>& headers, unsigned (*next)(void*), void* state);
    /// Replaces everything: columns named and identified by the letters of names, `rows` rows of
    /// cells "<letter><row>"; "PQR" with 2 rows shows P0 Q0 R0 / P1 Q1 R1.
    void build(const QString& names, int rows);
    /// Role names added to the standard ones.
    QHash<int, QByteArray> extraRoleNames;

    /// Root and every row that can hold children (every row of a tree with columns), parents first.
    std::vector<QModelIndex> parents() const;

    void insertRowsAt(const QModelIndex& parent, int row, int count);
    void removeRowsAt(const QModelIndex& parent, int row, int count);
    /// Moves rows; refused (false, nothing emitted) when Qt's rules forbid the move.
    bool moveRowsTo(const QModelIndex& from, int row, int count, const QModelIndex& to, int dest);
    void insertColumnsAt(int column, const std::vector<Header>& headers);
    void removeColumnsAt(int column, int count);
    bool moveColumnsTo(int column, int count, int dest);
    /// New versions for the cells of one row (dataChanged over the given columns, which must exist).
    void touchCells(const QModelIndex& parent, int row, int firstColumn, int lastColumn);
    void setHeaderValue(int column, int role, const QVariant& value);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override { return indexOf(int(child.internalId())); }
    int rowCount(const QModelIndex& p = QModelIndex()) const override { return int(below(p).children.size()); }
    int columnCount(const QModelIndex& p = QModelIndex()) const override { return int(below(p).columns.size()); }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Stores any role of a cell and notifies it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    // A row, and the table of its children. An index's internal id is the id of its table's row.
    struct Node
    {
        int parent = 0;
        int version = 0;
        std::vector<int> columns; // column ids of the children's table
        std::vector<int> children;
        QHash<QPair<int, int>, QVariant> values; // set values, by column id and role
    };
    /// The id of the row an index stands for; 0 (the root) for an invalid index.
    int rowId(const QModelIndex& i) const
    {
        return i.isValid() ? m_nodes[int(i.internalId())].children[size_t(i.row())] : 0;
    }
    /// The table below an index: none (-1, empty) below columns other than the first.
    Node& below(const QModelIndex& parent) const { return m_nodes[parent.column() > 0 ? -1 : rowId(parent)]; }
    QModelIndex indexOf(int id) const;
    void addRows(int table, int row, int count);
    static constexpr int Insert = -1, Remove = -2;
    /// Gives every table the columns `after`, announced as an insertion (children first), a removal
    /// or a move to dest (parents first) of the columns first to last.
    void changeColumns(const std::vector<int>& after, int first, int last, int dest);

    bool m_tree = false;
    int m_nextId = 1;
    mutable QHash<int, Node> m_nodes; // by id, the root's is 0
    QHash<int, Header> m_headers;
};
}
