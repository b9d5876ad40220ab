// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QImage>
#include <QPointer>
#include <QQuickPaintedItem>
#include <QVariant>

namespace lum
{
struct LambdaImage;
}

namespace core
{
/// Shows an in-memory image: a QImage, or a lum::LambdaImage rendered for the window's device
/// pixel ratio (again whenever the item moves to another window). The image is painted centred,
/// at its natural size or, with fillMode 1, fitted into the item keeping its aspect ratio.
class ImageItem : public QQuickPaintedItem
{
    Q_OBJECT
    /// The image shown. Accepts a QImage or a lum::LambdaImage (not owned); reads back the
    /// current QImage. Anything else gives a null image.
    Q_PROPERTY(QVariant image READ image WRITE setImage NOTIFY imageChanged)
    /// Whether the current image is not null.
    Q_PROPERTY(bool isValid READ isValid NOTIFY isValidChanged)
    /// Fill modes numbered as those of QML's Image; only 1 (PreserveAspectFit) scales, every
    /// other value paints at natural size. Default 6 (Pad).
    Q_PROPERTY(int fillMode READ fillMode WRITE setFillMode NOTIFY fillModeChanged)
    /// Implicit size in logical pixels (image pixels divided by the device pixel ratio) when
    /// true, in image pixels when false (the default).
    Q_PROPERTY(bool retainSize READ retainSize WRITE setRetainSize NOTIFY retainSizeChanged)

public:
    explicit ImageItem(QQuickItem* parent = nullptr);
    ~ImageItem() override;

    QVariant image() const;
    /// Runs on every write, even of an equal value: a lambda image is rendered anew.
    void setImage(const QVariant& image);

    bool isValid() const;

    int fillMode() const;
    void setFillMode(int fillMode);

    bool retainSize() const;
    void setRetainSize(bool retainSize);

    void paint(QPainter* painter) override;

Q_SIGNALS:
    void imageChanged();
    void isValidChanged();
    void retainSizeChanged();
    void fillModeChanged();

private:
    void applyImage(const QImage& image);
    void updateImplicitSize();
    void onWindowChanged(QQuickWindow* window);

    bool m_retainSize = false;
    int m_fillMode = 6;
    QImage m_image;
    QPointer<lum::LambdaImage> m_lambdaImage;
    QMetaObject::Connection m_windowConnection;
};
}
