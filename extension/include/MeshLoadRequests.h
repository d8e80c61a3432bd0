#ifndef __WrenMeshLoadRequests_H__
#define __WrenMeshLoadRequests_H__

#include "WrenExtensionPrerequisites.h"

#include "OgreBackgroundLoader.h"

#include <map>
#include <string>
#include <vector>

namespace Wren
{
    /** The meshes one mesh object waits for before it makes entities.

        wait asks the mesh manager for every named mesh once: a mesh that is
        neither loaded nor prepared is prepared on the background loader
        when there is one, and loaded on the frame thread once prepared (or
        at once without a loader). A mesh that can not be made or loaded is
        logged and remembered as bad; it is never asked for again and is
        left out of the object.
    */
    class WREN_EXTENSION_EXPORT MeshLoadRequests
    {
    public:
        /** owner names who waits in the log lines ("MeshGameObject" unless given). */
        explicit MeshLoadRequests(const std::string& owner = "MeshGameObject");

        /** True while any named mesh is neither loaded nor bad. Empty names
            are skipped. */
        bool wait(const std::vector<std::string>& names);
        /** Blocks until the background loader has prepared what was asked
            for, then loads it. */
        void finish(const std::vector<std::string>& names);
        bool isBad(const std::string& name) const;
        /** Whether every named mesh is loaded already (empty names
            skipped), so that nothing need be asked for. */
        static bool allLoaded(const std::vector<std::string>& names);

    private:
        void logMessage(const std::string& text) const;

        std::string mOwner;
        std::map<std::string, Ogre::BackgroundLoader::TaskPtr> mRequests;
        std::vector<std::string> mBad;
    };
}

#endif
