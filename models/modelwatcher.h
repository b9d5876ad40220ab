// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QAbstractItemModel>
#include <QObject>
#include <QPointer>

namespace core
{
// Offers the top-level row count of one model as a notifying property, so that QML bindings follow
// rows being added or removed.
class ModelWatcher : public QObject
{
    Q_OBJECT
    /// The watched model's top-level row count, asked afresh on each read; -1 without a model or
    /// once the model has been destroyed. Notifies on every insertion and removal under any parent,
    /// not on resets, layout changes or moves.
    Q_PROPERTY(int rows READ rows NOTIFY rowCountChanged)
    /// The watched model, not owned; reads null once destroyed.
    Q_PROPERTY(QAbstractItemModel* model READ model WRITE setModel NOTIFY modelChanged)

public:
    explicit ModelWatcher(QObject* parent = nullptr);
    ~ModelWatcher() override;

    int rows() const;

    QAbstractItemModel* model() const;
    void setModel(QAbstractItemModel* model);

Q_SIGNALS:
    void rowCountChanged();
    void modelChanged();

private:
    QPointer<QAbstractItemModel> m_model;
};
}
