#include "XMLDataElement.h"

#include <OgreStringConverter.h>

#include <tinyxml.h>

namespace Wren
{
    namespace
    {
        DataElementPtr wrap(TiXmlElement* element)
        {
            return DataElementPtr(new XMLDataElement(element));
        }
    }

    XMLDataElement::XMLDataElement(TiXmlElement* element) : mElement(element), mOwns(false) {}

    XMLDataElement::XMLDataElement(const std::string& name)
        : mElement(new TiXmlElement(name)), mOwns(true)
    {
    }

    XMLDataElement::~XMLDataElement()
    {
        if (mOwns)
            delete mElement;
    }

    DataElementPtr XMLDataElement::createChild(const std::string& name)
    {
        TiXmlNode* inserted = mElement ? mElement->InsertEndChild(TiXmlElement(name)) : nullptr;
        return wrap(inserted ? inserted->ToElement() : nullptr);
    }

    DataElementPtr XMLDataElement::getFirstChild(const std::string& name)
    {
        return wrap(mElement ? mElement->FirstChildElement(name) : nullptr);
    }

    DataElementPtr XMLDataElement::getFirstChild()
    {
        return wrap(mElement ? mElement->FirstChildElement() : nullptr);
    }

    DataElementPtr XMLDataElement::getNextSibling(const std::string& name)
    {
        return wrap(mElement ? mElement->NextSiblingElement(name) : nullptr);
    }

    DataElementPtr XMLDataElement::getNextSibling()
    {
        return wrap(mElement ? mElement->NextSiblingElement() : nullptr);
    }

    const std::string* XMLDataElement::findAttribute(const std::string& name) const
    {
        if (!mElement)
            return nullptr;
        for (const TiXmlAttribute* a = mElement->FirstAttribute(); a; a = a->Next())
            if (a->NameTStr() == name)
                return &a->ValueStr();
        return nullptr;
    }

    int XMLDataElement::getAttributeInt(const std::string& name, int defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? Ogre::StringConverter::parseInt(*text) : defaultValue;
    }

    float XMLDataElement::getAttributeFloat(const std::string& name, float defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? Ogre::StringConverter::parseReal(*text) : defaultValue;
    }

    std::string XMLDataElement::getAttributeString(const std::string& name,
                                                   const std::string& defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? *text : defaultValue;
    }

    bool XMLDataElement::getAttributeBool(const std::string& name, bool defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? Ogre::StringConverter::parseBool(*text) : defaultValue;
    }

    Ogre::Vector3 XMLDataElement::getAttributeVector3(const std::string& name,
                                                      const Ogre::Vector3& defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? Ogre::StringConverter::parseVector3(*text) : defaultValue;
    }

    Ogre::Quaternion XMLDataElement::getAttributeQuaternion(
        const std::string& name, const Ogre::Quaternion& defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? Ogre::StringConverter::parseQuaternion(*text) : defaultValue;
    }

    Ogre::ColourValue XMLDataElement::getAttributeColourValue(
        const std::string& name, const Ogre::ColourValue& defaultValue) const
    {
        const std::string* text = findAttribute(name);
        return text ? Ogre::StringConverter::parseColourValue(*text) : defaultValue;
    }

    void XMLDataElement::setAttributeInt(const std::string& name, int value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, Ogre::StringConverter::toString(value));
    }

    void XMLDataElement::setAttributeFloat(const std::string& name, float value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, Ogre::StringConverter::toString(value));
    }

    void XMLDataElement::setAttributeString(const std::string& name, const std::string& value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, value);
    }

    void XMLDataElement::setAttributeBool(const std::string& name, bool value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, Ogre::StringConverter::toString(value));
    }

    void XMLDataElement::setAttributeVector3(const std::string& name, const Ogre::Vector3& value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, Ogre::StringConverter::toString(value));
    }

    void XMLDataElement::setAttributeQuaternion(const std::string& name,
                                                const Ogre::Quaternion& value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, Ogre::StringConverter::toString(value));
    }

    void XMLDataElement::setAttributeColourValue(const std::string& name,
                                                 const Ogre::ColourValue& value)
    {
        if (!mElement)
            return;
        mElement->SetAttribute(name, Ogre::StringConverter::toString(value));
    }

    bool XMLDataElement::getIsEmpty() { return mElement == nullptr; }

    void XMLDataElement::removeAttribute(const std::string& name)
    {
        if (mElement)
            mElement->RemoveAttribute(name);
    }

    void XMLDataElement::removeFirstChild(const std::string& name)
    {
        if (!mElement)
            return;
        if (TiXmlElement* child = mElement->FirstChildElement(name))
            mElement->RemoveChild(child);
    }

    void XMLDataElement::removeAllChildByName(const std::string& name)
    {
        while (TiXmlElement* child = mElement ? mElement->FirstChildElement(name) : nullptr)
            mElement->RemoveChild(child);
    }

    std::string XMLDataElement::getName() const { return mElement ? mElement->ValueStr() : ""; }
}
