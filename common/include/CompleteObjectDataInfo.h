#ifndef __WrenCompleteObjectDataInfo_H__
#define __WrenCompleteObjectDataInfo_H__

#include "WrenCommonPrerequisites.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace Wren
{
    /** The fixed 276-byte record of one object in a binary objects file
        (".objbinary"), one per "Object" element.

        Little-endian; floats are IEEE 754 single precision; text fields are
        zero-terminated with every unused byte zero.

        | Offset | Size | Field | XML source |
        |---|---|---|---|
        | 0 | 32 | type | "Type" of "Object" |
        | 32 | 128 | name | "Name" of "Object" |
        | 160 | 4 x 3 | posX, posY, posZ | "PosX" "PosY" "PosZ" of "CoreData" |
        | 172 | 4 x 4 | orientX, orientY, orientZ, orientW | "OrientX" ... "OrientW" |
        | 188 | 4 x 3 | scaleX, scaleY, scaleZ | "ScaleX" "ScaleY" "ScaleZ" |
        | 200 | 64 | metaId | "MetaID" of "CoreData" |
        | 264 | 8 | partitionId | "PartitionID" of "CoreData" |
        | 272 | 1 | isStatic, 0 or 1 | "IsStatic" of "MeshData" (meshes only) |
        | 273 | 1 | castShadows, 0 or 1 | "CastShadows" of "MeshData" (meshes only) |
        | 274 | 2 | reserved, zero | |

        The quaternion is stored x, y, z, w. A text field holds at most its
        size less one bytes: the setters refuse longer text (returning false
        and leaving the field as it was) rather than cut it, since a cut name
        or metadata id would silently name another object or template. The
        getters stop at the first zero or at the end of the field, so a
        record read from a damaged file never reads past its field.

        A default-constructed record is all zeros. Copying copies all 276
        bytes.
    */
    struct WREN_COMMON_EXPORT CompleteObjectDataInfo
    {
        static const size_t Size = 276;
        static const size_t TypeSize = 32;
        static const size_t NameSize = 128;
        static const size_t MetaIdSize = 64;
        static const size_t PartitionIdSize = 8;
        static const size_t MetaIdOffset = 200;

        char type[TypeSize];
        char name[NameSize];
        float posX, posY, posZ;
        float orientX, orientY, orientZ, orientW;
        float scaleX, scaleY, scaleZ;
        char metaId[MetaIdSize];
        char partitionId[PartitionIdSize];
        std::uint8_t isStatic;
        std::uint8_t castShadows;
        std::uint8_t reserved[2];

        CompleteObjectDataInfo();

        /** Zeroes all 276 bytes. */
        void clear();

        std::string getType() const { return text(type, TypeSize); }
        std::string getName() const { return text(name, NameSize); }
        std::string getMetaId() const { return text(metaId, MetaIdSize); }
        std::string getPartitionId() const { return text(partitionId, PartitionIdSize); }

        bool setType(const std::string& value) { return setText(type, TypeSize, value); }
        bool setName(const std::string& value) { return setText(name, NameSize, value); }
        bool setMetaId(const std::string& value) { return setText(metaId, MetaIdSize, value); }
        bool setPartitionId(const std::string& value)
        {
            return setText(partitionId, PartitionIdSize, value);
        }

        Ogre::Vector3 getPosition() const { return Ogre::Vector3(posX, posY, posZ); }
        Ogre::Quaternion getOrientation() const
        {
            return Ogre::Quaternion(orientW, orientX, orientY, orientZ);
        }
        Ogre::Vector3 getScale() const { return Ogre::Vector3(scaleX, scaleY, scaleZ); }
        void setPosition(const Ogre::Vector3& v);
        void setOrientation(const Ogre::Quaternion& q);
        void setScale(const Ogre::Vector3& v);

        /** True when every text field ends with a zero inside its field,
            as every record this system writes does. */
        bool hasTerminatedTexts() const;

        /** Copies the record into dest, which must hold Size bytes. */
        void toBytes(void* dest) const;
        /** Fills the record from a buffer; false (record unchanged) unless
            size is exactly Size. */
        bool fromBytes(const void* src, size_t size);

        /** The text of a zero-terminated field of at most size bytes. */
        static std::string text(const char* field, size_t size);
        /** Whether a text fits a field of that size with its terminator. */
        static bool fits(const std::string& value, size_t size)
        {
            return value.size() < size && value.find('\0') == std::string::npos;
        }

    private:
        static bool setText(char* field, size_t size, const std::string& value);
    };
}

#endif
