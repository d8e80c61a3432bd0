#include "SceneImporter.h"

#include "AtomicFile.h"
#include "LightMetadata.h"
#include "MeshTemplateExtension.h"
#include "MetadataTemplateExtension.h"
#include "ViewerEngine.h"

#include <OgreCodec.h>
#include <OgreEntity.h>
#include <OgreLight.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgrePlugin.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>
#include <OgreTextureUnitState.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace Wren
{
    namespace
    {
        const char* const ImportGroup = "WrenSceneImport";

        void logLine(const std::string& line)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("SceneImporter: " + line);
        }

        SceneImportResult refuse(SceneImportResult& result, const std::string& scenePath,
                                 const std::string& error)
        {
            result.error = error;
            logLine("can not import " + scenePath + ": " + error);
            return result;
        }

        /** Copies a resource of the import's group into folder, under its
            file name; the reason when it can not. */
        std::string copyResource(const std::string& name, const fs::path& folder,
                                 std::vector<std::string>& files)
        {
            const fs::path target = folder / fs::path(name).filename();
            if (std::find(files.begin(), files.end(), target.string()) != files.end())
                return std::string();
            try
            {
                const std::string bytes = Ogre::ResourceGroupManager::getSingleton()
                                              .openResource(name, ImportGroup)
                                              ->getAsString();
                if (!AtomicFile::write(target.string(), bytes.data(), bytes.size()))
                    return "can not write " + target.string();
            }
            catch (const Ogre::Exception& e)
            {
                return "can not read " + name + ": " + e.getDescription();
            }
            files.push_back(target.string());
            return std::string();
        }

        /** A template of one mesh of the scene, whose files go into the
            world's media folder with it. */
        class ImportedMeshTemplate : public MeshTemplateExtension
        {
        public:
            /** The mesh and its skeleton. */
            std::vector<std::string> sources;

            bool writeFiles(const std::string& worldFolder, std::vector<std::string>& files,
                            std::string& error) const override
            {
                const std::string media =
                    makeFolder(worldFolder, WorldGenerator::MediaFolder, error);
                for (const std::string& source : sources)
                    if (media.empty() || !(error = copyResource(source, media, files)).empty())
                        return false;
                return true;
            }
        };

        /** Letters, digits, '_' and '-' of text, others as '_'. */
        std::string nameOf(const std::string& text)
        {
            std::string name = text;
            for (char& c : name)
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-')
                    c = '_';
            return name.empty() ? std::string("Mesh") : name;
        }

        bool sameLight(const LightMetadata::Values& a, const LightMetadata::Values& b)
        {
            return a.type == b.type && a.diffuse == b.diffuse && a.specular == b.specular &&
                   a.attenuationConstant == b.attenuationConstant &&
                   a.attenuationLinear == b.attenuationLinear &&
                   a.attenuationQuadric == b.attenuationQuadric &&
                   a.attenuationRange == b.attenuationRange && a.castShadows == b.castShadows &&
                   a.spotFalloff == b.spotFalloff && a.spotInner == b.spotInner &&
                   a.spotOuter == b.spotOuter;
        }

        /** Walks the loaded scene and makes the templates and objects. */
        class SceneWalk
        {
        public:
            std::vector<WorldTemplate> templates;
            std::vector<PlacedObject> objects;
            std::vector<std::string> refused;
            std::set<std::string> materials;
            size_t imported = 0;
            size_t lights = 0;

            /** Places node into out, its transform relative to frame (the
                world when null). */
            void visit(Ogre::SceneNode* node, std::vector<PlacedObject>& out,
                       Ogre::SceneNode* frame)
            {
                std::vector<PlacedObject> bodies;
                for (Ogre::MovableObject* movable : node->getAttachedObjects())
                {
                    const std::string& type = movable->getMovableType();
                    if (type == "Entity")
                        bodies.push_back(meshObject(static_cast<Ogre::Entity*>(movable), node));
                    else if (type == "Light")
                        bodies.push_back(lightObject(static_cast<Ogre::Light*>(movable)));
                    else
                        refused.push_back("node '" + node->getName() + "': its " + type + " '" +
                                          movable->getName() + "' is not imported");
                }
                if (bodies.empty())
                {
                    if (node->numChildren() == 0)
                        refused.push_back("node '" + node->getName() + "': no entity");
                    for (Ogre::Node* child : node->getChildren())
                        visit(static_cast<Ogre::SceneNode*>(child), out, frame);
                    return;
                }
                // The first body is the node's object; the others ride on it.
                PlacedObject o = std::move(bodies.front());
                o.name = node->getName();
                place(o, node, frame);
                for (size_t k = 1; k < bodies.size(); ++k)
                {
                    bodies[k].name = o.name + "_" + std::to_string(k);
                    o.children.push_back(std::move(bodies[k]));
                }
                for (Ogre::Node* child : node->getChildren())
                    visit(static_cast<Ogre::SceneNode*>(child), o.children, node);
                out.push_back(std::move(o));
            }

        private:
            static void place(PlacedObject& o, const Ogre::SceneNode* node,
                              Ogre::SceneNode* frame)
            {
                const Ogre::Vector3& position = node->_getDerivedPosition();
                const Ogre::Quaternion& orientation = node->_getDerivedOrientation();
                const Ogre::Vector3& scale = node->_getDerivedScale();
                if (frame)
                {
                    o.position = frame->convertWorldToLocalPosition(position);
                    o.orientation = frame->convertWorldToLocalOrientation(orientation);
                    o.scale = scale / frame->_getDerivedScale();
                }
                else
                {
                    o.position = position;
                    o.orientation = orientation;
                    o.scale = scale;
                }
            }

            size_t addTemplate(WorldTemplate t)
            {
                std::string name = t.name;
                for (int k = 2; std::any_of(templates.begin(), templates.end(),
                                            [&](const WorldTemplate& u) { return u.name == name; });
                     ++k)
                    name = t.name + std::to_string(k);
                t.name = name;
                t.metaId = name + ".meta";
                templates.push_back(std::move(t));
                return templates.size() - 1;
            }

            PlacedObject meshObject(Ogre::Entity* entity, const Ogre::SceneNode* node)
            {
                const Ogre::MeshPtr& mesh = entity->getMesh();
                bool isStatic = true;
                const Ogre::Any& flag = node->getUserObjectBindings().getUserAny("static");
                if (flag.has_value() && flag.type() == typeid(bool))
                    isStatic = Ogre::any_cast<bool>(flag);
                const std::string key = mesh->getName() + (isStatic ? "" : "\n");
                auto found = mMeshTemplates.find(key);
                if (found == mMeshTemplates.end())
                {
                    WorldTemplate t;
                    t.name = nameOf(fs::path(mesh->getName()).stem().string()) +
                             (isStatic ? "" : "Dynamic");
                    t.objectType = "MeshGameObject";
                    t.sizeHint = SceneImporter::sizeHintOf(mesh->getBoundingSphereRadius());
                    auto extension = std::make_shared<ImportedMeshTemplate>();
                    extension->subMeshes.push_back(
                        MeshTemplateExtension::SubMesh{mesh->getName(), mesh->getName(), ""});
                    extension->obstacleMesh = mesh->getName();
                    extension->isStatic = isStatic;
                    extension->fadeBetweenLODs = isStatic;
                    extension->sources.push_back(mesh->getName());
                    if (mesh->hasSkeleton())
                        extension->sources.push_back(mesh->getSkeletonName());
                    t.extension = extension;
                    found = mMeshTemplates.emplace(key, addTemplate(std::move(t))).first;
                    for (const Ogre::SubMesh* sub : mesh->getSubMeshes())
                        materials.insert(sub->getMaterialName());
                }
                PlacedObject o;
                o.templateIndex = found->second;
                ++imported;
                return o;
            }

            PlacedObject lightObject(const Ogre::Light* light)
            {
                LightMetadata::Values values;
                values.type = int(light->getType());
                values.diffuse = light->getDiffuseColour();
                values.specular = light->getSpecularColour();
                values.attenuationRange = light->getAttenuationRange();
                values.attenuationConstant = light->getAttenuationConstant();
                values.attenuationLinear = light->getAttenuationLinear();
                values.attenuationQuadric = light->getAttenuationQuadric();
                values.castShadows = light->getCastShadows();
                values.spotFalloff = light->getSpotlightFalloff();
                values.spotInner = light->getSpotlightInnerAngle().valueDegrees();
                values.spotOuter = light->getSpotlightOuterAngle().valueDegrees();
                auto found = std::find_if(mLightTemplates.begin(), mLightTemplates.end(),
                                          [&](const std::pair<LightMetadata::Values, size_t>& l) {
                                              return sameLight(l.first, values);
                                          });
                size_t index;
                if (found != mLightTemplates.end())
                    index = found->second;
                else
                {
                    WorldTemplate t;
                    t.name = "SceneLight" + std::to_string(mLightTemplates.size() + 1);
                    t.objectType = "LightGameObject";
                    t.sizeHint = "Large";
                    t.collidable = false;
                    auto extension = std::make_shared<MetadataTemplateExtension<LightMetadata>>();
                    extension->metadata.setValues(values);
                    t.extension = extension;
                    index = addTemplate(std::move(t));
                    mLightTemplates.emplace_back(values, index);
                }
                PlacedObject o;
                o.templateIndex = index;
                ++imported;
                ++lights;
                return o;
            }

            std::map<std::string, size_t> mMeshTemplates;
            std::vector<std::pair<LightMetadata::Values, size_t>> mLightTemplates;
        };

        /** The import's resource group, gone with its meshes and materials
            when the import ends. */
        struct ImportScene
        {
            Ogre::SceneManager* scene = nullptr;

            explicit ImportScene(const fs::path& folder)
            {
                Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
                if (groups.resourceGroupExists(ImportGroup))
                    groups.destroyResourceGroup(ImportGroup);
                // Out of the global pool: its names may repeat those of other groups.
                groups.createResourceGroup(ImportGroup, false);
                // Each folder on its own: OGRE's recursive locations know the
                // files of subfolders only by their paths.
                groups.addResourceLocation(folder.string(), "FileSystem", ImportGroup);
                std::error_code ec;
                for (fs::recursive_directory_iterator it(
                         folder, fs::directory_options::skip_permission_denied, ec), end;
                     !ec && it != end; it.increment(ec))
                    if (it->is_directory(ec))
                        groups.addResourceLocation(it->path().string(), "FileSystem",
                                                   ImportGroup);
                groups.initialiseResourceGroup(ImportGroup);
                scene = Ogre::Root::getSingleton().createSceneManager();
            }
            ~ImportScene()
            {
                Ogre::Root::getSingleton().destroySceneManager(scene);
                Ogre::ResourceGroupManager::getSingleton().destroyResourceGroup(ImportGroup);
            }
        };

        void placeInCell(PlacedObject& o, const WorldGrid& grid)
        {
            const auto cell = grid.cellAt(o.position);
            o.cellX = cell ? cell->first : 0;
            o.cellZ = cell ? cell->second : 0;
            o.position -= grid.cellWorldPosition(o.cellX, o.cellZ);
            std::function<void(PlacedObject&)> inherit = [&](PlacedObject& parent) {
                for (PlacedObject& child : parent.children)
                {
                    child.cellX = parent.cellX;
                    child.cellZ = parent.cellZ;
                    inherit(child);
                }
            };
            inherit(o);
        }
    }

    bool SceneImporter::ensureSceneLoader(const std::string& pluginFolder, std::string& error)
    {
        if (Ogre::Codec::isCodecRegistered("scene"))
            return true;
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        if (!root)
        {
            error = "no engine is running";
            return false;
        }
        const std::string folder = pluginFolder.empty() ? WREN_OGRE_PLUGIN_DIR : pluginFolder;
        try
        {
            const Ogre::Root::PluginInstanceList before = root->getInstalledPlugins();
            root->loadPlugin(folder + "/Plugin_DotScene");
            // A Root without render system never initialises, nor the
            // plugins it is given: the new one is initialised here.
            if (!root->isInitialised())
                for (Ogre::Plugin* plugin : root->getInstalledPlugins())
                    if (std::find(before.begin(), before.end(), plugin) == before.end())
                        plugin->initialise();
        }
        catch (const Ogre::Exception& e)
        {
            error = "OGRE's scene loader can not be loaded: " + e.getDescription();
            return false;
        }
        if (Ogre::Codec::isCodecRegistered("scene"))
            return true;
        error = "OGRE's scene loader registered no codec for \".scene\"";
        return false;
    }

    int SceneImporter::cellsToHold(const std::vector<Ogre::Vector3>& positions, float cellSize)
    {
        // Clear of the edges by the margin the generator keeps.
        float extent = 0.0f;
        for (const Ogre::Vector3& p : positions)
            extent = std::max({extent, std::abs(p.x), std::abs(p.z)});
        const int cells = std::max(1, int(std::ceil(2.0f * (extent + 1.0f) / cellSize)));
        return cells > WorldGrid::MaxCells ? 0 : cells;
    }

    std::string SceneImporter::sizeHintOf(float radius)
    {
        if (radius >= 40.0f)
            return "VeryLarge";
        if (radius >= 10.0f)
            return "Large";
        return radius >= 2.5f ? "Medium" : "Small";
    }

    SceneImportResult SceneImporter::import(const std::string& scenePath,
                                            const std::string& folder,
                                            const SceneImportOptions& options)
    {
        SceneImportResult result;
        result.world.folder = folder;
        auto fail = [&](const std::string& error) { return refuse(result, scenePath, error); };
        if (!(options.cellSize > 0.0f) || options.cellSize > 100000.0f)
            return fail("the cell size must be above 0 and at most 100000");
        std::ifstream file(scenePath, std::ios::binary);
        if (!file)
            return fail("can not read the scene file");
        std::ostringstream text;
        text << file.rdbuf();
        ViewerEngine engine;
        if (!engine.start(ViewerEngine::Mode::Headless, options.logFile, options.pluginFolder))
            return fail("the engine does not start: " + engine.getError());
        std::string error;
        if (!ensureSceneLoader(options.pluginFolder, error))
            return fail(error);

        try
        {
            return importScene(text.str(), scenePath, folder, options, result);
        }
        catch (const Ogre::Exception& e)
        {
            // Such as two material scripts beside the scene defining the
            // same material.
            return fail("the scene or the files beside it can not be read: " +
                        e.getDescription());
        }
    }

    SceneImportResult SceneImporter::importScene(std::string bytes, const std::string& scenePath,
                                                 const std::string& folder,
                                                 const SceneImportOptions& options,
                                                 SceneImportResult& result)
    {
        auto fail = [&](const std::string& error) { return refuse(result, scenePath, error); };
        SceneWalk walk;
        {
            const fs::path sceneFolder = fs::absolute(fs::path(scenePath)).parent_path();
            ImportScene scene(sceneFolder);
            Ogre::SceneNode* top = scene.scene->getRootSceneNode()->createChildSceneNode();
            // The scene loader finds meshes in the world's resource group.
            Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
            const std::string worldGroup = groups.getWorldResourceGroupName();
            groups.setWorldResourceGroupName(ImportGroup);
            try
            {
                Ogre::DataStreamPtr stream(
                    new Ogre::MemoryDataStream(bytes.data(), bytes.size(), false, true));
                Ogre::Codec::getCodec("scene")->decode(stream, Ogre::Any(top));
                groups.setWorldResourceGroupName(worldGroup);
            }
            catch (const Ogre::Exception& e)
            {
                groups.setWorldResourceGroupName(worldGroup);
                return fail("the scene can not be read: " + e.getDescription());
            }
            scene.scene->getRootSceneNode()->_update(true, false);
            if (top->numChildren() == 0)
                return fail("the scene holds no nodes that OGRE's scene loader could read "
                            "(see the log)");
            for (Ogre::Node* child : top->getChildren())
                walk.visit(static_cast<Ogre::SceneNode*>(child), walk.objects, nullptr);

            auto meshes = Ogre::MeshManager::getSingleton().getResourceIterator();
            while (meshes.hasMoreElements())
            {
                const Ogre::ResourcePtr mesh = meshes.getNext();
                if (mesh->getGroup() == ImportGroup && !mesh->isLoaded())
                    walk.refused.push_back("mesh '" + mesh->getName() + "': can not be loaded");
            }
            result.refused = walk.refused;
            if (walk.imported == 0)
                return fail("nothing in the scene could be imported");

            std::vector<Ogre::Vector3> positions;
            for (const PlacedObject& o : walk.objects)
                positions.push_back(o.position);
            WorldGeneratorOptions generation;
            generation.cells = cellsToHold(positions, options.cellSize);
            if (generation.cells == 0)
                return fail("the scene needs more than " + std::to_string(WorldGrid::MaxCells) +
                            " cells of " + Ogre::StringConverter::toString(options.cellSize) +
                            " along a side; choose a larger --cell-size");
            generation.cellSize = options.cellSize;
            generation.loadRadius = 1.5f * options.cellSize;
            generation.objectsPerCell = 0;
            generation.binary = options.binary;
            generation.replace = options.replace;
            generation.writeMedia = false;
            generation.templates = walk.templates;
            const WorldGrid grid = WorldGenerator::gridOf(generation);
            std::map<std::pair<int, int>, std::vector<PlacedObject>> cells;
            for (PlacedObject& o : walk.objects)
            {
                placeInCell(o, grid);
                cells[{o.cellX, o.cellZ}].push_back(std::move(o));
            }
            result.world = WorldGenerator(generation).write(
                folder, [&cells](int i, int j, std::vector<PlacedObject>& out) {
                    auto found = cells.find({i, j});
                    if (found != cells.end())
                        out.swap(found->second);
                });
            if (!result.world.ok)
                return fail(result.world.error);

            // The material scripts of the meshes and the textures they name.
            const fs::path media = fs::path(result.world.folder) / WorldGenerator::MediaFolder;
            std::set<std::string> sources;
            for (const std::string& name : walk.materials)
            {
                Ogre::MaterialPtr material =
                    Ogre::MaterialManager::getSingleton().getByName(name, ImportGroup);
                if (!material)
                    continue;
                if (!material->getOrigin().empty())
                    sources.insert(material->getOrigin());
                for (const Ogre::Technique* technique : material->getTechniques())
                    for (const Ogre::Pass* pass : technique->getPasses())
                        for (const Ogre::TextureUnitState* unit : pass->getTextureUnitStates())
                            for (unsigned k = 0; k < unit->getNumFrames(); ++k)
                                sources.insert(unit->getFrameTextureName(k));
            }
            for (const std::string& source : sources)
            {
                if (!Ogre::ResourceGroupManager::getSingleton().resourceExists(ImportGroup, source))
                    continue;
                const std::string why = copyResource(source, media, result.world.templateFiles);
                if (!why.empty())
                {
                    result.world.ok = false;
                    return fail(why);
                }
            }
        }
        result.imported = walk.imported;
        result.lights = walk.lights;
        logLine("imported " + std::to_string(result.imported) + " objects of " + scenePath +
                " into " + result.world.folder + ", refused " +
                std::to_string(result.refused.size()));
        return result;
    }

    std::string SceneImporter::formatReport(const SceneImportResult& result)
    {
        std::ostringstream out;
        const WorldGeneratorResult& w = result.world;
        if (w.ok)
            out << "wrote the world " << w.worldName << " in " << w.folder << ": " << w.grid.cellsX
                << " x " << w.grid.cellsZ << " cells of " << w.grid.cellSize << ", "
                << w.objectsFiles.size() << " objects files (" << (w.binary ? "binary" : "XML")
                << "), " << w.metadataFiles.size() << " templates, " << w.templateFiles.size()
                << " media files\n";
        out << "imported " << result.imported << " objects (" << result.lights << " lights)";
        if (!result.refused.empty())
        {
            out << ", refused " << result.refused.size() << ":\n";
            for (const std::string& line : result.refused)
                out << "  " << line << '\n';
        }
        else
            out << '\n';
        return out.str();
    }
}
