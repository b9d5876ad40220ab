// Corvane.Core tests.
#include "models/identityproxymodel.h"


#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QtTest>


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
};

QTEST_GUILESS_MAIN(tst_IdentityProxyModel)
#include "tst_identityproxymodel.moc"
