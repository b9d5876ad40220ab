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

// A watcher of a three-row list, a seven-row list and a tree, and what it announced.
struct Watched
{
    Watched() { watcher.setModel(first.get()); }
    std::unique_ptr<QStringListModel> first = listModel(3);
    std::unique_ptr<QStringListModel> second = listModel(7);
    HelpersTreeModel tree;
    QAbstractItemModelTester firstTester { first.get(), QAbstractItemModelTester::FailureReportingMode::Fatal };
    QAbstractItemModelTester treeTester { &tree, QAbstractItemModelTester::FailureReportingMode::Fatal };
    core::ModelWatcher watcher;
    QSignalSpy modelSpy { &watcher, &core::ModelWatcher::modelChanged };
    QSignalSpy rowSpy { &watcher, &core::ModelWatcher::rowCountChanged };
};
using Action = void (*)(Watched&);
}
Q_DECLARE_METATYPE(Action)

class tst_ModelWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldStartIdle()
    {
        core::ModelWatcher watcher;
        QCOMPARE(watcher.rows(), -1);
        QCOMPARE(watcher.model(), nullptr);
    }

    // Starting from the watcher on the three-row list.
    void shouldCountRootRowsAndAnnounceInsertionsAndRemovals_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("modelSignals");
        QTest::addColumn<int>("rowSignals");
        QTest::newRow("assigned: the model, not rows") << Action([](Watched&) {}) << 3 << 0 << 0;
        QTest::newRow("same model again") << Action([](Watched& w) { w.watcher.setModel(w.first.get()); }) << 3 << 0 << 0;
        QTest::newRow("insertion of two rows") << Action([](Watched& w) { w.first->insertRows(1, 2); }) << 5 << 0 << 1;
        QTest::newRow("removal") << Action([](Watched& w) { w.first->removeRows(0, 1); }) << 2 << 0 << 1;
        QTest::newRow("move is neither") << Action([](Watched& w) {
            w.first->moveRows(QModelIndex(), 0, 1, QModelIndex(), 3);
        }) << 3 << 0 << 0;
        QTest::newRow("reset to same count") << Action([](Watched& w) {
            w.first->setStringList({ QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z") });
        }) << 3 << 0 << 0;
        QTest::newRow("reset to fewer rows") << Action([](Watched& w) { w.first->setStringList({ QStringLiteral("x") }); })
                                             << 1 << 0 << 0;
        QTest::newRow("reset to no rows") << Action([](Watched& w) { w.first->setStringList({}); }) << 0 << 0 << 0;
        QTest::newRow("child rows announced, not counted") << Action([](Watched& w) {
            const int parent = w.tree.addNode(HelpersTreeModel::rootId, QStringLiteral("parent"));
            w.watcher.setModel(&w.tree);
            w.tree.removeNode(w.tree.addNode(parent, QStringLiteral("child")));
        }) << 1 << 1 << 2;
        QTest::newRow("cleared: disconnected") << Action([](Watched& w) {
            w.watcher.setModel(nullptr);
            w.first->insertRows(0, 1);
        }) << -1 << 1 << 0;
        QTest::newRow("previous model forgotten") << Action([](Watched& w) {
            w.watcher.setModel(w.second.get());
            w.first->insertRows(0, 1);
            w.first->removeRows(0, 2);
            w.second->insertRows(0, 1);
        }) << 8 << 1 << 1;
        QTest::newRow("destroyed model, then cleared") << Action([](Watched& w) {
            w.first.reset();
            w.watcher.setModel(nullptr);
        }) << -1 << 0 << 0;
    }
    void shouldCountRootRowsAndAnnounceInsertionsAndRemovals()
    {
        QFETCH(Action, action);
        Watched w;
        w.modelSpy.clear();
        action(w);
        QTEST(w.watcher.rows(), "rows");
        QTEST(int(w.modelSpy.count()), "modelSignals");
        QTEST(int(w.rowSpy.count()), "rowSignals");
        if (w.watcher.rows() < 0)
            QCOMPARE(w.watcher.model(), nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_ModelWatcher)
#include "tst_modelwatcher.moc"
