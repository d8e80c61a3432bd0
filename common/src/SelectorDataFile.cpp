#include "SelectorDataFile.h"

#include "XMLDataFile.h"

namespace Wren
{
    SelectorDataFile::SelectorDataFile(bool flag) : mDataFile(nullptr), mFlag(flag) {}

    SelectorDataFile::~SelectorDataFile() { delete mDataFile; }

    DataFile* SelectorDataFile::checkDataFile()
    {
        if (!mDataFile)
            mDataFile = new XMLDataFile();
        return mDataFile;
    }

    bool SelectorDataFile::load(Ogre::DataStreamPtr& stream) { return checkDataFile()->load(stream); }

    bool SelectorDataFile::parse(const char* text, std::string& error)
    {
        return static_cast<XMLDataFile*>(checkDataFile())->parse(text, error);
    }

    bool SelectorDataFile::load(const char* buffer) { return checkDataFile()->load(buffer); }

    bool SelectorDataFile::load(const std::string& fileName)
    {
        return checkDataFile()->load(fileName);
    }

    bool SelectorDataFile::save(const std::string& fileName)
    {
        return checkDataFile()->save(fileName);
    }

    DataElementPtr SelectorDataFile::getRootElement() { return checkDataFile()->getRootElement(); }

    DataElementPtr SelectorDataFile::createRootElement(const std::string& name)
    {
        return checkDataFile()->createRootElement(name);
    }
}
