// Corvane stand-in for the host's Qt utility library.
#pragma once

#include <QtCore/qglobal.h>

#ifdef LUMEN_BUILDING
#define LUMEN_EXPORT Q_DECL_EXPORT
#else
#define LUMEN_EXPORT Q_DECL_IMPORT
#endif
