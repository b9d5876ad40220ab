// Corvane demo host application: loads the module's panels the way the CAD application does.
#include "demohost.h"
#include "demoscript.h"
#include "treerowsmodel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QQmlApplicationEngine>
#include <QQmlContext>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>
#include <QtQml>

#include <cstdio>

namespace
{
const char* const pages[] = { "layers", "files", "start" };

bool isPage(const QString& name)
{
    for (const char* page : pages) {
        if (name == QLatin1String(page))
            return true;
    }
    return false;
}

bool hasDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("xcb") && !platform.startsWith("wayland"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool wantsHeadless(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--screenshot") == 0 || qstrcmp(argv[i], "--script") == 0)
            return true;
    }
    return false;
}

// Renders every panel to DIR/<page><suffix>.png, one after the other, then calls done(ok).
void screenshotPages(
    QQuickWindow* window, const QString& dir, const QString& suffix, std::function<void(bool)> done, int page = 0)
{
    if (page >= int(std::size(pages))) {
        done(true);
        return;
    }
    const QString name = QLatin1String(pages[page]);
    QVariant shown;
    QMetaObject::invokeMethod(window, "showPage", Q_RETURN_ARG(QVariant, shown), Q_ARG(QVariant, name));
    // Give the table views a few frames to create their delegates before grabbing.
    QTimer::singleShot(400, window, [=] {
        demo::grabWindowTo(window, dir + QLatin1Char('/') + name + suffix + QStringLiteral(".png"), [=](bool ok) {
            if (!ok || !shown.toBool()) {
                std::fprintf(stderr, "corvane-demo: could not render the %s panel\n", qPrintable(name));
                done(false);
                return;
            }
            screenshotPages(window, dir, suffix, done, page + 1);
        });
    });
}
}

int main(int argc, char* argv[])
{
    const bool headless = wantsHeadless(argc, argv);
    if (!headless && !hasDisplay()) {
        std::fprintf(stderr,
            "corvane-demo: no display found. Render the panels to PNG files instead:\n"
            "    QT_QPA_PLATFORM=offscreen %s --screenshot DIR\n"
            "or run it inside a virtual display: xvfb-run -a %s\n",
            argv[0], argv[0]);
        return 2;
    }
    // Headless runs need no window system: without one they render offscreen.
    if (headless && !hasDisplay())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Without a display there is no OpenGL: headless runs render with the software scene graph,
    // which also makes the pictures the same on every machine.
    if (headless || qgetenv("QT_QPA_PLATFORM") == "offscreen")
        QQuickWindow::setSceneGraphBackend(QStringLiteral("software"));

    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("corvane-demo"));
    app.setOrganizationName(QStringLiteral("Corvane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Corvane.Core demo host application"));
    parser.addHelpOption();
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
        QStringLiteral(
            "Render every panel to DIR/<panel>.png and DIR/<panel>@2x.png (device pixel ratio 2), then exit."),
        QStringLiteral("DIR"));
    const QCommandLineOption pageOption(
        QStringLiteral("page"), QStringLiteral("Open the panel NAME: layers, files or start."), QStringLiteral("NAME"));
    const QCommandLineOption scriptOption(QStringLiteral("script"),
        QStringLiteral("Run the commands of FILE, then exit (see demo/demoscript.h)."), QStringLiteral("FILE"));
    const QCommandLineOption suffixOption(QStringLiteral("screenshot-suffix"),
        QStringLiteral("Suffix of the screenshot file names (used by the second pass)."), QStringLiteral("SUFFIX"));
    parser.addOptions({ screenshotOption, pageOption, scriptOption, suffixOption });
    parser.process(app);

    if (parser.isSet(pageOption) && !isPage(parser.value(pageOption))) {
        std::fprintf(stderr, "corvane-demo: no panel named %s; the panels are layers, files and start\n",
            qPrintable(parser.value(pageOption)));
        return 2;
    }

    QStringList scriptLines;
    if (parser.isSet(scriptOption)) {
        QFile script(parser.value(scriptOption));
        if (!script.open(QIODevice::ReadOnly | QIODevice::Text)) {
            std::fprintf(stderr, "corvane-demo: cannot read %s\n", qPrintable(script.fileName()));
            return 2;
        }
        scriptLines = QString::fromUtf8(script.readAll()).split(QLatin1Char('\n'));
    }

    // The demo's own view helper; the module's types come from the Corvane.Core import.
    qmlRegisterType<demo::TreeRowsModel>("Corvane.Demo", 1, 0, "TreeRowsModel");

    demo::DemoHost host;
    QQmlApplicationEngine engine;
    // The module is found in the build tree exactly as the application finds its install.
    engine.addImportPath(QStringLiteral(CV_QML_IMPORT_DIR));
    host.exposeTo(engine.rootContext());
    engine.rootContext()->setContextProperty(
        QStringLiteral("initialPage"), parser.isSet(pageOption) ? parser.value(pageOption) : QStringLiteral("layers"));
    engine.load(QUrl(QStringLiteral("qrc:/demo/qml/main.qml")));
    if (engine.rootObjects().isEmpty())
        return 1;
    auto* window = qobject_cast<QQuickWindow*>(engine.rootObjects().constFirst());
    if (!window)
        return 1;

    if (headless) {
        // The offscreen platform fits a window into its small virtual screen when it is first
        // shown, which halves it under a scale factor; pictures are taken at the full size.
        window->resize(window->property("preferredWidth").toInt(), window->property("preferredHeight").toInt());
    }
    if (parser.isSet(screenshotOption)) {
        const QString dir = QDir(parser.value(screenshotOption)).absolutePath();
        const QString suffix = parser.value(suffixOption);
        QDir().mkpath(dir);
        screenshotPages(window, dir, suffix, [&](bool ok) {
            int code = ok ? 0 : 3;
            // The second pass renders at device pixel ratio 2. The ratio of a process is fixed when
            // it starts, so a second process does it.
            if (ok && suffix.isEmpty()) {
                QProcess pass;
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
                pass.setProcessEnvironment(environment);
                pass.setProcessChannelMode(QProcess::ForwardedChannels);
                pass.start(QCoreApplication::applicationFilePath(),
                    { QStringLiteral("--screenshot"), dir, QStringLiteral("--screenshot-suffix"),
                        QStringLiteral("@2x") });
                if (!pass.waitForFinished(120000) || pass.exitStatus() != QProcess::NormalExit || pass.exitCode() != 0)
                    code = 4;
            }
            QCoreApplication::exit(code);
        });
    } else if (!scriptLines.isEmpty()) {
        auto* script = new demo::DemoScript(window, &host, scriptLines, &app);
        QObject::connect(script, &demo::DemoScript::finished, &app, &QCoreApplication::exit);
        script->start();
    }
    return app.exec();
}
