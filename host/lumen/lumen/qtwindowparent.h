// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QObject>
#include <QPointer>
#include <QWindow>

class wxWindow;

namespace lum
{
// Bridge from QML to the native window that owns a dialog or popup ("QtWindowParent").
class LUMEN_EXPORT QtWindowParent : public QObject
{
    Q_OBJECT
    /// The Qt window this bridge stands for, when there is one.
    Q_PROPERTY(QWindow* window READ window WRITE setWindow NOTIFY windowChanged)

public:
    explicit QtWindowParent(QObject* parent = nullptr);
    ~QtWindowParent() override;

    /// The native owner window; null when the bridge has none.
    wxWindow* getWxParent() const;
    void setWxParent(wxWindow* window);

    QWindow* window() const;
    void setWindow(QWindow* window);

Q_SIGNALS:
    void windowChanged();

private:
    wxWindow* m_wxParent = nullptr;
    QPointer<QWindow> m_window;
};
}
