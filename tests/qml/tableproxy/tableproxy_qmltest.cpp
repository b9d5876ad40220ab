// Corvane.Core tests.
#include "support/tableproxy_testmodel.h"

#include <QQmlEngine>
#include <QtQuickTest>

// A table source model that QML tests can fill.
class TableSource : public cvtest::TableProxyTestModel
{
    Q_OBJECT

public:
    using TableProxyTestModel::TableProxyTestModel;

    /// Columns named and identified by the letters of names, rows of cells "<letter><row>".
    Q_INVOKABLE void fill(const QString& names, int rows) { build(names, rows); }
    Q_INVOKABLE void setHeaderRole(int column, int role, const QVariant& value) { setHeader(column, role, value); }
    Q_INVOKABLE void setCellText(int row, int column, const QString& text) { setCell(row, column, text); }
    Q_INVOKABLE void addChildRow(int parentRow, const QVariantList& cells) { appendChildRow(parentRow, cells); }
};

class Setup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void qmlEngineAvailable(QQmlEngine*) { qmlRegisterType<TableSource>("Corvane.Test", 1, 0, "TableSource"); }
};

QUICK_TEST_MAIN_WITH_SETUP(tableproxy, Setup)

#include "tableproxy_qmltest.moc"
