#ifndef __WrenCorePartitionResourceLoading_H__
#define __WrenCorePartitionResourceLoading_H__

#include "WrenCorePrerequisites.h"

#include "BinaryFileResource.h"
#include "DataFileResource.h"

#include <list>
#include <string>

namespace Wren
{
    /** Prefetches what loading a partition will read, so that the load does
        not stall the frame on the disk: first the partition's objects file,
        then the metadata file of every object the file lists.

        One start (load or loadBinary) is followed by polls (isLoaded or
        isBinaryLoaded, matching the start) once per streaming step. A poll
        that sees the objects file arrive requests the metadata and answers
        false; later polls answer true once every requested metadata file
        has settled. So a prefetch takes at least two polls, and a poll with
        nothing started answers true at once. Nothing is created here: the
        partition's own load afterwards finds the files resident.

        Objects files (binary and XML) and metadata files are read and parsed
        on the engine's loader thread (Ogre::BackgroundLoader) when one
        exists; each poll first completes, on the frame thread, the loads
        whose work has ended (BackgroundLoader::collect). Objects files are
        looked up in "PLSM2" (binary) and "General" (XML), metadata in
        "General".

        Failures never stall the prefetch: an objects file that fails to
        load or parse skips the metadata stage (the next poll answers true
        and the partition's load reports the file), and a metadata file that
        fails counts as settled (the partition's load reports it when it
        needs it). Records that are not 276 bytes, and objects without a
        metadata id, request nothing.

        Frame thread only. Copying shares the handles.
    */
    class WREN_CORE_EXPORT CorePartitionResourceLoading
    {
    public:
        CorePartitionResourceLoading();
        virtual ~CorePartitionResourceLoading();

        /** Starts prefetching an XML objects file; ignored while a prefetch
            is under way. */
        void load(const std::string& xmlFileName);
        /** Starts prefetching a binary objects file; ignored while a
            prefetch is under way. */
        void loadBinary(const std::string& binaryFileName);

        /** Polls a prefetch started with load(); true when all arrived. */
        bool isLoaded();
        /** Polls a prefetch started with loadBinary(). */
        bool isBinaryLoaded();

        /** Forgets everything; the next poll answers true. */
        void resetLoadState();

        /** True between the objects file's arrival and the last metadata
            file's. */
        bool isMetadataStage() const { return mMetadataStage; }
        /** Number of metadata files requested and not yet settled. */
        size_t getPendingMetadataCount() const { return mPendingMetadata.size(); }

    private:
        /** Requests one metadata file and appends its handle. */
        void requestMetadata(const std::string& metadataId, bool background);
        /** Drops every settled metadata file; true when none is left. */
        bool drainMetadata();

        Ogre::IBinaryFileResourcePtr mBinaryFile;
        DataFileResourcePtr mXmlFile;
        std::list<DataFileResourcePtr> mPendingMetadata;
        bool mMetadataStage;
    };
}

#endif
