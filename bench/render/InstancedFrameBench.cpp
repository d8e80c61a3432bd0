#include "RenderBench.h"

#include "DistantMeshScene.h"
#include "FxShaderInstancingManager.h"
#include "GridAboveGroundArea.h"
#include "MaterialBatchTemplates.h"
#include "MediaGenerator.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreRenderWindow.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace Wren
{
namespace Bench
{
    namespace
    {
        const char* const MeshName = "InstancedFrameBench/Box";
        const char* const MaterialName = "InstancedFrameBench/Stone";
        /** The wall of boxes, nearer than the distant meshes, each box some
            6 pixels across. */
        const float WallDistance = 600.0f;
        const float BoxScale = 2.0f;

        /** count boxes of one template (the sample world's box in one
            untextured colour) on a wall across the view: as entities, each
            on its own node, or as the batches a grid area fills for a
            template's group, BLOCK_SIZE instances each, in the batch form of
            the material. */
        class BoxWall
        {
        public:
            BoxWall(DistantMeshScene& scene, size_t count, bool instanced)
                : mScene(scene.getSceneManager())
            {
                makeTemplate();
                const std::vector<Ogre::Vector3> places =
                    DistantMeshScene::wallPlaces(count, *scene.getCamera(), WallDistance);
                if (!instanced)
                {
                    for (size_t i = 0; i < count; ++i)
                    {
                        Ogre::Entity* entity = mScene->createEntity(MeshName);
                        Ogre::SceneNode* node = mScene->getRootSceneNode()->createChildSceneNode(
                            places[i], Ogre::Quaternion::IDENTITY);
                        node->setScale(Ogre::Vector3(BoxScale));
                        node->attachObject(entity);
                        mEntities.push_back(entity);
                        mNodes.push_back(node);
                    }
                    return;
                }
                mSource = mScene->createEntity(MeshName);
                Ogre::MaterialPtr material = mSource->getSubEntity(0)->getMaterial();
                mSource->setMaterial(Ogre::MaterialBatchTemplates::getBatchMaterial(
                    material, Ogre::MaterialBatchTemplates::getTemplateName(*material) +
                                  Ogre::MaterialBatchTemplates::BATCH_SUFFIX));
                auto& instancing = Ogre::FxShaderInstancingManager::get(mScene);
                const size_t block = GridAboveGroundArea::BLOCK_SIZE;
                for (size_t first = 0; first < count; first += block)
                {
                    const size_t n = std::min(block, count - first);
                    const auto from = places.begin() + std::ptrdiff_t(first);
                    Ogre::FxShaderInstancing* batch = instancing.CreateShaderInstancing(
                        "InstancedFrameBench/" + std::to_string(first / block));
                    instancing.FillShaderInstancing(
                        batch, mSource,
                        std::vector<Ogre::Vector3>(from, from + std::ptrdiff_t(n)),
                        std::vector<Ogre::Quaternion>(n, Ogre::Quaternion::IDENTITY),
                        std::vector<Ogre::Vector3>(n, Ogre::Vector3(BoxScale)));
                    batch->setVisible(true);
                    mBatches.push_back(batch->getName());
                }
            }

            ~BoxWall()
            {
                auto& instancing = Ogre::FxShaderInstancingManager::get(mScene);
                for (const std::string& name : mBatches)
                    instancing.DestroyShaderInstancing(name);
                for (Ogre::Entity* entity : mEntities)
                    mScene->destroyEntity(entity);
                for (Ogre::SceneNode* node : mNodes)
                    mScene->destroySceneNode(node);
                if (mSource)
                    mScene->destroyEntity(mSource);
            }

            size_t getBatchCount() const { return mBatches.size(); }

        private:
            /** The mesh and its material, which names the untextured template. */
            static void makeTemplate()
            {
                if (Ogre::MeshManager::getSingleton().resourceExists(MeshName, Ogre::RGN_DEFAULT))
                    return;
                Ogre::MaterialPtr material =
                    Ogre::MaterialManager::getSingleton().create(MaterialName, Ogre::RGN_DEFAULT);
                Ogre::Pass* pass = material->getTechnique(0)->getPass(0);
                pass->setAmbient(0.55f, 0.55f, 0.6f);
                pass->setDiffuse(0.55f, 0.55f, 0.6f, 1.0f);
                Ogre::MaterialBatchTemplates::setTemplateName(
                    *material, Ogre::MaterialBatchTemplates::UNTEXTURED_TEMPLATE);
                Ogre::MeshPtr mesh = MediaGenerator::buildMesh(MediaGenerator::SHAPE_BOX,
                                                               MediaGenerator::LEVEL_LOW, MeshName,
                                                               Ogre::RGN_DEFAULT);
                mesh->getSubMesh(0)->setMaterialName(MaterialName);
            }

            Ogre::SceneManager* mScene;
            Ogre::Entity* mSource = nullptr;
            std::vector<Ogre::Entity*> mEntities;
            std::vector<Ogre::SceneNode*> mNodes;
            std::vector<std::string> mBatches;
        };

        /** One run: the wall built, a few frames to settle, then the timed
            frames, the draw calls of the boxes in the last one counted. */
        void BoxFrame(benchmark::State& state, size_t run, bool instanced)
        {
            DistantMeshScene* scene = renderScene();
            if (!scene)
            {
                state.SkipWithError(renderFigures().error.c_str());
                return;
            }
            InstancedFigures& figures = renderFigures().instanced[run];
            scene->useImpostors(false);
            scene->setNodesVisible(false);
            // What the view draws without the boxes is not theirs.
            scene->drawFrame();
            const size_t others = scene->getWindow()->getStatistics().batchCount;
            {
                BoxWall wall(*scene, figures.objects, instanced);
                for (int i = 0; i < 3; ++i)
                    scene->drawFrame();
                const double ms = timeFrames(state, *scene);
                const size_t calls = scene->getWindow()->getStatistics().batchCount - others;
                state.counters["objects"] = double(figures.objects);
                state.counters["draw_calls"] = double(calls);
                if (instanced)
                {
                    figures.instancedMilliseconds = ms;
                    figures.instancedDrawCalls = calls;
                    figures.batches = wall.getBatchCount();
                    state.counters["batches"] = double(figures.batches);
                    if (figures.ratio() >= 0.0)
                        state.counters["ratio_to_entities"] = figures.ratio();
                }
                else
                {
                    figures.entityMilliseconds = ms;
                    figures.entityDrawCalls = calls;
                }
            }
            scene->setNodesVisible(true);
        }
    }

    double InstancedFigures::ratio() const
    {
        if (entityMilliseconds <= 0.0 || instancedMilliseconds < 0.0)
            return -1.0;
        return instancedMilliseconds / entityMilliseconds;
    }

    void registerInstancedFrameBenchmarks()
    {
        const RenderBenchOptions& options = renderOptions();
        const benchmark::IterationCount frames = benchmark::IterationCount(options.frames);
        std::vector<InstancedFigures>& figures = renderFigures().instanced;
        figures.assign(options.instancedCounts.size(), InstancedFigures());
        for (size_t run = 0; run < figures.size(); ++run)
        {
            const size_t count = options.instancedCounts[run];
            figures[run].objects = count;
            // The entities first, so that the instanced run can give its share.
            for (bool instanced : {false, true})
                benchmark::RegisterBenchmark(
                    ((instanced ? "InstancedBoxFrame/" : "EntityBoxFrame/") + std::to_string(count))
                        .c_str(),
                    [run, instanced](benchmark::State& state) { BoxFrame(state, run, instanced); })
                    ->Iterations(frames)
                    ->UseRealTime()
                    ->Unit(benchmark::kMillisecond);
        }
    }
}
}
