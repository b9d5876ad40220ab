// Corvane stand-in for the host's dialog library.
#pragma once

#ifdef VESSEL_BUILDING
#define VESSEL_EXPORT __attribute__((visibility("default")))
#else
#define VESSEL_EXPORT
#endif
