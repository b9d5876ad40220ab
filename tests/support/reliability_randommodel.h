// Corvane.Core tests.
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QVariant>

#include <memory>
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
// set for it, so a view can tell exactly which source cell it shows. Each parent keeps its own
// column list (children hang under column 0 only), and a column change is announced to every
// parent in turn, so every signal is truthful. Rows of a table without columns have no index.
class ReliabilityRandomModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    /// The row's id as an int, for sorters and filters.
    static constexpr int RowIdRole = Qt::UserRole + 20;

    explicit ReliabilityRandomModel(bool tree, QObject* parent = nullptr);
    ~ReliabilityRandomModel() override;

    bool isTree() const { return m_tree; }

    /// Header roles of a column, by column id; missing display text reads "H<id>".
    using Header = QHash<int, QVariant>;
    /// A header showing name, identified (ColumnIdRole) by id when id is not empty.
    static Header header(const QString& name, const QString& id = QString());

    /// Replaces everything inside a model reset: `rows` top-level rows (and, for a tree, random
    /// children below them drawn with `next`), the given column headers.
    void reset(int rows, const std::vector<Header>& headers, unsigned (*next)(void*), void* state);
    /// Replaces everything: columns named and identified by the letters of names, `rows` rows of
    /// cells "<letter><row>"; "PQR" with 2 rows shows P0 Q0 R0 / P1 Q1 R1.
    void build(const QString& names, int rows);
    /// Role names added to the standard ones.
    QHash<int, QByteArray> extraRoleNames;

    /// Root and every row that can hold children (for a tree, every row whose table has a column;
    /// only the root when flat).
    std::vector<QModelIndex> parents() const;

    void insertRowsAt(const QModelIndex& parent, int row, int count);
    void removeRowsAt(const QModelIndex& parent, int row, int count);
    /// Moves rows; refused (false, nothing emitted) when Qt's rules forbid the move.
    bool moveRowsTo(const QModelIndex& from, int row, int count, const QModelIndex& to, int dest);
    void insertColumnsAt(int column, const std::vector<Header>& headers);
    void removeColumnsAt(int column, int count);
    bool moveColumnsTo(int column, int count, int dest);
    /// New versions for the cells of one row (dataChanged over the given columns).
    void touchCells(const QModelIndex& parent, int row, int firstColumn, int lastColumn);
    void setHeaderValue(int column, int role, const QVariant& value);
    /// Reverses the order of the children of each parent given (a layout change).
    void reverseChildren(const std::vector<QModelIndex>& parentsToReverse, bool announceParents);
    void setExpandFlag(const QModelIndex& index, bool flag);
    int headerColumnId(int column) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    /// Stores any role of a cell (the expand role for its row) and notifies it.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Node
    {
        int id = 0;
        int version = 0;
        bool flag = false;
        Node* parent = nullptr;
        std::vector<int> columns; // column ids of the children's table
        std::vector<std::unique_ptr<Node>> children;
        QHash<int, QHash<int, QVariant>> values; // set cell values, by column id and role
    };
    void rebuild(int rows, const std::vector<Header>& headers, unsigned (*next)(void*), void* state);
    Node* nodeOf(const QModelIndex& parent) const;
    QModelIndex indexOf(const Node* node) const;
    bool addressable(const Node* table) const;
    std::unique_ptr<Node> newNode(Node* parent);
    std::vector<Node*> allTables() const;

    bool m_tree = false;
    int m_nextId = 1;
    Node m_root;
    QHash<int, Header> m_headers;
};
}
