#include "BinaryDataElement.h"

#include <cstring>

namespace Ogre
{
    BinaryDataElement::BinaryDataElement(const char* name)
        : mName(name ? name : ""), mParent(nullptr), mIndex(0)
    {
    }

    BinaryDataElement::~BinaryDataElement() {}

    BinaryDataElement* BinaryDataElement::createDefaultChild(const char* name)
    {
        std::unique_ptr<BinaryDataElement> child(new BinaryDataElement(name));
        child->mParent = this;
        child->mIndex = mChildren.size();
        mChildren.push_back(std::move(child));
        return mChildren.back().get();
    }

    void* BinaryDataElement::allocBuf(size_t size)
    {
        mBuffer.assign(size, 0);
        mBuffer.shrink_to_fit();
        return getBuf();
    }

    void* BinaryDataElement::getBuf() { return mBuffer.empty() ? nullptr : mBuffer.data(); }

    const void* BinaryDataElement::getBuf() const
    {
        return mBuffer.empty() ? nullptr : mBuffer.data();
    }

    BinaryDataElement* BinaryDataElement::getChild(size_t index) const
    {
        return index < mChildren.size() ? mChildren[index].get() : nullptr;
    }

    BinaryDataElement* BinaryDataElement::findChild(size_t from, const char* name) const
    {
        for (size_t i = from; i < mChildren.size(); ++i)
            if (!name || mChildren[i]->mName == name)
                return mChildren[i].get();
        return nullptr;
    }

    IBinaryDataElement* BinaryDataElement::getFirstChildElement() { return findChild(0, nullptr); }

    IBinaryDataElement* BinaryDataElement::getFirstChildElement(const char* name)
    {
        return findChild(0, name ? name : "");
    }

    IBinaryDataElement* BinaryDataElement::getNextChildElement()
    {
        return mParent ? mParent->findChild(mIndex + 1, nullptr) : nullptr;
    }

    IBinaryDataElement* BinaryDataElement::getNextChildElement(const char* name)
    {
        return mParent ? mParent->findChild(mIndex + 1, name ? name : "") : nullptr;
    }
}
