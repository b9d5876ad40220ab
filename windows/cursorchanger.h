// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QObject>

namespace core
{
// "CursorChanger": imposes a cursor shape on the whole application while active, through Qt's
// override cursor stack. Each object holds at most one entry, pushed on activation and popped on
// deactivation or destruction; Qt pops the top entry, whoever pushed it.
class CursorChanger : public QObject
{
    Q_OBJECT
    /// Whether this object holds an entry on the override cursor stack.
    Q_PROPERTY(bool active READ active WRITE setActive NOTIFY activeChanged)
    /// The shape, a Qt::CursorShape value (Qt.WaitCursor in QML); Qt.ArrowCursor by default.
    /// While active, a change shows at once; while inactive, it waits for the next activation.
    Q_PROPERTY(int cursor READ cursor WRITE setCursor NOTIFY cursorChanged)

public:
    explicit CursorChanger(QObject* parent = nullptr);
    ~CursorChanger() override;

    bool active() const;
    void setActive(bool active);

    int cursor() const;
    void setCursor(int cursor);

Q_SIGNALS:
    void activeChanged();
    void cursorChanged();

private:
    bool m_active = false;
    int m_cursor = Qt::ArrowCursor;
};
}
