// Corvane.Core tests: the built plugin as the QML engine loads it.
#include <lumen/settings.h>

#include <QDoubleValidator>
#include <QJsonObject>
#include <QPluginLoader>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQmlExtensionPlugin>
#include <QThread>
#include <QtTest>

class tst_CorvaneCorePlugin : public QObject
{
    Q_OBJECT

    QPluginLoader m_loader{QStringLiteral(CV_BINARY_DIR "/qml/Corvane/Core/libqt_plugin_core.so")};
    QQmlExtensionPlugin* m_plugin = nullptr;
    // A singleton instance is handed to one engine only.
    QQmlEngine m_engine;

    QObject* singleton(const QByteArray& uri, const QByteArray& name)
    {
        QQmlComponent component(&m_engine);
        component.setData("import " + uri + " 1.0\nimport QtQml 2.15\nQtObject { property QtObject value: " + name + " }", QUrl());
        QScopedPointer<QObject> holder(component.create());
        return holder ? holder->property("value").value<QObject*>() : nullptr;
    }

private Q_SLOTS:
    void initTestCase()
    {
        // A German system locale writes "1,5" for one and a half; the validator must not follow it.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        m_plugin = qobject_cast<QQmlExtensionPlugin*>(m_loader.instance());
        QVERIFY2(m_plugin, qPrintable(m_loader.errorString()));
        // The first registration of the process runs on a loader thread, as the engine may do it
        QScopedPointer<QThread> loaderThread(QThread::create([this] { m_plugin->registerTypes("Corvane.Threaded"); }));
        loaderThread->start();
        QVERIFY(loaderThread->wait(10000));
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

    void shouldKeepProcessWideObjectsOnTheApplicationThreadAndValidateInCLocale()
    {
        auto* validator = qobject_cast<QDoubleValidator*>(singleton("Corvane.Threaded", "CVDoubleValidator"));
        QObject* settings = singleton("Corvane.Threaded", "CVSettings");
        QVERIFY(validator && validator->thread() == qApp->thread() && settings->thread() == qApp->thread());
        QCOMPARE(settings, static_cast<QObject*>(lum::Settings::instance()));
        QCOMPARE(QQmlEngine::objectOwnership(validator), QQmlEngine::CppOwnership);
        QCOMPARE(validator->locale().decimalPoint(), QLatin1Char('.'));
        for (const auto& [input, acceptable] : {std::pair<QString, bool>{"1.5", true}, {"-2e3", true}, {"1,000", false}, {"1,5", false}}) {
            int position = 0;
            QString text = input;
            QVERIFY2((validator->validate(text, position) == QValidator::Acceptable) == acceptable, qPrintable(input));
        }
    }

    void shouldReuseValidatorOnSecondRegistration()
    {
        QObject* first = singleton("Corvane.Threaded", "CVDoubleValidator");
        QVERIFY(first);
        m_plugin->registerTypes("Corvane.Again");
        // Qt 5 notes that the object is already known to the engine: it is the same object.
        if (CV_QT_MAJOR_VERSION == 5)
            QTest::ignoreMessage(QtWarningMsg, "QQmlEngine::setContextForObject(): Object already has a QQmlContext");
        QCOMPARE(singleton("Corvane.Again", "CVDoubleValidator"), first);
    }
};

QTEST_MAIN(tst_CorvaneCorePlugin)
#include "tst_corvanecoreplugin.moc"
