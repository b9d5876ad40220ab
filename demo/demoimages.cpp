// Corvane demo host application.
#include "demoimages.h"

#include <lumen/lambdaimage.h>

#include <QPainter>
#include <QPainterPath>

namespace demo
{
namespace
{
QImage renderLogo(qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    const QSize logical(96, 96);
    QImage image(logical * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(0x1d, 0x5f, 0xa8));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(4, 4, 88, 88), 16, 16);
    painter.setPen(QPen(Qt::white, 6, Qt::SolidLine, Qt::RoundCap));
    // A compass arc and a ruler line: thin strokes show whether the ratio was honoured.
    painter.drawArc(QRectF(22, 22, 52, 52), 30 * 16, 300 * 16);
    painter.setPen(QPen(QColor(0xff, 0xc1, 0x07), 2));
    for (int tick = 0; tick < 9; ++tick)
        painter.drawLine(QPointF(20 + tick * 7, 80), QPointF(20 + tick * 7, tick % 2 ? 84 : 88));
    return image;
}
}

DemoImages::DemoImages(QObject* parent)
    : QObject(parent)
    , m_logo(new lum::LambdaImage(&renderLogo, this))
{
}

DemoImages::~DemoImages() = default;

QObject* DemoImages::logo() const
{
    return m_logo;
}

QImage DemoImages::logoImage(qreal devicePixelRatio) const
{
    return renderLogo(devicePixelRatio);
}

QImage DemoImages::thumbnail(int index, int size) const
{
    const int width = qBound(16, size, 1024);
    const int height = width * 3 / 4;
    QImage image(width, height, QImage::Format_RGB32);
    const QColor papers[] = { QColor(0x21, 0x25, 0x2b), QColor(0xf4, 0xf1, 0xe8), QColor(0x10, 0x2a, 0x43),
        QColor(0xff, 0xff, 0xff), QColor(0x2e, 0x34, 0x40), QColor(0xee, 0xf3, 0xf8) };
    const QColor& paper = papers[qBound(0, index, 5)];
    image.fill(paper);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool dark = paper.lightness() < 128;
    painter.setPen(QPen(dark ? QColor(0x7f, 0xd1, 0xff) : QColor(0x20, 0x40, 0x90), qMax(1, width / 80)));
    painter.scale(width / 160.0, height / 120.0);
    // A small floor plan, different per drawing.
    const int rooms = 2 + (index % 4);
    painter.drawRect(QRectF(12, 12, 136, 96));
    for (int room = 1; room < rooms; ++room)
        painter.drawLine(QPointF(12 + room * 136.0 / rooms, 12), QPointF(12 + room * 136.0 / rooms, 108));
    painter.drawLine(QPointF(12, 60 + (index % 3) * 10), QPointF(148, 60 + (index % 3) * 10));
    painter.setPen(QPen(dark ? QColor(0xff, 0x9e, 0x40) : QColor(0xc0, 0x30, 0x20), 1.5));
    painter.drawEllipse(QPointF(40 + index * 15, 40), 10, 10);
    return image;
}
}
