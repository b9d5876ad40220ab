// Corvane.Core tests.
#include "models/qtmodelutils.h"
#include "models/qtvaluewrapper.h"

#include <QAbstractItemModelTester>
#include <QJSEngine>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QRandomGenerator>
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

    void shouldFollowModelUnderRandomChanges_data()
    {
        QTest::addColumn<quint32>("seed");
        // CV_SEED replays a failed run.
        if (qEnvironmentVariableIsSet("CV_SEED")) {
            QTest::newRow("CV_SEED") << quint32(qEnvironmentVariableIntValue("CV_SEED"));
            return;
        }
        for (quint32 seed : { 3u, 11u, 4242u })
            QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
    }

    void shouldFollowModelUnderRandomChanges()
    {
        // Given wrappers on random rows and roles of a changing model
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        auto model = people(4);
        QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        core::QtModelUtils utils;
        std::vector<std::unique_ptr<QtValueWrapper>> wrappers;
        std::vector<std::unique_ptr<QSignalSpy>> spies;
        std::vector<int> signalsBefore;
        int modelSignals = 0;
        auto count = [&modelSignals] { ++modelSignals; };
        connect(model.get(), &QAbstractItemModel::rowsInserted, count);
        connect(model.get(), &QAbstractItemModel::rowsRemoved, count);
        connect(model.get(), &QAbstractItemModel::modelReset, count);
        connect(model.get(), &QAbstractItemModel::dataChanged, count);

        for (int step = 0; step < 1500; ++step) {
            const QString context = QStringLiteral("seed %1, step %2").arg(seed).arg(step);
            const int rows = model->rowCount();
            const int row = random.bounded(rows + 2);
            switch (random.bounded(8)) {
            case 0: {
                const int role = random.bounded(2) ? ageRole : int(Qt::DisplayRole);
                std::unique_ptr<QtValueWrapper> wrapper(utils.modelData(row, model.get(), role));
                QVERIFY2(bool(wrapper) == (rows == 0 || row < rows), qPrintable(context));
                if (wrapper) {
                    spies.push_back(std::make_unique<QSignalSpy>(wrapper.get(), &QtValueWrapper::valueChanged));
                    signalsBefore.push_back(modelSignals);
                    wrappers.push_back(std::move(wrapper));
                }
                break;
            }
            case 1:
                model->insertRow(std::min(row, rows), new QStandardItem(QString::number(step)));
                break;
            case 2:
                if (row < rows)
                    model->removeRow(row);
                break;
            case 3:
            case 4:
                if (row < rows)
                    model->item(row)->setData(step, random.bounded(2) ? ageRole : int(Qt::DisplayRole));
                break;
            case 5:
                model->sort(0, random.bounded(2) ? Qt::AscendingOrder : Qt::DescendingOrder);
                break;
            case 6:
                if (random.bounded(10) == 0)
                    model->clear();
                break;
            case 7:
                if (!wrappers.empty()) {
                    const int pick = random.bounded(int(wrappers.size()));
                    wrappers.erase(wrappers.begin() + pick);
                    spies.erase(spies.begin() + pick);
                    signalsBefore.erase(signalsBefore.begin() + pick);
                }
                break;
            }

            // Then every wrapper reads its cell, or nothing where the row is gone
            for (const auto& wrapper : wrappers) {
                const QModelIndex index = model->index(wrapper->row, 0);
                const QVariant expected = index.isValid() ? index.data(wrapper->role) : QVariant();
                QVERIFY2(wrapper->value() == expected, qPrintable(context));
            }
            // and has announced every data change, insertion, removal and reset since it was made
            for (size_t i = 0; i < spies.size(); ++i)
                QVERIFY2(spies[i]->count() == modelSignals - signalsBefore[i], qPrintable(context));
        }
    }
};

QTEST_GUILESS_MAIN(tst_QtValueWrapper)
#include "tst_qtvaluewrapper.moc"
