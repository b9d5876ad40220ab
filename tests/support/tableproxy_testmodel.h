// Corvane.Core tests.
#pragma once

#include <QAbstractItemModel>
#include <QHash>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <vector>

namespace cvtest
{
// Header roles that table source models answer.
enum TableHeaderRole
{
    InitiallyVisibleRole = Qt::UserRole,
    ProportionalWidthRole = Qt::UserRole + 1,
    SortTypeRole = Qt::UserRole + 2,
    ColumnIdRole = Qt::UserRole + 3,
    ColumnCodeRole = Qt::UserRole + 4,
    InitialSortColumnRole = Qt::UserRole + 5,
    NameNotEmptyRole = Qt::UserRole + 6
};

using HeaderRoles = QHash<int, QVariant>;

// A table source model for the table proxy's tests: every horizontal header role is whatever the
// test gives it; rows (and child rows under root rows, in column 0) hold one value per column
// and role. Every change goes through the proper model signals.
class TableProxyTestModel : public QAbstractItemModel
{
public:
    explicit TableProxyTestModel(QObject* parent = nullptr);
    ~TableProxyTestModel() override;

    /// A header whose display text is name and whose identifier (ColumnIdRole) is id, when not empty.
    static HeaderRoles column(const QString& name, const QString& id = QString());
    /// Columns named by the letters of names, identified by the same letters, with rows of cells
    /// "<column letter><row>"; for example columns "PQR" with 3 rows.
    void build(const QString& names, int rows);
    /// Replaces everything (inside a model reset).
    void reset(const QList<HeaderRoles>& headers, const QList<QVariantList>& rows);

    void setExtraRoleNames(const QHash<int, QByteArray>& names);

    void insertColumnAt(int column, const HeaderRoles& header, const QVariantList& cells = QVariantList());
    void removeColumnsAt(int first, int count);
    /// Moves count top-level columns from first to before column dest (numbered before the move),
    /// headers and cells of every row alike; false (nothing emitted) when Qt refuses the move.
    bool moveColumnsTo(int first, int count, int dest);
    void insertRowAt(int row, const QVariantList& cells);
    void removeRowsAt(int first, int count);
    void appendChildRow(int parentRow, const QVariantList& cells);
    /// Changes one cell (emits dataChanged for it).
    void setCell(int row, int column, const QVariant& value, int role = Qt::DisplayRole);
    /// Changes one header role of a column (emits headerDataChanged for it).
    void setHeader(int column, int role, const QVariant& value);

    int headerReads(int role) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Node
    {
        Node* parent = nullptr;
        std::vector<QHash<int, QVariant>> cells;
        std::vector<std::unique_ptr<Node>> children;
    };
    Node* nodeOf(const QModelIndex& parent) const;
    static void fill(Node& node, const QVariantList& cells, int columns);

    Node m_root;
    std::vector<HeaderRoles> m_headers;
    QHash<int, QByteArray> m_extraRoleNames;
    mutable QHash<int, int> m_headerReads;
};
}
