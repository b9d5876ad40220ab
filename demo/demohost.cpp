// Corvane demo host application.
#include "demohost.h"

#include "demoimages.h"
#include "filetreemodel.h"
#include "layertablemodel.h"

#include <harbor/hbhostapp.h>
#include <lumen/settings.h>
#include <lumen/textrowfilter.h>

#include <QQmlContext>

namespace demo
{
struct DemoHost::Private
{
    // The application object: the module reaches the dialog and popup factories through it.
    hb::HbHostApp application;

    LayerTableModel layers;
    FileTreeModel files;
    lum::TextRowFilter layerFilter;
    DemoImages images;
};

DemoHost::DemoHost()
    : d(std::make_unique<Private>())
{
    // Created before any panel: the module registers it as the "CVSettings" singleton.
    lum::Settings::instance();
    d->layerFilter.setColumns({ LayerTableModel::NameColumn, LayerTableModel::DescriptionColumn });
}

DemoHost::~DemoHost() = default;

void DemoHost::exposeTo(QQmlContext* context)
{
    context->setContextProperty(QStringLiteral("layerTableModel"), &d->layers);
    context->setContextProperty(QStringLiteral("layerRowFilter"), &d->layerFilter);
    context->setContextProperty(QStringLiteral("fileTreeModel"), &d->files);
    context->setContextProperty(QStringLiteral("demoImages"), &d->images);
    context->setContextProperty(QStringLiteral("demoHost"), this);
}

void DemoHost::setMessageBoxAnswer(int wxButtonId)
{
    if (wxButtonId == 0) {
        d->application.dialogs().unsetMessageBoxFaker();
        return;
    }
    d->application.dialogs().setupMessageBoxFaker(
        [wxButtonId](const wxString&, const wxString&, int, wxWindow*) { return wxButtonId; });
}
}
