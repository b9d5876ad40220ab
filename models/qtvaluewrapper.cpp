// Corvane.Core — QML extension module of the Corvane CAD application.
#include "models/qtvaluewrapper.h"

#include <QMetaMethod>
#include <QQmlEngine>

QtValueWrapper::QtValueWrapper(int role, int row, QAbstractItemModel* model)
    : role(role)
    , row(row)
    , model(model)
{
    if (!model)
        return;
    // Signal to signal: the connections end by themselves when either side is destroyed.
    connect(model, &QAbstractItemModel::dataChanged, this, &QtValueWrapper::valueChanged);
    connect(model, &QAbstractItemModel::rowsInserted, this, &QtValueWrapper::valueChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &QtValueWrapper::valueChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &QtValueWrapper::valueChanged);
}

QtValueWrapper::~QtValueWrapper() = default;

QVariant QtValueWrapper::value() const
{
    if (!model)
        return {};
    const QModelIndex index = model->index(row, 0);
    if (!index.isValid())
        return {};
    return model->data(index, role);
}

// A wrapper that JavaScript owns is collected as soon as no JavaScript value refers to it, and a
// binding's subscription to valueChanged() is no such reference: a binding that called modelData
// inline would silently stop updating after the next collection. While anyone listens, the engine
// therefore treats the wrapper as natively owned (which also keeps its JavaScript object); once the
// last listener is gone, ownership returns to JavaScript and the garbage collector may take it.
// Wrappers that native code owns never reach a JavaScript engine and are left alone.
void QtValueWrapper::connectNotify(const QMetaMethod& signal)
{
    if (m_keptForBindings || signal != QMetaMethod::fromSignal(&QtValueWrapper::valueChanged))
        return;
    if (!qjsEngine(this) || QQmlEngine::objectOwnership(this) != QQmlEngine::JavaScriptOwnership)
        return;
    m_keptForBindings = true;
    QQmlEngine::setObjectOwnership(this, QQmlEngine::CppOwnership);
}

void QtValueWrapper::disconnectNotify(const QMetaMethod&)
{
    if (!m_keptForBindings)
        return;
    // isSignalConnected() keeps answering true for a signal that QML bindings once listened to;
    // receivers() counts the bindings that listen now. It wants the signal in SIGNAL() form.
    const QByteArray signal = '2' + QMetaMethod::fromSignal(&QtValueWrapper::valueChanged).methodSignature();
    if (receivers(signal.constData()) > 0)
        return;
    m_keptForBindings = false;
    QQmlEngine::setObjectOwnership(this, QQmlEngine::JavaScriptOwnership);
}
