// Corvane demo host application: QtQuickTest runner for the demo's panels, with the demo's host.
#include "demohost.h"
#include "treerowsmodel.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QTemporaryDir>
#include <QtQml>
#include <QtQuickTest>

#include <memory>

class DemoPanelsSetup : public QObject
{
    Q_OBJECT

public:
    DemoPanelsSetup()
    {
        // Every run starts without stored column layouts: the panels save theirs as they change.
        qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    }

public Q_SLOTS:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        qmlRegisterType<demo::TreeRowsModel>("Corvane.Demo", 1, 0, "TreeRowsModel");
        // One host per engine, and one application object at a time.
        m_host.reset();
        m_host = std::make_unique<demo::DemoHost>();
        m_host->exposeTo(engine->rootContext());
        engine->rootContext()->setContextProperty(QStringLiteral("initialPage"), QStringLiteral("layers"));
    }

private:
    QTemporaryDir m_config;
    std::unique_ptr<demo::DemoHost> m_host;
};

QUICK_TEST_MAIN_WITH_SETUP(demopanels, DemoPanelsSetup)

#include "tst_demopanels.moc"
