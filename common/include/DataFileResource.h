#ifndef __WrenDataFileResource_H__
#define __WrenDataFileResource_H__

#include "WrenCommonPrerequisites.h"

#include <OgreResource.h>

namespace Wren
{
    /** A data file as an engine resource (resource type "DataFile").

        Loading opens the resource's name from the group "PLSM2" (other
        groups are searched too) and parses it. Without an explicit
        "full_path" the name must be known to the resource groups; a name
        that is not, or text that does not parse, leaves getDataFile() null
        and logs why. Callers test getDataFile() for null.
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
        std::string mFullPath;
        DataFile* mDataFile;
    };

    typedef Ogre::SharedPtr<DataFileResource> DataFileResourcePtr;
}

#endif
