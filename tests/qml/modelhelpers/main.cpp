// Corvane.Core tests.
#include "support/helpers_modeltester.h"
#include "support/helpers_treemodel.h"

#include <QQmlEngine>
#include <QtQuickTest>

// Test-only types for the model helper tests, under their own URI.
class Setup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void applicationAvailable()
    {
        qmlRegisterType<cvtest::HelpersTreeModel>("Corvane.Test", 1, 0, "TestTreeModel");
        qmlRegisterType<cvtest::HelpersModelTester>("Corvane.Test", 1, 0, "ModelTester");
    }
};

QUICK_TEST_MAIN_WITH_SETUP(modelhelpers, Setup)

#include "main.moc"
