// Corvane.Core tests.
#include "models/identityproxymodel.h"
#include "support/helpers_treemodel.h"

#include <lumen/treeroles.h>

#include <QAbstractItemModelTester>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QtTest>

using cvtest::HelpersTreeModel;

class tst_IdentityProxyModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldUseIdentityProxyMetaObject()
    {
        core::IdentityProxyModel proxy;
        // QML sees a plain identity proxy whose sourceModel property it may write
        QCOMPARE(proxy.metaObject(), &QIdentityProxyModel::staticMetaObject);
        QVERIFY(proxy.setProperty("sourceModel", QVariant::fromValue<QAbstractItemModel*>(nullptr)));
    }

    void shouldRefuseItselfAsSource_data()
    {
        QTest::addColumn<int>("chainLength");
        QTest::newRow("itself") << 0;
        QTest::newRow("through one proxy") << 1;
        QTest::newRow("through three proxies") << 3;
    }

    void shouldRefuseItselfAsSource()
    {
        // Given a proxy on a real source, and a chain of proxies above it
        QFETCH(int, chainLength);
        QStandardItemModel source(2, 1);
        core::IdentityProxyModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
        proxy.setSourceModel(&source);
        std::vector<std::unique_ptr<QSortFilterProxyModel>> chain;
        QAbstractItemModel* top = &proxy;
        for (int level = 0; level < chainLength; ++level) {
            chain.push_back(std::make_unique<QSortFilterProxyModel>());
            chain.back()->setSourceModel(top);
            top = chain.back().get();
        }
        QSignalSpy sourceSpy(&proxy, &QAbstractProxyModel::sourceModelChanged);

        // When the top of the chain is assigned as the proxy's source
        QVERIFY(proxy.setProperty("sourceModel", QVariant::fromValue(top)));

        // Then the proxy keeps its source instead of asking itself for rows forever
        QCOMPARE(proxy.sourceModel(), &source);
        QCOMPARE(sourceSpy.count(), 0);
        QCOMPARE(proxy.rowCount(), 2);
    }

    void shouldMirrorSourceUnderRandomChanges()
    {
        // CV_SEED replays a failed run.
        const quint32 seed
            = qEnvironmentVariableIsSet("CV_SEED") ? quint32(qEnvironmentVariableIntValue("CV_SEED")) : 2718u;
        QRandomGenerator random(seed);
        HelpersTreeModel first;
        HelpersTreeModel second;
        core::IdentityProxyModel proxy;
        QAbstractItemModelTester tester(&proxy, QAbstractItemModelTester::FailureReportingMode::Fatal);
        proxy.setSourceModel(&first);

        for (int step = 0; step < 1500; ++step) {
            const QString context = QStringLiteral("seed %1, step %2").arg(seed).arg(step);
            auto* source = static_cast<HelpersTreeModel*>(proxy.sourceModel());
            // A random node of the source, by walking down from the root
            QModelIndex node;
            while (source && source->rowCount(node) > 0 && random.bounded(3) > 0)
                node = source->index(random.bounded(source->rowCount(node)), 0, node);
            const int nodeId = node.isValid() ? int(node.internalId()) : HelpersTreeModel::rootId;
            switch (random.bounded(7)) {
            case 0:
            case 1:
                if (source)
                    source->addNode(nodeId, QStringLiteral("n%1").arg(step));
                break;
            case 2:
                if (source && node.isValid())
                    source->removeNode(nodeId);
                break;
            case 3:
                if (source)
                    source->setData(node, bool(random.bounded(2)), lum::getWantsToBeExpandedRole());
                break;
            case 4:
                if (source)
                    source->resetKeepingNodes();
                break;
            case 5:
                proxy.setSourceModel(random.bounded(4) ? (random.bounded(2) ? &first : &second) : nullptr);
                break;
            case 6:
                proxy.setSourceModel(&proxy);
                break;
            }

            // Then the proxy shows the source's tree, node for node
            source = static_cast<HelpersTreeModel*>(proxy.sourceModel());
            QVERIFY2(proxy.sourceModel() != &proxy, qPrintable(context));
            QModelIndexList pending { QModelIndex() };
            while (!pending.isEmpty()) {
                const QModelIndex proxyParent = pending.takeLast();
                const QModelIndex sourceParent = proxy.mapToSource(proxyParent);
                const int rows = proxy.rowCount(proxyParent);
                QVERIFY2(rows == (source ? source->rowCount(sourceParent) : 0), qPrintable(context));
                for (int row = 0; row < rows; ++row) {
                    const QModelIndex child = proxy.index(row, 0, proxyParent);
                    QVERIFY2(child.data() == source->index(row, 0, sourceParent).data(), qPrintable(context));
                    pending.append(child);
                }
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_IdentityProxyModel)
#include "tst_identityproxymodel.moc"
