// Corvane.Core tests.
//
// Pixels, headless: with QT_QPA_PLATFORM=offscreen and the software Quick backend,
// QQuickWindow::grabWindow() returns a null image; QQuickItem::grabToImage() renders the item's
// scene-graph subtree, so it shows what the item really painted. Asked for the item's size times
// the window's device pixel ratio, it gives device pixels. This test runs twice: as is (ratio 1)
// and with QT_SCALE_FACTOR=2 (ratio 2).
#include "items/imageitem.h"

#include <lumen/lambdaimage.h>

#include <QPainter>
#include <QPicture>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QtTest>

#include <cmath>
#include <memory>

using core::ImageItem;

namespace
{
QImage solid(int width, int height, QColor color = Qt::red)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// The device pixels the item's subtree renders to.
QImage grabDevicePixels(QQuickItem* item)
{
    QSharedPointer<QQuickItemGrabResult> result
        = item->grabToImage((item->size() * item->window()->effectiveDevicePixelRatio()).toSize());
    QSignalSpy ready(result.data(), &QQuickItemGrabResult::ready);
    return result && ready.wait(5000) ? result->image() : QImage();
}

QRect paintedRect(const QImage& image)
{
    QRect painted;
    for (int i = 0; i < image.width() * image.height(); ++i)
        if (const QPoint at(i % image.width(), i / image.width()); qAlpha(image.pixel(at)))
            painted |= QRect(at, at);
    return painted;
}

struct RecordingLambda
{
    QVector<qreal> ratios;
    lum::LambdaImage object { [this](qreal ratio) {
        ratios.append(ratio);
        return solid(qRound(20 * ratio), qRound(10 * ratio), Qt::green);
    } };
};
}

class tst_ImageItem : public QObject
{
    Q_OBJECT

