// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/imageitem.h"

namespace core
{
ImageItem::ImageItem(QQuickItem* parent)
    : QQuickPaintedItem(parent)
{
}

ImageItem::~ImageItem() = default;

void ImageItem::paint(QPainter*)
{
}
}
