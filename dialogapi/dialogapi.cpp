// Corvane.Core — QML extension module of the Corvane CAD application.
#include "dialogapi/dialogapi_export.h"
