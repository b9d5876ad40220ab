// Corvane stand-in for the host's application-object library.
#pragma once

#ifdef HARBOR_BUILDING
#define HARBOR_EXPORT __attribute__((visibility("default")))
#else
#define HARBOR_EXPORT
#endif

#ifdef HARBORHOST_BUILDING
#define HARBORHOST_EXPORT __attribute__((visibility("default")))
#else
#define HARBORHOST_EXPORT
#endif
