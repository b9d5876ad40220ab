// Corvane stand-in for the host's application-object library.
#include "harbor/hbapp.h"

namespace hb
{
HbApp* HbApp::s_app = nullptr;

HbApp::HbApp()
{
    s_app = this;
}

HbApp::~HbApp()
{
    if (s_app == this)
        s_app = nullptr;
}
}
