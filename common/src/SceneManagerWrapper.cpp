#include "SceneManagerWrapper.h"

#include <OgreLogManager.h>
#include <OgreSceneManager.h>

namespace Wren
{
    SceneManagerWrapper::SceneManagerWrapper(Ogre::SceneManager* sceneManager)
        : mSceneManager(sceneManager),
          mRayQuery(nullptr),
          mEntitiesQueryFlag(Ogre::SceneManager::ENTITY_TYPE_MASK),
          mWorldGeometryQueryFlag(Ogre::SceneManager::WORLD_GEOMETRY_TYPE_MASK)
    {
        if (!mSceneManager)
        {
            OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS, "a scene manager is required",
                        "SceneManagerWrapper::SceneManagerWrapper");
        }
        mRayQuery = mSceneManager->createRayQuery(
            Ogre::Ray(Ogre::Vector3::ZERO, Ogre::Vector3::NEGATIVE_UNIT_Y), 0xFFFFFFFF);
    }

    SceneManagerWrapper::~SceneManagerWrapper() { mSceneManager->destroyQuery(mRayQuery); }

    Ogre::SceneManager* SceneManagerWrapper::getSceneManager() const { return mSceneManager; }

    Ogre::RaySceneQueryResult& SceneManagerWrapper::executeRaySceneQuery(const Ogre::Ray& ray,
                                                                         bool entities,
                                                                         bool worldGeometry,
                                                                         bool sortByDistance)
    {
        return execute(ray, entities, worldGeometry, sortByDistance,
                       Ogre::SceneQuery::WFT_SINGLE_INTERSECTION);
    }

    Ogre::RaySceneQueryResult& SceneManagerWrapper::executeRaySceneQueryNoWorldGeometry(
        const Ogre::Ray& ray, bool entities, bool worldGeometry, bool sortByDistance)
    {
        return execute(ray, entities, worldGeometry, sortByDistance, Ogre::SceneQuery::WFT_NONE);
    }

    void SceneManagerWrapper::setEntitiesQueryFlag(unsigned int flag) { mEntitiesQueryFlag = flag; }

    void SceneManagerWrapper::setWorldGeometryQueryFlag(unsigned int flag)
    {
        mWorldGeometryQueryFlag = flag;
    }

    Ogre::RaySceneQueryResult& SceneManagerWrapper::execute(
        const Ogre::Ray& ray, bool entities, bool worldGeometry, bool sortByDistance,
        Ogre::SceneQuery::WorldFragmentType fragmentType)
    {
        const unsigned int mask =
            (entities ? mEntitiesQueryFlag : 0u) | (worldGeometry ? mWorldGeometryQueryFlag : 0u);
        mRayQuery->setQueryMask(mask);
        mRayQuery->setQueryTypeMask(mask);
        mRayQuery->setRay(ray);
        // The engine refuses a fragment type its scene manager does not
        // offer; such a scene has no world geometry to report anyway.
        const std::set<Ogre::SceneQuery::WorldFragmentType>* supported =
            mRayQuery->getSupportedWorldFragmentTypes();
        if (supported && supported->count(fragmentType))
            mRayQuery->setWorldFragmentType(fragmentType);
        else
            mRayQuery->setWorldFragmentType(Ogre::SceneQuery::WFT_NONE);
        mRayQuery->setSortByDistance(sortByDistance, 0);
        return mRayQuery->execute();
    }
}
