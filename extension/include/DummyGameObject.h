#ifndef __WrenDummyGameObject_H__
#define __WrenDummyGameObject_H__

#include "WrenExtensionPrerequisites.h"

#include "PlaceHolderGameObject.h"

namespace Wren
{
    /** A marker in the world: a placeholder object whose placeholder mesh
        is the one its DummyMetadata names ("PlaceHolder"). A template that
        names none (or is not a DummyMetadata) keeps the standard box. The
        object element and the binary record carry nothing beyond
        CoreGameObject's.
    */
    class WREN_EXTENSION_EXPORT DummyGameObject : public PlaceHolderGameObject
    {
    public:
        DummyGameObject(CoreGameObjectManager* manager, const std::string& name);
        ~DummyGameObject() override;

        const std::string& getObjectType() const override;
        bool checkObjectType(const std::string& type) const override;

    protected:
        /** Takes the placeholder named by the metadata, when it names one. */
        void takeMetadata() override;
    };
}

#endif
