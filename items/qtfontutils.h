// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QFont>
#include <QObject>
#include <QString>

class QAbstractItemModel;

/// Functions for QML that size text-bearing elements. Created by QML, which owns it.
class QtFontUtils : public QObject
{
    Q_OBJECT

public:
    explicit QtFontUtils(QObject* parent = nullptr);
    ~QtFontUtils() override;

public Q_SLOTS:
    /// Estimated pixel width of the widest `roleIndex` text in column 0 of `model`: characters
    /// times the font's average character width, never glyph measurement. Returns `maxWidth` as
    /// soon as one row passes it (the rest are not read); -1 without a model or without rows.
    int maxColumnTextWidth(
        const QString& fontName, int pointSize, QAbstractItemModel* model, int roleIndex, int maxWidth);
    /// As above with a cap of 500.
    int maxColumnTextWidth(const QString& fontName, int pointSize, QAbstractItemModel* model, int roleIndex);
    /// The narrowest width, from the widest word up, at which `label` wraps onto at most two
    /// lines, kept between `minimumWidth` and `maximumWidth`. `minimumWidth` when the label is
    /// empty, fits in it on one line, or the range is reversed.
    int preferredRibbonLabelWidth(const QFont& font, const QString& label, int minimumWidth, int maximumWidth);
    /// "<p>" paragraphs, one per line of `plainText`, for rich-text labels; text that already
    /// starts with "<" is returned unchanged. Nothing is escaped.
    QString addHtmlParagraphs(const QString& plainText);
};
