// Attribute reading on the XML data layer: the inner loop of every load.
#include "DataElement.h"
#include "XMLDataFile.h"

#include <OgreLogManager.h>

#include <benchmark/benchmark.h>

namespace
{
    void BM_ReadCoreDataAttributes(benchmark::State& state)
    {
        if (!Ogre::LogManager::getSingletonPtr())
        {
            auto* logs = new Ogre::LogManager();
            logs->createLog("wren-bench.log", true, false, true);
        }
        Wren::XMLDataFile file;
        file.load("<Object><CoreData PosX=\"1.5\" PosY=\"2\" PosZ=\"-3.25\" MetaID=\"Tree\"/></Object>");
        Wren::DataElementPtr core = file.getRootElement()->getFirstChild("CoreData");
        for (auto _ : state)
        {
            float sum = core->getAttributeFloat("PosX", 0) + core->getAttributeFloat("PosY", 0) +
                        core->getAttributeFloat("PosZ", 0);
            benchmark::DoNotOptimize(sum);
            benchmark::DoNotOptimize(core->getAttributeString("MetaID", ""));
        }
    }
    BENCHMARK(BM_ReadCoreDataAttributes);
}
