// Corvane.Core tests.
#include "items/qtutils.h"
#include "models/qtmodelutils.h"
#include "support/messagecapture.h"

#include <QJSEngine>
#include <QQmlEngine>
#include <QRegularExpression>
#include <QtTest>

using core::QtUtils;

class tst_QtUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shouldFindThemedIconWithFallbacks_data()
    {
        QTest::addColumn<QString>("image");
        QTest::addColumn<int>("theme");
        QTest::addColumn<int>("size"); // 0 asks for the scalable icon
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("log");

        const QStringList quiet;
        QTest::newRow("svg in requested theme") << "open" << 0 << 0 << "qrc:/svg/dark/open.svg" << quiet;
        QTest::newRow("svg light theme") << "open" << 1 << 0 << "qrc:/svg/light/open.svg" << quiet;
        QTest::newRow("svg pink falls back to light") << "open" << 2 << 0 << "qrc:/svg/light/open.svg" << quiet;
        QTest::newRow("theme 3 is light") << "open" << 3 << 0 << "qrc:/svg/light/open.svg" << quiet;
        QTest::newRow("theme -1 is light") << "open" << -1 << 0 << "qrc:/svg/light/open.svg" << quiet;
        QTest::newRow("svg suffix not doubled") << "open.svg" << 1 << 0 << "qrc:/svg/light/open.svg" << quiet;
        QTest::newRow("upper-case suffix is part of the name")
            << "open.SVG" << 1 << 0 << "qrc:/svg/light/open.SVG.svg" << quiet;
        QTest::newRow("svg in sub-directory") << "tools/cut" << 0 << 0 << "qrc:/svg/light/tools/cut.svg" << quiet;
        QTest::newRow("png in requested theme") << "save" << 0 << 24 << "qrc:/toolicons/24/dark/save.png" << quiet;
        QTest::newRow("png pink falls back to light") << "open" << 2 << 24 << "qrc:/toolicons/24/light/open.png" << quiet;
        QTest::newRow("png suffix not doubled") << "open.png" << 1 << 24 << "qrc:/toolicons/24/light/open.png" << quiet;
        QTest::newRow("empty svg name") << "" << 0 << 0 << "" << quiet;
        QTest::newRow("empty png name") << "" << 0 << 24 << "" << quiet;

        QTest::newRow("svg deprecated location")
            << "legacy" << 0 << 0 << "qrc:/svg/legacy.svg"
            << QStringList { QStringLiteral("Missing Dark/Light themed image for:  \"legacy\" "),
                   QStringLiteral("Path searched:  \":/svg/light/legacy.svg\""),
                   QStringLiteral("Deprecated path found for themed image:  \"legacy\" "),
                   QStringLiteral("Path found:  \":/svg/legacy.svg\"") };
        QTest::newRow("png deprecated location")
            << "legacy" << 2 << 16 << "qrc:/toolicons/16/legacy.png"
            << QStringList { QStringLiteral("Missing Dark/Light themed image for:  \"legacy\" "),
                   QStringLiteral("Path searched:  \":/toolicons/16/light/legacy.png\""),
                   QStringLiteral("Deprecated path found for themed image:  \"legacy\" "),
                   QStringLiteral("Path found:  \":/toolicons/16/legacy.png\"") };
        QTest::newRow("svg missing everywhere")
            << "nothing" << 1 << 0 << "qrc:/bitmaps/blank_item.png"
            << QStringList { QStringLiteral("Missing Dark/Light themed image for:  \"nothing\" "),
                   QStringLiteral("Path searched:  \":/svg/light/nothing.svg\""),
                   QStringLiteral("Missing default themed image:  \"nothing\"") };
        QTest::newRow("png of another size missing")
            << "open" << 1 << 32 << "qrc:/bitmaps/blank_item.png"
            << QStringList { QStringLiteral("Missing Dark/Light themed image for:  \"open\" "),
                   QStringLiteral("Path searched:  \":/toolicons/32/light/open.png\""),
                   QStringLiteral("Missing default themed image:  \"open\"") };
    }

    void shouldFindThemedIconWithFallbacks()
    {
        QFETCH(QString, image);
        QFETCH(int, theme);
        QFETCH(int, size);
        QFETCH(QString, url);
        QFETCH(QStringList, log);

        // Given the test's own icons in the resource system
        QtUtils utils;
        QString result;
        QStringList lines;
        {
            cvtest::MessageCapture capture;
            // When the icon is looked up
            result = size ? utils.themePathPng(image, theme, size) : utils.themePathSvg(image, theme);
            for (const QString& message : capture.messages())
                lines += message.split(QLatin1Char('\n'));
        }

        // Then the URL names the best candidate and every missing level is reported
        QCOMPARE(result, url);
        QCOMPARE(lines, log);
        // The URL opens what it names.
        if (!url.isEmpty())
            QVERIFY(QFile::exists(url.mid(3)));
    }

    void shouldAnswerOneLineHelpers()
    {
        QtUtils utils;
        // Whole file names free of * ? / : " < > |
        const QRegularExpression names(utils.validFileNameRegularExpression());
        for (const char* bad : {"*", "?", "/", ":", "\"", "<", ">", "|"})
            QVERIFY2(!names.match(QStringLiteral("a%1b").arg(QLatin1String(bad))).hasMatch(), bad);
        QVERIFY(names.match(QString()).hasMatch() && names.match(QStringLiteral("drawing 1.dwg")).hasMatch());
        QObject parent;
        QCOMPARE(utils.getObjectParent(new QObject(&parent)), &parent);
        QCOMPARE(utils.getObjectParent(nullptr), nullptr);
        QVERIFY(!utils.imageValid(QImage()) && utils.imageValid(QImage(1, 1, QImage::Format_ARGB32)));
    }

    void shouldKeepAHostObjectThatQmlReceives_data()
    {
        QTest::addColumn<QString>("call");
        QTest::newRow("parent of a child") << "utils.getObjectParent(child)";
        QTest::newRow("object held by a property") << "modelUtils.propertyValue(holder, 'model')";
    }
    void shouldKeepAHostObjectThatQmlReceives()
    {
        QFETCH(QString, call);
        // A host's parentless model, known to QML through a child or a property only
        QQmlEngine engine;
        QtUtils utils;
        core::QtModelUtils modelUtils;
        QObject holder;
        auto* host = new QObject;
        const QPointer<QObject> guard(host);
        holder.setProperty("model", QVariant::fromValue(host));
        for (auto [name, object] : {std::pair<const char*, QObject*>{"utils", &utils}, {"modelUtils", &modelUtils},
                 {"holder", &holder}, {"child", new QObject(host)}}) {
            QQmlEngine::setObjectOwnership(object, QQmlEngine::CppOwnership);
            engine.globalObject().setProperty(QLatin1String(name), engine.newQObject(object));
        }
        QVERIFY(!engine.evaluate(QStringLiteral("(function() { %1; })()").arg(call)).isError());
        engine.collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard);
        delete host;
    }
};

QTEST_MAIN(tst_QtUtils)
#include "tst_qtutils.moc"
