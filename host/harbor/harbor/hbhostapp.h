// Corvane stand-in for the host's application-object library.
#pragma once

#include "harbor_export.h"
#include "hbapp.h"
#include "hbdialogfactory.h"
#include "hbquickhost.h"

namespace hb
{
// The application object as the host sets it up: a dialog factory with real message boxes and a
// Qt Quick host whose popup factory opens real popup windows. Create it after the QApplication:
//
//     QApplication app(argc, argv);
//     hb::HbHostApp host;                                  // hb::HbApp::s_app is now set
//     host.dialogs().setupMessageBoxFaker(...);            // optional: answer boxes by script
//
// Lives in the library harborhost, which links the module library (qt_plugin_core) for the
// dialog interface's exported members.
class HARBORHOST_EXPORT HbHostApp : public HbApp
{
public:
    HbHostApp();
    ~HbHostApp() override;

    HbDialogFactory& dialogs();
    HbQuickHost& quick();

private:
    HbDialogFactory m_dialogs;
    HbQuickHost m_quick;
};
}
