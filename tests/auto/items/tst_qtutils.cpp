// Corvane.Core tests.
#include "items/qtutils.h"
#include "models/qtmodelutils.h"
#include "support/messagecapture.h"

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
        const auto missing = [](const QString& image, const QString& searched, const QString& found) {
            return QStringList{QStringLiteral("Missing Dark/Light themed image for:  \"%1\" ").arg(image),
                       QStringLiteral("Path searched:  \"%1\"").arg(searched),
                       found.isEmpty() ? QStringLiteral("Missing default themed image:  \"%1\"").arg(image)
                                       : QStringLiteral("Deprecated path found for themed image:  \"%1\" ").arg(image)}
                + (found.isEmpty() ? QStringList() : QStringList{QStringLiteral("Path found:  \"%1\"").arg(found)});
        };
        QTest::newRow("svg in requested theme") << "open" << 0 << 0 << "qrc:/svg/dark/open.svg" << QStringList();
        QTest::newRow("pink falls back to light") << "open" << 2 << 0 << "qrc:/svg/light/open.svg" << QStringList();
        QTest::newRow("theme 3 is light") << "open" << 3 << 0 << "qrc:/svg/light/open.svg" << QStringList();
        QTest::newRow("svg suffix not doubled") << "open.svg" << 1 << 0 << "qrc:/svg/light/open.svg" << QStringList();
        QTest::newRow("upper-case suffix is part of the name") << "open.SVG" << 1 << 0 << "qrc:/svg/light/open.SVG.svg" << QStringList();
        QTest::newRow("png in requested theme") << "save" << 0 << 24 << "qrc:/toolicons/24/dark/save.png" << QStringList();
        QTest::newRow("empty name") << "" << 0 << 24 << "" << QStringList();
        QTest::newRow("svg deprecated location") << "legacy" << 0 << 0 << "qrc:/svg/legacy.svg"
                                                 << missing("legacy", ":/svg/light/legacy.svg", ":/svg/legacy.svg");
        QTest::newRow("png deprecated location") << "legacy" << 2 << 16 << "qrc:/toolicons/16/legacy.png"
                                                 << missing("legacy", ":/toolicons/16/light/legacy.png", ":/toolicons/16/legacy.png");
        QTest::newRow("missing everywhere") << "nothing" << 1 << 0 << "qrc:/bitmaps/blank_item.png"
                                            << missing("nothing", ":/svg/light/nothing.svg", QString());
    }
    void shouldFindThemedIconWithFallbacks()
    {
        QFETCH(QString, image);
        QFETCH(int, theme);
        QFETCH(int, size);
        QFETCH(QString, url);
        QtUtils utils;
        cvtest::MessageCapture capture;
        QTEST(size ? utils.themePathPng(image, theme, size) : utils.themePathSvg(image, theme), "url");
        // Every missing level is reported, and the URL opens what it names
        QTEST(capture.messages().join('\n').split('\n', Qt::SkipEmptyParts), "log");
        QVERIFY(url.isEmpty() || QFile::exists(url.mid(3)));
    }

    void shouldAnswerOneLineHelpers()
    {
        QtUtils utils;
        // Whole file names free of * ? / : " < > |
        const QRegularExpression names(utils.validFileNameRegularExpression());
        QVERIFY(!names.match(QStringLiteral("a*?/:\"<>|b")).hasMatch() && names.match(QStringLiteral("a 1.b")).hasMatch());
        QVERIFY(!utils.imageValid(QImage()) && utils.imageValid(QImage(1, 1, QImage::Format_ARGB32)));
        QCOMPARE(utils.isQt6(), CV_QT_MAJOR_VERSION == 6);
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
        QObject root; // parents keep the engine from owning the others
        auto* host = new QObject;
        const QPointer<QObject> guard(host);
        auto* holder = new QObject(&root);
        holder->setProperty("model", QVariant::fromValue(host));
        for (auto [name, object] : {std::pair<const char*, QObject*>{"utils", new QtUtils(&root)},
                 {"modelUtils", new core::QtModelUtils(&root)}, {"holder", holder}, {"child", new QObject(host)}})
            engine.globalObject().setProperty(QLatin1String(name), engine.newQObject(object));
        QVERIFY(!engine.evaluate(QStringLiteral("(function() { %1; })()").arg(call)).isError());
        engine.collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard);
        delete host;
    }
};

QTEST_MAIN(tst_QtUtils)
#include "tst_qtutils.moc"
