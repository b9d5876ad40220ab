// Corvane.Core tests.
#include "models/modelwatcher.h"
#include "support/helpers_treemodel.h"

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QStringListModel>
#include <QtTest>

#include <memory>

using cvtest::HelpersTreeModel;

namespace
{
std::unique_ptr<QStringListModel> listModel(int rows)
{
    QStringList texts;
    for (int row = 0; row < rows; ++row)
        texts.append(QString::number(row));
    return std::make_unique<QStringListModel>(texts);
}
}

class tst_ModelWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldStartIdle();
    void shouldAnnounceModelButNotRowsWhenAssigned();
    void shouldIgnoreSameModel();
    void shouldForwardEachInsertionAndRemoval();
    void shouldForwardChildInsertionsWithoutCountingThem();
    void shouldStayQuietOnReset_data();
    void shouldStayQuietOnReset();
    void shouldDisconnectWhenModelCleared();
    void shouldForgetPreviousModel();
    void shouldReadMinusOneAfterModelDestroyed();
    void shouldCountRowsUnderRandomChanges();
};

void tst_ModelWatcher::shouldStartIdle()
{
    core::ModelWatcher watcher;
    QCOMPARE(watcher.rows(), -1);
    QCOMPARE(watcher.model(), nullptr);
}

void tst_ModelWatcher::shouldAnnounceModelButNotRowsWhenAssigned()
{
    auto model = listModel(3);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::ModelWatcher watcher;
    QSignalSpy modelSpy(&watcher, &core::ModelWatcher::modelChanged);
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(modelSpy.isValid());
    QVERIFY(rowSpy.isValid());

    watcher.setModel(model.get());

    QCOMPARE(modelSpy.count(), 1);
    QCOMPARE(rowSpy.count(), 0);
    QCOMPARE(watcher.rows(), 3);
    QCOMPARE(watcher.model(), model.get());
}

void tst_ModelWatcher::shouldIgnoreSameModel()
{
    auto model = listModel(3);
    core::ModelWatcher watcher;
    watcher.setModel(model.get());
    QSignalSpy modelSpy(&watcher, &core::ModelWatcher::modelChanged);
    QVERIFY(modelSpy.isValid());

    watcher.setModel(model.get());

    QCOMPARE(modelSpy.count(), 0);
}

void tst_ModelWatcher::shouldForwardEachInsertionAndRemoval()
{
    auto model = listModel(3);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::ModelWatcher watcher;
    watcher.setModel(model.get());
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(rowSpy.isValid());

    // When two rows arrive in one operation
    model->insertRows(1, 2);
    QCOMPARE(rowSpy.count(), 1);
    QCOMPARE(watcher.rows(), 5);

    // When one row goes
    model->removeRows(0, 1);
    QCOMPARE(rowSpy.count(), 2);
    QCOMPARE(watcher.rows(), 4);

    // A move is neither
    model->moveRows(QModelIndex(), 0, 1, QModelIndex(), 3);
    QCOMPARE(rowSpy.count(), 2);
}

void tst_ModelWatcher::shouldForwardChildInsertionsWithoutCountingThem()
{
    HelpersTreeModel model;
    const int parent = model.addNode(HelpersTreeModel::rootId, QStringLiteral("parent"));
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::ModelWatcher watcher;
    watcher.setModel(&model);
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(rowSpy.isValid());

    const int child = model.addNode(parent, QStringLiteral("child"));
    model.removeNode(child);

    QCOMPARE(rowSpy.count(), 2);
    QCOMPARE(watcher.rows(), 1);
}

void tst_ModelWatcher::shouldStayQuietOnReset_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::newRow("same count") << QStringList { QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z") };
    QTest::newRow("fewer rows") << QStringList { QStringLiteral("x") };
    QTest::newRow("no rows") << QStringList();
}

