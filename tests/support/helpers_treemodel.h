// Corvane.Core tests.
#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace cvtest
{
// A tree model for the model helper tests: named nodes, a flag stored under
// lum::getWantsToBeExpandedRole(), and a record of every setData call. Nodes live in one flat
// vector, so building and destroying trees of any depth never recurses.
class HelpersTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    struct SetDataCall
    {
        QString node;
        QVariant value;
        int role = -1;
    };

    static constexpr int rootId = 0;

    explicit HelpersTreeModel(QObject* parent = nullptr);
    ~HelpersTreeModel() override;

    /// Appends one child (a single rowsInserted) and returns its id.
    int addNode(int parentId, const QString& name, bool wantsToBeExpanded = false);
    /// Appends several children in one rowsInserted and returns the id of the first.
    int addNodes(int parentId, const QStringList& names);
    /// Appends one child that already holds leaf children, in a single rowsInserted.
    int addSubtree(int parentId, const QString& name, bool wantsToBeExpanded, const QStringList& childNames);
    /// Sets the flag without any signal and without recording a call.
    void setFlag(int id, bool wantsToBeExpanded);
    bool flag(int id) const;
    /// Builds a chain of `depth` nodes below the root inside one reset; every node flagged.
    void resetToChain(int depth);
    /// Resets the model keeping its nodes (a view rebuilds its tree).
    void resetKeepingNodes();
    void removeNode(int id);

    QModelIndex indexOf(int id) const;
    /// The index of the first live node with this name, or the root index.
    QModelIndex find(const QString& name) const;
    QString nameOf(const QModelIndex& index) const;
    /// Names of the indexes, joined by commas ("b1,A").
    QString names(const QList<QModelIndex>& indexes) const;

    QList<SetDataCall> setDataCalls() const { return m_calls; }
    void clearSetDataCalls() { m_calls.clear(); }

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Node
    {
        QString name;
        QVariant flag;
        int parent = -1;
        std::vector<int> children;
    };
    int idOf(const QModelIndex& index) const;
    int rowOf(int id) const;

    std::vector<Node> m_nodes;
    QList<SetDataCall> m_calls;
};
}
