// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QQuickPaintedItem>

namespace core
{
class ImageItem : public QQuickPaintedItem
{
    Q_OBJECT

public:
    explicit ImageItem(QQuickItem* parent = nullptr);
    ~ImageItem() override;

    void paint(QPainter* painter) override;
};
}
