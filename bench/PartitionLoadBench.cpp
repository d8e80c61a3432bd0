// Loading one partition of mesh objects: from its XML form, from its binary
// form, against OGRE's own scene loader reading the same nodes and
// entities from a ".scene" file, and against the floor of making the bare
// scene nodes in a loop. Also what a loaded object costs in resident memory.
//
// Entities. A partition load makes every object with its scene node and
// queues its level-of-detail change; the entities come later, a few per
// frame, from the level-of-detail machine. The ".scene" format has no such
// deferral: its loader makes an entity per node while loading. So the
// comparison with the peer is made twice: our binary load as a game runs
// it (entities deferred), and our binary load followed by working off the
// whole level-of-detail queue at once, which makes the same entities the
// peer makes. Both sides show one small box mesh made in memory and loaded
// before timing, so that neither pays for reading a mesh file and the
// figures compare the loaders, not the disk.
#include "BenchEngine.h"

#include "BinaryDataElement.h"
#include "BinaryDataFormat.h"
#include "BinaryFileResource.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "DotSceneWriter.h"
#include "PartitionXmlBinaryConvert.h"
#include "WorldHost.h"
#include "XMLDataFile.h"

#include <OgreCodec.h>
#include <OgreDataStream.h>
#include <OgreEntity.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <random>

namespace
{
    using namespace Wren;

    /** The objects of one partition in every stored form. */
    struct PartitionData
    {
        std::vector<PlacedObject> placed;
        std::string xml;
        std::vector<unsigned char> binary;
        std::string scene;
    };

    std::string number(float value)
    {
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%.9g", double(value));
        return buffer;
    }

    /** count objects of the bench template, placed from a fixed seed within
        the one cell of the load world, named after the object manager's
        rule. */
    const PartitionData& partitionData(int count)
    {
        static std::map<int, PartitionData> cache;
        auto found = cache.find(count);
        if (found != cache.end())
            return found->second;
        PartitionData& data = cache[count];
        std::mt19937 random(7u + unsigned(count));
        std::uniform_real_distribution<float> offset(-60.0f, 60.0f);
        std::uniform_real_distribution<float> turn(0.0f, Ogre::Math::TWO_PI);
        std::uniform_real_distribution<float> scale(0.5f, 1.5f);
        data.xml = "<Objects><CorePartitionData ShowBounds=\"false\"/>";
        for (int k = 0; k < count; ++k)
        {
            PlacedObject o;
            o.name = "BenchBox_" + std::to_string(k + 1) + "_2024_5_17_9_30_0";
            o.position = Ogre::Vector3(offset(random), 0.0f, offset(random));
            o.orientation.FromAngleAxis(Ogre::Radian(turn(random)), Ogre::Vector3::UNIT_Y);
            const float s = scale(random);
            o.scale = Ogre::Vector3(s, s, s);
            data.xml += "<Object Type=\"MeshGameObject\" Name=\"" + o.name + "\"><CoreData PosX=\"" +
                        number(o.position.x) + "\" PosY=\"0\" PosZ=\"" + number(o.position.z) +
                        "\" OrientX=\"" + number(o.orientation.x) + "\" OrientY=\"" +
                        number(o.orientation.y) + "\" OrientZ=\"" + number(o.orientation.z) +
                        "\" OrientW=\"" + number(o.orientation.w) + "\" ScaleX=\"" +
                        number(o.scale.x) + "\" ScaleY=\"" + number(o.scale.y) + "\" ScaleZ=\"" +
                        number(o.scale.z) +
                        "\" MetaID=\"BenchBox.meta\" PartitionID=\"0_0\"><DynamicProperties/>"
                        "</CoreData><Children/><MeshData IsStatic=\"false\" "
                        "CastShadows=\"false\"/></Object>";
            data.placed.push_back(o);
        }
        data.xml += "</Objects>";

        XMLDataFile xml;
        xml.load(data.xml.c_str());
        std::unique_ptr<Ogre::BinaryFileResource> binary(
            PartitionXmlBinaryConvert::ConvetToBinary(&xml));
        Ogre::String error;
        if (binary)
            Ogre::BinaryDataFormat::write(binary->getRootElement(), data.binary, error);

        WorldGrid grid;
        grid.cellsX = grid.cellsZ = 1;
        data.scene = DotSceneWriter::toText(data.placed, grid,
                                            std::vector<std::string>{Bench::BenchEngine::MeshName});
        return data;
    }

    /** The world partitions are loaded into: one grid cell, no objects of
        its own, started by a WorldHost. */
    const WorldGeneratorResult& loadWorld()
    {
        static WorldGeneratorResult world = Bench::generateWorld("LoadWorld", 1, 0, true);
        return world;
    }

