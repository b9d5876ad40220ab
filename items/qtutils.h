// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QString>

namespace core
{
/// Functions for QML: themed icon URLs and a few one-line helpers. Created by QML, which owns it.
class QtUtils : public QObject
{
    Q_OBJECT

public:
    explicit QtUtils(QObject* parent = nullptr);
    ~QtUtils() override;

public Q_SLOTS:
    /// "qrc" URL of the scalable icon `image` for the colour theme (0 dark, 1 light, 2 pink, any
    /// other light). Falls back to the light theme, then to the unthemed ":/svg/" location, then
    /// to ":/bitmaps/blank_item.png", with a debug line for each missing level. Empty for an
    /// empty name.
    QString themePathSvg(const QString& image, int colorThemeId);
    /// As themePathSvg for the bitmap icon of pixel size `size` below ":/toolicons/".
    QString themePathPng(const QString& image, int colorThemeId, int size);
    /// Pattern matching a whole file name free of * ? / : " < > |.
    QString validFileNameRegularExpression();
    /// Whether the module is built against Qt 6 (the build picks Qt 5.15 or Qt 6).
    bool isQt6();
    /// The mouse cursor in global screen coordinates.
    QPoint getGlobalMousePos();
    /// The QObject parent of `obj`; null for a null `obj`.
    QObject* getObjectParent(QObject* obj);
    /// Whether `image` is not a null image.
    bool imageValid(const QImage& image);
};
}
