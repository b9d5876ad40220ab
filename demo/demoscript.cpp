// Corvane demo host application.
#include "demoscript.h"

#include "demohost.h"
#include "headerroles.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace demo
{
namespace
{
// wx button identifiers, as the dialog factory answers.
int wxButtonId(const QString& name)
{
    if (name == QLatin1String("yes"))
        return 2;
    if (name == QLatin1String("ok"))
        return 4;
    if (name == QLatin1String("no"))
        return 8;
    if (name == QLatin1String("cancel"))
        return 16;
    return 0;
}

void report(const QString& text)
{
    std::fprintf(stderr, "corvane-demo: %s\n", qPrintable(text));
}
}

void grabWindowTo(QQuickWindow* window, const QString& fileName, std::function<void(bool)> done)
{
    // grabWindow() gives a null image on the offscreen platform with the software scene graph;
    // grabbing the content item renders it into an image of its own on every platform. The item
    // is rendered at the window's device pixel ratio by asking for that many pixels.
    QQuickItem* content = window ? window->contentItem() : nullptr;
    if (!content) {
        done(false);
        return;
    }
    const qreal ratio = window->effectiveDevicePixelRatio();
    const QSize pixels = (QSizeF(content->width(), content->height()) * ratio).toSize();
    QSharedPointer<QQuickItemGrabResult> result = content->grabToImage(pixels);
    if (!result) {
        done(false);
        return;
    }
    QObject::connect(result.data(), &QQuickItemGrabResult::ready, window, [result, fileName, ratio, done] {
        QImage image = result->image();
        image.setDevicePixelRatio(ratio);
        QDir().mkpath(QFileInfo(fileName).absolutePath());
        done(!image.isNull() && image.save(fileName));
    });
    window->update();
}

DemoScript::DemoScript(QQuickWindow* window, DemoHost* host, const QStringList& lines, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_host(host)
    , m_lines(lines)
{
}

DemoScript::~DemoScript() = default;

void DemoScript::start()
{
    QTimer::singleShot(100, this, &DemoScript::runNext);
}

void DemoScript::runNext()
{
    while (m_next < m_lines.size()) {
        const QString line = m_lines.at(m_next++).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString& command = words.first();
        if (command == QLatin1String("quit")) {
            Q_EMIT finished(m_failures == 0 ? 0 : 1);
            return;
        }
        if (command == QLatin1String("screenshot") && words.size() == 2) {
            grabWindowTo(m_window, words.at(1), [this, line](bool ok) {
                if (!ok) {
                    report(QStringLiteral("failed: ") + line);
                    ++m_failures;
                }
                QTimer::singleShot(0, this, &DemoScript::runNext);
            });
            return;
        }
        int delay = 50;
        if (command == QLatin1String("wait") && words.size() == 2) {
            delay = words.at(1).toInt();
        } else if (!run(words)) {
            report(QStringLiteral("failed: ") + line);
            ++m_failures;
        }
        // Let bindings, layouts and the scene graph catch up before the next step.
        QTimer::singleShot(delay, this, &DemoScript::runNext);
        return;
    }
    Q_EMIT finished(m_failures == 0 ? 0 : 1);
}

QObject* DemoScript::layerProxy() const
{
    if (!m_window)
        return nullptr;
    const QString name = QStringLiteral("layerProxy");
    if (QObject* proxy = m_window->findChild<QObject*>(name))
        return proxy;
    return m_window->contentItem()->findChild<QObject*>(name);
}

bool DemoScript::call(
    QObject* object, const char* method, QGenericArgument a0, QGenericArgument a1, QGenericArgument a2)
{
    if (!object)
        return false;
    // Look the slot up first: a type that does not offer it yet is reported, not warned about.
    QByteArray signature = method;
    signature += '(';
    const char* types[] = { a0.name(), a1.name(), a2.name() };
    bool first = true;
    for (const char* type : types) {
        if (!type)
            break;
        if (!first)
            signature += ',';
        signature += type;
        first = false;
    }
    signature += ')';
    if (object->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature.constData())) < 0)
        return false;
    return QMetaObject::invokeMethod(object, method, a0, a1, a2);
}