    /** A running load world and its one, unloaded, partition. */
    struct LoadTarget
    {
        explicit LoadTarget(benchmark::State& state)
        {
            Bench::BenchEngine::instance();
            if (!Bench::startWorld(host, loadWorld()))
            {
                state.SkipWithError("the load world does not start");
                return;
            }
            partitions = host.getManager()->getPartitionManager();
            partition = partitions->getPartition(std::string("0_0"));
            if (!partition)
            {
                state.SkipWithError("the load world has no partition 0_0");
                return;
            }
            empty();
        }
        ~LoadTarget() { host.stop(); }

        void empty()
        {
            if (partition->getLoaded())
                partition->unload(false);
        }
        /** Makes the entities the level-of-detail machine would make over
            the next frames. */
        void makeEntities()
        {
            while (partitions->getChangeLODObjectsCount() > 0)
                partitions->loadNextChangeLODObjects();
        }
        bool ok() const { return partition != nullptr; }
        size_t objectCount() const { return partition->getObjects().size(); }
        size_t entityCount() const
        {
            return host.getSceneManager()->getMovableObjects("Entity").size();
        }

        WorldHost host;
        CorePartitionManager* partitions = nullptr;
        CorePartition* partition = nullptr;
    };

    void loadBinary(LoadTarget& target, const PartitionData& data)
    {
        std::unique_ptr<Ogre::BinaryDataElement> root;
        Ogre::String error;
        Ogre::BinaryDataFormat::read(data.binary.data(), data.binary.size(), root, error);
        target.partition->loadBinary(root.get(), false);
    }

    void reportCounts(benchmark::State& state, size_t objects, size_t entities)
    {
        state.counters["objects"] = double(objects);
        state.counters["entities"] = double(entities);
        state.SetItemsProcessed(state.iterations() * state.range(0));
        if (objects != size_t(state.range(0)))
            state.SkipWithError("not every object was loaded");
    }

