#include "MeshLoadRequests.h"

#include <OgreLogManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>

#include <algorithm>

namespace Wren
{
    namespace
    {
        const char* const kMeshGroup = "General";

    }

    MeshLoadRequests::MeshLoadRequests(const std::string& owner) : mOwner(owner) {}

    void MeshLoadRequests::logMessage(const std::string& text) const
    {
        Ogre::LogManager::getSingleton().logMessage(mOwner + ": " + text);
    }

    bool MeshLoadRequests::isBad(const std::string& name) const
    {
        return std::find(mBad.begin(), mBad.end(), name) != mBad.end();
    }

    bool MeshLoadRequests::allLoaded(const std::vector<std::string>& names)
    {
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        for (const std::string& name : names)
        {
            if (name.empty())
                continue;
            Ogre::MeshPtr mesh = meshes.getByName(name, kMeshGroup);
            if (!mesh || !mesh->isLoaded())
                return false;
        }
        return true;
    }

    bool MeshLoadRequests::wait(const std::vector<std::string>& names)
    {
        bool waiting = false;
        Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr();
        for (const std::string& name : names)
        {
            if (name.empty() || isBad(name))
                continue;
            Ogre::ResourcePtr mesh;
            try
            {
                mesh = Ogre::MeshManager::getSingleton().createOrRetrieve(name, kMeshGroup).first;
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("mesh " + name + " can not be made: " + e.getDescription());
                mBad.push_back(name);
                continue;
            }
            if (mesh->isLoaded())
                continue;
            auto request = mRequests.find(name);
            if (request == mRequests.end() && loader && !mesh->isPrepared())
            {
                mRequests[name] = loader->prepare(mesh);
                waiting = true;
                continue;
            }
            if (request != mRequests.end() && request->second && !request->second->isFinished())
            {
                waiting = true;
                continue;
            }
            try
            {
                mesh->load();
            }
            catch (const Ogre::Exception& e)
            {
                logMessage("mesh " + name + " can not be loaded: " + e.getDescription());
                mBad.push_back(name);
            }
            mRequests.erase(name);
        }
        return waiting;
    }

    void MeshLoadRequests::finish(const std::vector<std::string>& names)
    {
        if (Ogre::BackgroundLoader* loader = Ogre::BackgroundLoader::getSingletonPtr())
            loader->waitForAll();
        wait(names);
    }
}
