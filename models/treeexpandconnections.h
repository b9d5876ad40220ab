// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QAbstractItemModel>
#include <QModelIndexList>
#include <QObject>
#include <QPointer>

namespace core
{
// Keeps the expansion state of a QML tree view in the tree model itself: a boolean per node under
// lum::getWantsToBeExpandedRole(). The view reports expand/collapse through onRowExpanded and its
// (re)built tree through onTreeCreated; the object answers with requestExpandRows whenever the tree
// is created, reset or grows.
class TreeExpandConnections : public QObject
{
    Q_OBJECT
    /// The tree model whose expansion state is kept; not owned, reads null once destroyed.
    Q_PROPERTY(QAbstractItemModel* model READ model WRITE setModel NOTIFY modelChanged)

public:
    explicit TreeExpandConnections(QObject* parent = nullptr);
    ~TreeExpandConnections() override;

    QAbstractItemModel* model() const;
    void setModel(QAbstractItemModel* model);

public Q_SLOTS:
    /// The user expanded (true) or collapsed (false) proxyModelIndex, an index of the watched model.
    /// Nodes without children keep no flag.
    void onRowExpanded(const QModelIndex& proxyModelIndex, bool expanded);
    /// The view has (re)built its tree; also run on every reset of the model.
    void onTreeCreated();

Q_SIGNALS:
    /// Expand every index of rows, in list order (parents before their descendants). Never empty.
    void requestExpandRows(const QModelIndexList& rows);
    void modelChanged();

private:
    void onRowsInserted(const QModelIndex& parent, int first, int last);
    void requestExpansionInRange(const QModelIndex& parent, int first, int end);

    QPointer<QAbstractItemModel> m_model;
};
}
