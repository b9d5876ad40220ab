// Corvane stand-in for the host's dialog library.
#pragma once

#include "vessel_export.h"

namespace ves
{
}
