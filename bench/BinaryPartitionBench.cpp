// Reading a partition's objects in binary form against the XML form: the
// reason the binary form exists. Both read every object's core data.
#include "BinaryDataElement.h"
#include "BinaryDataFormat.h"
#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "PartitionXmlBinaryConvert.h"
#include "XMLDataFile.h"

#include <OgreLogManager.h>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
    void ensureLog()
    {
        if (!Ogre::LogManager::getSingletonPtr())
        {
            auto* logs = new Ogre::LogManager();
            logs->createLog("wren-bench.log", true, false, true);
        }
    }

    std::string partitionXml(int objects)
    {
        std::string xml = "<Objects><CorePartitionData ShowBounds=\"false\"/>";
        for (int i = 0; i < objects; ++i)
            xml += "<Object Type=\"MeshGameObject\" Name=\"tree_" + std::to_string(i) +
                   "_2024_1_2_3_4_5\"><CoreData PosX=\"" + std::to_string(i * 1.5) +
                   "\" PosY=\"2\" PosZ=\"-3.25\" OrientX=\"0\" OrientY=\"0.707107\" OrientZ=\"0\" "
                   "OrientW=\"0.707107\" ScaleX=\"1\" ScaleY=\"1\" ScaleZ=\"1\" MetaID=\"tree.meta\" "
                   "PartitionID=\"0_0\"><DynamicProperties/></CoreData><Children/>"
                   "<MeshData IsStatic=\"true\" CastShadows=\"false\"/></Object>";
        return xml + "</Objects>";
    }

    void BM_ReadXmlObjectsFile(benchmark::State& state)
    {
        ensureLog();
        const std::string text = partitionXml(static_cast<int>(state.range(0)));
        for (auto _ : state)
        {
            Wren::XMLDataFile file;
            file.load(text.c_str());
            float sum = 0;
            Wren::DataElementPtr root = file.getRootElement();
            for (Wren::DataElementPtr o = root->getFirstChild("Object"); !o->getIsEmpty();
                 o = o->getNextSibling("Object"))
            {
                Wren::DataElementPtr core = o->getFirstChild("CoreData");
                sum += core->getAttributeFloat("PosX", 0) + core->getAttributeFloat("ScaleZ", 0);
                benchmark::DoNotOptimize(core->getAttributeString("MetaID", ""));
            }
            benchmark::DoNotOptimize(sum);
        }
        state.SetItemsProcessed(state.iterations() * state.range(0));
    }
    BENCHMARK(BM_ReadXmlObjectsFile)->Arg(100)->Arg(1000)->Arg(10000);

    void BM_ReadBinaryObjectsFile(benchmark::State& state)
    {
        ensureLog();
        const std::string text = partitionXml(static_cast<int>(state.range(0)));
        Wren::XMLDataFile xml;
        xml.load(text.c_str());
        std::unique_ptr<Ogre::BinaryFileResource> binary(
            Wren::PartitionXmlBinaryConvert::ConvetToBinary(&xml));
        std::vector<unsigned char> bytes;
        Ogre::String error;
        Ogre::BinaryDataFormat::write(binary->getRootElement(), bytes, error);
        for (auto _ : state)
        {
            std::unique_ptr<Ogre::BinaryDataElement> root;
            Ogre::BinaryDataFormat::read(bytes.data(), bytes.size(), root, error);
            float sum = 0;
            for (Ogre::IBinaryDataElement* o = root->getFirstChildElement("Object"); o;
                 o = o->getNextChildElement("Object"))
            {
                Wren::CompleteObjectDataInfo record;
                record.fromBytes(o->getBuf(), o->getSize());
                sum += record.posX + record.scaleZ;
                benchmark::DoNotOptimize(record.getMetaId());
            }
            benchmark::DoNotOptimize(sum);
        }
        state.SetItemsProcessed(state.iterations() * state.range(0));
    }
    BENCHMARK(BM_ReadBinaryObjectsFile)->Arg(100)->Arg(1000)->Arg(10000);
}
