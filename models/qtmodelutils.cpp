// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/qtmodelutils.h"

#include "models/qtvaluewrapper.h"
#include "models/subtreewalk_p.h"

#include <lumen/treeroles.h>

#include <QDebug>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>

namespace core
{
QtModelUtils::QtModelUtils(QObject* parent)
    : QObject(parent)
{
}

QtModelUtils::~QtModelUtils() = default;

int QtModelUtils::roleIndex(QAbstractItemModel* model, const QString& roleName)
{
    if (!model)
        return -1;
    const QHash<int, QByteArray> roles = model->roleNames();
    for (auto it = roles.cbegin(); it != roles.cend(); ++it) {
        if (QString::fromUtf8(it.value()) == roleName)
            return it.key();
    }
    return -1;
}

QtValueWrapper* QtModelUtils::modelData(int row, QAbstractItemModel* model, int roleIndex)
{
    if (!model || roleIndex < 0 || row < 0)
        return nullptr;
    const int rowCount = model->rowCount();
    if (rowCount > 0 && row >= rowCount)
        return nullptr;
    return new QtValueWrapper(roleIndex, row, model);
}

QVariant QtModelUtils::propertyValue(QObject* object, const QString& property)
{
    if (!object)
        return {};
    const QVariant value = object->property(property.toUtf8().constData());
    // A QObject that QML receives from a method becomes JavaScript-owned unless its ownership was
    // set: a host object (a model, a view) held by a property must stay the host's.
    if (QObject* held = value.value<QObject*>()) {
        if (!qmlEngine(held) && QQmlEngine::objectOwnership(held) == QQmlEngine::CppOwnership)
            QQmlEngine::setObjectOwnership(held, QQmlEngine::CppOwnership);
    }
    return value;
}

QItemSelection QtModelUtils::selectionRange(const QModelIndex& start, const QModelIndex& end)
{
    // QItemSelection warns about corners from different models or parents; QML passes whatever it
    // holds, so those get an empty selection quietly.
    if (!start.isValid() || !end.isValid() || start.model() != end.model() || start.parent() != end.parent())
        return {};
    return QItemSelection(start, end);
}

QModelIndex QtModelUtils::emptyIndex()
{
    return {};
}

QModelIndex QtModelUtils::modelIndex(QAbstractItemModel* model, int row, int column, const QModelIndex& parent)
{
    if (!detail::belongsTo(model, parent))
        return {};
    return model->index(row, column, parent);
}

int QtModelUtils::getRowCount(QAbstractItemModel* model, const QModelIndex& parent)
{
    if (!detail::belongsTo(model, parent))
        return 0;
    return model->rowCount(parent);
}

QQmlComponent* QtModelUtils::findMenuAction(QObject* component, const QString& objectName)
{
    QQuickItem* item = component ? component->findChild<QQuickItem*>(objectName) : nullptr;
    QQmlComponent* action = item ? item->findChild<QQmlComponent*>() : nullptr;
    if (!action)
        qDebug() << "custom menu action " << objectName << "is not found, so default action is used";
    return action;
}

void QtModelUtils::saveWantsToBeExpanded(QAbstractItemModel* model, const QModelIndex& index, bool expanded)
{
    if (!detail::belongsTo(model, index))
        return;
    model->setData(index, QVariant(expanded), lum::getWantsToBeExpandedRole());
}

bool QtModelUtils::getWantsToBeExpanded(QAbstractItemModel* model, const QModelIndex& index)
{
    return detail::wantsToBeExpanded(model, index);
}

QModelIndexList QtModelUtils::getAllWantToBeExpandedNodes(QAbstractItemModel* model, const QModelIndex& parent)
{
    return detail::collectWantedNodes(model, parent);
}

QModelIndexList QtModelUtils::getAllWantToBeExpandedNodes(QAbstractItemModel* model)
{
    return detail::collectWantedNodes(model, QModelIndex());
}
}
