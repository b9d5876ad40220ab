// Corvane stand-in for the host's application-object library.
#pragma once

#ifdef HARBOR_BUILDING
#define HARBOR_EXPORT __attribute__((visibility("default")))
#else
#define HARBOR_EXPORT
#endif
