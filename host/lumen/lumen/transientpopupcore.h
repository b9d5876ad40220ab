// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QObject>
#include <QPointer>

namespace lum
{
class QtWindowParent;

// The host side of an open transient popup. The popup factory creates it; it emits closed()
// once its window has closed and may be deleted by the host at any time after that.
class LUMEN_EXPORT TransientPopupCore : public QObject
{
    Q_OBJECT

public:
    explicit TransientPopupCore(QObject* parent = nullptr);
    ~TransientPopupCore() override;

    /// The popup window's bridge; null when the host gave it none.
    QtWindowParent* windowParent() const;
    void setWindowParent(QtWindowParent* bridge);

public Q_SLOTS:
    /// Asks the popup to close. The answer comes later, as closed() or deletion. Without a
    /// window of its own, the core reports closed() from the event loop.
    virtual void requestClose();

Q_SIGNALS:
    void closed();

private:
    QPointer<QtWindowParent> m_windowParent;
};
}
