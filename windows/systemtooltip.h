// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QQuickItem>
#include <QString>

#include <memory>

namespace core
{
// "SystemTooltip": shows text in the application's widget tooltip at the mouse cursor, after the
// host's tooltip delay. All tooltip items share one delay timer and one pending text: there is
// one such tooltip on screen at a time, and any item can take it over or hide it.
class SystemTooltip : public QQuickItem
{
    Q_OBJECT
    /// The tooltip text; used at the next write of visible true.
    Q_PROPERTY(QString text READ text WRITE setText NOTIFY textChanged)
    /// The tooltip, not the item: true while a tooltip is pending (for any item) or this item's
    /// text is on screen. Writing true schedules the tooltip, or replaces a shown one at once;
    /// writing false hides it, whoever showed it.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    Q_PROPERTY(bool visible READ isVisible WRITE setVisible NOTIFY tipVisibleChanged)
#endif
    // Qt 6 makes the item's own visible final: QML writes that one there, and itemChange passes
    // each change on to setVisible, so writing true or false from QML drives the tooltip alike.

public:
    explicit SystemTooltip(QQuickItem* parent = nullptr);
    ~SystemTooltip() override;

    QString text() const;
    void setText(const QString& text);

    bool isVisible() const;
    void setVisible(bool visible);

Q_SIGNALS:
    void textChanged();
    void tipVisibleChanged();

protected:
    void itemChange(ItemChange change, const ItemChangeData& value) override;

private:
    struct Private;
    const std::unique_ptr<Private> d;
};
}
