// Corvane.Core tests.
#pragma once

#include <QImage>
#include <QObject>
#include <QRect>
#include <QVariantList>

class QQuickItem;

namespace lum
{
struct LambdaImage;
}

// Images for QML tests, and pixel checks on what Item.grabToImage() returns.
class TestImages : public QObject
{
    Q_OBJECT

public:
    explicit TestImages(QObject* parent = nullptr);
    ~TestImages() override;

    /// A new lambda image, owned by this object, rendering a blue image of width x height logical
    /// pixels at the ratio it is asked for; it records every ratio in renderedRatios.
    Q_INVOKABLE QObject* lambdaImage(int width, int height);
    Q_INVOKABLE QVariantList renderedRatios() const;
    Q_INVOKABLE qreal devicePixelRatio(QQuickItem* item) const;
    /// The ratio this run asks for through QT_SCALE_FACTOR.
    Q_INVOKABLE qreal requestedRatio() const;
    Q_INVOKABLE QSize imageSize(const QImage& image) const;
    /// Bounding rectangle of the pixels that are not fully transparent.
    Q_INVOKABLE QRect paintedRect(const QImage& image) const;

private:
    QVariantList m_ratios;
};
