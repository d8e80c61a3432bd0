#ifndef __WrenDataFileResource_H__
#define __WrenDataFileResource_H__

#include "WrenCommonPrerequisites.h"

#include <OgreResource.h>

namespace Wren
{
    /** A data file as an engine resource (resource type "DataFile").

        Loading opens the resource's name from the group "PLSM2", or from
        the group that holds it, and parses it; with an explicit "full_path"
        that file is read instead and no group is asked. A name the resource
        groups do not know, or text that does not parse, leaves getDataFile()
        null and logs why. Callers test getDataFile() for null.
    */
    class WREN_COMMON_EXPORT DataFileResource : public Ogre::Resource
    {
    public:
        DataFileResource(Ogre::ResourceManager* creator, const Ogre::String& name,
                         Ogre::ResourceHandle handle, const Ogre::String& group,
                         bool isManual = false, Ogre::ManualResourceLoader* loader = nullptr);
        ~DataFileResource() override;

        /** The loaded document, or null when not loaded or not parsed. */
        DataFile* getDataFile() const { return mDataFile; }
        const std::string& getFullPath() const { return mFullPath; }
        void setFullPath(const std::string& path) { mFullPath = path; }

    protected:
        void loadImpl() override;
        void unloadImpl() override;
        size_t calculateSize() const override { return 0; }

    private:
        Ogre::DataStreamPtr openByName();
        Ogre::DataStreamPtr openFullPath();

        std::string mFullPath;
        DataFile* mDataFile;
    };

    typedef Ogre::SharedPtr<DataFileResource> DataFileResourcePtr;
}

#endif
