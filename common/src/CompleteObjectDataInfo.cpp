#include "CompleteObjectDataInfo.h"

#include <cstring>
#include <type_traits>

namespace Wren
{
    static_assert(sizeof(CompleteObjectDataInfo) == CompleteObjectDataInfo::Size,
                  "the object record must stay 276 bytes");
    static_assert(std::is_standard_layout<CompleteObjectDataInfo>::value,
                  "the object record is copied byte for byte");
    static_assert(offsetof(CompleteObjectDataInfo, name) == 32, "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, posX) == 160, "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, orientX) == 172, "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, scaleX) == 188, "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, metaId) == CompleteObjectDataInfo::MetaIdOffset,
                  "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, partitionId) == 264, "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, isStatic) == 272, "record layout");
    static_assert(offsetof(CompleteObjectDataInfo, castShadows) == 273, "record layout");
    static_assert(sizeof(float) == 4, "floats are IEEE 754 single precision");
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
#error "the object record is stored little-endian; this host would need byte swapping"
#endif

    CompleteObjectDataInfo::CompleteObjectDataInfo() { clear(); }

    void CompleteObjectDataInfo::clear() { std::memset(static_cast<void*>(this), 0, Size); }

    void CompleteObjectDataInfo::setPosition(const Ogre::Vector3& v)
    {
        posX = v.x;
        posY = v.y;
        posZ = v.z;
    }

    void CompleteObjectDataInfo::setOrientation(const Ogre::Quaternion& q)
    {
        orientX = q.x;
        orientY = q.y;
        orientZ = q.z;
        orientW = q.w;
    }

    void CompleteObjectDataInfo::setScale(const Ogre::Vector3& v)
    {
        scaleX = v.x;
        scaleY = v.y;
        scaleZ = v.z;
    }

    bool CompleteObjectDataInfo::hasTerminatedTexts() const
    {
        return strnlen(type, TypeSize) < TypeSize && strnlen(name, NameSize) < NameSize &&
               strnlen(metaId, MetaIdSize) < MetaIdSize &&
               strnlen(partitionId, PartitionIdSize) < PartitionIdSize;
    }

    void CompleteObjectDataInfo::toBytes(void* dest) const { std::memcpy(dest, this, Size); }

    bool CompleteObjectDataInfo::fromBytes(const void* src, size_t size)
    {
        if (!src || size != Size)
            return false;
        std::memcpy(static_cast<void*>(this), src, Size);
        return true;
    }

    std::string CompleteObjectDataInfo::text(const char* field, size_t size)
    {
        return std::string(field, strnlen(field, size));
    }

    bool CompleteObjectDataInfo::setText(char* field, size_t size, const std::string& value)
    {
        if (!fits(value, size))
            return false;
        std::memset(field, 0, size);
        std::memcpy(field, value.data(), value.size());
        return true;
    }
}
