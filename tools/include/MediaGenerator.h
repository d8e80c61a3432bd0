#ifndef __WrenMediaGenerator_H__
#define __WrenMediaGenerator_H__

#include <OgreColourValue.h>
#include <OgrePrerequisites.h>

#include <string>
#include <vector>

namespace Wren
{
    /** Writes the engine media of sample worlds: a few plain meshes, each
        in a high and a low level of detail, and a material script of plain
        colours.

        Files, all in one folder (a world keeps them in W/Media, declared in
        the resource group "General", where mesh objects look their meshes
        and materials up):

            Ground_High.mesh  Ground_Low.mesh         an 8 x 8 plane at y = 0
            Box_High.mesh     Box_Low.mesh            a 2 x 2 x 2 box on y = 0
            CoarseSphere_High.mesh CoarseSphere_Low.mesh   a sphere of radius 1
            FineSphere_High.mesh   FineSphere_Low.mesh     resting on y = 0
            Box0Point5Meters.mesh                     a 0.5 x 0.5 x 0.5 box about
                                                      the origin, one level only
            SampleWorld.material                      the colours below

        Every mesh has one submesh with positions, normals and one set of
        texture coordinates, 16-bit indices, and the material
        "SampleWorld/Default". The high level has more vertices than the
        low one; the fine sphere has more than the coarse one at either
        level. Objects put a colour on a submesh by naming its material
        ("SampleWorld/" + colour name) as an override. The small box is the
        placeholder mesh that the editor shows for objects without a body
        of their own (see PlaceHolderGameObject); a world names it in the
        template "Box0Point5Meters.meta".

        The material script defines one material per colour, each a single
        pass with that colour as ambient and diffuse, whose technique names
        the batching template of untextured materials (see
        MaterialBatchTemplates), so that instanced objects draw it in
        batches; it is plain text and parses in any engine, headless ones
        included (one that has not registered the template block reports it
        and reads the rest).

        Meshes are built in memory under private names in the engine's
        internal resource group, written with Ogre::MeshSerializer and
        removed again, so generating never shadows the files of the same
        name. Without a running engine (an Ogre::Root) a headless one is made
        for the generation and torn down afterwards; a running one is used as
        it is. Every file goes through a temporary file and a rename.
    */
    class MediaGenerator
    {
    public:
        enum Shape
        {
            SHAPE_GROUND = 0,
            SHAPE_BOX = 1,
            SHAPE_COARSE_SPHERE = 2,
            SHAPE_FINE_SPHERE = 3,
            SHAPE_COUNT = 4
        };
        /** The two levels of detail a mesh file is made for; the numbers
            are those of the object's LevelOfDetail. */
        enum Level
        {
            LEVEL_HIGH = 0,
            LEVEL_LOW = 1
        };

        struct Colour
        {
            std::string name;
            Ogre::ColourValue value;
        };

        /** "SampleWorld.material". */
        static const char* const MaterialScript;
        /** "General": the group mesh objects load meshes and materials from. */
        static const char* const ResourceGroup;
        /** "SampleWorld/Default", the material every mesh file names. */
        static const char* const DefaultMaterial;
        /** "Box0Point5Meters.mesh", the placeholder box. */
        static const char* const PlaceHolderMesh;

        /** "Ground", "Box", "CoarseSphere", "FineSphere". */
        static std::string shapeName(Shape shape);
        /** shapeName + "_High.mesh" or "_Low.mesh". */
        static std::string meshName(Shape shape, Level level);
        /** The colours of the material script, "Default" first. */
        static const std::vector<Colour>& colours();
        /** "SampleWorld/" + colour. */
        static std::string materialName(const std::string& colour);
        /** The text of the material script. */
        static std::string materialScriptText();

        /** The number of vertices the mesh of a shape and level has. */
        static size_t vertexCount(Shape shape, Level level);

        /** Builds the mesh of a shape and level as a manual mesh of that name
            and group; needs a running engine with a hardware buffer manager.
            The buffers keep a shadow copy, so they can be read back. */
        static Ogre::MeshPtr buildMesh(Shape shape, Level level, const std::string& name,
                                       const std::string& group);

        /** Builds the placeholder box as a manual mesh of that name and
            group, as buildMesh does. */
        static Ogre::MeshPtr buildPlaceHolderMesh(const std::string& name,
                                                  const std::string& group);

        /** Writes every mesh file and the material script into folder (made
            when missing). False, with the reason logged and in error, when
            a file can not be written; files written before stay. The paths
            written are appended to files. */
        static bool write(const std::string& folder, std::vector<std::string>& files,
                          std::string* error = nullptr);

        /** Parses the material script from group when its materials are not
            defined yet, batching templates included. The engine parses scripts when a group is
            initialised; a folder declared into a group initialised before
            (as a host declares a world's folders) needs this. False, logged,
            when the group holds no script or it does not parse. */
        static bool declareMaterials(const std::string& group = ResourceGroup);
    };
}

#endif
