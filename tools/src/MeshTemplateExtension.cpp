#include "MeshTemplateExtension.h"

#include "DataElement.h"

namespace Wren
{
    MeshTemplateExtension::SubMesh MeshTemplateExtension::subMeshOf(MediaGenerator::Shape shape,
                                                                    const std::string& colour)
    {
        SubMesh sub;
        sub.highMesh = MediaGenerator::meshName(shape, MediaGenerator::LEVEL_HIGH);
        sub.lowMesh = MediaGenerator::meshName(shape, MediaGenerator::LEVEL_LOW);
        sub.colour = colour;
        return sub;
    }

    void MeshTemplateExtension::writeMetadata(DataElementPtr& root) const
    {
        DataElementPtr meshData = root->createChild("MeshData");
        meshData->setAttributeBool("FadeBetweenLODs", fadeBetweenLODs);
        meshData->setAttributeBool("Fade", fade);
        meshData->setAttributeBool("CastShadows", castShadows);
        meshData->setAttributeBool("IsStatic", isStatic);
        meshData->setAttributeString("LogicHighMesh", "");
        meshData->setAttributeString("LogicObsMesh", obstacleMesh);
        for (const char* logic : {"LogicUnderGroundHighMesh", "LogicFlyObsMesh",
                                  "HeightFragmentMesh"})
            meshData->setAttributeString(logic, "");
        for (const SubMesh& sub : subMeshes)
        {
            DataElementPtr e = meshData->createChild("SubMeshData");
            e->setAttributeString("Mesh", "");
            e->setAttributeString("HighLODMesh", sub.highMesh);
            e->setAttributeString("LowLODMesh", sub.lowMesh);
            for (const char* logic : {"LogicHighMesh", "LogicUnderGroundHighMesh", "LogicObsMesh",
                                      "LogicFlyObsMesh", "HeightFragmentMesh"})
                e->setAttributeString(logic, "");
            e->setAttributeInt("SurfaceSoundType", 0);
            if (!sub.colour.empty())
            {
                DataElementPtr material = e->createChild("Material");
                material->setAttributeBool("Managed", false);
                material->setAttributeInt("SubIndex", 0);
                material->setAttributeString("MatName", MediaGenerator::materialName(sub.colour));
            }
        }
        meshData->createChild("DefaultEffectData");
        root->createChild("StrikeData");
    }

    void MeshTemplateExtension::writeObject(DataElementPtr& object, const PlacedObject&) const
    {
        DataElementPtr mesh = object->createChild("MeshData");
        mesh->setAttributeBool("IsStatic", isStatic);
        mesh->setAttributeBool("CastShadows", castShadows);
    }
}
