// Corvane stand-in for the host's application-object library.
#include "harbor/hbapp.h"

#include <wx/app.h>
#include <wx/debug.h>
#include <wx/init.h>

namespace hb
{
namespace
{
// wxWidgets starts once per process and stays up until the process ends: GTK cannot be started
// a second time after a shutdown.
bool startWx()
{
    static const bool started = [] {
        // A failed wx assertion would open a modal box that nobody answers in scripted runs.
        wxDisableAsserts();
        static int argc = 1;
        static char name[] = "corvane";
        static char* argv[] = {name, nullptr};
        wxApp::SetInstance(new wxApp);
        return wxEntryStart(argc, argv);
    }();
    return started;
}
}

HbApp* HbApp::s_app = nullptr;

HbApp::HbApp()
{
    startWx();
    s_app = this;
}

HbApp::~HbApp()
{
    if (s_app == this)
        s_app = nullptr;
}

ves::IDialogFactory* HbApp::dialogFactory()
{
    return m_dialogFactory;
}

HbQuickHost* HbApp::quickHost()
{
    return m_quickHost;
}

void HbApp::setDialogFactory(ves::IDialogFactory* factory)
{
    m_dialogFactory = factory;
}

void HbApp::setQuickHost(HbQuickHost* host)
{
    m_quickHost = host;
}

bool HbApp::wxReady()
{
    return startWx();
}
}
