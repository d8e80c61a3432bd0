#ifndef __WrenAtomicFile_H__
#define __WrenAtomicFile_H__

#include "WrenEnginePrerequisites.h"

#include <cstddef>
#include <string>

namespace Wren
{
    /** Writes files so that a failed write never destroys what was stored:
        the bytes go to a temporary file beside the target, which is flushed
        and then renamed over the target.

        The temporary file ("<target>.tmp~", or with a number after it when
        that name is taken) is always a new file made for this write: an
        existing file or link of that name is neither followed nor
        replaced. The written file keeps the permissions of the target it
        replaces (a new file gets 0666 less the umask), and the temporary
        one is readable by its owner only until then.

        Only regular files are replaced so. A link is written through: the
        file it leads to is replaced (or made), the link stays. A device, a
        FIFO or a socket is written in place. A descriptor of the process
        ("/dev/stdout", "/dev/stderr", "/dev/fd/N", "/proc/self/fd/N") is
        written through that descriptor, after the process's buffered
        output, whatever it leads to. A folder is refused.

        On any failure the temporary file is closed and removed, the target
        is untouched, the call that failed and its reason are logged and
        false is returned. */
    class WREN_ENGINE_EXPORT AtomicFile
    {
    public:
        static bool write(const std::string& path, const void* data, std::size_t size);
    };
}

#endif
