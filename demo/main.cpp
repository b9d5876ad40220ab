// Corvane demo host application.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QQmlApplicationEngine>
#include <QQuickWindow>
#include <QTimer>

int main(int argc, char* argv[])
{
    // Headless runs have no OpenGL: render with the software scene graph there.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--screenshot") == 0)
            QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    }
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("corvane-demo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Corvane.Core demo host"));
    parser.addHelpOption();
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Render the window to DIR/main.png and exit."),
                                        QStringLiteral("DIR"));
    parser.addOption(screenshotOption);
    parser.process(app);

    QQmlApplicationEngine engine;
    // The module is found in the build tree exactly as the application finds its install.
    engine.addImportPath(QStringLiteral(CV_QML_IMPORT_DIR));
    engine.load(QUrl(QStringLiteral("qrc:/demo/qml/main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;

    if (parser.isSet(screenshotOption)) {
        auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
        const QString dir = parser.value(screenshotOption);
        QDir().mkpath(dir);
        QTimer::singleShot(300, &app, [window, dir] {
            const QImage image = window ? window->grabWindow() : QImage();
            const bool saved = !image.isNull() && image.save(dir + QStringLiteral("/main.png"));
            if (!saved)
                qWarning("corvane-demo: could not render the window (%dx%d)", image.width(), image.height());
            QCoreApplication::exit(saved ? 0 : 2);
        });
    }
    return app.exec();
}
