#ifndef __WrenStringUtilEx_H__
#define __WrenStringUtilEx_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** String helpers beyond Ogre::StringUtil. */
    class WREN_COMMON_EXPORT StringUtilEx
    {
    public:
        /** Replaces every occurrence of pattern in text, in place. The search
            goes on after each inserted replacement, so replacing "a" by "aa"
            ends. An empty pattern leaves text unchanged. */
        static void replace(std::string& text, const std::string& pattern,
                            const std::string& replacement);
    };
}

#endif
