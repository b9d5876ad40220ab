// Corvane stand-in for the host's dialog library.
#pragma once

#ifdef VESSEL_BUILDING
#define VESSEL_EXPORT __attribute__((visibility("default")))
#else
#define VESSEL_EXPORT
#endif

// Types that the dialog library declares and others define in part: their symbols stay visible
// in every library, so that each part is exported from the library that defines it.
#define VESSEL_MODULE_API __attribute__((visibility("default")))
