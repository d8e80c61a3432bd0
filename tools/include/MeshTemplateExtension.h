#ifndef __WrenMeshTemplateExtension_H__
#define __WrenMeshTemplateExtension_H__

#include "MediaGenerator.h"
#include "WorldGenerator.h"

#include <memory>
#include <string>
#include <vector>

namespace Wren
{
    /** The mesh data of a generated "MeshGameObject" template, written in
        the layout MeshMetadata and MeshGameObject read.

        Metadata file, after "CoreData" (the same elements, attributes and
        order as MeshMetadata::save writes):
        @code
        <MeshData FadeBetweenLODs=".." Fade=".." CastShadows=".." IsStatic=".."
                  LogicHighMesh="" LogicObsMesh="Box_Low.mesh" LogicUnderGroundHighMesh=""
                  LogicFlyObsMesh="" HeightFragmentMesh="">
            <SubMeshData Mesh="" HighLODMesh="Box_High.mesh" LowLODMesh="Box_Low.mesh"
                         LogicHighMesh="" LogicUnderGroundHighMesh="" LogicObsMesh=""
                         LogicFlyObsMesh="" HeightFragmentMesh="" SurfaceSoundType="0">
                <Material Managed="false" SubIndex="0" MatName="SampleWorld/Stone"/>
            </SubMeshData>
            <DefaultEffectData/>
        </MeshData>
        <StrikeData/>
        @endcode
        One "SubMeshData" per submesh; the "Material" override is unmanaged
        (a material of the script, not a ".matdef") and left out when the
        submesh names no colour. "LogicObsMesh" names the obstacle mesh,
        which the objects of the template collide by (see MeshMetadata);
        empty when the template has none.

        Objects file, after "Children": @code <MeshData IsStatic=".." CastShadows=".."/> @endcode
        with the template's flags, so an object stores what its template
        says (the binary record keeps the same two flags).
    */
    class MeshTemplateExtension : public WorldTemplateExtension
    {
    public:
        struct SubMesh
        {
            std::string highMesh;
            std::string lowMesh;
            /** A colour of MediaGenerator::colours(); none when empty. */
            std::string colour;
        };

        /** One submesh per shape, each level of detail its own mesh file. */
        static SubMesh subMeshOf(MediaGenerator::Shape shape, const std::string& colour);

        std::vector<SubMesh> subMeshes;
        /** The object-wide "LogicObsMesh": the collision mesh; none when
            empty. */
        std::string obstacleMesh;
        bool isStatic = false;
        bool castShadows = false;
        bool fade = true;
        bool fadeBetweenLODs = false;

        void writeMetadata(DataElementPtr& root) const override;
        void writeObject(DataElementPtr& object, const PlacedObject& placed) const override;
    };
}

#endif
