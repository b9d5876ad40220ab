// Corvane.Core tests.
#include "models/modelwatcher.h"
#include "support/helpers_treemodel.h"

#include <QAbstractItemModelTester>
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

QTEST_GUILESS_MAIN(tst_ModelWatcher)
#include "tst_modelwatcher.moc"
