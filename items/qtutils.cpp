// Corvane.Core — QML extension module of the Corvane CAD application.
#include "items/qtutils.h"

#include "plugin/qtcompat.h"

#include <QCursor>
#include <QDebug>
#include <QFile>
#include <QQmlEngine>

namespace core
{
namespace
{
QString themeName(int colorThemeId)
{
    switch (colorThemeId) {
    case 0:
        return QStringLiteral("dark");
    case 2:
        return QStringLiteral("pink");
    default:
        return QStringLiteral("light");
    }
}

// `prefix` is ":/svg/" or ":/toolicons/<size>/"; an empty theme gives the older unthemed location.
QString candidatePath(const QString& prefix, const QString& theme, const QString& image, const QString& suffix)
{
    QString path = prefix + theme;
    if (!theme.isEmpty())
        path += QLatin1Char('/');
    path += image;
    // Case-sensitive on purpose: resource paths are.
    if (!image.endsWith(suffix))
        path += suffix;
    return path;
}

QString themedUrl(const QString& prefix, const QString& image, int colorThemeId, const QString& suffix)
{
    if (image.isEmpty())
        return QString();

    QString path = candidatePath(prefix, themeName(colorThemeId), image, suffix);
    if (!QFile::exists(path)) {
        const QString lightPath = candidatePath(prefix, QStringLiteral("light"), image, suffix);
        if (QFile::exists(lightPath)) {
            path = lightPath;
        } else {
            qDebug() << "Missing Dark/Light themed image for: " << image << "\nPath searched: " << lightPath;
            const QString unthemedPath = candidatePath(prefix, QString(), image, suffix);
            if (QFile::exists(unthemedPath)) {
                qDebug() << "Deprecated path found for themed image: " << image << "\nPath found: " << unthemedPath;
                path = unthemedPath;
            } else {
                qDebug() << "Missing default themed image: " << image;
                path = QStringLiteral(":/bitmaps/blank_item.png");
            }
        }
    }
    return QLatin1String("qrc") + path;
}
}

QtUtils::QtUtils(QObject* parent)
    : QObject(parent)
{
}

QtUtils::~QtUtils() = default;

QString QtUtils::themePathSvg(const QString& image, int colorThemeId)
{
    return themedUrl(QStringLiteral(":/svg/"), image, colorThemeId, QStringLiteral(".svg"));
}

QString QtUtils::themePathPng(const QString& image, int colorThemeId, int size)
{
    return themedUrl(QLatin1String(":/toolicons/") + QString::number(size) + QLatin1Char('/'), image, colorThemeId,
        QStringLiteral(".png"));
}

QString QtUtils::validFileNameRegularExpression()
{
    return QStringLiteral("^[^*?\\/:\"<>|]*$");
}

bool QtUtils::isQt6()
{
    return compat::qt6;
}

QPoint QtUtils::getGlobalMousePos()
{
    return QCursor::pos();
}

QObject* QtUtils::getObjectParent(QObject* obj)
{
    QObject* parent = obj ? obj->parent() : nullptr;
    // An object QML receives from a method becomes JavaScript-owned unless its ownership was set,
    // and the collector would delete a host's parentless model or view. Objects that a QML engine
    // made, or whose ownership someone set, keep what they have.
    if (parent && !qmlEngine(parent) && QQmlEngine::objectOwnership(parent) == QQmlEngine::CppOwnership)
        QQmlEngine::setObjectOwnership(parent, QQmlEngine::CppOwnership);
    return parent;
}

bool QtUtils::imageValid(const QImage& image)
{
    return !image.isNull();
}
}
