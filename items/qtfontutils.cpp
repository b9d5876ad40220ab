// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/qtfontutils.h"

#include "plugin/qtcompat.h"

#include <QAbstractItemModel>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <limits>

namespace
{
Q_GLOBAL_STATIC_WITH_ARGS(const QRegularExpression, whitespace, (QLatin1String("\\s+")))

// Each round widens to the next overflow width; the cap bounds the search for long labels.
constexpr int maxLayoutRounds = 20;

int textWidth(const QFontMetrics& metrics, const QString& text)
{
    return metrics.size(Qt::TextSingleLine, text).width();
}
}

QtFontUtils::QtFontUtils(QObject* parent)
    : QObject(parent)
{
    // Qt 5's QML resolves slot parameter types by name; until the pointer type is registered it
    // finds no callable overload of maxColumnTextWidth at all.
    core::compat::registerMetaTypes<QAbstractItemModel*>();
}

QtFontUtils::~QtFontUtils() = default;

int QtFontUtils::maxColumnTextWidth(
    const QString& fontName, int pointSize, QAbstractItemModel* model, int roleIndex, int maxWidth)
{
    if (!model)
        return -1;
    const int rows = model->rowCount();
    if (rows == 0)
        return -1;

    const int averageWidth = QFontMetrics(QFont(fontName, pointSize)).averageCharWidth();
    int widest = 0;
    for (int row = 0; row < rows; ++row) {
        const int width = model->data(model->index(row, 0), roleIndex).toString().length() * averageWidth;
        widest = std::max(widest, width);
        if (widest > maxWidth)
            return maxWidth;
    }
    return widest;
}

int QtFontUtils::maxColumnTextWidth(const QString& fontName, int pointSize, QAbstractItemModel* model, int roleIndex)
{
    return maxColumnTextWidth(fontName, pointSize, model, roleIndex, 500);
}

int QtFontUtils::preferredRibbonLabelWidth(const QFont& font, const QString& label, int minimumWidth, int maximumWidth)
{
    if (maximumWidth < minimumWidth || label.isEmpty())
        return minimumWidth;
    const QStringList words = label.trimmed().split(*whitespace());
    if (words.isEmpty())
        return minimumWidth;

    const QFontMetrics metrics(font);
    if (textWidth(metrics, label) <= minimumWidth)
        return minimumWidth;

    QVector<int> wordWidths;
    wordWidths.reserve(words.size());
    for (const QString& word : words)
        wordWidths.append(textWidth(metrics, word));
    int width = std::max(minimumWidth, *std::max_element(wordWidths.cbegin(), wordWidths.cend()));

    // One or two words: each may take a line of its own.
    if (words.size() <= 2)
        return std::min(width, maximumWidth);

    if (width >= maximumWidth)
        return maximumWidth;
    const int spaceWidth = textWidth(metrics, QStringLiteral(" "));
    for (int round = 0; round < maxLayoutRounds; ++round) {
        int lines = 1;
        int lineWidth = wordWidths.first();
        // The narrowest width that would have kept one more word on some line.
        int smallestOverflow = std::numeric_limits<int>::max();
        for (int i = 1; i < wordWidths.size(); ++i) {
            const int extended = lineWidth + spaceWidth + wordWidths.at(i);
            if (extended > width) {
                smallestOverflow = std::min(smallestOverflow, extended);
                ++lines;
                lineWidth = wordWidths.at(i);
            } else {
                lineWidth = extended;
            }
        }
        if (lines <= 2)
            return width;
        if (smallestOverflow >= maximumWidth)
            return maximumWidth;
        width = smallestOverflow;
    }
    return minimumWidth;
}

QString QtFontUtils::addHtmlParagraphs(const QString& plainText)
{
    if (plainText.isEmpty())
        return QString();
    if (plainText.startsWith(QLatin1Char('<')))
        return plainText;
    QString paragraphs = plainText;
    paragraphs.replace(QLatin1Char('\n'), QLatin1String("</p><p>"));
    return QLatin1String("<p>") + paragraphs + QLatin1String("</p>");
}
