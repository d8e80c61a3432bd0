#ifndef __OgreBinaryDataElement_H__
#define __OgreBinaryDataElement_H__

#include "IBinaryDataElement.h"

#include <memory>
#include <vector>

namespace Ogre
{
    /** The element of binary data files that every tree is made of.

        Children are appended in order with createDefaultChild and are owned
        by their parent. Elements are neither copied nor moved: pointers to
        them stay valid while their tree lives.
    */
    class WREN_ENGINE_EXPORT BinaryDataElement : public IBinaryDataElement
    {
    public:
        /** A root element (no parent). A null name is taken as empty. */
        explicit BinaryDataElement(const char* name);
        ~BinaryDataElement() override;

        /** Appends a child without buffer as the last child. */
        BinaryDataElement* createDefaultChild(const char* name);

        const String& getName() const override { return mName; }
        void* allocBuf(size_t size) override;
        void* getBuf() override;
        const void* getBuf() const override;
        size_t getSize() const override { return mBuffer.size(); }

        IBinaryDataElement* getFirstChildElement() override;
        IBinaryDataElement* getFirstChildElement(const char* name) override;
        IBinaryDataElement* getNextChildElement() override;
        IBinaryDataElement* getNextChildElement(const char* name) override;
        IBinaryDataElement* getParentElement() override { return mParent; }

        size_t getChildCount() const { return mChildren.size(); }
        BinaryDataElement* getChild(size_t index) const;

    private:
        BinaryDataElement(const BinaryDataElement&) = delete;
        BinaryDataElement& operator=(const BinaryDataElement&) = delete;

        BinaryDataElement* findChild(size_t from, const char* name) const;

        String mName;
        std::vector<unsigned char> mBuffer;
        BinaryDataElement* mParent;
        size_t mIndex;
        std::vector<std::unique_ptr<BinaryDataElement>> mChildren;
    };
}

#endif
