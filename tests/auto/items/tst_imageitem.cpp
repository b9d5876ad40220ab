// Corvane.Core tests.
//
// Pixels, headless: with QT_QPA_PLATFORM=offscreen and the software Quick backend,
// QQuickWindow::grabWindow() returns a null image even for a window created and shown in C++ and
// exposed (QTest::qWaitForWindowExposed): the offscreen backing store hands no image back.
// QQuickItem::grabToImage() works: it renders the item's scene-graph subtree, so it shows what the
// item really painted. Ask for the item's size times the window's device pixel ratio to get
// device pixels. This test runs twice: as is (ratio 1) and with QT_SCALE_FACTOR=2 (ratio 2).
#include "items/imageitem.h"

#include <lumen/lambdaimage.h>

#include <QQuickItem>
#include <QQuickItemGrabResult>
#include <QQuickWindow>
#include <QScopedPointer>
#include <QtTest>

using core::ImageItem;

namespace
{
// Columns alternate red and blue, so a blurred or resampled copy has neither colour exactly.
QImage stripes(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int x = 0; x < width; ++x) {
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, x % 2 ? qRgb(0, 0, 255) : qRgb(255, 0, 0));
    }
    return image;
}

QImage solid(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

// The device pixels the item's subtree renders to.
QImage grabDevicePixels(QQuickItem* item)
{
    const qreal ratio = item->window()->effectiveDevicePixelRatio();
    const QSize size = (item->size() * ratio).toSize();
    QSharedPointer<QQuickItemGrabResult> result = item->grabToImage(size);
    if (!result)
        return QImage();
    QSignalSpy ready(result.data(), &QQuickItemGrabResult::ready);
    if (!ready.wait(5000))
        return QImage();
    return result->image();
}

QRect paintedRect(const QImage& image)
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

private Q_SLOTS:
    void initTestCase()
    {
        // The second run sets QT_SCALE_FACTOR=2; make sure it took effect.
        QQuickWindow window;
        QCOMPARE(
            window.effectiveDevicePixelRatio(), qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble());
    }

    void init()
    {
        m_window.reset(new QQuickWindow);
        m_window->resize(200, 200);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.data()));
    }

    void cleanup()
    {
        m_window.reset();
    }

    void shouldSizeImplicitlyAtWindowRatio_data()
    {
        QTest::addColumn<bool>("retainSize");
        QTest::addColumn<QSizeF>("atRatio1");
        QTest::addColumn<QSizeF>("atRatio2");
        QTest::newRow("image pixels") << false << QSizeF(64, 32) << QSizeF(64, 32);
        QTest::newRow("retained logical size") << true << QSizeF(64, 32) << QSizeF(32, 16);
    }

    void shouldSizeImplicitlyAtWindowRatio()
    {
        QFETCH(bool, retainSize);
        QFETCH(QSizeF, atRatio1);
        QFETCH(QSizeF, atRatio2);
        QVERIFY(ratio() == 1.0 || ratio() == 2.0);

        // Given an item in a window
        ImageItem* item = createItem();
        item->setRetainSize(retainSize);

        // When a 64 x 32 pixel image is assigned
        item->setImage(QVariant::fromValue(solid(64, 32, Qt::red)));

        // Then the implicit size follows the window's ratio and the image carries it
        QCOMPARE(QSizeF(item->implicitWidth(), item->implicitHeight()), ratio() == 1.0 ? atRatio1 : atRatio2);
        QCOMPARE(item->image().value<QImage>().devicePixelRatio(), ratio());
        QVERIFY(item->isValid());
    }

    void shouldPaintCentredAtNaturalSizeCrisply_data()
    {
        QTest::addColumn<int>("fillMode");
        QTest::addColumn<QRect>("atRatio1"); // device pixels
        QTest::addColumn<QRect>("atRatio2");
        // (34, 42) logical at ratio 2: centred by the image's logical size 32 x 16.
        QTest::newRow("pad") << 6 << QRect(18, 34, 64, 32) << QRect(68, 84, 64, 32);
        QTest::newRow("stretch") << 0 << QRect(18, 34, 64, 32) << QRect(68, 84, 64, 32);
        QTest::newRow("preserve aspect crop") << 2 << QRect(18, 34, 64, 32) << QRect(68, 84, 64, 32);
    }

    void shouldPaintCentredAtNaturalSizeCrisply()
    {
        QFETCH(int, fillMode);
        QFETCH(QRect, atRatio1);
        QFETCH(QRect, atRatio2);

        // Given a 100 x 100 item
        ImageItem* item = createItem();
        item->setFillMode(fillMode);

        // When a 64 x 32 pixel image is shown
        const QImage image = stripes(64, 32);
        item->setImage(QVariant::fromValue(image));
        const QImage grabbed = grabDevicePixels(item);
        QVERIFY(!grabbed.isNull());

        // Then it lands centred, one image pixel on one device pixel
        const QRect expected = ratio() == 1.0 ? atRatio1 : atRatio2;
        QCOMPARE(paintedRect(grabbed), expected);
        QCOMPARE(grabbed.copy(expected).convertToFormat(image.format()), image);
    }

    void shouldFitBoundsInDevicePixels_issue6_data()
    {
        QTest::addColumn<QSize>("imageSize");
        QTest::addColumn<QSizeF>("itemSize");
        QTest::addColumn<QRect>("atRatio1"); // device pixels
        QTest::addColumn<QRect>("atRatio2");
        QTest::newRow("wide image in square")
            << QSize(64, 32) << QSizeF(100, 100) << QRect(0, 25, 100, 50) << QRect(0, 50, 200, 100);
        QTest::newRow("square image in wide")
            << QSize(64, 64) << QSizeF(100, 60) << QRect(20, 0, 60, 60) << QRect(40, 0, 120, 120);
        QTest::newRow("small image grows") << QSize(8, 4) << QSizeF(100, 100) << QRect(0, 25, 100, 50)
                                           << QRect(0, 50, 200, 100);
    }

    void shouldFitBoundsInDevicePixels_issue6()
    {
        QFETCH(QSize, imageSize);
        QFETCH(QSizeF, itemSize);
        QFETCH(QRect, atRatio1);
        QFETCH(QRect, atRatio2);

        // Given an image shown at natural size
        ImageItem* item = createItem(itemSize);
        item->setImage(QVariant::fromValue(solid(imageSize.width(), imageSize.height(), Qt::red)));
        QVERIFY(!grabDevicePixels(item).isNull());

        // When the item switches to preserve-aspect fit
        item->setFillMode(1);

        // Then the image fills the bounds in device pixels, at ratio 2 as at ratio 1
        QCOMPARE(paintedRect(grabDevicePixels(item)), ratio() == 1.0 ? atRatio1 : atRatio2);
    }

    void shouldSignalOnlyRealChanges()
    {
        ImageItem* item = createItem();
        QSignalSpy imageSpy(item, &ImageItem::imageChanged);
        QSignalSpy validSpy(item, &ImageItem::isValidChanged);
        QSignalSpy fillSpy(item, &ImageItem::fillModeChanged);
        QSignalSpy retainSpy(item, &ImageItem::retainSizeChanged);
        // The same image twice is one change; another valid image announces validity again
        const QImage red = solid(64, 32, Qt::red);
        item->setImage(QVariant::fromValue(red));
        item->setImage(QVariant::fromValue(red));
        QCOMPARE(imageSpy.count(), 1);
        QCOMPARE(validSpy.count(), 1);
        item->setImage(QVariant::fromValue(solid(64, 32, Qt::blue)));
        QCOMPARE(imageSpy.count(), 2);
        QCOMPARE(validSpy.count(), 2);
        // Defaults written again are no change; real changes recompute the implicit size at once
        QCOMPARE(item->fillMode(), 6);
        item->setFillMode(6);
        item->setRetainSize(false);
        QCOMPARE(fillSpy.count(), 0);
        QCOMPARE(retainSpy.count(), 0);
        item->setFillMode(1);
        item->setRetainSize(true);
        QCOMPARE(fillSpy.count(), 1);
        QCOMPARE(retainSpy.count(), 1);
        QCOMPARE(item->implicitWidth(), 64 / ratio());
        // A value that is no image clears it: no size, no pixels
        item->setImage(QStringLiteral("open.png"));
        QCOMPARE(imageSpy.count(), 3);
        QCOMPARE(validSpy.count(), 3);
        QVERIFY(!item->isValid());
        QVERIFY(item->image().value<QImage>().isNull());
        QCOMPARE(QSizeF(item->implicitWidth(), item->implicitHeight()), QSizeF(0, 0));
        QVERIFY(paintedRect(grabDevicePixels(item)).isNull());
        item->paint(nullptr);
    }

    void shouldSizeFromImageOncePlacedInWindow()
    {
        // Given an item outside any window
        ImageItem item;
        QSignalSpy imageSpy(&item, &ImageItem::imageChanged);
        QSignalSpy validSpy(&item, &ImageItem::isValidChanged);

        // When an image is assigned, it is stored and announced but gives no size yet
        item.setImage(QVariant::fromValue(solid(64, 32, Qt::red)));
        QCOMPARE(imageSpy.count(), 1);
        QCOMPARE(validSpy.count(), 1);
        QCOMPARE(QSizeF(item.implicitWidth(), item.implicitHeight()), QSizeF(0, 0));

        // When the item is placed in a window, the size follows from the image
        item.setRetainSize(true);
        item.setParentItem(m_window->contentItem());
        QCOMPARE(QSizeF(item.implicitWidth(), item.implicitHeight()), QSizeF(64, 32) / ratio());
        QCOMPARE(imageSpy.count(), 1);
        item.setParentItem(nullptr);
    }

    void shouldRenderLambdaImageForEachWindow()
    {
        // Given a lambda image assigned to an item outside any window
        RecordingLambda lambda;
        ImageItem item;
        item.setRetainSize(true);
        QSignalSpy imageSpy(&item, &ImageItem::imageChanged);
        item.setImage(QVariant::fromValue<QObject*>(&lambda.object));
        // Then it is rendered at ratio 1 and read back as the rendered image
        QCOMPARE(lambda.ratios, QVector<qreal> { 1.0 });
        QCOMPARE(item.image().value<QImage>().size(), QSize(20, 10));

        // When the item is placed in a window, it is rendered at that window's ratio
        item.setParentItem(m_window->contentItem());
        QCOMPARE(lambda.ratios, (QVector<qreal> { 1.0, ratio() }));
        QCOMPARE(QSizeF(item.implicitWidth(), item.implicitHeight()), QSizeF(20, 10));

        // When it moves to another window, it is rendered again for that one
        QQuickWindow other;
        item.setParentItem(other.contentItem());
        QCOMPARE(lambda.ratios, (QVector<qreal> { 1.0, ratio(), other.effectiveDevicePixelRatio() }));

        // When a plain image replaces it, window changes no longer render
        item.setImage(QVariant::fromValue(solid(4, 4, Qt::red)));
        item.setParentItem(m_window->contentItem());
        QCOMPARE(lambda.ratios.size(), 3);
        item.setParentItem(nullptr);

        // A destroyed lambda leaves its last image
        {
            RecordingLambda gone;
            item.setImage(QVariant::fromValue<QObject*>(&gone.object));
        }
        item.setParentItem(m_window->contentItem());
        QCOMPARE(item.image().value<QImage>().size(), QSize(20, 10));
        QVERIFY(item.isValid());
        item.setParentItem(nullptr);
    }

    void shouldLeaveWindowSafelyWhenDestroyed()
    {
        // The base class leaves the window after this class is gone (a sanitizer build sees a
        // call into the destroyed part otherwise).
        ImageItem* item = createItem();
        item->setImage(QVariant::fromValue(solid(8, 8, Qt::red)));
        delete item;
        QVERIFY(m_window->contentItem()->childItems().isEmpty());
    }

private:
    ImageItem* createItem(QSizeF size = QSizeF(100, 100));
    qreal ratio() const { return m_window->effectiveDevicePixelRatio(); }

    QScopedPointer<QQuickWindow> m_window;
};

ImageItem* tst_ImageItem::createItem(QSizeF size)
{
    auto* item = new ImageItem(m_window->contentItem());
    item->setSize(size);
    return item;
}

QTEST_MAIN(tst_ImageItem)
#include "tst_imageitem.moc"
