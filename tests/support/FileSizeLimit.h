#ifndef __WrenFileSizeLimit_H__
#define __WrenFileSizeLimit_H__

#include <csignal>
#include <cstddef>
#include <sys/resource.h>

namespace Wren
{
namespace Test
{
    /** While it lives, no file can be written past a few bytes, as when the
        disk is full: a write beyond the limit fails (EFBIG) instead of
        raising SIGXFSZ. It works for the super-user too, whom a read-only
        folder does not stop. */
    class FileSizeLimit
    {
    public:
        explicit FileSizeLimit(std::size_t bytes = 16)
        {
            getrlimit(RLIMIT_FSIZE, &mSaved);
            mSignal = std::signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = {bytes, mSaved.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        ~FileSizeLimit()
        {
            setrlimit(RLIMIT_FSIZE, &mSaved);
            std::signal(SIGXFSZ, mSignal);
        }
        FileSizeLimit(const FileSizeLimit&) = delete;
        FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    private:
        struct rlimit mSaved;
        void (*mSignal)(int);
    };
}
}

#endif
