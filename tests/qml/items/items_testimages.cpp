// Corvane.Core tests.
#include "items_testimages.h"

#include <lumen/lambdaimage.h>

#include <QQuickItem>
#include <QQuickWindow>

TestImages::TestImages(QObject* parent)
    : QObject(parent)
{
}

TestImages::~TestImages() = default;

QObject* TestImages::lambdaImage(int width, int height)
{
    return new lum::LambdaImage(
        [this, width, height](qreal ratio) {
            m_ratios.append(ratio);
            QImage image(qRound(width * ratio), qRound(height * ratio), QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::blue);
            return image;
        },
        this);
}

QVariantList TestImages::renderedRatios() const
{
    return m_ratios;
}

qreal TestImages::devicePixelRatio(QQuickItem* item) const
{
    return item && item->window() ? item->window()->effectiveDevicePixelRatio() : 0.0;
}

qreal TestImages::requestedRatio() const
{
    return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
}

QSize TestImages::imageSize(const QImage& image) const
{
    return image.size();
}

QRect TestImages::paintedRect(const QImage& image) const
{
    QRect painted;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)))
                painted |= QRect(x, y, 1, 1);
        }
    }
    return painted;
}