void tst_ModelWatcher::shouldStayQuietOnReset()
{
    QFETCH(QStringList, texts);
    auto model = listModel(3);
    QAbstractItemModelTester tester(model.get(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    core::ModelWatcher watcher;
    watcher.setModel(model.get());
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(rowSpy.isValid());

    model->setStringList(texts);

    QCOMPARE(rowSpy.count(), 0);
    QCOMPARE(watcher.rows(), texts.size());
}

void tst_ModelWatcher::shouldDisconnectWhenModelCleared()
{
    auto model = listModel(3);
    core::ModelWatcher watcher;
    watcher.setModel(model.get());
    QSignalSpy modelSpy(&watcher, &core::ModelWatcher::modelChanged);
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(modelSpy.isValid());
    QVERIFY(rowSpy.isValid());

    watcher.setModel(nullptr);
    model->insertRows(0, 1);

    QCOMPARE(modelSpy.count(), 1);
    QCOMPARE(rowSpy.count(), 0);
    QCOMPARE(watcher.rows(), -1);
}

void tst_ModelWatcher::shouldForgetPreviousModel()
{
    auto first = listModel(3);
    auto second = listModel(7);
    core::ModelWatcher watcher;
    watcher.setModel(first.get());
    watcher.setModel(second.get());
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(rowSpy.isValid());

    first->insertRows(0, 1);
    first->removeRows(0, 2);
    QCOMPARE(rowSpy.count(), 0);

    second->insertRows(0, 1);
    QCOMPARE(rowSpy.count(), 1);
    QCOMPARE(watcher.rows(), 8);
}

void tst_ModelWatcher::shouldReadMinusOneAfterModelDestroyed()
{
    auto model = listModel(3);
    core::ModelWatcher watcher;
    watcher.setModel(model.get());
    QSignalSpy modelSpy(&watcher, &core::ModelWatcher::modelChanged);
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(modelSpy.isValid());
    QVERIFY(rowSpy.isValid());

    model.reset();

    QCOMPARE(watcher.rows(), -1);
    QCOMPARE(watcher.model(), nullptr);
    // Clearing a model that is gone is no change
    watcher.setModel(nullptr);
    QCOMPARE(modelSpy.count(), 0);
    QCOMPARE(rowSpy.count(), 0);
}

void tst_ModelWatcher::shouldCountRowsUnderRandomChanges()
{
    // CV_SEED replays a failed run.
    const quint32 seed = qEnvironmentVariableIsSet("CV_SEED") ? quint32(qEnvironmentVariableIntValue("CV_SEED")) : 77u;
    QRandomGenerator random(seed);
    std::vector<std::unique_ptr<QStringListModel>> models;
    models.push_back(listModel(2));
    models.push_back(listModel(5));
    core::ModelWatcher watcher;
    QSignalSpy rowSpy(&watcher, &core::ModelWatcher::rowCountChanged);
    QVERIFY(rowSpy.isValid());
    int expectedSignals = 0;
    QAbstractItemModel* watched = nullptr;

    for (int step = 0; step < 2000; ++step) {
        const QString context = QStringLiteral("seed %1, step %2").arg(seed).arg(step);
        QStringListModel* target = models.empty() ? nullptr : models[random.bounded(int(models.size()))].get();
        switch (random.bounded(7)) {
        case 0:
            watcher.setModel(target);
            watched = target;
            break;
        case 1:
        case 2:
            if (target) {
                target->insertRows(random.bounded(target->rowCount() + 1), 1 + random.bounded(3));
                expectedSignals += target == watched;
            }
            break;
        case 3:
            if (target && target->rowCount() > 0) {
                target->removeRows(random.bounded(target->rowCount()), 1);
                expectedSignals += target == watched;
            }
            break;
        case 4:
            if (target)
                target->setStringList(QVector<QString>(random.bounded(4), QStringLiteral("x")).toList());
            break;
        case 5:
            if (random.bounded(20) == 0 && !models.empty()) {
                const int pick = random.bounded(int(models.size()));
                if (models[pick].get() == watched)
                    watched = nullptr;
                models.erase(models.begin() + pick);
            }
            break;
        case 6:
            if (models.size() < 4)
                models.push_back(listModel(random.bounded(4)));
            break;
        }
        QVERIFY2(watcher.rows() == (watched ? watched->rowCount() : -1), qPrintable(context));
        QVERIFY2(watcher.model() == watched, qPrintable(context));
        QVERIFY2(rowSpy.count() == expectedSignals, qPrintable(context));
    }
}

QTEST_GUILESS_MAIN(tst_ModelWatcher)
#include "tst_modelwatcher.moc"
