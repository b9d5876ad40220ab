// Corvane.Core tests.
//
// Pixels, headless: with the offscreen platform and the software Quick backend the test window's
// grabWindow() (TestCase.grabImage) gives a null image; Item.grabToImage() renders the item's
// subtree and works. Pass the item's size times the ratio as target size to get device pixels.
#include "items_testimages.h"

#include <QQmlContext>
#include <QQmlEngine>
#include <QtQuickTest>

class Setup : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->rootContext()->setContextProperty(QStringLiteral("testImages"), &m_images);
    }

private:
    TestImages m_images;
};

QUICK_TEST_MAIN_WITH_SETUP(corvane_items, Setup)

#include "main.moc"
