#include "AtomicFile.h"

#include "EngineLog.h"

#include <cerrno>
#include <cstdio>
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

    bool AtomicFile::write(const std::string& path, const void* data, std::size_t size)
    {
        if (path.empty())
            return fail(path, "no file name", EINVAL);
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
                return abandon("can not write");
            }
            done += static_cast<std::size_t>(n);
        }
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
