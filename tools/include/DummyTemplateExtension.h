#ifndef __WrenDummyTemplateExtension_H__
#define __WrenDummyTemplateExtension_H__

#include "WorldGenerator.h"

namespace Wren
{
    /** The data of a generated "DummyGameObject" template, as DummyMetadata
        reads it: after "CoreData"
        @code <DummyMetaData PlaceHolder="Box0Point5Meters.meta"/> @endcode
        Objects carry nothing of their own. */
    class DummyTemplateExtension : public WorldTemplateExtension
    {
    public:
        /** The mesh template that marks the dummies. */
        std::string placeHolder;

        void writeMetadata(DataElementPtr& root) const override;
        void writeObject(DataElementPtr&, const PlacedObject&) const override {}
    };
}

#endif
