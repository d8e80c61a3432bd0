#ifndef __WrenOperationManager_H__
#define __WrenOperationManager_H__

#include "WrenCommonPrerequisites.h"

#include <OgreSingleton.h>

#include <deque>

namespace Wren
{
    /** The process-wide, bounded undo/redo history.

        The history is a list of states, oldest first. Entry 0 is the base
        state, which is never undone; the entry at the cursor is the state in
        effect; entries after it can be redone. So the very first operation
        added becomes the base and cannot be undone, and each further one can
        be undone back to the base.

        Adding an operation discards the redo tail (newest first), then, when
        the history is full, the oldest entry (the next one becomes the new
        base), and appends the new operation as the state in effect. The
        history never holds more than its capacity. Every operation the
        manager discards, and those still held when it is destroyed, are
        deleted.

        The host creates the one instance (with its capacity) before editing
        begins.
    */
    class WREN_COMMON_EXPORT OperationManager : public Ogre::Singleton<OperationManager>
    {
    public:
        typedef std::deque<Operation*> OperationQueue;

        /** An empty history of at most maxOperations entries. Throws
            Ogre::InvalidParametersException when maxOperations is 0: such a
            history could not hold the operation in effect. */
        explicit OperationManager(unsigned int maxOperations);
        /** Deletes every operation still in the history; so an operation
            must not need, when it is deleted, anything the host destroys
            before the history. */
        ~OperationManager();

        OperationManager(const OperationManager&) = delete;
        OperationManager& operator=(const OperationManager&) = delete;

        /** Takes ownership of op, an operation whose change has already been
            made, and makes it the state in effect (op is not executed). A
            null op, or one already in the history, is refused with a logged
            message and the history is left as it was. */
        void addOperation(Operation* op);

        /** True when the state in effect is not the base state. */
        bool canUndo() const;
        /** True when there is a state after the one in effect. */
        bool canRedo() const;

        /** Undoes the operation in effect and steps back; nothing at the base. */
        void undo();
        /** Steps forward and redoes that operation; nothing at the newest. */
        void redo();

        /** The history, oldest first. */
        OperationQueue& getOperations() { return mOperations; }
        /** Index in getOperations() of the state in effect (0 when empty). */
        unsigned int getCurrent() const { return mCurrent; }
        unsigned int getMaxOperations() const { return mMaxOperations; }

        static OperationManager& getSingleton();
        static OperationManager* getSingletonPtr();

    protected:
        unsigned int mCurrent = 0;
        unsigned int mMaxOperations;
        OperationQueue mOperations;
    };
}

#endif
