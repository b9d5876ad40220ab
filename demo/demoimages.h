// Corvane demo host application.
#pragma once

#include <QImage>
#include <QObject>

namespace lum
{
struct LambdaImage;
}

namespace demo
{
// In-memory images for the start page: drawing thumbnails the host renders itself (never
// files), and a lambda image that the image item renders for its window's pixel ratio.
class DemoImages : public QObject
{
    Q_OBJECT
    /// A lum::LambdaImage drawing the company logo at any device pixel ratio.
    Q_PROPERTY(QObject* logo READ logo CONSTANT)

public:
    explicit DemoImages(QObject* parent = nullptr);
    ~DemoImages() override;

    QObject* logo() const;

public Q_SLOTS:
    /// The thumbnail of recent drawing number index (0 to 5), size pixels wide and 3/4 as high.
    QImage thumbnail(int index, int size) const;
    /// The logo as rendered for devicePixelRatio.
    QImage logoImage(qreal devicePixelRatio) const;

private:
    lum::LambdaImage* m_logo;
};
}
