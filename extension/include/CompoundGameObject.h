#ifndef __WrenCompoundGameObject_H__
#define __WrenCompoundGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "CoreGameObject.h"

#include <set>

namespace Wren
{
    /** An object whose content is a group of objects read from an objects
        file of its own and hung below it as children. The content lives
        only in that file: it is never saved with the compound.

        The content is read when the object finishes (loadFinish or
        initFinish), after the base: the file named by the CompoundMetadata
        ("ObjectsFileName", found in the resource groups "PLSM2" or
        "General" by GenericUtils::findFilePath) holds one object element
        (see CoreGameObject) whose "Type" a factory makes. That object gets
        a new unique name, its children too, and is loaded into the
        compound's partition whatever partition the file names; it becomes
        a child of the compound at its origin, and every object of the
        content selects the compound when picked. The object is settled
        (state 1) afterwards, content or not.

        Refusals, each logged, leave the compound without that content:
        no such file, a file that does not read, a type no factory makes, a
        content object that fails to load, and a file already being read
        further up (a compound that contains itself, directly or through
        other compounds). A child of the content of a type no factory makes
        is left out on its own.
    */
    class WREN_EXTENSION_EXPORT CompoundGameObject : public CoreGameObject
    {
    public:
        CompoundGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~CompoundGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

        bool initStart(CoreMetadata* metadata, bool flag) override;
        bool initFinish(const Ogre::Vector3& worldPosition) override;
        bool loadStart(DataElementPtr& element, std::vector<CoreGameObject*>& created,
                       bool rename) override;
        bool loadBinaryStart(CompleteObjectDataInfo& record, std::vector<CoreGameObject*>& created,
                             bool rename) override;
        bool loadFinish() override;

        CompoundMetadata* getCompoundMetadata() const { return mCompoundMetadata; }
        /** Every object of the content, children included (not owned: they
            are the compound's descendants). */
        const std::vector<CoreGameObject*>& getContent() const { return mContent; }

    protected:
        /** False for the content, else CoreGameObject's answer. */
        bool shouldSaveChild(const CoreGameObject* child) const override;

    private:
        void takeMetadata();
        void loadContent();

        CompoundMetadata* mCompoundMetadata = nullptr;
        std::vector<CoreGameObject*> mContent;

        /** Full names of the objects files being read, outermost first. */
        static std::set<std::string> mFilesBeingLoaded;
    };
}

#endif
