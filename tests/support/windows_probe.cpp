// Corvane.Core tests.
#include "windows_probe.h"

#include <QCursor>
#include <QGuiApplication>
#include <QToolTip>

namespace cvtest
{
WindowsProbe::WindowsProbe(QObject* parent)
    : QObject(parent)
{
}

WindowsProbe::~WindowsProbe() = default;

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
    QToolTip::hideText();
}

void WindowsProbe::setCursorPos(int x, int y)
{
    QCursor::setPos(x, y);
}
}

#include "moc_windows_probe.cpp"
