// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/imageitem.h"

#include <lumen/lambdaimage.h>

#include <QPainter>
#include <QQuickWindow>

#include <algorithm>
#include <cmath>

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

// Beyond any screen: an image fitted to bounds larger than this could not be allocated, and is
// not painted.
constexpr qreal MaxFitExtent = 32768;

// The integer part of a fitted extent; -1 when there is none to paint (NaN, or too large).
int pixelExtent(qreal extent)
{
    if (!(extent <= MaxFitExtent))
        return -1;
    return extent > 0.0 ? int(extent) : 0;
}

// Painting coordinates in range for int and for the painter, whatever the bounds.
int coordinate(qreal value)
{
    constexpr qreal Limit = 1 << 24;
    if (!std::isfinite(value))
        return 0;
    return int(std::clamp(value, -Limit, Limit));
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
        const int width = pixelExtent(bounds.width() / scale);
        const int height = pixelExtent(bounds.height() / scale);
        if (width < 0 || height < 0)
            return;
        shown = m_image.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        shown.setDevicePixelRatio(1.0 / scale);
    }
    // Centred by the size the image is drawn at, which is its pixel size over the ratio it is
    // tagged with (also below ratio 1, where the tag makes it larger than its pixels).
    const qreal tag = shown.devicePixelRatio() > 0.0 ? shown.devicePixelRatio() : 1.0;
    const int y = coordinate(bounds.y() + bounds.height() * 0.5 - shown.height() * 0.5 / tag);
    const int x = coordinate(bounds.x() + bounds.width() * 0.5 - shown.width() * 0.5 / tag);
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
