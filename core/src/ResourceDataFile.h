#ifndef __WrenResourceDataFile_H__
#define __WrenResourceDataFile_H__

#include "DataFileResource.h"
#include "SelectorDataFile.h"

#include <memory>

namespace Wren
{
    /** A data file of a resource group, read through DataFileResourceManager
        (so that it is shared with the prefetcher). When the data-file
        resource can not read it from its group, the file is read from the
        group directly. Holds what it read for as long as it lives. */
    class ResourceDataFile
    {
    public:
        /** Reads name from group; getFile() is null when it can not be
            found or parsed. A resource that failed is forgotten by its
            manager, so that a file written later is read next time. */
        ResourceDataFile(const std::string& name, const std::string& group);

        DataFile* getFile() const;
        const DataFileResourcePtr& getResource() const { return mResource; }
        /** Forgets the resource in its manager (the document stays readable
            while this object lives). */
        void forget();

    private:
        DataFileResourcePtr mResource;
        std::unique_ptr<SelectorDataFile> mDirect;
        bool mForgotten = false;
    };
}

#endif
