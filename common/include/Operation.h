#ifndef __WrenOperation_H__
#define __WrenOperation_H__

#include "WrenCommonPrerequisites.h"

namespace Wren
{
    /** One state of the editing history: redo puts the world into the state
        after the change, undo back into the state before it. Handed to
        OperationManager::addOperation after the change has been made; the
        manager owns and deletes it. The base does nothing in either. */
    class WREN_COMMON_EXPORT Operation
    {
    public:
        virtual ~Operation();

        virtual void undo();
        virtual void redo();
    };
}

#endif
