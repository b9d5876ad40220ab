// Corvane stand-in for the host's Qt utility library.
#pragma once

#include "lumen_export.h"

namespace lum
{
/// The data role under which tree models keep whether a node wants to be expanded.
LUMEN_EXPORT int getWantsToBeExpandedRole();
}
