#include "AtomicFile.h"
#include "FileSizeLimit.h"
#include "TestEngine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using Wren::AtomicFile;
using Wren::Test::LogCapture;
using Wren::Test::TestEngine;
namespace fs = std::filesystem;

namespace
{
    size_t openDescriptors()
    {
        size_t count = 0;
        for (const auto& entry : fs::directory_iterator("/proc/self/fd"))
        {
            (void)entry;
            ++count;
        }
        return count;
    }

    /** The names in folder, sorted, each followed by a space. */
    std::string filesIn(const std::string& folder)
    {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.insert(entry.path().filename().string());
        std::string list;
        for (const std::string& name : names)
            list += name + " ";
        return list;
    }
}

TEST(AtomicFile, ANewTemporaryIsMadeBesideLinksAndStaleFilesAndTheTargetKeepsItsPermissions)
{
    TestEngine& engine = TestEngine::instance();
    const std::string folder = engine.makeTempFolder("atomic");
    const std::string target = TestEngine::writeFile(folder, "world.World", "old");
    ::chmod(target.c_str(), 0600);
    const std::string victim = TestEngine::writeFile(folder, "victim", "keep");
    fs::create_symlink(victim, target + ".tmp~");
    TestEngine::writeFile(folder, "world.World.tmp~1", "stale");

    ASSERT_TRUE(AtomicFile::write(target, "new", 3));
    EXPECT_EQ("new", TestEngine::readFile(target));
    EXPECT_EQ("keep", TestEngine::readFile(victim));
    EXPECT_TRUE(fs::is_symlink(target + ".tmp~"));
    EXPECT_EQ("stale", TestEngine::readFile(target + ".tmp~1"));
    struct stat written;
    ASSERT_EQ(0, ::stat(target.c_str(), &written));
    EXPECT_EQ(0600u, written.st_mode & 07777);
    EXPECT_EQ("victim world.World world.World.tmp~ world.World.tmp~1 ", filesIn(folder))
        << "no temporary of this write is left";
}

TEST(AtomicFile, AFailedWriteClosesAndRemovesItsTemporaryKeepsTheTargetAndLogsTheFailingCall)
{
    TestEngine& engine = TestEngine::instance();
    const std::string folder = engine.makeTempFolder("atomic-fail");
    const std::string target = TestEngine::writeFile(folder, "part.objects", "stored");
    const size_t descriptors = openDescriptors();
    LogCapture log;

    // The disk fills up.
    {
        Wren::Test::FileSizeLimit full;
        const std::string big(1000, 'x');
        EXPECT_FALSE(AtomicFile::write(target, big.data(), big.size()));
    }
    EXPECT_TRUE(log.contains("can not write"));
    EXPECT_TRUE(log.contains("File too large"));

    // A folder that is not there.
    EXPECT_FALSE(AtomicFile::write(folder + "/missing/part.objects", "x", 1));
    EXPECT_TRUE(log.contains("can not create " + folder + "/missing/part.objects.tmp~"));
    EXPECT_TRUE(log.contains("No such file or directory"));

    // A folder nobody may write to (the super-user may).
    const std::string locked = engine.makeTempFolder("atomic-locked");
    const std::string kept = TestEngine::writeFile(locked, "kept.meta", "kept");
    ::chmod(locked.c_str(), 0555);
    if (::geteuid() != 0)
    {
        EXPECT_FALSE(AtomicFile::write(kept, "lost", 4));
        EXPECT_TRUE(log.contains("Permission denied"));
        EXPECT_EQ("kept", TestEngine::readFile(kept));
    }
    ::chmod(locked.c_str(), 0755);

    EXPECT_EQ("stored", TestEngine::readFile(target));
    EXPECT_EQ("part.objects ", filesIn(folder));
    EXPECT_EQ(descriptors, openDescriptors());
}
