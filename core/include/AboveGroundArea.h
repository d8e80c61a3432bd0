#ifndef __WrenAboveGroundArea_H__
#define __WrenAboveGroundArea_H__

#include "WrenCorePrerequisites.h"

#include "Property.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Wren
{
    /** Build state of an above-ground area, driven by its manager. */
    enum AboveGroundAreaState
    {
        /** Nothing to build, or unloaded. */
        AreaIdle = 0,
        /** Objects added and waiting to be built. */
        AreaPending = 1,
        AreaBuilding = 2,
        AreaBuilt = 3
    };

    /** One static object of an area with its placement. */
    struct WREN_CORE_EXPORT AboveGroundStaticGeometryInfo
    {
        CoreGameObject* object = nullptr;
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    };

    /** One build request: an instanced batch of one mesh, with one entry per
        instance in each of the three parallel lists. */
    struct WREN_CORE_EXPORT AboveGroundShaderInstancingInfo
    {
        std::string meshName;
        std::string batchName;
        std::string metadataID;
        float visibilityDistance = 0.0f;
        std::vector<Ogre::Vector3> positions;
        std::vector<Ogre::Quaternion> orientations;
        std::vector<Ogre::Vector3> scales;
    };

    /** A region of the world that draws the static instanced objects inside
        it as instanced batches, as the host sees it. Owned by its
        above-ground manager. */
    class WREN_CORE_EXPORT AboveGroundArea : public PropertyContainer
    {
    public:
        ~AboveGroundArea() override;

        /** The kind of area, e.g. "CoreAboveGroundArea". */
        virtual const std::string& getAreaType() const = 0;
        /** The area's ID, unique within its manager. */
        virtual const std::string& getID() const = 0;
        /** Whether the area's batches are built and in the scene. */
        virtual bool getLoaded() = 0;
        /** Shows or hides the area's batches. */
        virtual void SetVisible(bool visible) = 0;
    };
}

#endif