bool DemoScript::run(const QStringList& words)
{
    const QString& command = words.first();
    const int argc = words.size() - 1;
    QObject* root = m_window;
    QObject* proxy = layerProxy();
    auto intArg = [&words](int i) { return words.value(i).toInt(); };

    if (command == QLatin1String("page") && argc == 1) {
        QVariant ok;
        return QMetaObject::invokeMethod(root, "showPage", Q_RETURN_ARG(QVariant, ok), Q_ARG(QVariant, words.at(1)))
            && ok.toBool();
    }
    if (command == QLatin1String("sort") && argc == 2) {
        const bool ascending = words.at(2) != QLatin1String("desc");
        return call(proxy, "doSort", Q_ARG(int, intArg(1)), Q_ARG(bool, ascending), Q_ARG(bool, false));
    }
    if (command == QLatin1String("unsort") && argc == 0)
        return call(proxy, "unSort");
    if (command == QLatin1String("move") && argc == 2)
        return call(proxy, "moveColumn", Q_ARG(int, intArg(1)), Q_ARG(int, intArg(2)));
    if ((command == QLatin1String("hide") || command == QLatin1String("show")) && argc == 1)
        return call(
            proxy, "setSourceColumnVisible", Q_ARG(int, intArg(1)), Q_ARG(bool, command == QLatin1String("show")));
    if (command == QLatin1String("showall") && argc == 0)
        return call(proxy, "showAllColumns");
    if (command == QLatin1String("restorepositions") && argc == 0)
        return call(proxy, "restoreColumnPositions");
    if (command == QLatin1String("resize") && argc == 2)
        return call(proxy, "resizeColumn", Q_ARG(int, intArg(1)), Q_ARG(int, intArg(2)));
    if (command == QLatin1String("select") && argc == 1)
        return call(proxy, "leftClickSelection", Q_ARG(int, intArg(1)), Q_ARG(int, 0));
    if (command == QLatin1String("ctrlselect") && argc == 1)
        return call(proxy, "ctrlSelection", Q_ARG(int, intArg(1)), Q_ARG(int, 0));
    if (command == QLatin1String("shiftselect") && argc == 1)
        return call(proxy, "shiftSelection", Q_ARG(int, intArg(1)), Q_ARG(int, 0));
    if (command == QLatin1String("save") && argc == 0)
        return call(proxy, "saveColumnData");
    if (command == QLatin1String("load") && argc == 0)
        return call(proxy, "loadColumnData");
    if (command == QLatin1String("filter")) {
        const QString text = words.mid(1).join(QLatin1Char(' '));
        return QMetaObject::invokeMethod(root, "setLayerFilter", Q_ARG(QVariant, text));
    }
    if (command == QLatin1String("files") && argc >= 1) {
        QVariant done;
        return QMetaObject::invokeMethod(root, "fileCommand", Q_RETURN_ARG(QVariant, done),
                   Q_ARG(QVariant, words.at(1)), Q_ARG(QVariant, QVariant(words.mid(2))))
            && done.toBool();
    }
    if (command == QLatin1String("expect-highlighted") && argc == 1) {
        QVariant count;
        return QMetaObject::invokeMethod(root, "layerHighlightedRows", Q_RETURN_ARG(QVariant, count))
            && count.toInt() == intArg(1);
    }
    if (command == QLatin1String("expect-layer-rows") && argc == 1) {
        auto* model = qobject_cast<QAbstractItemModel*>(proxy);
        return model && model->rowCount() == intArg(1);
    }
    if (command == QLatin1String("dropdown") && argc == 1) {
        QVariant opened;
        return QMetaObject::invokeMethod(root, "dropDown", Q_RETURN_ARG(QVariant, opened),
                   Q_ARG(QVariant, words.at(1) == QLatin1String("open")))
            && opened.toBool();
    }
    if ((command == QLatin1String("click-header") && argc == 1) || (command == QLatin1String("drag-header") && argc == 2)) {
        const QPointF from = layerHeaderCentre(intArg(1));
        const QPointF to = argc == 2 ? layerHeaderCentre(intArg(2)) : from;
        if (from.isNull() || to.isNull())
            return false;
        dragMouse(from, to);
        return true;
    }
    if (command == QLatin1String("expect-sort") && (argc == 1 || argc == 2)) {
        const int column = proxy ? proxy->property("proxySortColumn").toInt() : -1;
        const bool ascending = proxy && proxy->property("ascending").toBool();
        if (column != intArg(1) || (argc == 2 && ascending != (words.at(2) == QLatin1String("asc"))))
            report(QStringLiteral("sorted by %1 %2").arg(column).arg(QLatin1String(ascending ? "asc" : "desc")));
        return proxy && column == intArg(1) && (argc == 1 || ascending == (words.at(2) == QLatin1String("asc")));
    }
    if (command == QLatin1String("expect-header") && argc >= 2) {
        auto* model = qobject_cast<QAbstractItemModel*>(proxy);
        const QString shown = model ? model->headerData(intArg(1), Qt::Horizontal).toString() : QString();
        if (shown != words.mid(2).join(QLatin1Char(' ')))
            report(QStringLiteral("the header reads \"%1\"").arg(shown));
        return model && shown == words.mid(2).join(QLatin1Char(' '));
    }
    if (command == QLatin1String("dump") && argc == 1)
        return dumpLayout(words.at(1));
    if (command == QLatin1String("answer") && argc == 1) {
        const int id = wxButtonId(words.at(1));
        m_host->setMessageBoxAnswer(id);
        return id != 0;
    }
    if (command == QLatin1String("message") && (argc == 2 || argc == 3)) {
        QVariant pressed;
        if (!QMetaObject::invokeMethod(root, "openMessage", Q_RETURN_ARG(QVariant, pressed),
                Q_ARG(QVariant, words.at(1)), Q_ARG(QVariant, words.at(2))))
            return false;
        if (argc == 3 && pressed.toString().compare(words.at(3), Qt::CaseInsensitive) != 0) {
            report(QStringLiteral("pressed %1, expected %2").arg(pressed.toString(), words.at(3)));
            return false;
        }
        return true;
    }
    return false;
}

