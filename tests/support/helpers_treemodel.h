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
    /// The root's id, for QML.
    Q_PROPERTY(int rootId READ rootNodeId CONSTANT)
    int rootNodeId() const { return rootId; }

    explicit HelpersTreeModel(QObject* parent = nullptr);
    ~HelpersTreeModel() override;

    /// Appends one child (a single rowsInserted) and returns its id.
    Q_INVOKABLE int addNode(int parentId, const QString& name, bool wantsToBeExpanded = false);
    /// Appends several children in one rowsInserted and returns the id of the first.
    Q_INVOKABLE int addNodes(int parentId, const QStringList& names);
    /// Appends one child that already holds leaf children, in a single rowsInserted.
    Q_INVOKABLE int addSubtree(
        int parentId, const QString& name, bool wantsToBeExpanded, const QStringList& childNames);
    /// Sets the flag without any signal and without recording a call.
    Q_INVOKABLE void setFlag(int id, bool wantsToBeExpanded);
    Q_INVOKABLE bool flag(int id) const;
    /// Builds a chain of `depth` nodes below the root inside one reset; every node flagged.
    void resetToChain(int depth);
    /// Resets the model keeping its nodes (a view rebuilds its tree).
    Q_INVOKABLE void resetKeepingNodes();
    Q_INVOKABLE void removeNode(int id);

    Q_INVOKABLE QModelIndex indexOf(int id) const;
    /// The index of the first live node with this name, or the root index.
    Q_INVOKABLE QModelIndex find(const QString& name) const;
    Q_INVOKABLE QString nameOf(const QModelIndex& index) const;
    /// Names of the indexes, joined by commas ("b1,A").
    Q_INVOKABLE QString names(const QModelIndexList& indexes) const;

    QList<SetDataCall> setDataCalls() const { return m_calls; }
    Q_INVOKABLE int setDataCallCount() const { return m_calls.size(); }
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
