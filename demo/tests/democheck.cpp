// Corvane demo host application: checks the screenshots of the demo's headless run.
//   democheck DIR PAGE...   DIR/PAGE.png and DIR/PAGE@2x.png exist, are not blank, and the second
//                           has twice the pixels of the first per side
#include <QHash>
#include <QImage>

#include <cstdio>

namespace
{
// Blank: fewer than 8 colours, or one colour on nearly every pixel.
bool isBlank(const QImage& image)
{
    QHash<QRgb, int> counts;
    const int pixels = image.width() * image.height(), step = qMax(1, pixels / 20000);
    int most = 0;
    for (int i = 0; i < pixels; i += step)
        most = qMax(most, ++counts[image.pixel(i % image.width(), i / image.width())]);
    return counts.size() < 8 || most > pixels / step * 98 / 100;
}
}

int main(int argc, char* argv[])
{
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        const QString page = QString::fromLocal8Bit(argv[1]) + QLatin1Char('/') + QString::fromLocal8Bit(argv[i]);
        const QImage normal(page + QStringLiteral(".png"));
        const QImage doubled(page + QStringLiteral("@2x.png"));
        const char* problem = normal.isNull() || doubled.isNull() ? "missing or not an image"
            : isBlank(normal) || isBlank(doubled)                 ? "blank"
            : doubled.size() != normal.size() * 2                 ? "not twice as large at ratio 2"
                                                                  : nullptr;
        if (problem) {
            std::fprintf(stderr, "democheck: %s: %s\n", qPrintable(page), problem);
            ++failures;
        }
    }
    return argc > 2 && failures == 0 ? 0 : 1;
}