QPointF DemoScript::layerHeaderCentre(int column) const
{
    auto* header = m_window ? m_window->findChild<QQuickItem*>(QStringLiteral("layerHeader")) : nullptr;
    QVariant left;
    if (!header || !QMetaObject::invokeMethod(header, "xOf", Q_RETURN_ARG(QVariant, left), Q_ARG(QVariant, column)))
        return {};
    const QVariantList widths = header->property("widths").toList();
    if (column < 0 || column >= widths.size())
        return {};
    const qreal x = left.toReal() + widths.at(column).toReal() / 2 - header->property("contentX").toReal();
    return header->mapToScene(QPointF(x, header->height() / 2));
}

void DemoScript::dragMouse(const QPointF& from, const QPointF& to)
{
    const auto send = [this](QEvent::Type type, const QPointF& at) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, m_window->mapToGlobal(at.toPoint()), button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(m_window, &event);
    };
    send(QEvent::MouseButtonPress, from);
    for (int step = 1; from != to && step <= 4; ++step)
        send(QEvent::MouseMove, from + (to - from) * step / 4);
    send(QEvent::MouseButtonRelease, to);
}

bool DemoScript::dumpLayout(const QString& fileName)
{
    auto* proxy = qobject_cast<QAbstractItemModel*>(layerProxy());
    if (!proxy)
        return false;
    QFile file(fileName);
    QDir().mkpath(QFileInfo(fileName).absolutePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    // One line per shown column, in display order: position, identifier, width.
    for (int column = 0; column < proxy->columnCount(); ++column) {
        int width = -1;
        if (proxy->metaObject()->indexOfMethod("columnWidth(int)") >= 0)
            QMetaObject::invokeMethod(proxy, "columnWidth", Q_RETURN_ARG(int, width), Q_ARG(int, column));
        out << column << ' ' << proxy->headerData(column, Qt::Horizontal, ColumnIdRole).toString() << ' ' << width
            << '\n';
    }
    return true;
}
}
