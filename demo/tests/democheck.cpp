// Corvane demo host application: checks the results of the demo's headless run.
//   democheck images DIR PAGE...      DIR/PAGE.png and DIR/PAGE@2x.png exist, are not blank, and
//                                     the second has twice the pixels of the first per side
//   democheck layout DEFAULT SAVED RESTORED
//                                     the saved layout differs from the default one, and the
//                                     second start restored exactly the saved one
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QSet>
#include <QStringList>

#include <cstdio>

namespace
{
int failures = 0;

void fail(const QString& text)
{
    std::fprintf(stderr, "democheck: %s\n", qPrintable(text));
    ++failures;
}

// An image is blank when nearly all of its pixels share one colour.
bool isBlank(const QImage& image)
{
    QHash<QRgb, int> counts;
    const int step = qMax(1, image.width() * image.height() / 20000);
    int samples = 0;
    for (int i = 0; i < image.width() * image.height(); i += step) {
        ++counts[image.pixel(i % image.width(), i / image.width())];
        ++samples;
    }
    int most = 0;
    for (int count : qAsConst(counts))
        most = qMax(most, count);
    return counts.size() < 8 || most > samples * 98 / 100;
}

QImage load(const QString& fileName)
{
    QImage image;
    if (!QFile::exists(fileName))
        fail(fileName + QStringLiteral(" is missing"));
    else if (!image.load(fileName))
        fail(fileName + QStringLiteral(" is not an image"));
    else if (isBlank(image))
        fail(fileName + QStringLiteral(" is blank"));
    return image;
}

QStringList lines(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail(fileName + QStringLiteral(" is missing"));
        return {};
    }
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
}

int main(int argc, char* argv[])
{
    const QStringList args = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    if (args.size() >= 3 && args.first() == QLatin1String("images")) {
        const QString dir = args.at(1);
        for (const QString& page : args.mid(2)) {
            const QImage normal = load(dir + QLatin1Char('/') + page + QStringLiteral(".png"));
            const QImage doubled = load(dir + QLatin1Char('/') + page + QStringLiteral("@2x.png"));
            if (!normal.isNull() && !doubled.isNull() && doubled.size() != normal.size() * 2)
                fail(QStringLiteral("%1@2x.png is %2x%3, not twice %4x%5")
                         .arg(page)
                         .arg(doubled.width())
                         .arg(doubled.height())
                         .arg(normal.width())
                         .arg(normal.height()));
        }
    } else if (args.size() == 4 && args.first() == QLatin1String("layout")) {
        const QStringList defaults = lines(args.at(1));
        const QStringList saved = lines(args.at(2));
        const QStringList restored = lines(args.at(3));
        if (defaults.isEmpty() || saved.isEmpty())
            fail(QStringLiteral("no column layout was written"));
        else if (saved == defaults)
            fail(QStringLiteral("the script did not change the column layout"));
        if (restored != saved)
            fail(QStringLiteral("restored layout\n  %1\ndiffers from the saved one\n  %2")
                     .arg(restored.join(QStringLiteral("\n  ")), saved.join(QStringLiteral("\n  "))));
    } else {
        fail(QStringLiteral("usage: democheck images DIR PAGE... | democheck layout DEFAULT SAVED RESTORED"));
    }
    return failures == 0 ? 0 : 1;
}
