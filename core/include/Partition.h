#ifndef __WrenPartition_H__
#define __WrenPartition_H__

#include "WrenCorePrerequisites.h"

#include "Property.h"

#include <OgreVector.h>

namespace Wren
{
    /** One streamable piece of a world as the host sees it: a named cell with
        a world position whose objects are loaded and unloaded as a whole.
        Partitions are owned by their partition manager. */
    class WREN_CORE_EXPORT Partition : public PropertyContainer
    {
    public:
        ~Partition() override;

        /** The kind of partition, e.g. "CorePartition". */
        virtual const std::string& getPartitionType() const = 0;
        /** The partition's ID, unique within its manager. */
        virtual const std::string& getID() const = 0;
        /** True between a load and the next unload. */
        virtual bool getLoaded() const = 0;
        /** Position of the partition's origin; its objects are placed
            relative to it. */
        virtual const Ogre::Vector3& getWorldPosition() const = 0;
        /** Asks the partition to show or hide its bounds. */
        virtual void setShowBounds(bool show) = 0;
    };
}

#endif
