// Corvane stand-in for the host's dialog library.
#include "vessel/dialogfactory.h"
