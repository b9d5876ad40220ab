// Corvane stand-in for the host's Qt utility library.
#include "lumen/lambdaimage.h"

#include <utility>

namespace lum
{
LambdaImage::LambdaImage(Renderer renderer, QObject* parent)
    : QObject(parent)
    , renderer(std::move(renderer))
{
}

LambdaImage::~LambdaImage() = default;

QImage LambdaImage::operator()(qreal devicePixelRatio) const
{
    return renderer ? renderer(devicePixelRatio) : QImage();
}
}
