// Corvane stand-in for the host's application-object library.
#include "harbor/hbpopupfactory.h"

#include <lumen/qtwindowparent.h>
#include <lumen/transientpopupcore.h>

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QtMath>

#include <memory>

namespace hb
{
namespace
{
// One open popup window. It lends the content item the window while open and hands it back
// when it closes, then reports closed() and goes away from the event loop.
class PopupWindowCore : public lum::TransientPopupCore
{
public:
    PopupWindowCore(int x, int y, QQuickItem* content, QObject* parent, bool noFocus)
        : m_window(std::make_unique<QQuickWindow>())
        , m_bridge(new lum::QtWindowParent(this))
        , m_content(content)
    {
        m_window->setFlags(noFocus ? Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
                                   : Qt::Popup | Qt::FramelessWindowHint);
        m_window->setProperty("__transientPopupParent", QVariant::fromValue<QObject*>(m_bridge));
        m_bridge->setWindow(m_window.get());
        setWindowParent(m_bridge);

        QWindow* owner = qobject_cast<QWindow*>(parent);
        if (auto* bridge = qobject_cast<lum::QtWindowParent*>(parent))
            owner = bridge->window();
        m_window->setTransientParent(owner);

        // (x, y) are native pixels; Qt places windows in device-independent ones.
        const QScreen* screen = QGuiApplication::primaryScreen();
        const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
        m_window->setPosition(QPoint(int(x / ratio), int(y / ratio)));

        if (m_content) {
            m_oldParent = m_content->parentItem();
            m_oldPosition = m_content->position();
            m_oldVisible = m_content->isVisible();
            m_content->setParentItem(m_window->contentItem());
            m_content->setPosition(QPointF(0, 0));
            m_content->setVisible(true);
            QObject::connect(m_content, &QQuickItem::widthChanged, this, &PopupWindowCore::fitContent);
            QObject::connect(m_content, &QQuickItem::heightChanged, this, &PopupWindowCore::fitContent);
        }
        fitContent();

        m_window->installEventFilter(this);
        QCoreApplication::instance()->installEventFilter(this);
        m_window->show();
        if (!noFocus) {
            m_window->requestActivate();
            if (m_content)
                m_content->forceActiveFocus(Qt::PopupFocusReason);
        }
    }

    // Deleted by the host while open: the window goes without a closed().
    ~PopupWindowCore() override
    {
        if (!m_finished)
            handBack();
    }

    void requestClose() override
    {
        QMetaObject::invokeMethod(this, [this] { finish(); }, Qt::QueuedConnection);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (m_finished)
            return false;
        if (watched == m_window.get() && event->type() == QEvent::KeyPress
            && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            finish();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress && watched->isWindowType()) {
            auto* window = static_cast<QWindow*>(watched);
            // A grabbing popup also receives presses outside its area, in its own coordinates.
            const bool inside = window == m_window.get()
                && QRect(QPoint(0, 0), m_window->size()).contains(static_cast<QMouseEvent*>(event)->pos());
            if (!inside)
                finish();
        }
        return false;
    }

private:
    void fitContent()
    {
        if (!m_content)
            return;
        const qreal width = m_content->width() > 0 ? m_content->width() : m_content->implicitWidth();
        const qreal height = m_content->height() > 0 ? m_content->height() : m_content->implicitHeight();
        m_window->resize(qMax(1, qCeil(width)), qMax(1, qCeil(height)));
    }

    void finish()
    {
        if (m_finished)
            return;
        handBack();
        // A receiver of closed() may delete the popup itself.
        const QPointer<QObject> alive(this);
        Q_EMIT closed();
        if (alive)
            deleteLater();
    }

    void handBack()
    {
        m_finished = true;
        QCoreApplication* app = QCoreApplication::instance();
        if (app)
            app->removeEventFilter(this);
        m_window->removeEventFilter(this);
        // A later popup may have borrowed the content meanwhile; then it is that one's to return.
        if (m_content && m_content->parentItem() == m_window->contentItem()) {
            QObject::disconnect(m_content, nullptr, this, nullptr);
            m_content->setParentItem(m_oldParent);
            m_content->setPosition(m_oldPosition);
            m_content->setVisible(m_oldVisible);
        }
        m_window->hide();
    }

    std::unique_ptr<QQuickWindow> m_window;
    lum::QtWindowParent* m_bridge;
    QPointer<QQuickItem> m_content;
    QPointer<QQuickItem> m_oldParent;
    QPointF m_oldPosition;
    bool m_oldVisible = true;
    bool m_finished = false;
};
}

HbPopupFactory::HbPopupFactory() = default;

HbPopupFactory::~HbPopupFactory() = default;

lum::TransientPopupCore* HbPopupFactory::createTransientPopup(int x, int y, QQuickItem* content, QObject* parent,
                                                              bool noFocus)
{
    return new PopupWindowCore(x, y, content, parent, noFocus);
}
}
