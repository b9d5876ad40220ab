// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/imageitem.h"

#include <lumen/lambdaimage.h>

#include <QPainter>
#include <QQuickWindow>

namespace core
{
namespace
{
// Effective rather than plain QWindow ratio: it is the one the scene graph renders at, also
// for a window drawn through QQuickRenderControl (a QQuickWidget).
qreal windowRatio(const QQuickWindow* window)
{
    return window ? window->effectiveDevicePixelRatio() : 1.0;
}
}

ImageItem::ImageItem(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
    m_windowConnection
        = connect(this, &QQuickItem::windowChanged, this, &ImageItem::onWindowChanged, Qt::DirectConnection);
}

ImageItem::~ImageItem()
{
    // ~QQuickItem leaves its window and emits windowChanged(nullptr) when this part is gone
    // already; the connection would call a member of a destroyed ImageItem.
    disconnect(m_windowConnection);
}

QVariant ImageItem::image() const
{
    return QVariant::fromValue(m_image);
}

void ImageItem::setImage(const QVariant& image)
{
    m_lambdaImage = qobject_cast<lum::LambdaImage*>(qvariant_cast<QObject*>(image));
    if (m_lambdaImage)
        applyImage((*m_lambdaImage)(windowRatio(window())));
    else
        applyImage(qvariant_cast<QImage>(image));
}

bool ImageItem::isValid() const
{
    return !m_image.isNull();
}

int ImageItem::fillMode() const
{
    return m_fillMode;
}

void ImageItem::setFillMode(int fillMode)
{
    if (m_fillMode == fillMode)
        return;
    m_fillMode = fillMode;
    // Otherwise the old layout stays on screen until something else repaints.
    update();
    Q_EMIT fillModeChanged();
}

bool ImageItem::retainSize() const
{
    return m_retainSize;
}

void ImageItem::setRetainSize(bool retainSize)
{
    if (m_retainSize == retainSize)
        return;
    m_retainSize = retainSize;
    updateImplicitSize();
    Q_EMIT retainSizeChanged();
}

void ImageItem::paint(QPainter* painter)
{
    if (!painter || m_image.isNull())
        return;

    const qreal ratio = window() ? windowRatio(window()) : 0.0;
    const qreal scale = ratio >= 1.0 ? 1.0 / ratio : 1.0;
    const QRectF bounds = boundingRect();
    QImage shown = m_image;
    if (m_fillMode == 1) {
        // Fit in device pixels and tag the result with the ratio: drawn at the bounds' size,
        // crisp, rather than at 1/ratio of it.
        shown = m_image.scaled(
            int(bounds.width() / scale), int(bounds.height() / scale), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        shown.setDevicePixelRatio(1.0 / scale);
    }
    const int y = int(bounds.y() + bounds.height() * 0.5 - shown.height() * 0.5 * scale);
    const int x = int(bounds.x() + bounds.width() * 0.5 - shown.width() * 0.5 * scale);
    painter->drawImage(QPoint(x, y), shown);
}

void ImageItem::applyImage(const QImage& image)
{
    if (image == m_image)
        return;
    m_image = image;
    updateImplicitSize();
    Q_EMIT imageChanged();
    Q_EMIT isValidChanged();
    update();
}

void ImageItem::updateImplicitSize()
{
    QQuickWindow* const itemWindow = window();
    if (!itemWindow)
        return;
    const qreal ratio = windowRatio(itemWindow);
    m_image.setDevicePixelRatio(ratio);
    if (m_retainSize && ratio != 0.0)
        setImplicitSize(m_image.width() / ratio, m_image.height() / ratio);
    else
        setImplicitSize(m_image.width(), m_image.height());
}

void ImageItem::onWindowChanged(QQuickWindow* window)
{
    if (!window)
        return;
    if (m_lambdaImage)
        applyImage((*m_lambdaImage)(windowRatio(window)));
    // A rendering equal to the current image leaves applyImage idle, and the size must still
    // follow the new window: a lambda image assigned outside a window would otherwise keep
    // an implicit size of 0 x 0 in a window of ratio 1.
    if (!m_image.isNull())
        updateImplicitSize();
}
}
