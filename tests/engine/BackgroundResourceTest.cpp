#include "OgreBackgroundResource.h"
#include "TestEngine.h"

#include <OgreResourceManager.h>

#include <gtest/gtest.h>

#include <new>

using Ogre::BackgroundResource;
using Wren::Test::TestEngine;

namespace
{
    /** A file whose parse runs out of memory. */
    class GreedyFile : public BackgroundResource
    {
    public:
        using BackgroundResource::BackgroundResource;
        Ogre::String reason;

    protected:
        void loadImpl() override
        {
            Ogre::String error;
            if (!readAndParse(openFile(), error))
                OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS, error, "GreedyFile::loadImpl");
        }
        void unloadImpl() override {}
        bool parseFile(const void*, size_t, Ogre::String&) override { throw std::bad_alloc(); }
        bool finishBackgroundLoad(bool parsed, const Ogre::String& error) override
        {
            reason = error;
            return parsed;
        }
    };

    class GreedyFiles : public Ogre::ResourceManager
    {
    public:
        GreedyFiles()
        {
            mResourceType = "GreedyFile";
            mLoadOrder = 900;
        }

    protected:
        Ogre::Resource* createImpl(const Ogre::String& name, Ogre::ResourceHandle handle,
                                   const Ogre::String& group, bool isManual,
                                   Ogre::ManualResourceLoader* loader,
                                   const Ogre::NameValuePairList*) override
        {
            return new GreedyFile(this, name, handle, group, isManual, loader);
        }
    };
}

// A hostile file must never end the frame: what a parse throws, a failed
// allocation included, fails the load as a malformed file does.
TEST(BackgroundResource, AParseThatRunsOutOfMemoryFailsTheLoadOnEitherThread)
{
    TestEngine& engine = TestEngine::instance();
    TestEngine::writeFile(engine.getGeneralFolder(), "greedy.bin", "many empty elements");
    engine.rescanResources();
    GreedyFiles files;
    Ogre::ResourcePtr atOnce = files.createOrRetrieve("greedy.bin", "General").first;
    EXPECT_THROW(atOnce->load(), Ogre::Exception);
    files.remove(atOnce);

    Ogre::BackgroundLoader loader;
    Ogre::ResourcePtr background = BackgroundResource::loadThrough(files, "greedy.bin", "General",
                                                                   false, nullptr, nullptr, true);
    loader.waitForAll();
    loader.collect();
    EXPECT_FALSE(background->isLoaded());
    EXPECT_EQ("out of memory", static_cast<GreedyFile*>(background.get())->reason);
    files.removeAll();
}
