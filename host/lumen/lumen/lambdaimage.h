// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

#include <QImage>
#include <QObject>

#include <functional>

namespace lum
{
// An image rendered on demand for a device pixel ratio, handed to QML as an object.
struct LUMEN_EXPORT LambdaImage : public QObject
{
    Q_OBJECT

public:
    using Renderer = std::function<QImage(qreal devicePixelRatio)>;

    explicit LambdaImage(Renderer renderer = {}, QObject* parent = nullptr);
    ~LambdaImage() override;

    /// The image for devicePixelRatio; a null image without a renderer.
    QImage operator()(qreal devicePixelRatio) const;

    Renderer renderer;
};
}
