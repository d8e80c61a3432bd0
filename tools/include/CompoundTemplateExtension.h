#ifndef __WrenCompoundTemplateExtension_H__
#define __WrenCompoundTemplateExtension_H__

#include "WorldGenerator.h"

#include <OgreVector.h>

#include <string>
#include <vector>

namespace Wren
{
    /** The data of a generated "CompoundGameObject" template, as
        CompoundMetadata and CompoundGameObject read it.

        Metadata file, after "CoreData":
        @code <CompoundData ObjectsFileName="SampleCamp.objects"/> @endcode
        Objects carry nothing of their own. writeFiles writes the content,
        W/Compounds/<objectsFile>: one object element (the first part) with
        the others as its children, each at its offset from the one before
        it in the list's first entry (the root at the origin), named after
        its template and its place in the list. */
    class CompoundTemplateExtension : public WorldTemplateExtension
    {
    public:
        struct Part
        {
            WorldTemplate worldTemplate;
            /** From the compound's origin (the root) or from the root (the
                children). */
            Ogre::Vector3 offset = Ogre::Vector3::ZERO;
        };

        /** "Compounds", the folder of the world that holds the contents. */
        static const char* const Folder;

        std::string objectsFile;
        /** The root first, then its children. */
        std::vector<Part> parts;

        void writeMetadata(DataElementPtr& root) const override;
        void writeObject(DataElementPtr&, const PlacedObject&) const override {}
        bool writeFiles(const std::string& worldFolder, std::vector<std::string>& files,
                        std::string& error) const override;
    };
}

#endif
