// Corvane stand-in for the host's wx helper library.
#pragma once

#ifdef LOOM_BUILDING
#define LOOM_EXPORT __attribute__((visibility("default")))
#else
#define LOOM_EXPORT
#endif
