// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>
#include <QVariant>

// One cell of a model as a bindable value: `value` reads column 0 of top-level row `row` under
// `role`, and valueChanged() fires on every data change, insertion, removal and reset anywhere in
// the model, so QML bindings on `value` re-evaluate. Created only by QtModelUtils::modelData; the
// QML engine owns the wrappers it receives; while a QML binding listens to valueChanged() the engine
// keeps the wrapper alive, so a binding such as `text: utils.modelData(0, m, r).value` keeps
// following the model through garbage collections. Safe to outlive its model: `value` is then
// invalid.
struct QtValueWrapper : public QObject
{
    Q_OBJECT
    /// The cell's data, read afresh on every access; invalid when the row does not exist or the
    /// model has been destroyed.
    Q_PROPERTY(QVariant value READ value NOTIFY valueChanged)

public:
    QtValueWrapper(int role, int row, QAbstractItemModel* model);
    ~QtValueWrapper() override;

    QVariant value() const;

    const int role;
    const int row;
    const QPointer<QAbstractItemModel> model;

Q_SIGNALS:
    void valueChanged();

protected:
    void connectNotify(const QMetaMethod& signal) override;
    void disconnectNotify(const QMetaMethod& signal) override;

private:
    bool m_keptForBindings = false;
};
