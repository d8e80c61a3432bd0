#ifndef __WrenAtomicFile_H__
#define __WrenAtomicFile_H__

#include "WrenEnginePrerequisites.h"

#include <cstddef>
#include <string>

namespace Wren
{
    /** Writes files so that a failed write never destroys what was stored:
        the bytes go to a temporary file beside the target, which is flushed
        and then renamed over the target. On any failure the temporary file
        is removed, the target is untouched, the reason is logged and false
        is returned. */
    class WREN_ENGINE_EXPORT AtomicFile
    {
    public:
        static bool write(const std::string& path, const void* data, std::size_t size);
    };
}

#endif
