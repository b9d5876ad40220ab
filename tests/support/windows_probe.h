// Corvane.Core tests.
#pragma once

#include <QObject>
#include <QPoint>
#include <QVariantList>

class QWindow;

namespace cvtest
{
// Reaches from QML tests into what QML cannot see: QObject parenthood, the override cursor
// stack, Qt's tooltip and the cursor position.
class WindowsProbe : public QObject
{
    Q_OBJECT

public:
    explicit WindowsProbe(QObject* parent = nullptr);
    ~WindowsProbe() override;

public Q_SLOTS:
    QObject* objectParent(QObject* object) const;
    bool isFocusWindow(QWindow* window) const;
    QWindow* transientParentOf(QWindow* window) const;
    /// Key press and release of key, sent to window.
    void sendKey(QWindow* window, int key);
    /// Left-button click at (x, y) of window.
    void click(QWindow* window, int x, int y);
    /// Changes only the QObject parent (QML's "parent" is the visual parent).
    void setObjectParent(QObject* object, QObject* parent);
    /// Deletes object at once, without waiting for the event loop.
    void destroyNow(QObject* object);

    /// The shapes on the application's override cursor stack, top first; leaves it as it was.
    QVariantList overrideCursorShapes();
    /// Pushes an override cursor of shape on behalf of "another party".
    void pushOverrideCursor(int shape);
    void popOverrideCursor();

    bool tooltipVisible() const;
    QString tooltipText() const;
    /// Removes the tooltip window at once (QToolTip::hideText() fades it out over a while).
    void hideTooltip();
    /// Shows text as a tooltip on behalf of "another party".
    void showTooltip(const QString& text);
    /// Top-left corner of the tooltip window in global coordinates; (-1, -1) when none is shown.
    QPoint tooltipPos() const;
    void setCursorPos(int x, int y);
};
}
