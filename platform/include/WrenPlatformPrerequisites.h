#ifndef __WrenPlatformPrerequisites_H__
#define __WrenPlatformPrerequisites_H__

#include <OgrePrerequisites.h>

/** Marks the interface of wrenplatform. The library is built with hidden
    visibility, so only what carries this mark is exported. */
#define WREN_PLATFORM_EXPORT __attribute__((visibility("default")))

#endif
