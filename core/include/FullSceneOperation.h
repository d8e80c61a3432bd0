#ifndef __WrenFullSceneOperation_H__
#define __WrenFullSceneOperation_H__

#include "WrenCorePrerequisites.h"

#include "Operation.h"

#include <string>
#include <vector>

namespace Wren
{
    class DataFile;

    /** An undoable step that snapshots the whole scene: one objects document
        per partition that had one, in the partition manager's ID order.
        Made by CorePartitionManager::createOperation after a change of many
        objects and handed to OperationManager by the host.

        redo puts this snapshot back; undo puts back the snapshot of the
        previous full-scene operation of the same manager in the history
        (nothing when there is none). A partition that is loaded is reloaded
        from the snapshot; one that is not receives a copy that its next load
        uses, in either file form. The operation owns its documents; a
        partition never shares one with it (each hand-over copies).

        An operation outlives its world when the history keeps it after the
        partition manager is gone: the manager detaches it first, and from
        then on undo and redo only log that its world is gone. */
    class WREN_CORE_EXPORT FullSceneOperation : public Operation
    {
    public:
        /** The captured objects of one partition, by its ID. */
        struct PartitionState
        {
            /** Owned by the operation. */
            DataFile* state = nullptr;
            std::string partitionId;
        };
        typedef std::vector<PartitionState> PartitionStateList;

        explicit FullSceneOperation(CorePartitionManager* manager);
        /** Deletes every held document. */
        ~FullSceneOperation() override;
        FullSceneOperation(const FullSceneOperation&) = delete;
        FullSceneOperation& operator=(const FullSceneOperation&) = delete;

        void undo() override;
        void redo() override;

        /** Appends an entry; the operation takes ownership of state. */
        void addPartitionState(const std::string& partitionId, DataFile* state);
        const PartitionStateList& getPartionStates() const { return mPartitionStates; }
        /** The document held for that partition, or null. */
        DataFile* getPartitionState(const std::string& partitionId) const;
        /** The manager that made it; null once detached. */
        CorePartitionManager* getPartitionManager() const { return mPartitionManager; }
        /** Forgets the manager: undo and redo do nothing from now on. */
        void detach() { mPartitionManager = nullptr; }

        /** A new document with the same content as file (the caller owns
            it); null when file is null or not an XML document. */
        static DataFile* copyDocument(DataFile* file);

    protected:
        /** The last full-scene operation of the same manager before this one
            in the operation history; null when there is none. */
        FullSceneOperation* getPreviousFullSceneOperation() const;

        PartitionStateList mPartitionStates;
        CorePartitionManager* mPartitionManager;
    };
}

#endif
