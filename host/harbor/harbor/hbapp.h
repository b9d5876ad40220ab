// Corvane stand-in for the host's application-object library.
#pragma once

#include "harbor_export.h"

namespace hb
{
// The host application object.
class HARBOR_EXPORT HbApp
{
public:
    HbApp();
    virtual ~HbApp();

    /// The one application object, or null before it exists.
    static HbApp* s_app;
};
}
