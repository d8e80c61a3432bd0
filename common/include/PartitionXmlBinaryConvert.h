#ifndef __WrenPartitionXmlBinaryConvert_H__
#define __WrenPartitionXmlBinaryConvert_H__

#include "WrenCommonPrerequisites.h"

#include <string>
#include <vector>

namespace Wren
{
    /** Converts a partition's objects document between its XML form
        (".objects") and its binary form (".objbinary").

        The binary form is a BinaryFileResource whose root "Objects" holds a
        1-byte buffer (ShowBounds, 0 or 1) and one child "Object" per object
        with one 276-byte CompleteObjectDataInfo record. Only what that
        record holds survives the binary form: an object's type, name,
        position, orientation, scale, metadata id, partition id and, for a
        "MeshGameObject", its IsStatic and CastShadows flags.

        Both operations leave their input unchanged, return a new document
        that the caller owns, and return null (with the reason logged and,
        when asked for, in error) when the input can not be converted.
    */
    class WREN_COMMON_EXPORT PartitionXmlBinaryConvert
    {
    public:
        /** Builds the binary form of an XML partition objects document.

            Null when xmlFile is null, has no root, or its root has no
            "CorePartitionData" child.

            An object holds what the record can not keep when it has
            children (elements under "Children"), dynamic properties
            (elements under "DynamicProperties" of "CoreData"), type data
            (any other element under "Object" than "CoreData", "Children"
            and, for a "MeshGameObject", "MeshData"), or a type, name,
            metadata id or partition id longer than its field (31, 127, 63
            and 7 bytes). By default such a document is refused: the result
            is null and error names such objects and what they hold (the
            first twenty of them; losses has them all).
            With allowLoss the document is converted anyway: children,
            dynamic properties and type data are left behind, and an object
            whose text does not fit is left out whole (a cut name or id
            would name another object or template).

            Either way losses, when given, receives one line per such
            object, "object \"NAME\": what it holds", in document order; it
            is empty after a conversion that kept everything.
        */
        static Ogre::BinaryFileResource* ConvetToBinary(DataFile* xmlFile,
                                                        std::string* error = nullptr,
                                                        bool allowLoss = false,
                                                        std::vector<std::string>* losses = nullptr);

        /** Builds the XML form (a SelectorDataFile) of a binary objects
            file: per object "CoreData" (holding an empty
            "DynamicProperties"), an empty "Children", and "MeshData" for
            meshes. Null when binaryFile is null or has no root, or when any
            child's buffer is not exactly 276 bytes or is a damaged record
            whose text field lacks its terminating zero (its text could not
            be stored again). */
        static DataFile* ConvertToXml(Ogre::BinaryFileResource* binaryFile,
                                      std::string* error = nullptr);
    };
}

#endif
