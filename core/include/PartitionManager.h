#ifndef __WrenPartitionManager_H__
#define __WrenPartitionManager_H__

#include "WrenCorePrerequisites.h"

#include "Property.h"

namespace Wren
{
    /** Owner of every partition of a world, which it streams around the
        player camera, as the host sees it. Made by the host, owned by the
        object manager from initStart on. */
    class WREN_CORE_EXPORT PartitionManager : public PropertyContainer
    {
    public:
        ~PartitionManager() override;

        /** Unloads and deletes every partition. */
        virtual void destroy() = 0;
        /** Takes the world name; element is the world file's root, where
            partition kinds read their part. */
        virtual bool initStart(const std::string& worldName, DataElementPtr& element) = 0;
        virtual bool initFinish() = 0;
        /** Saves every partition and writes the manager's part of the world
            file; false when something could not be written. */
        virtual bool save(const std::string& worldName, DataFile* worldFile) = 0;
        /** One streaming step. */
        virtual void update(float elapsed) = 0;
        virtual void startSimulation() = 0;
        virtual void endSimulation() = 0;
        virtual const std::string& getWorldName() const = 0;
    };
}

#endif
