// Corvane.Core tests: the model helpers (SortFilterModel, IdentityProxyModel, QtModelUtils,
// QtValueWrapper, TreeExpandConnections, ModelWatcher): cases, and one randomized run over sources
// that change, come and go, with neighbours destroyed in random orders.
// CV_RANDOM_SEED replays a run, CV_RANDOM_STEPS sets its length.
#include "models/identityproxymodel.h"
#include "models/modelwatcher.h"
#include "models/qtmodelutils.h"
#include "models/qtvaluewrapper.h"
#include "models/sortfiltermodel.h"
#include "models/sortfilterselectmodel.h"
#include "models/treeexpandconnections.h"
#include "support/reliability_random.h"
#include "support/reliability_randommodel.h"

#include <lumen/treeroles.h>

#include <QAbstractItemModelTester>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QThread>
#include <QtTest>

#include <memory>

using cvtest::RandomRun;
using cvtest::ReliabilityRandomModel;

namespace
{
const int ageRole = Qt::UserRole + 1;
const auto fatal = QAbstractItemModelTester::FailureReportingMode::Fatal;
int flagRole() { return lum::getWantsToBeExpandedRole(); }

// Rows "B" (age 30), "C" (10), "A" (20), each with a second column.
std::unique_ptr<QStandardItemModel> people()
{
    auto model = std::make_unique<QStandardItemModel>();
    model->setItemRoleNames({ { Qt::DisplayRole, "name" }, { ageRole, "age" }, { ageRole + 1, "größe" } });
    for (const auto& row : { qMakePair(QStringLiteral("B"), 30), qMakePair(QStringLiteral("C"), 10), qMakePair(QStringLiteral("A"), 20) }) {
        model->appendRow({ new QStandardItem(row.first), new QStandardItem(QStringLiteral("second column")) });
        model->item(model->rowCount() - 1)->setData(row.second, ageRole);
    }
    return model;
}

QString rowsOf(const QAbstractItemModel& model)
{
    QString text;
    for (int row = 0; row < model.rowCount(); ++row)
        text += model.index(row, 0).data().toString();
    return text;
}

// Fails the run with a clear message when a walk that must end has not ended after 5 s.
struct Watchdog
{
    explicit Watchdog(const char* walk)
        : thread(QThread::create([this, walk] {
            if (!finished.tryAcquire(1, 5000))
                qFatal("%s did not end within 5 s: an endless walk", walk);
        }))
    { thread->start(); }
    ~Watchdog() { finished.release(), thread->wait(); }
    QSemaphore finished;
    std::unique_ptr<QThread> thread;
};

QStandardItem* node(const QString& name, bool flag = false, const QList<QStandardItem*>& children = {})
{
    auto* item = new QStandardItem(name);
    item->setData(flag, flagRole());
    for (QStandardItem* child : children)
        item->appendRow(child);
    return item;
}

// Root: A (a1, a2), B (b1 (c1)); flags on A, b1 and the leaf c1. Records every setData call, so
// that an index of another model reaching it shows.
struct SampleTree : QStandardItemModel
{
    SampleTree()
    {
        appendRow(node("A", true, { node("a1"), node("a2") }));
        appendRow(node("B", false, { node("b1", true, { node("c1", true) }) }));
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        calls.append(names({ index }) + QLatin1Char('=') + value.toString() + (role == flagRole() ? "" : "(other role)"));
        return QStandardItemModel::setData(index, value, role);
    }
    QModelIndex find(const QString& name) const { return match(index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive).value(0); }
    QString names(const QModelIndexList& indexes) const
    {
        QStringList list;
        for (const QModelIndex& index : indexes)
            list.append(index.model() == this ? index.data().toString() : QStringLiteral("<other>"));
        return list.join(QLatin1Char(','));
    }
    void reset() { beginResetModel(), endResetModel(); }
    QStringList calls;
    QAbstractItemModelTester tester { this, fatal };
};

// A chain of flagged nodes, each the only child of the one before, deeper than any call stack could
// follow. A node's id is its depth (the root's is 0) and its display text.
struct ChainModel : QAbstractItemModel
{
    static int id(const QModelIndex& index) { return int(index.internalId()); }
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override { return hasIndex(row, column, parent) ? createIndex(0, 0, quintptr(id(parent) + 1)) : QModelIndex(); }
    QModelIndex parent(const QModelIndex& child) const override { return id(child) > 1 ? createIndex(0, 0, quintptr(id(child) - 1)) : QModelIndex(); }
    int rowCount(const QModelIndex& parent = {}) const override { return parent.column() <= 0 && id(parent) < depth ? 1 : 0; }
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    QVariant data(const QModelIndex& index, int role) const override { return index.isValid() && role == flagRole() ? QVariant(true) : role == Qt::DisplayRole ? QVariant(id(index)) : QVariant(); }
    const int depth = 100000;
};

std::vector<ReliabilityRandomModel::Header> headers(int count) { return std::vector<ReliabilityRandomModel::Header>(std::size_t(count)); }

// mapRowToSource and mapRowFromSource name the row that shows the same cell (the text of every row
// is unique), or -1 when there is none.
QString brokenRowMapping(core::SortFilterModel& proxy, int proxyRow, int sourceRow)
{
    const QAbstractItemModel* source = proxy.sourceModel();
    const QModelIndex shown = proxy.index(proxyRow, 0);
    const QModelIndex held = source ? source->index(sourceRow, 0) : QModelIndex();
    const int toSource = proxy.mapRowToSource(proxyRow);
    const int fromSource = proxy.mapRowFromSource(sourceRow);
    if (shown.isValid() ? source->index(toSource, 0).data() != shown.data() : toSource != -1)
        return QStringLiteral("proxy row %1 maps to source row %2").arg(proxyRow).arg(toSource);
    if (held.isValid() ? proxy.index(fromSource, 0).data() != held.data() : fromSource != -1)
        return QStringLiteral("source row %1 maps to proxy row %2").arg(sourceRow).arg(fromSource);
    return {};
}

// Sees every wrapper a QML binding creates, without holding it.
class WrapperTracker : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE QObject* track(QObject* wrapper) { return wrappers.append(wrapper), wrapper; }
    int alive() const { return int(std::count_if(wrappers.cbegin(), wrappers.cend(), [](const auto& w) { return w; })); }
    QList<QPointer<QObject>> wrappers;
};
}

