#ifndef __WrenPartitionLoadSource_H__
#define __WrenPartitionLoadSource_H__

#include "BinaryDataElement.h"
#include "BinaryFileResource.h"
#include "DataElement.h"
#include "DataFile.h"
#include "ResourceDataFile.h"

#include <memory>
#include <vector>

namespace Wren
{
    /** What one partition load reads: the "Object" entries of an XML
        document or of a binary element tree, in document order, with
        whatever keeps them alive while objects are made from them (the file
        read, or nothing when the caller lends the root). A resource read
        from its manager is forgotten there when the source goes, so that
        the next read sees what a save wrote since. */
    struct PartitionLoadSource
    {
        PartitionLoadSource() = default;
        PartitionLoadSource(const PartitionLoadSource&) = delete;
        PartitionLoadSource& operator=(const PartitionLoadSource&) = delete;
        ~PartitionLoadSource();

        /** Lists the entries of an XML root (which may be empty). */
        void takeXml(DataElementPtr root);
        /** Lists the entries of a binary root (null for none). */
        void takeBinary(Ogre::IBinaryDataElement* root);

        bool binary = false;
        /** The root's "CorePartitionData" ShowBounds (XML) or first byte
            (binary), when it has one. */
        bool hasShowBounds = false;
        bool showBounds = false;
        std::vector<DataElementPtr> elements;
        std::vector<Ogre::IBinaryDataElement*> records;

        std::unique_ptr<ResourceDataFile> resource;
        std::unique_ptr<DataFile> document;
        Ogre::BinaryFileResourcePtr binaryResource;
        std::unique_ptr<Ogre::BinaryFileResource> binaryFile;

        size_t size() const { return binary ? records.size() : elements.size(); }
    };
}

#endif
