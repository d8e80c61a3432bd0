#ifndef __WrenSelectorDataFile_H__
#define __WrenSelectorDataFile_H__

#include "DataFile.h"

namespace Wren
{
    /** The data file every caller opens: it makes its delegate on first use
        and forwards each operation to it. The delegate is always XML; the
        flag given to the constructor is kept but does not change that (the
        binary form of objects files has its own converter). */
    class WREN_COMMON_EXPORT SelectorDataFile : public DataFile
    {
    public:
        explicit SelectorDataFile(bool flag = false);
        ~SelectorDataFile() override;

        bool load(Ogre::DataStreamPtr& stream) override;
        bool load(const char* buffer) override;
        bool load(const std::string& fileName) override;
        bool save(const std::string& fileName) override;
        DataElementPtr getRootElement() override;
        DataElementPtr createRootElement(const std::string& name) override;

        /** Parses text without logging (see XMLDataFile::parse). */
        bool parse(const char* text, std::string& error);

        bool getFlag() const { return mFlag; }

    private:
        SelectorDataFile(const SelectorDataFile&) = delete;
        SelectorDataFile& operator=(const SelectorDataFile&) = delete;

        DataFile* checkDataFile();

        DataFile* mDataFile;
        bool mFlag;
    };
}

#endif
