#ifndef __WrenDataElement_H__
#define __WrenDataElement_H__

#include "WrenCommonPrerequisites.h"

#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace Wren
{
    /** One node of a data file: a name, string-keyed typed attributes and
        ordered child elements.

        Navigation never returns a null handle. Where there is no such child
        or sibling it returns an element that wraps nothing, whose
        getIsEmpty() is true. On it getters return their defaults,
        navigation returns empty elements and changes do nothing. Callers loop like this:
        @code
        for (DataElementPtr e = parent->getFirstChild("Object"); !e->getIsEmpty();
             e = e->getNextSibling("Object"))
            ...
        @endcode
        Getters never fail: an absent attribute yields the given default.
    */
    class WREN_COMMON_EXPORT DataElement
    {
    public:
        virtual ~DataElement() {}

        /** Appends a new empty child with that name as the last child. */
        virtual DataElementPtr createChild(const std::string& name) = 0;
        virtual DataElementPtr getFirstChild(const std::string& name) = 0;
        virtual DataElementPtr getFirstChild() = 0;
        virtual DataElementPtr getNextSibling(const std::string& name) = 0;
        virtual DataElementPtr getNextSibling() = 0;

        virtual int getAttributeInt(const std::string& name, int defaultValue) const = 0;
        virtual float getAttributeFloat(const std::string& name, float defaultValue) const = 0;
        virtual std::string getAttributeString(const std::string& name,
                                               const std::string& defaultValue) const = 0;
        virtual bool getAttributeBool(const std::string& name, bool defaultValue) const = 0;
        virtual Ogre::Vector3 getAttributeVector3(const std::string& name,
                                                  const Ogre::Vector3& defaultValue) const = 0;
        virtual Ogre::Quaternion getAttributeQuaternion(
            const std::string& name, const Ogre::Quaternion& defaultValue) const = 0;
        virtual Ogre::ColourValue getAttributeColourValue(
            const std::string& name, const Ogre::ColourValue& defaultValue) const = 0;

        virtual void setAttributeInt(const std::string& name, int value) = 0;
        virtual void setAttributeFloat(const std::string& name, float value) = 0;
        virtual void setAttributeString(const std::string& name, const std::string& value) = 0;
        virtual void setAttributeBool(const std::string& name, bool value) = 0;
        virtual void setAttributeVector3(const std::string& name, const Ogre::Vector3& value) = 0;
        virtual void setAttributeQuaternion(const std::string& name,
                                            const Ogre::Quaternion& value) = 0;
        virtual void setAttributeColourValue(const std::string& name,
                                             const Ogre::ColourValue& value) = 0;

        /** True when this handle stands for no element at all. */
        virtual bool getIsEmpty() = 0;
        virtual void removeAttribute(const std::string& name) = 0;
        /** Removes the first child with that name, if any. */
        virtual void removeFirstChild(const std::string& name) = 0;
        /** Removes every child with that name. */
        virtual void removeAllChildByName(const std::string& name) = 0;
    };
}

#endif
