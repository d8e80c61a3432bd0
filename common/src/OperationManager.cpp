#include "OperationManager.h"

#include "EngineLog.h"
#include "Operation.h"

#include <OgreException.h>

#include <algorithm>

template <>
Wren::OperationManager* Ogre::Singleton<Wren::OperationManager>::msSingleton = nullptr;

namespace Wren
{
    Operation::~Operation() {}

    void Operation::undo() {}

    void Operation::redo() {}

    OperationManager::OperationManager(unsigned int maxOperations)
        : mMaxOperations(maxOperations)
    {
        if (maxOperations == 0)
        {
            OGRE_EXCEPT(Ogre::Exception::ERR_INVALIDPARAMS,
                        "the operation history needs a capacity of at least 1",
                        "OperationManager::OperationManager");
        }
    }

    OperationManager::~OperationManager()
    {
        for (Operation* op : mOperations)
            delete op;
    }

    void OperationManager::addOperation(Operation* op)
    {
        if (!op)
        {
            EngineLog::line(
                "OperationManager::addOperation: a null operation was refused");
            return;
        }
        if (std::find(mOperations.begin(), mOperations.end(), op) != mOperations.end())
        {
            EngineLog::line(
                "OperationManager::addOperation: an operation already in the history was refused");
            return;
        }
        if (!mOperations.empty())
        {
            while (mCurrent < mOperations.size() - 1)
            {
                delete mOperations.back();
                mOperations.pop_back();
            }
        }
        if (mOperations.size() == mMaxOperations)
        {
            delete mOperations.front();
            mOperations.pop_front();
        }
        mOperations.push_back(op);
        mCurrent = static_cast<unsigned int>(mOperations.size() - 1);
    }

    bool OperationManager::canUndo() const { return mCurrent != 0; }

    bool OperationManager::canRedo() const
    {
        return !mOperations.empty() && mCurrent < mOperations.size() - 1;
    }

    void OperationManager::undo()
    {
        if (!canUndo())
            return;
        mOperations[mCurrent]->undo();
        --mCurrent;
    }

    void OperationManager::redo()
    {
        if (!canRedo())
            return;
        ++mCurrent;
        mOperations[mCurrent]->redo();
    }

    OperationManager& OperationManager::getSingleton()
    {
        assert(msSingleton);
        return *msSingleton;
    }

    OperationManager* OperationManager::getSingletonPtr() { return msSingleton; }
}
