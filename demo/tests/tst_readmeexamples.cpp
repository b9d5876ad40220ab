// Corvane demo host application: every "use it in your panel" example of the README compiles and
// creates its objects against the module as built, with the demo's host objects standing in for
// the panel's host objects.
#include "demohost.h"
#include "demoimages.h"
#include "filetreemodel.h"
#include "layertablemodel.h"

#include <lumen/textrowfilter.h>

#include <QFile>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QtTest>

namespace
{
QStringList moduleMessages;
QtMessageHandler previousHandler = nullptr;

// The module's diagnostics say when an example does not do what it shows (a role not found, an
// image missing); they are collected, everything else goes on as usual.
void collectMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtDebugMsg
        && (message.contains(QLatin1String("not found")) || message.contains(QLatin1String("Missing"))))
        moduleMessages << message;
    previousHandler(type, context, message);
}
}

class tst_ReadmeExamples : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldCreateEveryPanelExample_data();
    void shouldCreateEveryPanelExample();
};

void tst_ReadmeExamples::shouldCreateEveryPanelExample_data()
{
    QTest::addColumn<QString>("snippet");
    QFile readme(QStringLiteral(CV_SOURCE_DIR "/README.md"));
    QVERIFY(readme.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString text = QString::fromUtf8(readme.readAll());
    const QRegularExpression block(QStringLiteral("```qml\\n(.*?)```"), QRegularExpression::DotMatchesEverythingOption);
    int count = 0;
    for (auto match = block.globalMatch(text); match.hasNext();) {
        const QString snippet = match.next().captured(1);
        const QString firstLine = snippet.section(QLatin1Char('\n'), 0, 0);
        QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(++count).arg(firstLine.left(60)))) << snippet;
    }
    QVERIFY2(count >= 15, "the README lost its panel examples");
}

void tst_ReadmeExamples::shouldCreateEveryPanelExample()
{
    QFETCH(QString, snippet);
    // Given the panel's host objects
    demo::LayerTableModel hostModel;
    demo::FileTreeModel hostTree(3, 4);
    demo::DemoImages hostImages;
    lum::TextRowFilter hostFilter;
    QQmlEngine engine;
    engine.addImportPath(QStringLiteral(CV_QML_IMPORT_DIR));
    engine.rootContext()->setContextProperty(QStringLiteral("hostModel"), &hostModel);
    engine.rootContext()->setContextProperty(QStringLiteral("hostTree"), &hostTree);
    engine.rootContext()->setContextProperty(QStringLiteral("hostImages"), &hostImages);
    engine.rootContext()->setContextProperty(QStringLiteral("hostFilter"), &hostFilter);

    // When the example is placed in a panel, with the names it leaves to the panel
    const std::pair<const char*, const char*> panelNames[] = {
        { "menu", "Menu { id: menu }" },
        { "panelContent", "Item { id: panelContent }" },
        { "treeView", "ListView { id: treeView; function expand(index) {} }" },
        { "files", "SortFilterSelectModel { id: files }" },
        { "layers", "SortFilterSelectModel { id: layers; Component.onCompleted: sourceModel = hostModel }" },
    };
    QString panelNamesText = QStringLiteral("    property bool darkTheme: false\n    function purge() {}\n");
    for (const auto& name : panelNames) {
        if (!snippet.contains(QStringLiteral("id: ") + QLatin1String(name.first)))
            panelNamesText += QStringLiteral("    ") + QLatin1String(name.second) + QLatin1Char('\n');
    }
    const QString document = QStringLiteral(
        "import QtQuick 2.15\nimport QtQuick.Controls 2.15\nimport QtQuick.Window 2.15\nimport QtQml.Models 2.15\n"
        "import Corvane.Core 1.0\n"
        "Item {\n%1%2\n}\n")
                                 .arg(panelNamesText, snippet);
    moduleMessages.clear();
    previousHandler = qInstallMessageHandler(collectMessages);
    QQmlComponent component(&engine);
    component.setData(document.toUtf8(), QUrl(QStringLiteral("file:///readme-example.qml")));

    // Then it compiles and creates every object
    QVERIFY2(!component.isError(), qPrintable(component.errorString()));
    std::unique_ptr<QObject> panel(component.create());
    qInstallMessageHandler(previousHandler);
    QVERIFY2(panel, qPrintable(component.errorString()));

    // And does what it shows, without the module reporting anything amiss
    QVERIFY2(moduleMessages.isEmpty(), qPrintable(moduleMessages.join(QLatin1Char('\n'))));
}

QTEST_MAIN(tst_ReadmeExamples)

#include "tst_readmeexamples.moc"
