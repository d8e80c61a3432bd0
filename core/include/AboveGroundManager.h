#ifndef __WrenAboveGroundManager_H__
#define __WrenAboveGroundManager_H__

#include "WrenCorePrerequisites.h"

#include "Property.h"

namespace Wren
{
    /** Owner of the above-ground areas of a world, which it builds one at a
        time, as the host sees it. Made by the host, owned by the object
        manager from initStart on. */
    class WREN_CORE_EXPORT AboveGroundManager : public PropertyContainer
    {
    public:
        ~AboveGroundManager() override;

        /** Destroys and deletes every area. */
        virtual void destroy() = 0;
        /** Takes the world name; element is the world file's root, where
            area kinds read their part. */
        virtual bool initStart(const std::string& worldName, DataElementPtr& element) = 0;
        virtual bool initFinish() = 0;
        /** Advances the area being built. */
        virtual void update(float elapsed) = 0;
        /** Replaces out's contents with the areas waiting to be built. */
        virtual void enumerateAreas(std::vector<CoreAboveGroundArea*>& out) = 0;
    };
}

#endif