class tst_ModelHelpers : public QObject
{
    Q_OBJECT

    core::QtModelUtils utils;

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<QModelIndexList>();
        // The module's type registration makes the pointer type known to QML.
        qRegisterMetaType<QtValueWrapper*>();
    }

    void shouldSortByNamedRoleColumnAndDirectionSignallingOnlyChanges()
    {
        core::SortFilterModel proxy;
        QAbstractItemModelTester tester(&proxy, fatal);
        QSignalSpy roleSpy(&proxy, &core::SortFilterModel::sortRoleNameChanged);
        QSignalSpy columnSpy(&proxy, &core::SortFilterModel::sortColumnChanged);
        QSignalSpy ascendingSpy(&proxy, &core::SortFilterModel::ascendingChanged);
        // A name given without a source waits for one
        proxy.setSortRoleName(QStringLiteral("age"));
        auto source = people();
        proxy.setSourceModel(source.get());
        QCOMPARE(proxy.sortRoleName(), QStringLiteral("age"));
        // Descending chosen while unsorted applies once a column is chosen; negative columns unsort
        proxy.setAscending(false);
        proxy.setAscending(false);
        proxy.setSortColumn(0);
        proxy.setSortColumn(0);
        QCOMPARE(rowsOf(proxy), QStringLiteral("BAC"));
        proxy.setAscending(true);
        QCOMPARE(rowsOf(proxy), QStringLiteral("CAB"));
        proxy.setSortColumn(-5);
        QCOMPARE(rowsOf(proxy), QStringLiteral("BCA"));
        QCOMPARE(columnSpy.count() + ascendingSpy.count(), 4);
        // Names compare case-sensitively
        QTest::ignoreMessage(QtDebugMsg, "Sort role \"Age\" not found");
        proxy.setSortRoleName(QStringLiteral("Age"));
        // A pending name is read intact (it was once read after being freed) and tried once only
        proxy.setSourceModel(nullptr);
        proxy.setSortRoleName(QStringLiteral("weight"));
        QTest::ignoreMessage(QtDebugMsg, "Sort role \"weight\" not found");
        proxy.setSourceModel(source.get());
        QStandardItemModel weights;
        weights.setItemRoleNames({ { ageRole + 2, "weight" } });
        proxy.setSourceModel(&weights);
        QTest::ignoreMessage(QtDebugMsg, "Sort role 257 not found");
        QCOMPARE(proxy.sortRoleName(), QString());
        QCOMPARE(roleSpy.count(), 1);
    }
    void shouldRefuseOwnChainAsSource()
    {
        // A chain of sources: top, identity, sorting, source. Each keeps its source instead of asking
        // itself for rows forever.
        Watchdog watchdog("Looking for a proxy in its chain of sources");
        QStandardItemModel source(2, 1);
        core::SortFilterModel sorting;
        core::IdentityProxyModel identity;
        QSortFilterProxyModel top;
        sorting.setSourceModel(&source);
        identity.setSourceModel(&sorting);
        top.setSourceModel(&identity);
        QAbstractItemModelTester sortingTester(&sorting, fatal), identityTester(&identity, fatal);
        sorting.setSourceModel(&sorting);
        identity.setSourceModel(&identity);
        QVERIFY(sorting.setProperty("sourceModel", QVariant::fromValue<QAbstractItemModel*>(&top)));
        QVERIFY(identity.setProperty("sourceModel", QVariant::fromValue<QAbstractItemModel*>(&top)));
        QCOMPARE(sorting.sourceModel(), &source);
        QCOMPARE(identity.sourceModel(), &sorting);
        // QML sees a plain identity proxy
        QCOMPARE(identity.metaObject(), &QIdentityProxyModel::staticMetaObject);
    }
    void shouldWrapOnlyRowsThatExistOrMayCome()
    {
        auto model = people();
        QAbstractItemModelTester tester(model.get(), fatal);
        QCOMPARE(utils.roleIndex(model.get(), QStringLiteral("größe")), ageRole + 1);
        // No model, no role, rows before the first and from the row count on
        QCOMPARE(utils.modelData(0, nullptr, Qt::DisplayRole), nullptr);
        QCOMPARE(utils.modelData(0, model.get(), -1), nullptr);
        QCOMPARE(utils.modelData(3, model.get(), Qt::DisplayRole), nullptr);
        // Any row of an empty model, read once it comes; nothing once the model is gone
        model->setRowCount(0);
        std::unique_ptr<QtValueWrapper> later(utils.modelData(5, model.get(), Qt::DisplayRole));
        while (model->rowCount() <= 5)
            model->appendRow(new QStandardItem(QString::number(model->rowCount())));
        QCOMPARE(later->parent(), nullptr);
        QCOMPARE(later->value().toString(), QStringLiteral("5"));
        model.reset();
        QVERIFY(!later->value().isValid());
    }

    void shouldReadAndStoreOnlyInItsOwnModel()
    {
        SampleTree model;
        const QModelIndex top = utils.modelIndex(&model, 0, 0, utils.emptyIndex());
        QCOMPARE(top, model.find("A"));
        const QModelIndex leaf = utils.modelIndex(&model, 1, 0, top);
        QCOMPARE(utils.getRowCount(&model, top), 2);
        QVERIFY(utils.getWantsToBeExpanded(&model, top));
        // Flagged nodes with children, parents first, the last root child's subtree first; flagged leaves never
        utils.saveWantsToBeExpanded(&model, leaf, true);
        QCOMPARE(model.names(utils.getAllWantToBeExpandedNodes(&model, model.find("B"))), QStringLiteral("b1"));
        // A null model or an index of another model gives the neutral answer and never reaches the model
        SampleTree other;
        const QModelIndex foreign = other.find("b1");
        QVERIFY(!utils.modelIndex(&model, 0, 0, foreign).isValid());
        QCOMPARE(utils.getRowCount(&model, foreign), 0);
        QVERIFY(!utils.getWantsToBeExpanded(&model, foreign));
        QVERIFY(utils.getAllWantToBeExpandedNodes(&model, foreign).isEmpty());
        utils.saveWantsToBeExpanded(&model, foreign, true);
        utils.saveWantsToBeExpanded(nullptr, QModelIndex(), true);
        QVERIFY(utils.getAllWantToBeExpandedNodes(nullptr).isEmpty());
        QCOMPARE(model.calls, QStringList { QStringLiteral("a2=true") });
        // Ranges only within one model and parent; any warning from QItemSelection fails the run
        QCOMPARE(utils.selectionRange(top, model.index(1, 0)).indexes().size(), 2);
        QVERIFY(utils.selectionRange(top, foreign).isEmpty() && utils.selectionRange(top, leaf).isEmpty());
        QVERIFY(utils.selectionRange(QModelIndex(), top).isEmpty() && utils.selectionRange(top, QModelIndex()).isEmpty());
        model.setProperty("dynamicValue", 7);
        QCOMPARE(utils.propertyValue(&model, QStringLiteral("dynamicValue")), QVariant(7));
    }

    void shouldFindMenuActionOrSayDefaultIsUsed()
    {
        QQmlEngine engine;
        QQmlComponent component(&engine);
        component.setData("import QtQuick 2.15\nItem { Item { objectName: 'plain'; Item {} }\n"
                          "  QtObject { objectName: 'notAnItem'; property Component action: Component { Item {} } }\n"
                          "  Item { Item { objectName: 'deleteAction'; Item { Component { Item { objectName: 'first' } } }\n"
                          "      Component { Item { objectName: 'second' } } } } }",
            QUrl());
        std::unique_ptr<QObject> root(component.create());
        QVERIFY2(root, qPrintable(component.errorString()));
        // Direct children before grandchildren
        QQmlComponent* action = utils.findMenuAction(root.get(), QStringLiteral("deleteAction"));
        QCOMPARE(std::unique_ptr<QObject>(action->create())->objectName(), QStringLiteral("second"));
        // No such item, an item without component, a component inside an object that is no item, no object
        for (const char* name : { "missing", "plain", "notAnItem", "" }) {
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QStringLiteral("custom menu action  \"%1\" is not found, so default action is used").arg(*name ? name : "plain")));
            QCOMPARE(utils.findMenuAction(*name ? root.get() : nullptr, QLatin1String(*name ? name : "plain")), nullptr);
        }
    }

    void shouldEndWalksOnOddOrVeryDeepTrees()
    {
        QStandardItemModel noColumns(3, 0);
        QAbstractItemModelTester tester(&noColumns, fatal);
        core::TreeExpandConnections connections;
        QSignalSpy requests(&connections, &core::TreeExpandConnections::requestExpandRows);
        {
            // Rows without columns answer index(r, 0) with the root index: a walk must not restart there
            Watchdog watchdog("The walk of a model with rows but no columns");
            QVERIFY(utils.getAllWantToBeExpandedNodes(&noColumns).isEmpty());
            connections.setModel(&noColumns);
            connections.onTreeCreated();
            noColumns.insertRows(3, 2);
            connections.onRowExpanded(QModelIndex(), true);
            QCOMPARE(requests.count(), 0);
        }
        // A chain far deeper than any call stack: every node but the last leaf, parents first
        ChainModel chain;
        QAbstractItemModelTester chainTester(&chain, fatal);
        const QModelIndexList nodes = utils.getAllWantToBeExpandedNodes(&chain);
        QCOMPARE(nodes.size(), chain.depth - 1);
        QCOMPARE(nodes.at(1).data(), QVariant(2));
        QCOMPARE(nodes.last().data(), QVariant(chain.depth - 1));
        connections.setModel(&chain);
        connections.onRowExpanded(chain.index(0, 0), true);
        QCOMPARE(requests.at(0).at(0).value<QModelIndexList>(), nodes);
    }

    void shouldRequestExpandableWantedRowsParentsFirst()
    {
        SampleTree tree;
        core::TreeExpandConnections connections;
        connections.setModel(&tree);
        QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
        const auto requests = [&] {
            QStringList names;
            for (const QList<QVariant>& args : qAsConst(spy))
                names.append(tree.names(args.at(0).value<QModelIndexList>()));
            spy.clear();
            return names;
        };
        // The whole tree, when the view built it and on resets: a flagged leaf never
        connections.onTreeCreated();
        tree.reset();
        QCOMPARE(requests(), (QStringList { "b1,A", "b1,A" }));
        // Expanded: the flag is stored, the node first; collapsed: only descendants; leaves ignored
        connections.onRowExpanded(tree.find("B"), true);
        connections.onRowExpanded(tree.find("B"), false);
        connections.onRowExpanded(tree.find("c1"), true);
        QCOMPARE(requests(), (QStringList { "B,b1", "b1" }));
        // A flagged node comes with its first children; later only new subtrees are looked into
        QStandardItem* x = node("X", true);
        tree.item(0)->appendRow(x);
        x->appendRow(node("x1"));
        x->appendRow(node("x2"));
        x->appendRow(node("x3", true, { node("y") }));
        tree.item(1)->appendRow(node("b2", false, { node("d") }));
        QCOMPARE(requests(), (QStringList { "X", "x3" }));
        // An index of another model never reaches the model
        SampleTree other;
        connections.onRowExpanded(other.find("B"), true);
        QCOMPARE(tree.calls, (QStringList { "B=true", "B=false" }));
    }

    void shouldFollowNodeThatMovesWhenItsFlagChanges()
    {
        // Given a view on a proxy that sorts by the flag itself, so storing it rearranges the rows
        SampleTree tree;
        tree.item(0)->setData(false, flagRole());
        QSortFilterProxyModel proxy;
        proxy.setSortRole(flagRole());
        proxy.setSourceModel(&tree);
        proxy.sort(0, Qt::DescendingOrder);
        core::TreeExpandConnections connections;
        connections.setModel(&proxy);
        QSignalSpy spy(&connections, &core::TreeExpandConnections::requestExpandRows);
        const QModelIndex b = proxy.mapFromSource(tree.find("B"));
        // When B is expanded and moves above A, the request names B where it is now
        connections.onRowExpanded(b, true);
        QCOMPARE(spy.count(), 1);
        const QModelIndexList rows = spy.at(0).at(0).value<QModelIndexList>();
        QCOMPARE(rows.at(0), proxy.index(0, 0));
        QCOMPARE(rows.at(0).data().toString() + rows.at(1).data().toString(), QStringLiteral("Bb1"));
    }

    void shouldLiveAsLongAsBindingListens()
    {
        // Given a binding that calls modelData inline, so that nothing but the binding refers to the wrapper
        auto model = people();
        QQmlEngine engine;
        WrapperTracker tracker;
        engine.rootContext()->setContextProperties({ { QStringLiteral("utils"), QVariant::fromValue(&utils) },
            { QStringLiteral("people"), QVariant::fromValue(model.get()) }, { QStringLiteral("tracker"), QVariant::fromValue(&tracker) } });
        QQmlComponent component(&engine);
        component.setData("import QtQml 2.15\nQtObject { property var shown: tracker.track(utils.modelData(1, people, "
                + QByteArray::number(ageRole) + ")).value }", QUrl());
        std::unique_ptr<QObject> panel(component.create());
        QVERIFY2(panel, qPrintable(component.errorString()));
        const auto collectGarbage = [&engine] {
            engine.collectGarbage();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        // When the model changes again and again, with collections in between, the binding follows
        for (int round = 0; round < 10; ++round) {
            model->item(1)->setData(round, ageRole);
            collectGarbage();
            QCOMPARE(panel->property("shown"), QVariant(round));
        }
        // And rows inserted or removed anywhere, and resets
        model->insertRows(0, 1);
        QCOMPARE(panel->property("shown"), QVariant(30));
        model->item(1)->appendRow(new QStandardItem);
        model->removeRows(0, 1);
        QCOMPARE(panel->property("shown"), QVariant(9));
        model->clear();
        QVERIFY(!panel->property("shown").isValid());
        // Then the engine owns the wrappers: only the one of the current evaluation is left
        collectGarbage();
        QCOMPARE(tracker.alive(), 1);
        // And once the binding is gone, so is its wrapper
        panel.reset();
        collectGarbage();
        QCOMPARE(tracker.alive(), 0);
    }

    void shouldKeepHelpersConsistentWhileModelsComeAndGo_data()
    {
        QTest::addColumn<bool>("tree");
        QTest::addColumn<uint>("seed");
        QTest::newRow("flat") << false << 20261206u;
        QTest::newRow("tree") << true << 20261207u;
    }
    void shouldKeepHelpersConsistentWhileModelsComeAndGo()
    {
        // The helpers under test follow sources that change, come and go; neighbours (more proxies,
        // watchers, connections and table proxies) come and go around them in random orders.
        QFETCH(bool, tree);
        QFETCH(uint, seed);
        RandomRun random(seed, 2000);
        cvtest::MessageGuard messages;
        std::vector<QPointer<QObject>> sources, neighbours;
        const auto pick = [&random](const std::vector<QPointer<QObject>>& list) {
            return list.empty() ? nullptr : list[std::size_t(random.below(int(list.size())))].data();
        };
        core::SortFilterModel sorting;
        core::ModelWatcher watcher;
        core::TreeExpandConnections connections;
        QPointer<QAbstractItemModel> watched; // the watcher's and the connection's model
        QAbstractItemModelTester sortingTester(&sorting, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy requests(&connections, &core::TreeExpandConnections::requestExpandRows);
        while (random.next()) {
            requests.clear();
            if (!pick(sources) || random.chance(3)) {
                auto* made = new ReliabilityRandomModel(tree);
                made->reset(random.below(10), headers(1 + random.below(4)), &RandomRun::draw, &random);
                sources.emplace_back(made);
            }
            auto* active = static_cast<ReliabilityRandomModel*>(pick(sources));
            const int operation = random.below(active ? 18 : 4);
            const std::vector<QModelIndex> parents = active ? active->parents() : std::vector<QModelIndex>(1);
            const QModelIndex parent = parents[std::size_t(random.below(int(parents.size())))];
            const int rows = active ? active->rowCount(parent) : 0;
            const int columns = active ? active->columnCount() : 0;
            const int firstColumn = tree && columns > 0 ? 1 : 0; // a tree keeps column 0
            const int column = random.argument(sorting.columnCount());
            QObject* neighbour = nullptr;
            switch (operation) {
            case 0: delete pick(random.chance(50) ? neighbours : sources); break;
            case 1: if (QObject* gone = pick(neighbours)) gone->deleteLater(); break;
            case 2: QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); break;
            case 3: sorting.setSortColumn(column), sorting.setAscending(random.chance(50)); break;
            case 4: sorting.setSortRoleName(QLatin1String(random.chance(50) ? "display" : "decoration")); break;
            case 5: sorting.setSourceModel(random.chance(20) ? static_cast<QAbstractItemModel*>(&sorting) : random.chance(20) ? nullptr : active); break;
            case 6: active->touchCells(parent, random.below(rows), 0, columns - 1); break;
            case 7: watcher.setModel(watched = random.chance(20) ? nullptr : active), connections.setModel(watched); break;
            case 8: connections.onRowExpanded(active->index(random.argument(rows), 0, parent), random.chance(50)); break;
            case 9: active->insertRowsAt(parent, random.below(rows + 1), 1 + random.below(3)); break;
            case 10: active->removeRowsAt(parent, random.below(rows), 1 + random.below(2)); break;
            case 11: active->moveRowsTo(parent, random.below(rows), 1, parent, random.below(rows + 1)); break;
            case 12: active->insertColumnsAt(firstColumn + random.below(columns + 1 - firstColumn), headers(1)); break;
            case 13: active->removeColumnsAt(firstColumn + random.below(columns - firstColumn), 1); break;
            case 14: active->setData(active->index(random.below(rows), 0, parent), random.chance(50), flagRole()); break;
            case 15: // sometimes rows without any column
                active->reset(random.below(12), headers(random.chance(10) ? 0 : 1 + random.below(4)),
                    &RandomRun::draw, &random);
                break;
            case 16:
                // Proxies only over plain sources: a proxy stacked on a proxy reads freed memory in Qt
                // 5.15 once the lower proxy's source is destroyed (the lower proxy falls back to an
                // empty model without a reset), so stacks are not part of this run.
                neighbours.emplace_back(neighbour = random.chance(25) ? static_cast<QObject*>(new core::SortFilterModel)
                        : random.chance(33) ? static_cast<QObject*>(new core::IdentityProxyModel)
                        : random.chance(50) ? static_cast<QObject*>(new core::SortFilterSelectModel) : new core::ModelWatcher);
                if (auto* proxy = qobject_cast<QAbstractProxyModel*>(neighbour))
                    proxy->setSourceModel(active);
                else
                    static_cast<core::ModelWatcher*>(neighbour)->setModel(active);
                break;
            default: connections.onTreeCreated(); break;
            }
            QString broken = operation == 3 && sorting.sortColumn() != std::max(column, -1)
                ? QStringLiteral("sorts by column %1").arg(sorting.sortColumn())
                : brokenRowMapping(sorting, random.argument(sorting.rowCount()), random.argument(sorting.rowCount()));
            if (watcher.rows() != (watched ? watched->rowCount() : -1) || connections.model() != watched)
                broken += QStringLiteral("the watcher counts %1 rows, or the connection follows another model").arg(watcher.rows());
            for (const QList<QVariant>& args : qAsConst(requests)) {
                const QModelIndexList rows = args.at(0).value<QModelIndexList>();
                for (const QModelIndex& index : rows.isEmpty() ? QModelIndexList { QModelIndex() } : rows) {
                    if (index.model() != watched || !index.data(flagRole()).toBool() || watched->rowCount(index) < 1)
                        broken = QStringLiteral("requested a node that is not a flagged parent, or nothing");
                }
            }
            broken += QTest::currentTestFailed() ? QStringLiteral("a model tester failed") : messages.takeProblems();
            QVERIFY2(broken.isEmpty(), qPrintable(random.where(QStringLiteral("operation %1: ").arg(operation)) + broken));
        }
        // Everything left goes in a random order too.
        neighbours.insert(neighbours.end(), sources.begin(), sources.end());
        std::shuffle(neighbours.begin(), neighbours.end(), std::mt19937(std::uint32_t(random.below(1 << 30))));
        for (const QPointer<QObject>& object : neighbours)
            delete object.data();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(messages.takeProblems().isEmpty());
    }
};

QTEST_MAIN(tst_ModelHelpers)
#include "tst_modelhelpers.moc"
