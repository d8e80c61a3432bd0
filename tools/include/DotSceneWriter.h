#ifndef __WrenDotSceneWriter_H__
#define __WrenDotSceneWriter_H__

#include "LightMetadata.h"
#include "WorldGenerator.h"

#include <optional>
#include <string>
#include <vector>

namespace Wren
{
    /** Writes placed objects as an OGRE ".scene" file, the format of the
        engine's own scene loader, so that a generated world can be shown
        (or timed) by that loader too.

        Layout:
        @code
        <scene formatVersion="1.1">
            <nodes>
                <node name="Tree_1_2024_3_1_12_0_5">
                    <position x="..." y="..." z="..."/>
                    <rotation qx="..." qy="..." qz="..." qw="..."/>
                    <scale x="..." y="..." z="..."/>
                    <entity name="Tree_1_2024_3_1_12_0_5" meshFile="tree.mesh"
                            castShadows="false"/>
                </node>
                ...
            </nodes>
        </scene>
        @endcode
        One node per object, in the order given, named after the object;
        positions are world positions (the cell's world position plus the
        stored relative one). The entity shares the object's name, which is
        unique in a world; an object whose template names no mesh gets a
        node without entity. Numbers are written with nine significant
        digits, so a float reads back to the same value.
    */
    class DotSceneWriter
    {
    public:
        /** One node of a scene: its transform relative to its parent's
            (the world's for a top-level node), its entity's mesh (none when
            empty), the light it holds and the nodes below it. A light is
            written as @code <light name=".." type="point|directional|spot"
            castShadows=".."> <colourDiffuse r g b/> <colourSpecular r g b/>
            <lightAttenuation range constant linear quadratic/> <lightRange
            inner outer falloff/> </light> @endcode, its angles in degrees. */
        struct Node
        {
            std::string name;
            Ogre::Vector3 position = Ogre::Vector3::ZERO;
            Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
            Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
            std::string mesh;
            std::optional<LightMetadata::Values> light;
            std::vector<Node> children;
        };

        /** The mesh a template shows: the first "SubMeshData" of the
            metadata its extension writes ("Mesh", else "HighLODMesh");
            empty for plain templates. */
        static std::string meshNameOf(const WorldTemplate& worldTemplate);

        /** The mesh of each template, in order. */
        static std::vector<std::string> meshNamesOf(const std::vector<WorldTemplate>& templates);

        /** The text of the scene. meshNames is indexed by
            PlacedObject::templateIndex; an index past its end means no
            entity. */
        static std::string toText(const std::vector<PlacedObject>& objects, const WorldGrid& grid,
                                  const std::vector<std::string>& meshNames);

        /** The placed objects as nodes: world positions, children nested. */
        static std::vector<Node> nodesOf(const std::vector<PlacedObject>& objects,
                                         const WorldGrid& grid,
                                         const std::vector<std::string>& meshNames);

        /** The text of a scene of these nodes, in order. */
        static std::string toText(const std::vector<Node>& nodes);

        /** Writes the scene to path through a temporary file and a rename;
            false (with the reason logged and in error) when it could not. */
        static bool write(const std::string& path, const std::vector<PlacedObject>& objects,
                          const WorldGrid& grid, const std::vector<std::string>& meshNames,
                          std::string& error);
        static bool write(const std::string& path, const std::vector<Node>& nodes,
                          std::string& error);
    };
}

#endif
