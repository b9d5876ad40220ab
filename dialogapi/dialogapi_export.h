// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

// Members of the dialog library's types that this library defines for it.
#define CORVANE_DIALOGAPI_EXPORT __attribute__((visibility("default")))
