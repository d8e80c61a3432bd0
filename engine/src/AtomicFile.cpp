#include "AtomicFile.h"

#include "EngineLog.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Wren
{
    namespace
    {
        bool fail(const std::string& path, const std::string& what, int error)
        {
            EngineLog::line("can not write file " + path + ": " + what + ": " + std::strerror(error));
            return false;
        }

        /** Creates a temporary file beside path that did not exist before:
            path + ".tmp~", or with a number after it when that name is
            taken (a stale temporary, a link, another writer). */
        int createTemporary(const std::string& path, mode_t mode, std::string& temp)
        {
            for (int attempt = 0; attempt < 100; ++attempt)
            {
                temp = path + ".tmp~" + (attempt ? std::to_string(attempt) : std::string());
                const int fd =
                    ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
                if (fd >= 0 || errno != EEXIST)
                    return fd;
            }
            return -1;
        }

        /** Writes all of data to fd; false with errno set when it can not. */
        bool writeAll(int fd, const void* data, std::size_t size)
        {
            const char* bytes = static_cast<const char*>(data);
            std::size_t done = 0;
            while (done < size)
            {
                const ssize_t n = ::write(fd, bytes + done, size - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                {
                    if (n == 0)
                        errno = EIO;
                    return false;
                }
                done += static_cast<std::size_t>(n);
            }
            return true;
        }

        /** Writes into what path opens as, in place: a device, a FIFO. */
        bool writeInPlace(const std::string& path, const void* data, std::size_t size)
        {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
            if (fd < 0)
                return fail(path, "can not open", errno);
            const bool written = writeAll(fd, data, size);
            const int error = errno;
            if (::close(fd) != 0 && written)
                return fail(path, "can not close", errno);
            return written || fail(path, "can not write", error);
        }

        /** The descriptor of this process a path names ("/dev/stdout",
            "/dev/stderr", "/dev/fd/N", "/proc/self/fd/N"), or -1. */
        int ownDescriptor(const std::string& path)
        {
            if (path == "/dev/stdout")
                return STDOUT_FILENO;
            if (path == "/dev/stderr")
                return STDERR_FILENO;
            for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"})
            {
                const std::size_t length = std::strlen(prefix);
                if (path.compare(0, length, prefix) != 0 || path.size() == length ||
                    path.find_first_not_of("0123456789", length) != std::string::npos)
                    continue;
                return std::atoi(path.c_str() + length);
            }
            return -1;
        }

        /** The file a chain of links ends at (which need not exist yet);
            path itself when it is no link. Empty when the chain loops. */
        std::string followLinks(std::string path)
        {
            for (int hops = 0; hops < 40; ++hops)
            {
                char target[PATH_MAX];
                const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
                if (n < 0)
                    return path;
                target[n] = 0;
                const std::string::size_type slash = path.rfind('/');
                path = target[0] == '/' || slash == std::string::npos
                           ? std::string(target)
                           : path.substr(0, slash + 1) + target;
            }
            errno = ELOOP;
            return std::string();
        }

        /** Makes the rename itself durable; a failure here loses nothing. */
        void syncFolderOf(const std::string& path)
        {
            const std::string::size_type slash = path.rfind('/');
            const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
            const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd >= 0)
            {
                ::fsync(fd);
                ::close(fd);
            }
        }
    }

    bool AtomicFile::write(const std::string& given, const void* data, std::size_t size)
    {
        if (given.empty())
            return fail(given, "no file name", EINVAL);
        // The process's own output (a file after "> file") is written
        // through its descriptor, after what the process printed so far.
        const int own = ownDescriptor(given);
        if (own >= 0)
        {
            std::fflush(nullptr);
            return writeAll(own, data, size) || fail(given, "can not write", errno);
        }
        struct stat seen;
        if (::stat(given.c_str(), &seen) == 0)
        {
            if (S_ISDIR(seen.st_mode))
                return fail(given, "it is a folder", EISDIR);
            if (!S_ISREG(seen.st_mode))
                return writeInPlace(given, data, size);
        }
        // A link is written through: its target is replaced, the link kept.
        const std::string path = followLinks(given);
        if (path.empty())
            return fail(given, "can not follow its links", errno);
        struct stat target;
        const bool exists = ::stat(path.c_str(), &target) == 0;
        // Owner-only until the target's own permissions are given.
        std::string temp;
        const int fd = createTemporary(path, exists ? 0600 : 0666, temp);
        if (fd < 0)
            return fail(path, "can not create " + temp, errno);
        // From here on every failure closes the file and removes it.
        auto abandon = [&](const std::string& what) {
            const int error = errno;
            ::close(fd);
            ::unlink(temp.c_str());
            return fail(path, what + " " + temp, error);
        };
        if (exists && ::fchmod(fd, target.st_mode & 07777) != 0)
            return abandon("can not give the target's permissions to");
        if (!writeAll(fd, data, size))
            return abandon("can not write");
        if (::fsync(fd) != 0)
            return abandon("can not flush");
        if (::close(fd) != 0)
        {
            const int error = errno;
            ::unlink(temp.c_str());
            return fail(path, "can not close " + temp, error);
        }
        if (std::rename(temp.c_str(), path.c_str()) != 0)
        {
            const int error = errno;
            ::unlink(temp.c_str());
            return fail(path, "can not rename " + temp + " over it", error);
        }
        syncFolderOf(path);
        return true;
    }
}
