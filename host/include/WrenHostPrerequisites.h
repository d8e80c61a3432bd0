#ifndef __WrenHostPrerequisites_H__
#define __WrenHostPrerequisites_H__

#include "WrenCorePrerequisites.h"

/** Marks the interface of wrenhost. The library is built with hidden
    visibility, so only what carries this mark is exported. */
#define WREN_HOST_EXPORT __attribute__((visibility("default")))

#endif
