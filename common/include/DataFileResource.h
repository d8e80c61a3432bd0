#ifndef __WrenDataFileResource_H__
#define __WrenDataFileResource_H__

#include "WrenCommonPrerequisites.h"

#include "OgreBackgroundResource.h"

namespace Wren
{
    /** A data file as an engine resource (resource type "DataFile").

        Loading looks the resource's name up without regard to case in the
        resource groups ("PLSM2" first, "General" second, then the others;
        see GenericUtils::findFile), opens the file found by the name it was
        found under and parses it; with an explicit "full_path" that file is
        read instead and no group is asked. A name the resource groups do not
        know, or text that does not parse, leaves getDataFile() null and logs
        why; the resource still counts as loaded. Callers test getDataFile()
        for null.

        A background load (loadInBackground, as DataFileResourceManager::load
        starts one) looks the file up and opens it on the frame thread and
        reads and parses it on the loader thread (see
        Ogre::BackgroundResource). While it runs getDataFile() is null.
    */
    class WREN_COMMON_EXPORT DataFileResource : public Ogre::BackgroundResource
    {
    public:
        DataFileResource(Ogre::ResourceManager* creator, const Ogre::String& name,
                         Ogre::ResourceHandle handle, const Ogre::String& group,
                         bool isManual = false, Ogre::ManualResourceLoader* loader = nullptr);
        ~DataFileResource() override;

        /** The loaded document, or null when not loaded, not parsed or still
            loading. Completes a background load whose work has ended (frame
            thread). */
        DataFile* getDataFile() const;
        const std::string& getFullPath() const { return mFullPath; }
        void setFullPath(const std::string& path) { mFullPath = path; }

    protected:
        void loadImpl() override;
        void unloadImpl() override;
        size_t calculateSize() const override { return 0; }
        Ogre::DataStreamPtr openFile() override;
        bool parseFile(const void* data, size_t size, Ogre::String& error) override;
        bool finishBackgroundLoad(bool parsed, const Ogre::String& error) override;

    private:
        Ogre::DataStreamPtr openFullPath();

        std::string mFullPath;
        DataFile* mDataFile;
    };

    typedef Ogre::SharedPtr<DataFileResource> DataFileResourcePtr;
}

#endif
