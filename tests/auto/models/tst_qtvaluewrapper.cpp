// Corvane.Core tests.
#include "models/qtmodelutils.h"
#include "models/qtvaluewrapper.h"
#include "support/helpers_treemodel.h"

#include <QAbstractItemModelTester>
#include <QJSEngine>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

#include <functional>
#include <memory>

using cvtest::HelpersTreeModel;

namespace
{
const int ageRole = Qt::UserRole + 1;

std::unique_ptr<QStandardItemModel> people(int rows)
{
    auto model = std::make_unique<QStandardItemModel>();
    for (int row = 0; row < rows; ++row) {
        auto* item = new QStandardItem(QString::number(row));
        item->setData(row * 10, ageRole);
        model->appendRow(QList<QStandardItem*>{item, new QStandardItem(QStringLiteral("second column"))});
    }
    return model;
}

using Change = std::function<void(QStandardItemModel&)>;
}

Q_DECLARE_METATYPE(Change)

class tst_QtValueWrapper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void shouldReadCellOfItsRow();
    void shouldNotifyOnceForEveryModelChange_data();
    void shouldNotifyOnceForEveryModelChange();
    void shouldStayQuietOnLayoutChange();
    void shouldNotifyForChildInsertions();
    void shouldReadInvalidWhenRowGone();
    void shouldReadInvalidAfterModelDestroyed();
    void shouldLeaveModelAloneWhenDestroyedFirst();
    void shouldBelongToQmlEngineWhenReturnedToQml();
};

void tst_QtValueWrapper::initTestCase()
{
    // The module's type registration makes the pointer type known to QML.
    qRegisterMetaType<QtValueWrapper*>();
}

void tst_QtValueWrapper::shouldReadCellOfItsRow()
{
    auto model = people(3);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QtValueWrapper wrapper(ageRole, 1, model.get());

    QCOMPARE(wrapper.value(), QVariant(10));
    model->item(1)->setData(99, ageRole);
    QCOMPARE(wrapper.value(), QVariant(99));
}

void tst_QtValueWrapper::shouldNotifyOnceForEveryModelChange_data()
{
    QTest::addColumn<Change>("change");
    QTest::newRow("own cell") << Change([](QStandardItemModel& m) { m.item(0)->setData(5, ageRole); });
    QTest::newRow("other row") << Change([](QStandardItemModel& m) { m.item(2)->setText(QStringLiteral("x")); });
    QTest::newRow("other column") << Change([](QStandardItemModel& m) { m.item(0, 1)->setText(QStringLiteral("x")); });
    QTest::newRow("insert rows") << Change([](QStandardItemModel& m) { m.insertRows(0, 2); });
    QTest::newRow("remove rows") << Change([](QStandardItemModel& m) { m.removeRows(1, 2); });
    QTest::newRow("reset") << Change([](QStandardItemModel& m) { m.clear(); });
}

void tst_QtValueWrapper::shouldNotifyOnceForEveryModelChange()
{
    QFETCH(Change, change);
    auto model = people(3);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    QtValueWrapper wrapper(ageRole, 0, model.get());
    QSignalSpy spy(&wrapper, &QtValueWrapper::valueChanged);
    QVERIFY(spy.isValid());

    change(*model);

    QCOMPARE(spy.count(), 1);
}

void tst_QtValueWrapper::shouldStayQuietOnLayoutChange()
{
    auto model = people(3);
    QtValueWrapper wrapper(ageRole, 0, model.get());
    QSignalSpy spy(&wrapper, &QtValueWrapper::valueChanged);
    QVERIFY(spy.isValid());

    model->sort(0, Qt::DescendingOrder);

    QCOMPARE(spy.count(), 0);
    QCOMPARE(wrapper.value(), QVariant(20));
}

void tst_QtValueWrapper::shouldNotifyForChildInsertions()
{
    HelpersTreeModel model;
    const int parent = model.addNode(HelpersTreeModel::rootId, QStringLiteral("parent"));
    QtValueWrapper wrapper(Qt::DisplayRole, 0, &model);
    QSignalSpy spy(&wrapper, &QtValueWrapper::valueChanged);
    QVERIFY(spy.isValid());

    model.addNode(parent, QStringLiteral("child"));

    QCOMPARE(spy.count(), 1);
    QCOMPARE(wrapper.value(), QVariant(QStringLiteral("parent")));
}

void tst_QtValueWrapper::shouldReadInvalidWhenRowGone()
{
    auto model = people(3);
    QtValueWrapper wrapper(ageRole, 2, model.get());

    model->removeRows(1, 2);

    QVERIFY(!wrapper.value().isValid());
}

void tst_QtValueWrapper::shouldReadInvalidAfterModelDestroyed()
{
    auto model = people(3);
    QtValueWrapper wrapper(ageRole, 0, model.get());
    QSignalSpy spy(&wrapper, &QtValueWrapper::valueChanged);
    QVERIFY(spy.isValid());

    model.reset();

    QVERIFY(!wrapper.value().isValid());
    QCOMPARE(wrapper.model.data(), nullptr);
    QCOMPARE(spy.count(), 0);
}

void tst_QtValueWrapper::shouldLeaveModelAloneWhenDestroyedFirst()
{
    auto model = people(3);
    auto wrapper = std::make_unique<QtValueWrapper>(ageRole, 0, model.get());

    wrapper.reset();

    model->insertRows(0, 1);
    model->item(1)->setText(QStringLiteral("x"));
    QCOMPARE(model->rowCount(), 4);
}

void tst_QtValueWrapper::shouldBelongToQmlEngineWhenReturnedToQml()
{
    // Given QML asks for a wrapper and keeps it
    auto model = people(3);
    QQmlEngine engine;
    core::QtModelUtils utils;
    engine.globalObject().setProperty(QStringLiteral("utils"), engine.newQObject(&utils));
    engine.globalObject().setProperty(QStringLiteral("people"), engine.newQObject(model.get()));
    QQmlEngine::setObjectOwnership(&utils, QQmlEngine::CppOwnership);
    QQmlEngine::setObjectOwnership(model.get(), QQmlEngine::CppOwnership);
    QJSValue held = engine.evaluate(QStringLiteral("var held = utils.modelData(1, people, %1); held").arg(ageRole));
    QPointer<QtValueWrapper> wrapper = qobject_cast<QtValueWrapper*>(held.toQObject());
    QVERIFY2(wrapper, qPrintable(held.toString()));
    QCOMPARE(QQmlEngine::objectOwnership(wrapper), QQmlEngine::JavaScriptOwnership);
    QCOMPARE(engine.evaluate(QStringLiteral("held.value")).toInt(), 10);

    // When its model dies first, the wrapper stays usable from QML
    model.reset();
    QVERIFY(engine.evaluate(QStringLiteral("held.value")).isUndefined());

    // When the last reference goes, the engine deletes it
    engine.evaluate(QStringLiteral("held = null"));
    held = QJSValue();
    engine.collectGarbage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(wrapper.isNull());
}

QTEST_GUILESS_MAIN(tst_QtValueWrapper)
#include "tst_qtvaluewrapper.moc"
