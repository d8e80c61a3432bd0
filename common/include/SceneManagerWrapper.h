#ifndef __WrenSceneManagerWrapper_H__
#define __WrenSceneManagerWrapper_H__

#include "WrenCommonPrerequisites.h"

#include <OgreSceneQuery.h>

namespace Ogre
{
    class SceneManager;
}

namespace Wren
{
    /** The engine scene as the framework sees it, with one reusable ray
        query that answers which objects a ray hits (picking, manipulators).

        A query asks for movable objects (entities) and/or world geometry;
        each kind has its own mask, and the union of the wanted masks is
        used as both the query mask and the query type mask. Asking for
        neither gives mask 0, which finds nothing.

        The result list belongs to the ray query and is replaced by the next
        query: callers copy what they need before querying again. Main thread
        only; the shared query makes the wrapper non-reentrant.
    */
    class WREN_COMMON_EXPORT SceneManagerWrapper
    {
    public:
        /** Keeps sceneManager (not owned) and creates the ray query on it.
            Throws Ogre::InvalidParametersException when sceneManager is null. */
        explicit SceneManagerWrapper(Ogre::SceneManager* sceneManager);
        /** Destroys the ray query through the scene manager. */
        virtual ~SceneManagerWrapper();

        SceneManagerWrapper(const SceneManagerWrapper&) = delete;
        SceneManagerWrapper& operator=(const SceneManagerWrapper&) = delete;

        virtual Ogre::SceneManager* getSceneManager() const;

        /** Casts ray and returns the hits, nearest first when sortByDistance
            (no limit on their number). World geometry is asked for as a
            single intersection point; a scene manager whose queries offer no
            such fragments answers without world fragments. */
        virtual Ogre::RaySceneQueryResult& executeRaySceneQuery(const Ogre::Ray& ray, bool entities,
                                                                bool worldGeometry,
                                                                bool sortByDistance);

        /** As executeRaySceneQuery, but results never carry world fragments. */
        virtual Ogre::RaySceneQueryResult& executeRaySceneQueryNoWorldGeometry(
            const Ogre::Ray& ray, bool entities, bool worldGeometry, bool sortByDistance);

        /** Mask used when movable objects are wanted; by default
            Ogre::SceneManager::ENTITY_TYPE_MASK. */
        virtual void setEntitiesQueryFlag(unsigned int flag);
        /** Mask used when world geometry is wanted; by default
            Ogre::SceneManager::WORLD_GEOMETRY_TYPE_MASK. */
        virtual void setWorldGeometryQueryFlag(unsigned int flag);

        unsigned int getEntitiesQueryFlag() const { return mEntitiesQueryFlag; }
        unsigned int getWorldGeometryQueryFlag() const { return mWorldGeometryQueryFlag; }
        /** The one ray query, as configured by the last query. */
        Ogre::RaySceneQuery* getRayQuery() const { return mRayQuery; }

    protected:
        Ogre::RaySceneQueryResult& execute(const Ogre::Ray& ray, bool entities, bool worldGeometry,
                                           bool sortByDistance,
                                           Ogre::SceneQuery::WorldFragmentType fragmentType);

        Ogre::SceneManager* mSceneManager;
        Ogre::RaySceneQuery* mRayQuery;
        unsigned int mEntitiesQueryFlag;
        unsigned int mWorldGeometryQueryFlag;
    };
}

#endif
