// Corvane stand-in for the host's Qt utility library.
#include "lumen/treeroles.h"

#include <Qt>

namespace lum
{
int getWantsToBeExpandedRole()
{
    return Qt::UserRole + 0x400;
}
}
