// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QAbstractItemModel>
#include <QItemSelection>
#include <QModelIndex>
#include <QModelIndexList>
#include <QObject>
#include <QVariant>

class QQmlComponent;
struct QtValueWrapper;

namespace core
{
// Stateless helpers over models and objects for QML. Every slot works only on its arguments; a null
// model or object gives the neutral answer (-1, 0, null, an invalid index or value, an empty list).
// Indexes of another model than the one passed are treated like a missing model.
class QtModelUtils : public QObject
{
    Q_OBJECT

public:
    explicit QtModelUtils(QObject* parent = nullptr);
    ~QtModelUtils() override;

public Q_SLOTS:
    /// The role number named roleName in model->roleNames() (case-sensitive), or -1.
    int roleIndex(QAbstractItemModel* model, const QString& roleName);
    /// A new wrapper following column 0 of top-level row `row` under roleIndex; null for a null
    /// model, negative arguments, or a row past the end of a model that has rows. A model without
    /// rows accepts any row. The caller owns the wrapper (the QML engine, when QML calls).
    QtValueWrapper* modelData(int row, QAbstractItemModel* model, int roleIndex);
    /// object->property(property), dynamic properties included; invalid for a null object.
    QVariant propertyValue(QObject* object, const QString& property);
    /// The one range from start (top left) to end (bottom right); empty when the two do not span
    /// a range of one model under one parent.
    QItemSelection selectionRange(const QModelIndex& start, const QModelIndex& end);
    /// The root index, for QML code that must pass the top level as parent.
    QModelIndex emptyIndex();
    /// model->index(row, column, parent); invalid for a null model.
    QModelIndex modelIndex(QAbstractItemModel* model, int row, int column, const QModelIndex& parent);
    /// model->rowCount(parent); 0 for a null model.
    int getRowCount(QAbstractItemModel* model, const QModelIndex& parent);
    /// The first component inside the item named objectName below component; null (and a debug
    /// message) when there is none, meaning the caller uses its default action.
    QQmlComponent* findMenuAction(QObject* component, const QString& objectName);
    /// Stores expanded as the expansion flag of index, also on nodes without children.
    void saveWantsToBeExpanded(QAbstractItemModel* model, const QModelIndex& index, bool expanded);
    /// The expansion flag of index; false for a null model.
    bool getWantsToBeExpanded(QAbstractItemModel* model, const QModelIndex& index);
    /// Every node of the subtree under parent, parent included, that wants to be expanded and has
    /// children, parents before their descendants.
    QModelIndexList getAllWantToBeExpandedNodes(QAbstractItemModel* model, const QModelIndex& parent);
    /// The same for the whole tree.
    QModelIndexList getAllWantToBeExpandedNodes(QAbstractItemModel* model);
};
}
