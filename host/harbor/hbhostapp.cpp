// Corvane stand-in for the host's application-object library.
#include "harbor/hbhostapp.h"

namespace hb
{
HbHostApp::HbHostApp()
{
    setDialogFactory(&m_dialogs);
    setQuickHost(&m_quick);
}

// The services go before the base object does; nobody may reach them in between.
HbHostApp::~HbHostApp()
{
    setDialogFactory(nullptr);
    setQuickHost(nullptr);
}

HbDialogFactory& HbHostApp::dialogs()
{
    return m_dialogs;
}

HbQuickHost& HbHostApp::quick()
{
    return m_quick;
}
}
