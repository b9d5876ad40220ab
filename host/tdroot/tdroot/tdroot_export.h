// Corvane stand-in for the ODA TD_Root library.
#pragma once

#ifdef TDROOT_BUILDING
#define TDROOT_EXPORT __attribute__((visibility("default")))
#else
#define TDROOT_EXPORT
#endif
