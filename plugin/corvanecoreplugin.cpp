// Corvane.Core — QML extension module of the Corvane CAD application.
#include "plugin/corvanecoreplugin.h"

#include "plugin/coreenums.h"
#include "plugin/cvenums.h"

#include "items/imageitem.h"
#include "items/qtfontutils.h"
#include "items/qtutils.h"
#include "models/identityproxymodel.h"
#include "models/modelwatcher.h"
#include "models/qtmodelutils.h"
#include "models/qtvaluewrapper.h"
#include "models/sortfiltermodel.h"
#include "models/sortfilterselectmodel.h"
#include "models/treeexpandconnections.h"
#include "windows/cursorchanger.h"
#include "windows/keyeventfilter.h"
#include "windows/messagedialog.h"
#include "windows/systemtooltip.h"
#include "windows/transientpopup.h"

#include <lumen/filteroperatorsmodel.h>
#include <lumen/intervalmodel.h>
#include <lumen/qtwindowparent.h>
#include <lumen/rowfilter.h>
#include <lumen/settings.h>

#include <QCoreApplication>
#include <QDoubleValidator>
#include <QLocale>
#include <QThread>
#include <QtQml>

#include <memory>

namespace core
{
namespace
{
// Numbers typed in the panels always use a full stop, whatever the user's locale, and a group
// separator makes the input invalid.
QDoubleValidator* createSharedValidator()
{
    auto* validator = new QDoubleValidator;
    QLocale locale = QLocale::c();
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    validator->setLocale(locale);
    // The engine may register the module from its loader thread; QML refuses a singleton
    // instance that lives on another thread than the application.
    QCoreApplication* app = QCoreApplication::instance();
    if (app && validator->thread() && validator->thread() != app->thread())
        validator->moveToThread(app->thread());
    return validator;
}
}

void CorvaneCorePlugin::registerTypes(const char* uri)
{
    const char* const cppOnly = "type is C++ constructed only";
    const QString onlyEnums = QStringLiteral("Error: only enums");

    qmlRegisterType<ImageItem>(uri, 1, 0, "ImageItem");
    qmlRegisterType<QtUtils>(uri, 1, 0, "QtUtils");
    qmlRegisterType<QtModelUtils>(uri, 1, 0, "QtModelUtils");
    qmlRegisterType<::QtFontUtils>(uri, 1, 0, "QtFontUtils");
    qmlRegisterType<IdentityProxyModel>(uri, 1, 0, "IdentityProxyModel");
    qmlRegisterType<SortFilterModel>(uri, 1, 0, "SortFilterModel");
    qmlRegisterType<SortFilterSelectModel>(uri, 1, 0, "SortFilterSelectModel");
    qmlRegisterType<lum::IntervalModel>(uri, 1, 0, "IntervalModel");
    qmlRegisterType<ModelWatcher>(uri, 1, 0, "ModelWatcher");
    qmlRegisterType<CursorChanger>(uri, 1, 0, "CursorChanger");
    qmlRegisterType<KeyEventFilter>(uri, 1, 0, "KeyEventFilter");
    qmlRegisterType<TransientPopup>(uri, 1, 0, "TransientPopup");
    qmlRegisterType<MessageDialog>(uri, 1, 0, "MessageDialogCV");
    qmlRegisterType<lum::FilterOperatorsModel>(uri, 1, 0, "FilterOperatorsModel");
    qmlRegisterType<lum::QtWindowParent>(uri, 1, 0, "QtWindowParent");
    qmlRegisterType<TreeExpandConnections>(uri, 1, 0, "TreeExpandConnections");
    qmlRegisterType<SystemTooltip>(uri, 1, 0, "SystemTooltip");

    qmlRegisterUncreatableType<::QtValueWrapper>(uri, 1, 0, "QtValueWrapper", QString::fromLatin1(cppOnly));
    qmlRegisterUncreatableType<lum::RowFilter>(uri, 1, 0, "RowFilter", QString::fromLatin1(cppOnly));

    qmlRegisterSingletonInstance<lum::Settings>(uri, 1, 0, "CVSettings", lum::Settings::instance());

    // Created on the first registration, kept until the library is unloaded.
    static const std::unique_ptr<QDoubleValidator> sharedValidator(createSharedValidator());
    qmlRegisterSingletonInstance<QDoubleValidator>(uri, 1, 0, "CVDoubleValidator", sharedValidator.get());

    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "DialogReturn", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "QMessageStyle", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "LayerCellTypes", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "LayerHeaderTypes", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "QImageExt", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "ManagerCellTypes", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "HelpButtonCategory", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "QDropPositionType", onlyEnums);
    qmlRegisterUncreatableMetaObject(cv::staticMetaObject, uri, 1, 0, "Cv", onlyEnums);
    qmlRegisterUncreatableMetaObject(core::staticMetaObject, uri, 1, 0, "StartCellTypes", onlyEnums);
}
}
