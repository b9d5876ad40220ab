// Corvane.Core tests.
import QtQuick 2.15
import QtTest 1.15
import Corvane.Core 1.0

TestCase {
    id: testCase
    name: "ImageItem"
    when: windowShown
    width: 200
    height: 200

    Component {
        id: imageItem
        ImageItem {
            width: 100
            height: 100
        }
    }

    // Device pixels of `item`, through grabToImage (the window's own grab is null headless).
    function grabDevicePixels(item) {
        var ratio = testImages.devicePixelRatio(item)
        var grabbed = null
        verify(item.grabToImage(function(result) { grabbed = result.image },
                                Qt.size(item.width * ratio, item.height * ratio)))
        tryVerify(function() { return grabbed !== null }, 5000)
        return grabbed
    }

    function scaledRect(x, y, width, height, ratio) {
        return Qt.rect(x * ratio, y * ratio, width * ratio, height * ratio)
    }

    function test_lambdaImageRenderedForWindow() {
        var lambda = testImages.lambdaImage(20, 10)
        var item = createTemporaryObject(imageItem, testCase, { retainSize: true, image: lambda })
        var ratio = testImages.devicePixelRatio(item)
        compare(ratio, testImages.requestedRatio())
        var ratios = testImages.renderedRatios()
        compare(ratios[ratios.length - 1], ratio)
        compare(testImages.imageSize(item.image), Qt.size(20 * ratio, 10 * ratio))
        compare(item.implicitWidth, 20)
        compare(item.implicitHeight, 10)
        var grabbed = grabDevicePixels(item)
        compare(testImages.paintedRect(grabbed), scaledRect(40, 45, 20, 10, ratio))
    }
}
