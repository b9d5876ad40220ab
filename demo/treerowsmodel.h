// Corvane demo host application.
#pragma once

#include <QAbstractTableModel>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QSet>
#include <QVector>

namespace demo
{
// Lays the expanded part of a tree model out as table rows, so that a Qt Quick TableView can
// show a tree: every shown node is one row, with its depth and expansion state as extra roles.
// Expansion is the view's state; the model keeps which nodes the user wants expanded.
class TreeRowsModel : public QAbstractTableModel
{
    Q_OBJECT
    /// The tree shown; not owned.
    Q_PROPERTY(QAbstractItemModel* sourceModel READ sourceModel WRITE setSourceModel NOTIFY sourceModelChanged)

public:
    explicit TreeRowsModel(QObject* parent = nullptr);
    ~TreeRowsModel() override;

    QAbstractItemModel* sourceModel() const;
    void setSourceModel(QAbstractItemModel* model);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

public Q_SLOTS:
    /// The source node of a row (column 0); invalid for a row that is not shown.
    QModelIndex sourceIndex(int row) const;
    /// The row showing a source node, -1 when it is not shown.
    int rowOf(const QModelIndex& sourceIndex) const;
    bool isExpanded(int row) const;
    /// Expands or collapses a row; answers whether anything changed.
    bool setExpanded(int row, bool expanded);
    /// Expands the given source nodes (parents before children), as asked by the expansion keeper.
    void expandSourceIndexes(const QVariant& indexes);
    void collapseAll();

Q_SIGNALS:
    void sourceModelChanged();

private:
    void rebuild();
    bool expandedContains(const QModelIndex& node) const;
    void resetFromSource();

    QPointer<QAbstractItemModel> m_source;
    QObject* m_connections = nullptr;
    QVector<QModelIndex> m_rows;
    QVector<int> m_depths;
    // Persistent, so that it follows sorting; not hashed, since its value changes then.
    QVector<QPersistentModelIndex> m_expanded;
    QHash<int, QByteArray> m_roleNames;
    int m_depthRole = -1;
    int m_expandedRole = -1;
    int m_hasChildrenRole = -1;
};
}
