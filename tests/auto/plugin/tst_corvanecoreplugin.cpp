// Corvane.Core tests.
#include <lumen/settings.h>

#include <QDoubleValidator>
#include <QJsonObject>
#include <QPluginLoader>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QScopedPointer>
#include <QThread>
#include <QtTest>

namespace
{
const QString pluginPath = QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/libqt_plugin_core.so");

QObject* singleton(QQmlEngine& engine, const QByteArray& uri, const QByteArray& name)
{
    QQmlComponent component(&engine);
    component.setData("import " + uri + " 1.0\nimport QtQml 2.15\nQtObject { property QtObject value: " + name + " }",
                      QUrl());
    QScopedPointer<QObject> holder(component.create());
    if (!holder) {
        qWarning() << component.errors();
        return nullptr;
    }
    return holder->property("value").value<QObject*>();
}
}

class tst_CorvaneCorePlugin : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // A German system locale writes "1,5" for one and a half; the validator must not follow it.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        m_plugin = qobject_cast<QQmlExtensionPlugin*>(m_loader.instance());
        QVERIFY2(m_plugin, qPrintable(m_loader.errorString()));

        // Given the first registration of the process runs on a loader thread, as the engine may do
        QThread* loaderThread = QThread::create([this] { m_plugin->registerTypes("Corvane.Threaded"); });
        loaderThread->start();
        QVERIFY(loaderThread->wait(10000));
        delete loaderThread;
    }

    void shouldDescribeItselfInMetadata()
    {
        const QJsonObject metaData = m_loader.metaData();
        QCOMPARE(metaData.value(QLatin1String("IID")).toString(), QStringLiteral("Corvane.Core/1.0"));
        QCOMPARE(metaData.value(QLatin1String("className")).toString(), QStringLiteral("CorvaneCorePlugin"));
        QVERIFY(metaData.value(QLatin1String("MetaData")).toObject().isEmpty());
        // The module's qmldir names the same class
        QFile qmldir(QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/qmldir"));
        QVERIFY(qmldir.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(qmldir.readAll()).split(QLatin1Char('\n')).contains(QStringLiteral("classname CorvaneCorePlugin")));
    }

    void shouldPutProcessWideObjectsOnApplicationThread()
    {
        QObject* validator = singleton(m_engine, "Corvane.Threaded", "CVDoubleValidator");
        QVERIFY(validator);
        QCOMPARE(validator->thread(), qApp->thread());
        QObject* settings = singleton(m_engine, "Corvane.Threaded", "CVSettings");
        QCOMPARE(settings, static_cast<QObject*>(lum::Settings::instance()));
        QCOMPARE(settings->thread(), qApp->thread());
        QCOMPARE(QQmlEngine::objectOwnership(validator), QQmlEngine::CppOwnership);
    }

    void shouldValidateNumbersInCLocale_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("acceptable");
        QTest::newRow("decimal point") << "1.5" << true;
        QTest::newRow("exponent") << "-2e3" << true;
        QTest::newRow("group separator") << "1,000" << false;
        QTest::newRow("decimal comma") << "1,5" << false;
    }
    void shouldValidateNumbersInCLocale()
    {
        QFETCH(QString, input);
        QFETCH(bool, acceptable);
        auto* validator = qobject_cast<QDoubleValidator*>(singleton(m_engine, "Corvane.Threaded", "CVDoubleValidator"));
        QVERIFY(validator);
        QCOMPARE(validator->locale().decimalPoint(), QLatin1Char('.'));
        int position = 0;
        QCOMPARE(validator->validate(input, position) == QValidator::Acceptable, acceptable);
    }

    void shouldReuseValidatorOnSecondRegistration()
    {
        QObject* first = singleton(m_engine, "Corvane.Threaded", "CVDoubleValidator");
        QVERIFY(first);

        // When the entry runs again, under another module name
        m_plugin->registerTypes("Corvane.Again");

        // Qt notes that the object is already known to the engine: it is the same object.
        QTest::ignoreMessage(QtWarningMsg, "QQmlEngine::setContextForObject(): Object already has a QQmlContext");

        QObject* second = singleton(m_engine, "Corvane.Again", "CVDoubleValidator");
        QCOMPARE(second, first);
    }

private:
    QPluginLoader m_loader{pluginPath};
    QQmlExtensionPlugin* m_plugin = nullptr;
    // A singleton instance is handed to one engine only.
    QQmlEngine m_engine;
};

QTEST_MAIN(tst_CorvaneCorePlugin)
#include "tst_corvanecoreplugin.moc"