    std::unique_ptr<QQuickWindow> m_window;
    qreal ratio() const { return m_window->effectiveDevicePixelRatio(); }

private Q_SLOTS:
    void init()
    {
        m_window = std::make_unique<QQuickWindow>();
        m_window->resize(200, 200);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // The second run sets QT_SCALE_FACTOR=2; make sure it took effect.
        QCOMPARE(ratio(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    }
    void cleanup() { m_window.reset(); }

    void shouldPaintCrisplyAtNaturalSizeAndFitOnceSwitched_data()
    {
        QTest::addColumn<int>("fillMode");
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<QSizeF>("itemSize");
        QTest::addColumn<QRect>("fitted"); // device pixels at ratio 1; ratio 2 doubles them
        QTest::newRow("pad, wide image") << 6 << QSize(64, 32) << QSizeF(100, 100) << QRect(0, 25, 100, 50);
        QTest::newRow("square image in a wide item") << 6 << QSize(64, 64) << QSizeF(100, 80) << QRect(10, 0, 80, 80);
    }
    void shouldPaintCrisplyAtNaturalSizeAndFitOnceSwitched()
    {
        QFETCH(QSize, imageSize);
        QFETCH(QSizeF, itemSize);
        QFETCH(QRect, fitted);
        auto* item = new ImageItem(m_window->contentItem());
        item->setSize(itemSize);
        QFETCH(int, fillMode);
        item->setFillMode(fillMode);
        // Columns alternate red and blue, so a blurred or resampled copy has neither colour exactly.
        QImage image = solid(imageSize.width(), imageSize.height());
        for (int i = 0; i < image.width() * image.height(); i += 2)
            image.setPixel(i % image.width() | 1, i / image.width(), qRgb(0, 0, 255));
        item->setImage(QVariant::fromValue(image));
        // One image pixel on one device pixel, centred in the item's device pixels
        const int r = int(ratio());
        const QRect natural(
            QPoint(int(itemSize.width()) * r - image.width(), int(itemSize.height()) * r - image.height()) / 2,
            image.size());
        const QImage grabbed = grabDevicePixels(item);
        QVERIFY(paintedRect(grabbed) == natural && grabbed.copy(natural).convertToFormat(image.format()) == image);
        // Switched to preserve-aspect fit, the image fills the bounds at once
        item->setFillMode(1);
        QCOMPARE(paintedRect(grabDevicePixels(item)), QRect(fitted.topLeft() * r, fitted.size() * r));
    }

    void shouldSignalOnlyRealChanges()
    {
        auto* item = new ImageItem(m_window->contentItem());
        QSignalSpy imageSpy(item, &ImageItem::imageChanged);
        // The same image twice is one change; the implicit size follows the window's ratio at once
        item->setImage(QVariant::fromValue(solid(64, 32)));
        item->setImage(QVariant::fromValue(solid(64, 32)));
        QCOMPARE(imageSpy.count(), 1);
        item->setRetainSize(true);
        QCOMPARE(QSizeF(item->implicitWidth(), item->implicitHeight()), QSizeF(64, 32) / ratio());
        // A value that is no image clears it: no size
        item->setImage(QStringLiteral("open.png"));
        QVERIFY(imageSpy.count() == 2 && !item->isValid() && item->implicitWidth() == 0);
    }

    void shouldPlaceWhatItPaintsWithoutAWindow_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<int>("fillMode");
        QTest::addColumn<qreal>("imageRatio");
        QTest::addColumn<QRect>("drawn"); // null: nothing drawn
        // Below ratio 1 an image is drawn larger than its pixels, and centred by that size
        QTest::newRow("ratio 0.5 centred by drawn size") << QSizeF(100, 100) << 6 << 0.5 << QRect(30, 40, 40, 20);
        // Fitted extents beyond any screen are not painted; coordinates beyond int are clamped
        QTest::newRow("fit to infinite width") << QSizeF(HUGE_VAL, 100) << 1 << 1.0 << QRect();
        QTest::newRow("fit taller than any screen") << QSizeF(100, 32769) << 1 << 1.0 << QRect();
        QTest::newRow("centre beyond int") << QSizeF(1e12, 1e12) << 6 << 1.0 << QRect(1 << 24, 1 << 24, 20, 10);
    }
    void shouldPlaceWhatItPaintsWithoutAWindow()
    {
        QFETCH(QSizeF, size);
        QFETCH(int, fillMode);
        QFETCH(qreal, imageRatio);
        ImageItem item;
        item.setSize(size);
        item.setFillMode(fillMode);
        QImage image = solid(20, 10);
        image.setDevicePixelRatio(imageRatio);
        item.setImage(QVariant::fromValue(image));
        QPicture picture;
        QPainter painter(&picture);
        item.paint(&painter);
        painter.end();
        QTEST(picture.boundingRect(), "drawn");
    }

    void shouldRenderLambdaImageForEachWindow()
    {
        // Given a lambda image assigned outside any window: rendered at ratio 1, no size yet
        RecordingLambda lambda;
        ImageItem item;
        item.setRetainSize(true);
        item.setImage(QVariant::fromValue<QObject*>(&lambda.object));
        QCOMPARE(lambda.ratios, QVector<qreal> { 1.0 });
        // Placed in a window, it is rendered at its ratio and sized, even when the rendering is equal
        item.setParentItem(m_window->contentItem());
        QCOMPARE(lambda.ratios, (QVector<qreal> { 1.0, ratio() }));
        QCOMPARE(QSizeF(item.implicitWidth(), item.implicitHeight()), QSizeF(20, 10));
        // A destroyed lambda leaves its last image
        item.setParentItem(nullptr);
        {
            RecordingLambda gone;
            item.setImage(QVariant::fromValue<QObject*>(&gone.object));
        }
        item.setParentItem(m_window->contentItem());
        QCOMPARE(item.image().value<QImage>().size(), QSize(20, 10));
        item.setParentItem(nullptr);
    }

    void shouldLeaveWindowSafelyWhenDestroyed()
    {
        // The base class leaves the window after this class is gone (a sanitizer build sees a
        // call into the destroyed part otherwise).
        auto* item = new ImageItem(m_window->contentItem());
        item->setImage(QVariant::fromValue(solid(8, 8)));
        delete item;
        QVERIFY(m_window->contentItem()->childItems().isEmpty());
    }
};

QTEST_MAIN(tst_ImageItem)
#include "tst_imageitem.moc"
