#ifndef __WrenCommonPrerequisites_H__
#define __WrenCommonPrerequisites_H__

#include "WrenEnginePrerequisites.h"

#include <OgreSharedPtr.h>

#include <string>
#include <vector>

/** Marks the interface of worldcommon. The library is built with hidden
    visibility, so only what carries this mark is exported. */
#define WREN_COMMON_EXPORT __attribute__((visibility("default")))

namespace Wren
{
    class DataElement;
    class DataFile;
    class XMLDataElement;
    class XMLDataFile;
    class SelectorDataFile;
    class DataFileResource;
    class DataFileResourceManager;
    class Property;
    class PropertyContainer;
    struct PropertyData;
    class GameObjectFactory;
    class GameObjectFactoryManager;
    class GameSystem;
    class GameSystemFactory;
    class GameSystemManager;
    class GameObjectManagerGameSystem;
    class Operation;
    class OperationManager;
    class CollisionGameSystem;

    // Defined by worldcore; named here by the registries that hand them out.
    class GameObject;
    class Metadata;
    class GameObjectManager;

    /** Shared handle of one node of a data file; never null when returned by
        navigation (an element with getIsEmpty() stands for "none"). */
    typedef Ogre::SharedPtr<DataElement> DataElementPtr;
}

#endif
