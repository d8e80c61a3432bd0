#include "CollisionGameSystem.h"

#include <algorithm>

namespace Wren
{
    CollisionShape::CollisionShape() {}

    CollisionShape::~CollisionShape() {}

    bool CollisionShape::loadImpl() { return true; }

    void CollisionShape::unloadImpl() {}

    CollisionGameSystem::CollisionGameSystem() {}

    CollisionGameSystem::~CollisionGameSystem()
    {
        mShapes.clear();
        mRecoveryList.clear();
    }

    void CollisionGameSystem::update(float elapsedSeconds) { RecoveryFrame(elapsedSeconds); }

    void CollisionGameSystem::printResourceInfo(FILE* file)
    {
        if (!file)
            return;
        char line[512];
        std::snprintf(line, sizeof(line),
                      "there are %d resources in the manager then, here is the list:\n",
                      static_cast<int>(mRecoveryList.size()));
        std::fputs(line, file);
        std::fputs("\n\n\n\nresources loaded:"
                   "--------------------------------------------------------------\n",
                   file);
        for (const ShapeMap::value_type& entry : mShapes)
        {
            std::snprintf(line, sizeof(line), "Name = %s, size = %d, count = %d\n",
                          entry.first.c_str(), 0, static_cast<int>(entry.second.use_count()));
            std::fputs(line, file);
        }
    }

    CollisionShapePtr CollisionGameSystem::getCollisionShape(const std::string& name)
    {
        ShapeMap::iterator i = mShapes.find(name);
        return i == mShapes.end() ? CollisionShapePtr() : i->second;
    }

    void CollisionGameSystem::addCollisionShape(const std::string& name, CollisionShapePtr& shape)
    {
        if (!shape)
            return;
        mShapes[name] = shape;
        if (!mRecovery)
            return;
        AddToRecoveryShapeList(shape);
        if (mShapes.size() > static_cast<unsigned int>(mHoldMaxCount))
        {
            mRecovering = 1;
            mElapsed = 0;
        }
    }

    void CollisionGameSystem::removeCollisionShape(const std::string& name) { mShapes.erase(name); }

    void CollisionGameSystem::removeCollisionShape(CollisionShapePtr& shape)
    {
        for (ShapeMap::iterator i = mShapes.begin(); i != mShapes.end(); ++i)
        {
            if (i->second == shape)
            {
                mShapes.erase(i);
                return;
            }
        }
    }

    bool CollisionGameSystem::AddToRecoveryShapeList(CollisionShapePtr& shape)
    {
        if (std::find(mRecoveryList.begin(), mRecoveryList.end(), shape) == mRecoveryList.end())
            mRecoveryList.push_back(shape);
        return true;
    }

    bool CollisionGameSystem::RecoveryFrame(float elapsedSeconds)
    {
        if (!mRecovery)
            return true;
        if (!mRecovering)
        {
            mElapsed += elapsedSeconds;
            if (!(mElapsed > mRecoveryTime))
                return true;
            if (mShapes.size() > static_cast<unsigned int>(mHoldMaxCount))
                mRecovering = 1;
            mElapsed = 0;
            return true;
        }
        for (ShapeList::iterator i = mRecoveryList.begin(); i != mRecoveryList.end(); ++i)
        {
            // Two references: the registry entry and this candidate entry.
            // One: the shape already left the registry and only the candidate
            // entry keeps it alive, so it is released as well.
            const long uses = i->use_count();
            if (uses == 2 || uses == 1)
            {
                CollisionShapePtr shape = *i;
                mRecoveryList.erase(i);
                removeCollisionShape(shape);
                return true;
            }
        }
        mRecovering = 0;
        return true;
    }
}
