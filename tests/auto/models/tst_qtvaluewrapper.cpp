// Corvane.Core tests.
#include "models/qtmodelutils.h"
#include "models/qtvaluewrapper.h"

#include <QAbstractItemModelTester>
#include <QJSEngine>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QtTest>

#include <algorithm>

#include <functional>
#include <memory>

namespace
{
const int ageRole = Qt::UserRole + 1;

std::unique_ptr<QStandardItemModel> people(int rows)
{
    auto model = std::make_unique<QStandardItemModel>();
    for (int row = 0; row < rows; ++row) {
        auto* item = new QStandardItem(QString::number(row));
        item->setData(row * 10, ageRole);
        model->appendRow(QList<QStandardItem*> { item, new QStandardItem(QStringLiteral("second column")) });
    }
    return model;
}

using Change = std::function<void(QStandardItemModel&)>;

// Sees every wrapper that a QML binding creates, without holding it.
class WrapperTracker : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE QObject* track(QObject* wrapper)
    {
        wrappers.append(wrapper);
        return wrapper;
    }
    int alive() const
    {
        return int(
            std::count_if(wrappers.cbegin(), wrappers.cend(), [](const QPointer<QObject>& w) { return !w.isNull(); }));
    }
    QList<QPointer<QObject>> wrappers;
};

void collectGarbage(QQmlEngine& engine)
{
    engine.collectGarbage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
}

Q_DECLARE_METATYPE(Change)

class tst_QtValueWrapper : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The module's type registration makes the pointer type known to QML.
    void initTestCase() { qRegisterMetaType<QtValueWrapper*>(); }

    void shouldNotifyOnceForEveryModelChange_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<int>("notified");
        QTest::addColumn<QVariant>("value");
        QTest::newRow("own cell") << Change([](QStandardItemModel& m) { m.item(1)->setData(5, ageRole); }) << 1
                                  << QVariant(5);
        QTest::newRow("other row") << Change([](QStandardItemModel& m) { m.item(2)->setText(QStringLiteral("x")); })
                                   << 1 << QVariant(10);
        QTest::newRow("other column") << Change([](QStandardItemModel& m) { m.item(1, 1)->setText(QStringLiteral("x")); })
                                      << 1 << QVariant(10);
        QTest::newRow("insert rows") << Change([](QStandardItemModel& m) { m.insertRows(0, 2); }) << 1 << QVariant();
        QTest::newRow("child rows") << Change([](QStandardItemModel& m) { m.item(0)->appendRow(new QStandardItem); })
                                    << 1 << QVariant(10);
        QTest::newRow("remove rows") << Change([](QStandardItemModel& m) { m.removeRows(1, 2); }) << 1 << QVariant();
        QTest::newRow("reset") << Change([](QStandardItemModel& m) { m.clear(); }) << 1 << QVariant();
        QTest::newRow("layout change is quiet") << Change([](QStandardItemModel& m) { m.sort(0, Qt::DescendingOrder); })
                                                << 0 << QVariant(10);
        QTest::newRow("model destroyed is quiet") << Change([](QStandardItemModel& m) { delete &m; }) << 0 << QVariant();
    }
    void shouldNotifyOnceForEveryModelChange()
    {
        QFETCH(Change, change);
        auto model = people(3);
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        QtValueWrapper wrapper(ageRole, 1, model.get());
        QCOMPARE(wrapper.value(), QVariant(10));
        QSignalSpy spy(&wrapper, &QtValueWrapper::valueChanged);
        change(*model.release());
        model.reset(qobject_cast<QStandardItemModel*>(wrapper.model.data()));
        QTEST(int(spy.count()), "notified");
        QTEST(wrapper.value(), "value");
    }

    void shouldLeaveModelAloneWhenDestroyedFirst()
    {
        auto model = people(3);
        auto wrapper = std::make_unique<QtValueWrapper>(ageRole, 0, model.get());
        wrapper.reset();
        model->insertRows(0, 1);
        model->item(1)->setText(QStringLiteral("x"));
        QCOMPARE(model->rowCount(), 4);
    }

    void shouldBelongToQmlEngineWhenReturnedToQml()
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

    void shouldLiveAsLongAsBindingListens()
    {
        // Given a binding that calls modelData inline, so that nothing but the binding refers to the wrapper
        auto model = people(3);
        QQmlEngine engine;
        core::QtModelUtils utils;
        WrapperTracker tracker;
        engine.rootContext()->setContextProperty(QStringLiteral("utils"), &utils);
        engine.rootContext()->setContextProperty(QStringLiteral("people"), model.get());
        engine.rootContext()->setContextProperty(QStringLiteral("tracker"), &tracker);
        QQmlComponent component(&engine);
        component.setData(
            QStringLiteral("import QtQml 2.15\n"
                           "QtObject { property var shown: tracker.track(utils.modelData(1, people, %1)).value }")
                .arg(ageRole)
                .toUtf8(),
            QUrl());
        std::unique_ptr<QObject> panel(component.create());
        QVERIFY2(panel, qPrintable(component.errorString()));

        // When the model changes again and again, with collections in between
        for (int round = 0; round < 10; ++round) {
            model->item(1)->setData(round, ageRole);
            collectGarbage(engine);
            QCOMPARE(panel->property("shown"), QVariant(round));
        }

        // Then only the wrapper of the current evaluation is left
        QCOMPARE(tracker.wrappers.size(), 11);
        QCOMPARE(tracker.alive(), 1);

        // And once the binding is gone, so is its wrapper
        panel.reset();
        collectGarbage(engine);
        QCOMPARE(tracker.alive(), 0);
    }

};

QTEST_GUILESS_MAIN(tst_QtValueWrapper)
#include "tst_qtvaluewrapper.moc"
