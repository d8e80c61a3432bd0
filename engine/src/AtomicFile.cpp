#include "AtomicFile.h"

#include <OgreLogManager.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace Wren
{
    namespace
    {
        bool fail(const std::string& path, const std::string& what)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("can not write file " + path + ": " + what + " (" +
                                 std::strerror(errno) + ")");
            return false;
        }
    }

    bool AtomicFile::write(const std::string& path, const void* data, std::size_t size)
    {
        if (path.empty())
            return fail(path, "empty path");
        const std::string temp = path + ".tmp~";
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return fail(path, "can not create " + temp);
        const char* bytes = static_cast<const char*>(data);
        std::size_t done = 0;
        while (done < size)
        {
            ssize_t n = ::write(fd, bytes + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
            {
                ::close(fd);
                ::unlink(temp.c_str());
                return fail(path, "write failed");
            }
            done += static_cast<std::size_t>(n);
        }
        if (::fsync(fd) != 0 || ::close(fd) != 0)
        {
            ::unlink(temp.c_str());
            return fail(path, "flush failed");
        }
        if (std::rename(temp.c_str(), path.c_str()) != 0)
        {
            ::unlink(temp.c_str());
            return fail(path, "rename failed");
        }
        return true;
    }
}
