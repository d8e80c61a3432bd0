#ifndef __WrenMetadataTemplateExtension_H__
#define __WrenMetadataTemplateExtension_H__

#include "WorldGenerator.h"

namespace Wren
{
    /** The data of a generated template written by the metadata class of
        its type (LightMetadata, ParticleSystemMetadata, EffectSystemMetadata,
        SoundMetadata): after "CoreData" the file holds exactly the element
        that class saves (saveOwnData), so the generator and the type share
        one vocabulary. Objects carry nothing of their own.
    */
    template <class Metadata>
    class MetadataTemplateExtension : public WorldTemplateExtension
    {
    public:
        /** The template's own data; its ID, name and common part are the
            WorldTemplate's. */
        Metadata metadata{std::string(), nullptr};

        void writeMetadata(DataElementPtr& root) const override { metadata.saveOwnData(root); }
        void writeObject(DataElementPtr&, const PlacedObject&) const override {}
    };
}

#endif