    void BM_PartitionLoadXml(benchmark::State& state)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        LoadTarget target(state);
        size_t objects = 0;
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            std::unique_ptr<XMLDataFile> file(new XMLDataFile);
            file->load(data.xml.c_str());
            DataElementPtr root = file->getRootElement();
            target.partition->load(root, false);
            state.PauseTiming();
            objects = target.objectCount();
            root.reset();
            file.reset();
            target.empty();
            state.ResumeTiming();
        }
        if (target.ok())
            reportCounts(state, objects, 0);
    }

    void BM_PartitionLoadBinary(benchmark::State& state)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        LoadTarget target(state);
        size_t objects = 0;
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            loadBinary(target, data);
            state.PauseTiming();
            objects = target.objectCount();
            target.empty();
            state.ResumeTiming();
        }
        if (target.ok())
            reportCounts(state, objects, 0);
    }

    void BM_PartitionLoadBinaryWithEntities(benchmark::State& state)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        LoadTarget target(state);
        size_t objects = 0, entities = 0, queued = 0;
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            loadBinary(target, data);
            queued = target.partitions->getChangeLODObjectsCount();
            target.makeEntities();
            state.PauseTiming();
            objects = target.objectCount();
            entities = target.entityCount();
            target.empty();
            state.ResumeTiming();
        }
        if (target.ok())
        {
            reportCounts(state, objects, entities);
            state.counters["queued"] = double(queued);
            if (entities < objects)
                state.SkipWithError("not every object made its entity");
        }
    }

    /** A scene of its own for the peer and the floor, so that emptying it
        can not touch a world's objects. */
    struct PeerScene
    {
        PeerScene()
        {
            Bench::BenchEngine::instance();
            scene = Ogre::Root::getSingleton().createSceneManager();
            parent = scene->getRootSceneNode()->createChildSceneNode("BenchParent");
        }
        ~PeerScene() { Ogre::Root::getSingleton().destroySceneManager(scene); }
        void empty()
        {
            parent->removeAndDestroyAllChildren();
            scene->destroyAllEntities();
        }
        size_t entityCount() const
        {
            return scene->getMovableObjects("Entity").size();
        }
        Ogre::SceneManager* scene = nullptr;
        Ogre::SceneNode* parent = nullptr;
    };

    Ogre::Codec* sceneCodec()
    {
        return Bench::BenchEngine::instance().hasSceneLoader() ? Ogre::Codec::getCodec("scene")
                                                                : nullptr;
    }

    void BM_DotSceneLoad(benchmark::State& state)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        Ogre::Codec* codec = sceneCodec();
        if (!codec)
        {
            state.SkipWithError("OGRE's scene loader (Plugin_DotScene) is not available");
            return;
        }
        PeerScene peer;
        size_t objects = 0, entities = 0;
        for (auto _ : state)
        {
            Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(
                const_cast<char*>(data.scene.data()), data.scene.size(), false, true));
            codec->decode(stream, Ogre::Any(peer.parent));
            state.PauseTiming();
            objects = peer.parent->getChildren().size();
            entities = peer.entityCount();
            stream.reset();
            peer.empty();
            state.ResumeTiming();
        }
        reportCounts(state, objects, entities);
    }

    /** The floor: the same nodes, made and placed in a loop, nothing read. */
    void bareNodes(benchmark::State& state, bool withEntities)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        PeerScene peer;
        size_t objects = 0, entities = 0;
        for (auto _ : state)
        {
            for (const PlacedObject& o : data.placed)
            {
                Ogre::SceneNode* node = peer.parent->createChildSceneNode(o.name);
                node->setPosition(o.position);
                node->setOrientation(o.orientation);
                node->setScale(o.scale);
                if (withEntities)
                    node->attachObject(peer.scene->createEntity(o.name, Bench::BenchEngine::MeshName));
            }
            state.PauseTiming();
            objects = peer.parent->getChildren().size();
            entities = peer.entityCount();
            peer.empty();
            state.ResumeTiming();
        }
        reportCounts(state, objects, entities);
    }

    void BM_BareSceneNodes(benchmark::State& state) { bareNodes(state, false); }
    void BM_BareSceneNodesWithEntities(benchmark::State& state) { bareNodes(state, true); }

    /** Resident memory held per loaded object: VmRSS after a binary load
        less VmRSS before, with freed heap handed back first. One pass. */
    void BM_PartitionLoadMemory(benchmark::State& state)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        LoadTarget target(state);
        double perObject = 0, perEntityObject = 0;
        for (auto _ : state)
        {
            if (!target.ok())
                break;
            Bench::trimHeap();
            const double before = double(Bench::residentBytes());
            loadBinary(target, data);
            Bench::trimHeap();
            const double loaded = double(Bench::residentBytes());
            target.makeEntities();
            Bench::trimHeap();
            const double shown = double(Bench::residentBytes());
            perObject = (loaded - before) / double(state.range(0));
            perEntityObject = (shown - before) / double(state.range(0));
            state.PauseTiming();
            target.empty();
            state.ResumeTiming();
        }
        state.counters["bytes_per_object"] = perObject;
        state.counters["bytes_per_object_with_entity"] = perEntityObject;
    }

    void BM_DotSceneLoadMemory(benchmark::State& state)
    {
        const PartitionData& data = partitionData(int(state.range(0)));
        Ogre::Codec* codec = sceneCodec();
        if (!codec)
        {
            state.SkipWithError("OGRE's scene loader (Plugin_DotScene) is not available");
            return;
        }
        PeerScene peer;
        double perObject = 0;
        for (auto _ : state)
        {
            Bench::trimHeap();
            const double before = double(Bench::residentBytes());
            {
                Ogre::DataStreamPtr stream(new Ogre::MemoryDataStream(
                    const_cast<char*>(data.scene.data()), data.scene.size(), false, true));
                codec->decode(stream, Ogre::Any(peer.parent));
            }
            Bench::trimHeap();
            perObject = (double(Bench::residentBytes()) - before) / double(state.range(0));
            state.PauseTiming();
            peer.empty();
            state.ResumeTiming();
        }
        state.counters["bytes_per_object_with_entity"] = perObject;
    }

    void loadSizes(benchmark::internal::Benchmark* b)
    {
        b->Unit(benchmark::kMillisecond);
        if (Bench::smoke())
        {
            b->Arg(100);
            return;
        }
        b->Arg(1000)->Arg(10000)->Arg(100000);
    }

    void memorySizes(benchmark::internal::Benchmark* b)
    {
        loadSizes(b);
        b->Iterations(1);
    }
}

namespace Wren
{
namespace Bench
{
    void registerPartitionLoadBenchmarks()
    {
        // Memory first, before the heap has been through the larger loads.
        benchmark::RegisterBenchmark("BM_PartitionLoadMemory", BM_PartitionLoadMemory)
            ->Apply(memorySizes);
        benchmark::RegisterBenchmark("BM_DotSceneLoadMemory", BM_DotSceneLoadMemory)
            ->Apply(memorySizes);
        benchmark::RegisterBenchmark("BM_PartitionLoadXml", BM_PartitionLoadXml)->Apply(loadSizes);
        benchmark::RegisterBenchmark("BM_PartitionLoadBinary", BM_PartitionLoadBinary)
            ->Apply(loadSizes);
        benchmark::RegisterBenchmark("BM_PartitionLoadBinaryWithEntities",
                                     BM_PartitionLoadBinaryWithEntities)
            ->Apply(loadSizes);
        benchmark::RegisterBenchmark("BM_DotSceneLoad", BM_DotSceneLoad)->Apply(loadSizes);
        benchmark::RegisterBenchmark("BM_BareSceneNodes", BM_BareSceneNodes)->Apply(loadSizes);
        benchmark::RegisterBenchmark("BM_BareSceneNodesWithEntities", BM_BareSceneNodesWithEntities)
            ->Apply(loadSizes);
    }
}
}
