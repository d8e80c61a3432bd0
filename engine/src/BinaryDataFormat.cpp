#include "BinaryDataFormat.h"

#include "BinaryDataElement.h"

#include <OgreStringConverter.h>

#include <cstring>

namespace Ogre
{
    namespace
    {
        const unsigned char gMagic[4] = {'W', 'B', 'I', 'N'};
        // Name length, buffer length and child count of an empty element.
        const size_t gSmallestElement = 2 + 4 + 4;

        void putU16(std::vector<unsigned char>& out, uint32 v)
        {
            out.push_back(static_cast<unsigned char>(v & 0xff));
            out.push_back(static_cast<unsigned char>((v >> 8) & 0xff));
        }

        void putU32(std::vector<unsigned char>& out, uint64 v)
        {
            for (int i = 0; i < 4; ++i)
                out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xff));
        }

        bool writeElement(const BinaryDataElement& e, size_t depth, std::vector<unsigned char>& out,
                          String& error)
        {
            if (depth > BinaryDataFormat::MaxDepth)
            {
                error = "elements nest deeper than " +
                        StringConverter::toString(BinaryDataFormat::MaxDepth);
                return false;
            }
            const String& name = e.getName();
            if (name.size() > BinaryDataFormat::MaxNameLength)
            {
                error = "element name longer than " +
                        StringConverter::toString(BinaryDataFormat::MaxNameLength) + " bytes";
                return false;
            }
            if (name.find('\0') != String::npos)
            {
                error = "element name holds a zero byte";
                return false;
            }
            if (e.getSize() > 0xffffffffu || e.getChildCount() > 0xffffffffu)
            {
                error = "element \"" + name + "\" is too large";
                return false;
            }
            putU16(out, static_cast<uint32>(name.size()));
            out.insert(out.end(), name.begin(), name.end());
            putU32(out, e.getSize());
            const unsigned char* buf = static_cast<const unsigned char*>(e.getBuf());
            if (buf)
                out.insert(out.end(), buf, buf + e.getSize());
            putU32(out, e.getChildCount());
            for (size_t i = 0; i < e.getChildCount(); ++i)
                if (!writeElement(*e.getChild(i), depth + 1, out, error))
                    return false;
            return true;
        }

        /** Cursor over the input that never reads past its end. */
        class Reader
        {
        public:
            Reader(const unsigned char* data, size_t size) : mData(data), mSize(size), mPos(0) {}

            size_t left() const { return mSize - mPos; }
            size_t pos() const { return mPos; }

            bool u16(uint32& v)
            {
                if (left() < 2)
                    return false;
                v = uint32(mData[mPos]) | (uint32(mData[mPos + 1]) << 8);
                mPos += 2;
                return true;
            }

            bool u32(uint32& v)
            {
                if (left() < 4)
                    return false;
                v = 0;
                for (int i = 0; i < 4; ++i)
                    v |= uint32(mData[mPos + i]) << (8 * i);
                mPos += 4;
                return true;
            }

            const unsigned char* take(size_t n)
            {
                if (left() < n)
                    return nullptr;
                const unsigned char* p = mData + mPos;
                mPos += n;
                return p;
            }

        private:
            const unsigned char* mData;
            size_t mSize;
            size_t mPos;
        };

        String at(const Reader& in) { return " at byte " + StringConverter::toString(in.pos()); }

        /** The memory the tree of a file may still take. */
        class Budget
        {
        public:
            explicit Budget(size_t fileSize)
                : mLeft(BinaryDataFormat::MemoryPerFileByte * fileSize + BinaryDataFormat::MemorySlack)
            {
            }

            /** Takes what one element with that name and buffer costs;
                false when the budget is spent. */
            bool take(const String& name, size_t bufSize)
            {
                // The element, its slot in the parent's list (which may be
                // twice as long as needed), the heap blocks of its name and
                // buffer and what the allocator keeps beside each block.
                const size_t overhead = 16, inlineName = 15;
                size_t cost = sizeof(BinaryDataElement) + overhead + 2 * sizeof(void*);
                if (name.size() > inlineName)
                    cost += name.size() + 1 + overhead;
                if (bufSize)
                    cost += bufSize + overhead;
                if (cost > mLeft)
                    return false;
                mLeft -= cost;
                return true;
            }

        private:
            size_t mLeft;
        };

        String overBudget(const Reader& in)
        {
            return "the elements would take more than " +
                   StringConverter::toString(BinaryDataFormat::MemoryPerFileByte) +
                   " times the size of the file in memory" + at(in);
        }

        /** Reads the name and buffer of one element; children follow. */
        bool readHead(Reader& in, String& name, const unsigned char*& buf, uint32& bufSize,
                      String& error)
        {
            uint32 nameLength = 0;
            if (!in.u16(nameLength))
            {
                error = "truncated element" + at(in);
                return false;
            }
            if (nameLength > BinaryDataFormat::MaxNameLength)
            {
                error = "element name of " + StringConverter::toString(nameLength) +
                        " bytes" + at(in);
                return false;
            }
            const unsigned char* nameBytes = in.take(nameLength);
            if (!nameBytes)
            {
                error = "truncated element name" + at(in);
                return false;
            }
            name.assign(reinterpret_cast<const char*>(nameBytes), nameLength);
            if (name.find('\0') != String::npos)
            {
                error = "element name holds a zero byte" + at(in);
                return false;
            }
            if (!in.u32(bufSize))
            {
                error = "truncated element \"" + name + "\"" + at(in);
                return false;
            }
            buf = in.take(bufSize);
            if (!buf)
            {
                error = "buffer of " + StringConverter::toString(bufSize) + " bytes of element \"" +
                        name + "\" runs past the end" + at(in);
                return false;
            }
            return true;
        }

        bool readChildren(Reader& in, BinaryDataElement& parent, size_t depth, Budget& budget,
                          String& error)
        {
            uint32 count = 0;
            if (!in.u32(count))
            {
                error = "truncated child count of \"" + parent.getName() + "\"" + at(in);
                return false;
            }
            if (count > in.left() / gSmallestElement)
            {
                error = StringConverter::toString(count) + " children of \"" + parent.getName() +
                        "\" can not fit in the rest of the file" + at(in);
                return false;
            }
            if (count > 0 && depth + 1 > BinaryDataFormat::MaxDepth)
            {
                error = "elements nest deeper than " +
                        StringConverter::toString(BinaryDataFormat::MaxDepth) + at(in);
                return false;
            }
            for (uint32 i = 0; i < count; ++i)
            {
                String name;
                const unsigned char* buf = nullptr;
                uint32 bufSize = 0;
                if (!readHead(in, name, buf, bufSize, error))
                    return false;
                if (!budget.take(name, bufSize))
                {
                    error = overBudget(in);
                    return false;
                }
                BinaryDataElement* child = parent.createDefaultChild(name.c_str());
                if (bufSize)
                    std::memcpy(child->allocBuf(bufSize), buf, bufSize);
                if (!readChildren(in, *child, depth + 1, budget, error))
                    return false;
            }
            return true;
        }
    }

    bool BinaryDataFormat::write(const BinaryDataElement* root, std::vector<unsigned char>& out,
                                 String& error)
    {
        std::vector<unsigned char> bytes(gMagic, gMagic + 4);
        putU16(bytes, Version);
        putU16(bytes, 0);
        putU32(bytes, root ? 1 : 0);
        if (root && !writeElement(*root, 1, bytes, error))
            return false;
        out.insert(out.end(), bytes.begin(), bytes.end());
        return true;
    }

    bool BinaryDataFormat::read(const void* data, size_t size,
                                std::unique_ptr<BinaryDataElement>& root, String& error)
    {
        if (!data && size)
        {
            error = "no data";
            return false;
        }
        Reader in(static_cast<const unsigned char*>(data), size);
        const unsigned char* magic = in.take(4);
        if (!magic || std::memcmp(magic, gMagic, 4) != 0)
        {
            error = "not a binary data file (no \"WBIN\" mark)";
            return false;
        }
        uint32 version = 0, flags = 0, roots = 0;
        if (!in.u16(version) || !in.u16(flags) || !in.u32(roots))
        {
            error = "truncated header";
            return false;
        }
        if (version != Version)
        {
            error = "unsupported version " + StringConverter::toString(version);
            return false;
        }
        if (flags != 0)
        {
            error = "unknown flags " + StringConverter::toString(flags);
            return false;
        }
        if (roots > 1)
        {
            error = StringConverter::toString(roots) + " root elements";
            return false;
        }
        std::unique_ptr<BinaryDataElement> tree;
        if (roots == 1)
        {
            String name;
            const unsigned char* buf = nullptr;
            uint32 bufSize = 0;
            Budget budget(size);
            if (!readHead(in, name, buf, bufSize, error))
                return false;
            if (!budget.take(name, bufSize))
            {
                error = overBudget(in);
                return false;
            }
            tree.reset(new BinaryDataElement(name.c_str()));
            if (bufSize)
                std::memcpy(tree->allocBuf(bufSize), buf, bufSize);
            if (!readChildren(in, *tree, 1, budget, error))
                return false;
        }
        if (in.left() != 0)
        {
            error = StringConverter::toString(in.left()) + " bytes after the last element" + at(in);
            return false;
        }
        root = std::move(tree);
        return true;
    }
}
