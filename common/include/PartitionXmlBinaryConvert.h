#ifndef __WrenPartitionXmlBinaryConvert_H__
#define __WrenPartitionXmlBinaryConvert_H__

#include "WrenCommonPrerequisites.h"

#include <string>

namespace Wren
{
    /** Converts a partition's objects document between its XML form
        (".objects") and its binary form (".objbinary").

        The binary form is a BinaryFileResource whose root "Objects" holds a
        1-byte buffer (ShowBounds, 0 or 1) and one child "Object" per object
        with one 276-byte CompleteObjectDataInfo record. Only what that
        record holds survives the binary form: an object's type, name,
        position, orientation, scale, metadata id, partition id and, for a
        "MeshGameObject", its IsStatic and CastShadows flags. Children and
        dynamic properties are dropped.

        Both operations leave their input unchanged, return a new document
        that the caller owns, and return null (with the reason logged and,
        when asked for, in error) when the input can not be converted.
    */
    class WREN_COMMON_EXPORT PartitionXmlBinaryConvert
    {
    public:
        /** Builds the binary form of an XML partition objects document.
            Null when xmlFile is null, has no root, or its root has no
            "CorePartitionData" child; also null when some object's type,
            name, metadata id or partition id is too long for its field
            (31, 127, 63 and 7 bytes): such an object can not be stored
            faithfully, and converting the rest would lose it. */
        static Ogre::BinaryFileResource* ConvetToBinary(DataFile* xmlFile,
                                                        std::string* error = nullptr);

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
