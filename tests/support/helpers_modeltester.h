// Corvane.Core tests.
#pragma once

#include <QAbstractItemModel>
#include <QAbstractItemModelTester>
#include <QIdentityProxyModel>
#include <QObject>
#include <QPointer>

#include <memory>

namespace cvtest
{
// Attaches a QAbstractItemModelTester (warning mode) to a model from QML: `ModelTester { model: m }`.
// A complaint is a warning, which fails the test run.
//
// The tester asks for role -1, which makes Qt 5.15's ListModel read out of bounds and crash; it
// therefore watches the model through a transparent identity proxy that answers negative roles
// itself. Every structural signal and answer of the model still reaches the tester unchanged.
class HelpersModelTester : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QAbstractItemModel* model READ model WRITE setModel NOTIFY modelChanged)

public:
    explicit HelpersModelTester(QObject* parent = nullptr);
    ~HelpersModelTester() override;

    QAbstractItemModel* model() const;
    void setModel(QAbstractItemModel* model);

Q_SIGNALS:
    void modelChanged();

private:
    QPointer<QAbstractItemModel> m_model;
    std::unique_ptr<QIdentityProxyModel> m_guard;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};
}
