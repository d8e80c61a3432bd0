#ifndef __WrenXMLDataElement_H__
#define __WrenXMLDataElement_H__

#include "DataElement.h"

class TiXmlElement;

namespace Wren
{
    /** A data element over a TinyXML node.

        Attributes are stored as text: ints in plain decimal, floats with up
        to 6 significant digits, bools as "true"/"false", vectors as "x y z",
        quaternions as "w x y z", colours as "r g b a", all through
        Ogre::StringConverter. A present attribute whose text does not parse
        reads as what the engine's parser makes of it (0 for an int), not as
        the default.

        Wrappers returned by navigation and createChild never own their node:
        it belongs to its document, and releasing the last handle leaves it
        there.
    */
    class WREN_COMMON_EXPORT XMLDataElement : public DataElement
    {
    public:
        /** Wraps a node without owning it; a null node gives an empty element. */
        explicit XMLDataElement(TiXmlElement* element);
        /** Makes a free-standing node with that name and owns it. */
        explicit XMLDataElement(const std::string& name);
        ~XMLDataElement() override;

        DataElementPtr createChild(const std::string& name) override;
        DataElementPtr getFirstChild(const std::string& name) override;
        DataElementPtr getFirstChild() override;
        DataElementPtr getNextSibling(const std::string& name) override;
        DataElementPtr getNextSibling() override;

        int getAttributeInt(const std::string& name, int defaultValue) const override;
        float getAttributeFloat(const std::string& name, float defaultValue) const override;
        std::string getAttributeString(const std::string& name,
                                       const std::string& defaultValue) const override;
        bool getAttributeBool(const std::string& name, bool defaultValue) const override;
        Ogre::Vector3 getAttributeVector3(const std::string& name,
                                          const Ogre::Vector3& defaultValue) const override;
        Ogre::Quaternion getAttributeQuaternion(const std::string& name,
                                                const Ogre::Quaternion& defaultValue) const override;
        Ogre::ColourValue getAttributeColourValue(
            const std::string& name, const Ogre::ColourValue& defaultValue) const override;

        void setAttributeInt(const std::string& name, int value) override;
        void setAttributeFloat(const std::string& name, float value) override;
        void setAttributeString(const std::string& name, const std::string& value) override;
        void setAttributeBool(const std::string& name, bool value) override;
        void setAttributeVector3(const std::string& name, const Ogre::Vector3& value) override;
        void setAttributeQuaternion(const std::string& name, const Ogre::Quaternion& value) override;
        void setAttributeColourValue(const std::string& name,
                                     const Ogre::ColourValue& value) override;

        bool getIsEmpty() override;
        void removeAttribute(const std::string& name) override;
        void removeFirstChild(const std::string& name) override;
        void removeAllChildByName(const std::string& name) override;

        /** The element's own name ("" when empty). */
        std::string getName() const;
        TiXmlElement* getXmlElement() const { return mElement; }

    private:
        XMLDataElement(const XMLDataElement&) = delete;
        XMLDataElement& operator=(const XMLDataElement&) = delete;

        /** The attribute's text, or null when absent. */
        const std::string* findAttribute(const std::string& name) const;

        TiXmlElement* mElement;
        bool mOwns;
    };
}

#endif
