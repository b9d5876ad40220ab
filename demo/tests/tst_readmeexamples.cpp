// Corvane demo host application: every "use it in your panel" example of the README compiles and
// creates its objects against the module as built, with the demo's host objects standing in for
// the panel's host objects.
#include "demohost.h"
#include "demoimages.h"
#include "filetreemodel.h"
#include "layertablemodel.h"

#include <lumen/textrowfilter.h>

#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QtTest>

namespace
{
// The module's diagnostics say when an example does not do what it shows (a role not found, an
// image missing); they are collected, everything else goes on as usual.
QStringList moduleMessages;
QtMessageHandler previousHandler = nullptr;
}

class tst_ReadmeExamples : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldCreateEveryPanelExample_data()
    {
        QTest::addColumn<QString>("snippet");
        QFile readme(QStringLiteral(CV_SOURCE_DIR "/README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
        const QRegularExpression block(
            QStringLiteral("```qml\\n(.*?)```"), QRegularExpression::DotMatchesEverythingOption);
        int count = 0;
        for (auto match = block.globalMatch(QString::fromUtf8(readme.readAll())); match.hasNext();) {
            const QString snippet = match.next().captured(1);
            QTest::addRow("%d: %s", ++count, qPrintable(snippet.section(QLatin1Char('\n'), 0, 0).left(60))) << snippet;
        }
        QVERIFY2(count >= 15, "the README lost its panel examples");
    }

    void shouldCreateEveryPanelExample()
    {
        QFETCH(QString, snippet);
        demo::LayerTableModel hostModel;
        demo::FileTreeModel hostTree(3, 4);
        demo::DemoImages hostImages;
        lum::TextRowFilter hostFilter;
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral(CV_QML_IMPORT_DIR));
        const std::pair<const char*, QObject*> hostObjects[] = { { "hostModel", &hostModel }, { "hostTree", &hostTree },
            { "hostImages", &hostImages }, { "hostFilter", &hostFilter } };
        for (const auto& object : hostObjects)
            engine.rootContext()->setContextProperty(QLatin1String(object.first), object.second);

        // The example goes into a panel that declares the names it leaves to the panel
        QString panel = QStringLiteral("import QtQuick 2.15\nimport QtQuick.Controls 2.15\nimport QtQuick.Window 2.15\n"
                                       "import QtQml.Models 2.15\nimport Corvane.Core 1.0\n"
                                       "Item {\n    property bool darkTheme: false\n    function purge() {}\n");
        const std::pair<const char*, const char*> panelNames[] = { { "menu", "Menu { id: menu }" },
            { "panelContent", "Item { id: panelContent }" },
            { "treeView", "ListView { id: treeView; function expand(index) {} }" },
            { "files", "SortFilterSelectModel { id: files }" },
            { "layers", "SortFilterSelectModel { id: layers; Component.onCompleted: sourceModel = hostModel }" } };
        for (const auto& name : panelNames) {
            if (!snippet.contains(QStringLiteral("id: ") + QLatin1String(name.first)))
                panel += QLatin1String(name.second) + QLatin1Char('\n');
        }
        moduleMessages.clear();
        previousHandler
            = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                  if (type == QtDebugMsg
                      && (message.contains(QLatin1String("not found")) || message.contains(QLatin1String("Missing"))))
                      moduleMessages << message;
                  previousHandler(type, context, message);
              });
        QQmlComponent component(&engine);
        component.setData(
            (panel + snippet + QLatin1Char('}')).toUtf8(), QUrl(QStringLiteral("file:///readme-example.qml")));
        std::unique_ptr<QObject> created(component.isError() ? nullptr : component.create());
        qInstallMessageHandler(previousHandler);

        // It compiles, creates every object, and does what it shows without the module reporting anything amiss
        QVERIFY2(created, qPrintable(component.errorString()));
        QVERIFY2(moduleMessages.isEmpty(), qPrintable(moduleMessages.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(tst_ReadmeExamples)

#include "tst_readmeexamples.moc"
