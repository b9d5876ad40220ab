// Corvane.Core tests.
#pragma once

#include <QObject>
#include <QVariantList>

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
    void hideTooltip();
    void setCursorPos(int x, int y);
};
}
