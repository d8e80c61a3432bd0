#ifndef __WrenTestGeneratedMedia_H__
#define __WrenTestGeneratedMedia_H__

#include "CoreGameObjectManager.h"
#include "GridPartitionManager.h"
#include "MediaGenerator.h"
#include "ParticleSystemTemplateExtension.h"
#include "WorldGenerator.h"
#include "WorldHost.h"

#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreParticleSystem.h>
#include <OgreParticleSystemManager.h>
#include <OgreResourceGroupManager.h>

#include <string>

namespace Wren
{
namespace Test
{
    /** How the tests host a generated world "W": from its resources.cfg,
        through a grid manager reading the given form, files read on the
        frame thread. */
    inline WorldHostSettings generatedWorldSettings(const std::string& resourcesFile, bool binary)
    {
        WorldHostSettings settings;
        settings.worldName = "W";
        settings.resourcesConfig = resourcesFile;
        settings.declareConfigLocations = true;
        settings.backgroundLoading = false;
        settings.makePartitionManager = [binary](CoreGameObjectManager* manager) {
            auto* partitions = new GridPartitionManager(manager);
            partitions->setUseBinaryFiles(binary);
            return partitions;
        };
        return settings;
    }

    /** A small world whose cells hold three drawn objects, two dummies and
        a compound. */
    inline WorldGeneratorOptions markedWorldOptions(int cells)
    {
        WorldGeneratorOptions options;
        options.cells = cells;
        options.objectsPerCell = 3;
        options.dummiesPerCell = 2;
        options.compoundsPerCell = 1;
        return options;
    }
    /** What a cell of markedWorldOptions brings into a partition: its
        objects, a placeholder for each dummy, the compound's three of
        content. */
    const size_t MarkedCellMembers = 3 + 2 * 2 + 1 + 3;

    /** Lights, particle systems, effects and sounds in a cell of
        everyKindWorldOptions, each. */
    const int EveryKindPerCell = 3;
    /** markedWorldOptions with lights, particle systems, effects and
        sounds in every cell besides. */
    inline WorldGeneratorOptions everyKindWorldOptions(int cells)
    {
        WorldGeneratorOptions options = markedWorldOptions(cells);
        for (int* count : {&options.lightsPerCell, &options.particleSystemsPerCell,
                           &options.effectsPerCell, &options.soundsPerCell})
            *count = EveryKindPerCell;
        return options;
    }
    /** What a cell of everyKindWorldOptions brings into a partition: that
        of markedWorldOptions, and the four kinds with their placeholders. */
    const size_t EveryKindCellMembers = MarkedCellMembers + 4 * EveryKindPerCell * 2;

    /** Undoes what a test loaded into "General" from a generated world's
        media folder: its meshes, its materials, its particle templates and
        the folder itself. */
    inline void forgetGeneratedMedia(const std::string& mediaFolder)
    {
        Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
        for (int s = 0; s < MediaGenerator::SHAPE_COUNT; ++s)
            for (MediaGenerator::Level level : {MediaGenerator::LEVEL_HIGH, MediaGenerator::LEVEL_LOW})
            {
                const std::string name = MediaGenerator::meshName(MediaGenerator::Shape(s), level);
                if (meshes.resourceExists(name, "General"))
                    meshes.remove(name, "General");
            }
        if (meshes.resourceExists(MediaGenerator::PlaceHolderMesh, "General"))
            meshes.remove(MediaGenerator::PlaceHolderMesh, "General");
        Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
        for (const MediaGenerator::Colour& c : MediaGenerator::colours())
            if (materials.resourceExists(MediaGenerator::materialName(c.name), "General"))
                materials.remove(MediaGenerator::materialName(c.name), "General");
        Ogre::ParticleSystemManager& particles = Ogre::ParticleSystemManager::getSingleton();
        for (const char* name : {ParticleSystemTemplateExtension::HighTemplate,
                                 ParticleSystemTemplateExtension::LowTemplate})
            if (particles.getTemplate(name))
                particles.removeTemplate(name);
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        if (groups.resourceLocationExists(mediaFolder, "General"))
            groups.removeResourceLocation(mediaFolder, "General");
    }
}
}

#endif
