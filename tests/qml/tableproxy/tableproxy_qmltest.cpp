// Corvane.Core tests.
#include "support/reliability_randommodel.h"

#include <QQmlEngine>
#include <QtQuickTest>

// A table source model that QML tests can fill.
class TableSource : public cvtest::ReliabilityRandomModel
{
    Q_OBJECT

public:
    explicit TableSource(QObject* parent = nullptr)
        : ReliabilityRandomModel(true, parent)
    {
    }
    /// Columns named and identified by the letters of names, rows of cells "<letter><row>".
    Q_INVOKABLE void fill(const QString& names, int rows) { build(names, rows); }
};

class Setup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void qmlEngineAvailable(QQmlEngine*) { qmlRegisterType<TableSource>("Corvane.Test", 1, 0, "TableSource"); }
};

QUICK_TEST_MAIN_WITH_SETUP(tableproxy, Setup)

#include "tableproxy_qmltest.moc"
