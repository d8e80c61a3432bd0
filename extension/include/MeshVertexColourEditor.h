#ifndef __WrenMeshVertexColourEditor_H__
#define __WrenMeshVertexColourEditor_H__

#include "WrenExtensionPrerequisites.h"

#include "GameObject.h"

#include <OgreColourValue.h>
#include <OgreVector.h>

#include <functional>
#include <string>
#include <vector>

namespace Ogre
{
    class Entity;
    class Light;
    class Node;
}

namespace Wren
{
    /** The editor's vertex-colour operations on the meshes a mesh object
        shows: clearing, baking a light, the brush, and writing the meshes
        back to their files.

        The edits go to the meshes themselves, which every object showing
        them shares: all of them show the change, and saving the mesh from
        any of them writes the same colours. A mesh without a colour element
        gets one (white) on its first edit. Positions and normals are taken
        to the world through the object's mesh node as it stands now (a move
        not yet drawn counts), normals with the inverse transpose, so a
        scaled or turned object is lit by where its faces look.

        Vertex access: the vertices of all submeshes of a mesh (a shared
        vertex set counted once) are read into VertexRecords, edited, and
        their colours written back into the colour element.
    */
    class WREN_EXTENSION_EXPORT MeshVertexColourEditor
    {
    public:
        /** One vertex as the operations read it: position and normal in
            mesh space, colour as ARGB. */
        struct VertexRecord
        {
            Ogre::Vector3 position;
            Ogre::Vector3 normal;
            Ogre::uint32 colour;
        };

        /** The entities of one object: the meshes they show are edited, the
            node places them, objectName names the object in the log. */
        MeshVertexColourEditor(const std::vector<Ogre::Entity*>& entities, const Ogre::Node* meshNode,
                               const std::string& objectName);

        /** Every vertex colour black (alpha 1). False when there is nothing
            to edit or a mesh can not be read. */
        bool clear();
        /** Adds the light of a point or directional light to the colours,
            each channel at most 1, and switches pass 0 of the materials to
            vertex-colour tracking (with the "buildingVS"/"buildingPS" pair
            when both exist). False for a null light, another model, a light
            under no node, or nothing to edit. */
        bool light(const Ogre::Light* light, VertexColorLightModel model);
        /** Replaces, adds to or multiplies the colour of every vertex whose
            world position lies strictly within radius of centre. */
        bool brush(const Ogre::Vector3& centre, float radius, const Ogre::ColourValue& colour,
                   BrushVertexColorMethod method);
        /** Writes every mesh shown to the file it was read from through
            Wren::AtomicFile, so a failed write keeps the old file. Meshes not
            read from a folder are skipped (logged). */
        void save() const;

        /** Mean of the vertex positions of the meshes shown, in mesh space;
            zero without vertices. */
        Ogre::Vector3 localCentre() const;

        /** Light a vertex of that normal receives: directional from a light
            travelling along direction (unit), point from the light at
            lightPosition with its attenuation. Faces turned away get none. */
        static Ogre::ColourValue directionalLightColour(const Ogre::Vector3& normal,
                                                        const Ogre::Vector3& direction,
                                                        const Ogre::ColourValue& diffuse);
        static Ogre::ColourValue pointLightColour(const Ogre::Vector3& normal,
                                                  const Ogre::Vector3& vertex,
                                                  const Ogre::Vector3& lightPosition,
                                                  const Ogre::ColourValue& diffuse, float range,
                                                  float constant, float linear, float quadratic);
        /** Colour c plus light, each channel at most 1, alpha kept. */
        static Ogre::ColourValue addClamped(const Ogre::ColourValue& c, const Ogre::ColourValue& light);
        /** A brushed vertex colour: replaced, added (clamped) or multiplied. */
        static Ogre::ColourValue brushColour(const Ogre::ColourValue& vertex,
                                             const Ogre::ColourValue& brush, int method);

    private:
        /** The distinct meshes shown, each once. */
        std::vector<Ogre::MeshPtr> meshes() const;
        /** Gives every mesh a colour element; false (logged) when there is
            nothing to edit. */
        bool prepare();
        void useVertexColourMaterials() const;
        /** Reads, edits and writes back the vertices of every mesh; false
            (logged) when a mesh can not be read. */
        bool edit(const std::function<void(VertexRecord&)>& change);

        const std::vector<Ogre::Entity*>& mEntities;
        const Ogre::Node* mMeshNode;
        const std::string& mObjectName;
    };
}

#endif
