// Corvane.Core tests.
#include "windows_probe.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QTest>
#include <QToolTip>
#include <QWindow>

namespace cvtest
{
WindowsProbe::WindowsProbe(QObject* parent)
    : QObject(parent)
{
}

WindowsProbe::~WindowsProbe() = default;

QObject* WindowsProbe::objectParent(QObject* object) const
{
    return object ? object->parent() : nullptr;
}

bool WindowsProbe::isFocusWindow(QWindow* window) const
{
    return window && QGuiApplication::focusWindow() == window;
}

QWindow* WindowsProbe::transientParentOf(QWindow* window) const
{
    return window ? window->transientParent() : nullptr;
}

void WindowsProbe::sendKey(QWindow* window, int key)
{
    if (window)
        QTest::keyClick(window, Qt::Key(key));
}

void WindowsProbe::click(QWindow* window, int x, int y)
{
    if (window)
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
}

void WindowsProbe::setObjectParent(QObject* object, QObject* parent)
{
    if (object)
        object->setParent(parent);
}

void WindowsProbe::destroyNow(QObject* object)
{
    delete object;
}

QVariantList WindowsProbe::overrideCursorShapes()
{
    QList<Qt::CursorShape> shapes;
    while (const QCursor* cursor = QGuiApplication::overrideCursor()) {
        shapes.append(cursor->shape());
        QGuiApplication::restoreOverrideCursor();
    }
    QVariantList result;
    for (auto it = shapes.crbegin(); it != shapes.crend(); ++it)
        QGuiApplication::setOverrideCursor(QCursor(*it));
    for (Qt::CursorShape shape : qAsConst(shapes))
        result.append(int(shape));
    return result;
}

void WindowsProbe::pushOverrideCursor(int shape)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::CursorShape(shape)));
}

void WindowsProbe::popOverrideCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

bool WindowsProbe::tooltipVisible() const
{
    return QToolTip::isVisible();
}

QString WindowsProbe::tooltipText() const
{
    return QToolTip::text();
}

void WindowsProbe::hideTooltip()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget* widget : widgets) {
        if (widget->inherits("QTipLabel"))
            delete widget;
    }
}

void WindowsProbe::showTooltip(const QString& text)
{
    QToolTip::showText(QCursor::pos(), text, nullptr);
}

QPoint WindowsProbe::tooltipPos() const
{
    if (!QToolTip::isVisible())
        return QPoint(-1, -1);
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (const QWidget* widget : widgets) {
        if (widget->inherits("QTipLabel") && widget->isVisible())
            return widget->pos();
    }
    return QPoint(-1, -1);
}

void WindowsProbe::setCursorPos(int x, int y)
{
    QCursor::setPos(x, y);
}
}

#include "moc_windows_probe.cpp"
