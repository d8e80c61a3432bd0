#include "WorldGenerator.h"

#include "WorldViewer.h"

#include "AtomicFile.h"
#include "BinaryFileResource.h"
#include "CompoundTemplateExtension.h"
#include "DataElement.h"
#include "DummyTemplateExtension.h"
#include "EffectSystemMetadata.h"
#include "LightMetadata.h"
#include "MediaGenerator.h"
#include "MeshTemplateExtension.h"
#include "ParticleSystemTemplateExtension.h"
#include "PartitionXmlBinaryConvert.h"
#include "PlaceHolderGameObject.h"
#include "SoundTemplateExtension.h"
#include "WorldGeneratorRandom.h"
#include "XMLDataFile.h"

#include <OgreLogManager.h>
#include <OgreMath.h>
#include <OgreStringConverter.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <iomanip>
#include <memory>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace Wren
{
    namespace
    {
        const int MaxCells = 64;
        const int MaxObjectsPerCell = 10000;
        /** Object numbers stay well inside an int and names inside the
            127 bytes of the binary record. */
        const std::int64_t MaxObjects = 4000000;
        /** Objects keep this far from the cell's edges, so that rounding of
            the stored text and the half-unit nudge of the grid's cell
            lookup still find them in their own cell. */
        const float EdgeMargin = 1.0f;

        void logLine(const std::string& line)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("WorldGenerator: " + line);
        }

        bool isNameCharacter(char c)
        {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-';
        }

        /** Days since 1970-01-01 to a civil date (H. Hinnant's algorithm). */
        void civilFromDays(std::int64_t days, int& year, int& month, int& day)
        {
            days += 719468;
            const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
            const std::int64_t dayOfEra = days - era * 146097;
            const std::int64_t yearOfEra =
                (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
            const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
            const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
            day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
            month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
            year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
        }

        std::string objectsFileName(const std::string& worldName, const std::string& cellId,
                                    bool binary)
        {
            return worldName + "_Partition" + cellId + (binary ? ".objbinary" : ".objects");
        }

        /** The number an object's name carries after its template's name
            ("Tree_12_2024_..." of "Tree": 12); 0 when it follows no such
            rule. */
        int uniqueNumberIn(const std::string& name, const std::string& templateName)
        {
            if (name.compare(0, templateName.size(), templateName) != 0 ||
                name.size() <= templateName.size() + 1 || name[templateName.size()] != '_')
                return 0;
            long number = 0;
            for (size_t k = templateName.size() + 1; k < name.size() && name[k] != '_'; ++k)
            {
                if (!std::isdigit(static_cast<unsigned char>(name[k])) || number > 100000000)
                    return 0;
                number = number * 10 + (name[k] - '0');
            }
            return int(number);
        }

        /** Whether a file name is an objects file of that world. */
        bool isObjectsFileOf(const std::string& fileName, const std::string& worldName)
        {
            const std::string prefix = worldName + "_Partition";
            if (fileName.compare(0, prefix.size(), prefix) != 0)
                return false;
            for (const char* extension : {".objects", ".objbinary"})
            {
                const std::string ext(extension);
                if (fileName.size() > prefix.size() + ext.size() &&
                    fileName.compare(fileName.size() - ext.size(), ext.size(), ext) == 0)
                    return true;
            }
            return false;
        }

        /** A float as it reads back from its stored text. */
        float asStored(float value)
        {
            return Ogre::StringConverter::parseReal(Ogre::StringConverter::toString(value));
        }

        /** A turn about the vertical axis as it is written, w and y at the
            precision of their stored text. The engine normalises the
            orientation it reads, which may move the last digit written; the
            turn is the nearest to yaw (in steps of a hundred-thousandth of
            a radian) that is written back as the same text. */
        Ogre::Quaternion storableYaw(float yaw)
        {
            auto written = [](float angle) {
                return Ogre::Quaternion(asStored(std::cos(angle * 0.5f)), 0.0f,
                                        asStored(std::sin(angle * 0.5f)), 0.0f);
            };
            for (int k = 0; k <= 400; ++k)
            {
                const int step = k % 2 ? (k + 1) / 2 : -k / 2;
                const Ogre::Quaternion q = written(yaw + step * 1.0e-5f);
                Ogre::Quaternion kept = q;
                kept.normalise();
                if (asStored(kept.w) == q.w && asStored(kept.y) == q.y)
                    return q;
            }
            return written(yaw);
        }

        /** A template of things one does not walk into (markers, groups
            whose parts collide by themselves). */
        WorldTemplate markingTemplate(const std::string& metaId, const std::string& name,
                                      const std::string& type, const std::string& sizeHint,
                                      int perCell)
        {
            WorldTemplate t;
            t.metaId = metaId;
            t.name = name;
            t.objectType = type;
            t.sizeHint = sizeHint;
            t.collidable = false;
            t.perCell = perCell;
            return t;
        }

        /** The resource locations of a world, relative to its folder so that
            the folder can be copied or moved: "." and its subfolders; a
            folder outside it keeps its absolute path.
            @param extraFolders further folders of "General" (those templates
                wrote files into), in order; repeats are declared once. */
        std::string resourcesConfig(const std::string& worldName, const fs::path& folder,
                                    bool media, const std::vector<fs::path>& extraFolders)
        {
            auto relative = [&folder](const fs::path& dir) {
                const fs::path inside = dir.lexically_relative(folder);
                const bool within = !inside.empty() && *inside.begin() != "..";
                return within ? inside.string() : dir.string();
            };
            std::ostringstream text;
            text << "# Resource locations of the world " << worldName
                 << ", relative to this file's folder.\n"
                 << "[PLSM2]\n"
                 << "FileSystem=.\n"
                 << "FileSystem=Partitions\n"
                 << "\n[General]\n"
                 << "FileSystem=Partitions\n"
                 << "FileSystem=Meta\n";
            std::vector<std::string> general;
            if (media)
                general.push_back(WorldGenerator::MediaFolder);
            for (const fs::path& extra : extraFolders)
                if (std::find(general.begin(), general.end(), relative(extra)) == general.end())
                    general.push_back(relative(extra));
            for (const std::string& dir : general)
                text << "FileSystem=" << dir << "\n";
            return text.str();
        }
    }

    const char* const WorldGenerator::MediaFolder = "Media";

    std::string WorldTemplateExtension::makeFolder(const std::string& worldFolder,
                                                   const std::string& name, std::string& error)
    {
        const fs::path folder = fs::path(worldFolder) / name;
        std::error_code ec;
        fs::create_directories(folder, ec);
        if (ec || !fs::is_directory(folder))
        {
            error = "can not make the folder " + folder.string();
            return std::string();
        }
        return folder.string();
    }

    void WorldGenerator::writeMetadata(const WorldTemplate& t, DataElementPtr& root)
    {
        root->setAttributeString("ObjectType", t.objectType);
        root->setAttributeString("Name", t.name);
        DataElementPtr core = root->createChild("CoreData");
        core->setAttributeBool("Collidable", t.collidable);
        core->setAttributeBool("SeeThrough", t.seeThrough);
        core->setAttributeBool("Minimap", false);
        core->setAttributeBool("Instanced", t.instanced);
        core->setAttributeInt("SizeHintEnum", -1);
        core->setAttributeString("SizeHint", t.sizeHint);
        core->createChild("DynamicProperties");
        if (t.extension)
            t.extension->writeMetadata(root);
    }

    void WorldGenerator::writeObject(const WorldTemplate& t, const PlacedObject& o,
                                     DataElementPtr& object)
    {
        writeObject(t, o, object, std::vector<WorldTemplate>());
    }

    void WorldGenerator::writeObject(const WorldTemplate& t, const PlacedObject& o,
                                     DataElementPtr& object,
                                     const std::vector<WorldTemplate>& templates)
    {
        object->setAttributeString("Type", t.objectType);
        object->setAttributeString("Name", o.name);
        DataElementPtr core = object->createChild("CoreData");
        core->setAttributeFloat("PosX", o.position.x);
        core->setAttributeFloat("PosY", o.position.y);
        core->setAttributeFloat("PosZ", o.position.z);
        core->setAttributeFloat("OrientX", o.orientation.x);
        core->setAttributeFloat("OrientY", o.orientation.y);
        core->setAttributeFloat("OrientZ", o.orientation.z);
        core->setAttributeFloat("OrientW", o.orientation.w);
        core->setAttributeFloat("ScaleX", o.scale.x);
        core->setAttributeFloat("ScaleY", o.scale.y);
        core->setAttributeFloat("ScaleZ", o.scale.z);
        core->setAttributeString("MetaID", t.metaId);
        core->createChild("DynamicProperties");
        core->setAttributeString("PartitionID", WorldGrid::cellId(o.cellX, o.cellZ));
        DataElementPtr children = object->createChild("Children");
        for (const PlacedObject& child : o.children)
            if (child.templateIndex < templates.size())
            {
                DataElementPtr e = children->createChild("Object");
                writeObject(templates[child.templateIndex], child, e, templates);
            }
        if (t.extension)
            t.extension->writeObject(object, o);
    }

    std::string UtcTime::text() const
    {
        std::ostringstream out;
        out << year << '_' << month << '_' << day << '_' << hour << '_' << minute << '_' << second;
        return out.str();
    }

    UtcTime UtcTime::fromEpochSeconds(std::int64_t seconds)
    {
        std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
        std::int64_t rest = seconds - days * 86400;
        UtcTime t;
        civilFromDays(days, t.year, t.month, t.day);
        t.hour = static_cast<int>(rest / 3600);
        t.minute = static_cast<int>(rest / 60 % 60);
        t.second = static_cast<int>(rest % 60);
        return t;
    }

    std::vector<WorldTemplate> WorldGenerator::sampleTemplates()
    {
        typedef MeshTemplateExtension::SubMesh SubMesh;
        auto make = [](const char* name, const char* sizeHint, float minScale, float maxScale,
                       bool isStatic, bool instanced, bool castShadows,
                       std::vector<SubMesh> subMeshes) {
            WorldTemplate t;
            t.metaId = std::string("Sample") + name + ".meta";
            t.name = name;
            t.objectType = "MeshGameObject";
            t.sizeHint = sizeHint;
            t.minScale = minScale;
            t.maxScale = maxScale;
            t.instanced = instanced;
            // Instanced things collide only as see-through objects.
            t.seeThrough = instanced;
            auto mesh = std::make_shared<MeshTemplateExtension>();
            mesh->subMeshes = std::move(subMeshes);
            mesh->isStatic = isStatic;
            mesh->castShadows = castShadows;
            // Large things blend between their levels; small ones just swap.
            mesh->fadeBetweenLODs = isStatic;
            // Objects collide by the coarse form of their first part.
            if (!mesh->subMeshes.empty())
                mesh->obstacleMesh = mesh->subMeshes.front().lowMesh;
            t.extension = mesh;
            return t;
        };
        auto sub = [](MediaGenerator::Shape shape, const char* colour) {
            return MeshTemplateExtension::subMeshOf(shape, colour);
        };
        return {make("Tower", "VeryLarge", 3.0f, 5.0f, true, true, true,
                     {sub(MediaGenerator::SHAPE_BOX, "Stone")}),
                make("House", "Large", 1.5f, 2.5f, true, true, true,
                     {sub(MediaGenerator::SHAPE_BOX, "Brick"),
                      sub(MediaGenerator::SHAPE_GROUND, "Grass")}),
                make("Tree", "Medium", 1.5f, 3.0f, true, false, true,
                     {sub(MediaGenerator::SHAPE_FINE_SPHERE, "Leaf")}),
                make("Crate", "Small", 0.3f, 0.6f, false, false, false,
                     {sub(MediaGenerator::SHAPE_BOX, "Wood")}),
                make("Beacon", "150", 1.0f, 1.5f, false, false, true,
                     {sub(MediaGenerator::SHAPE_COARSE_SPHERE, "Signal")})};
    }

    std::vector<WorldTemplate> WorldGenerator::plainTemplates()
    {
        auto make = [](const char* name, const char* sizeHint, float minScale, float maxScale) {
            WorldTemplate t;
            t.metaId = std::string("Sample") + name + ".meta";
            t.name = name;
            t.sizeHint = sizeHint;
            t.minScale = minScale;
            t.maxScale = maxScale;
            return t;
        };
        return {make("Tower", "VeryLarge", 1.5f, 2.5f), make("House", "Large", 1.0f, 1.5f),
                make("Tree", "Medium", 0.75f, 1.25f), make("Crate", "Small", 0.5f, 1.0f),
                make("Beacon", "150", 1.0f, 1.0f)};
    }

    WorldTemplate WorldGenerator::placeHolderTemplate()
    {
        WorldTemplate t = markingTemplate(PlaceHolderGameObject::PLACEHOLDER_META_ID,
                                          "Box0Point5Meters", "MeshGameObject", "Small", 0);
        auto mesh = std::make_shared<MeshTemplateExtension>();
        mesh->subMeshes.push_back({MediaGenerator::PlaceHolderMesh, MediaGenerator::PlaceHolderMesh,
                                   "Signal"});
        mesh->fade = false;
        t.extension = mesh;
        return t;
    }

    WorldTemplate WorldGenerator::markerTemplate(int perCell)
    {
        WorldTemplate t =
            markingTemplate("SampleMarker.meta", "Marker", "DummyGameObject", "Small", perCell);
        auto dummy = std::make_shared<DummyTemplateExtension>();
        dummy->placeHolder = PlaceHolderGameObject::PLACEHOLDER_META_ID;
        t.extension = dummy;
        return t;
    }

    WorldTemplate WorldGenerator::lampTemplate(int perCell)
    {
        WorldTemplate t =
            markingTemplate("SampleLamp.meta", "Lamp", "LightGameObject", "150", perCell);
        auto light = std::make_shared<MetadataTemplateExtension<LightMetadata>>();
        LightMetadata::Values values;
        values.diffuse = Ogre::ColourValue(1.0f, 0.85f, 0.6f);
        values.attenuationRange = 60.0f;
        values.attenuationConstant = 1.0f;
        values.attenuationLinear = 0.045f;
        values.attenuationQuadric = 0.0075f;
        values.castShadows = false;
        light->metadata.setValues(values);
        t.extension = light;
        return t;
    }

    WorldTemplate WorldGenerator::smokeTemplate(int perCell)
    {
        WorldTemplate t = markingTemplate("SampleSmoke.meta", "Smoke", "ParticleSystemGameObject",
                                          "120", perCell);
        t.extension = std::make_shared<ParticleSystemTemplateExtension>();
        return t;
    }

    WorldTemplate WorldGenerator::sparksTemplate(int perCell)
    {
        WorldTemplate t = markingTemplate("SampleSparks.meta", "Sparks", "EffectSystemGameObject",
                                          "Large", perCell);
        auto effect = std::make_shared<MetadataTemplateExtension<EffectSystemMetadata>>();
        effect->metadata.setEffectName("Sparks");
        t.extension = effect;
        return t;
    }

    WorldTemplate WorldGenerator::brookTemplate(int perCell)
    {
        WorldTemplate t =
            markingTemplate("SampleBrook.meta", "Brook", "SoundGameObject", "120", perCell);
        t.extension = std::make_shared<SoundTemplateExtension>();
        return t;
    }

    const std::vector<std::string>& WorldGenerator::typeNames()
    {
        static const std::vector<std::string> names = {"mesh",  "light", "particle", "effect",
                                                       "sound", "dummy", "compound"};
        return names;
    }

    std::string WorldGenerator::chooseTypes(const std::string& list, WorldGeneratorOptions& o)
    {
        std::set<std::string> chosen;
        std::istringstream items(list);
        for (std::string item; std::getline(items, item, ',');)
        {
            item.erase(0, item.find_first_not_of(" \t"));
            item.erase(item.find_last_not_of(" \t") + 1);
            const std::vector<std::string>& names = typeNames();
            if (item.empty())
                continue;
            if (item == "all")
                chosen.insert(names.begin(), names.end());
            else if (std::find(names.begin(), names.end(), item) != names.end())
                chosen.insert(item);
            else
                return "unknown object kind \"" + item + "\" (known: all, mesh, light, "
                       "particle, effect, sound, dummy, compound)";
        }
        if (chosen.empty())
            return "no object kind named";
        if (!chosen.count("mesh"))
            o.objectsPerCell = 0;
        const std::pair<const char*, int*> counts[] = {
            {"light", &o.lightsPerCell},    {"particle", &o.particleSystemsPerCell},
            {"effect", &o.effectsPerCell},  {"sound", &o.soundsPerCell},
            {"dummy", &o.dummiesPerCell},   {"compound", &o.compoundsPerCell}};
        for (const auto& count : counts)
            *count.second = chosen.count(count.first) ? std::max(1, *count.second) : 0;
        return std::string();
    }

    WorldTemplate WorldGenerator::campTemplate(int perCell, const std::vector<WorldTemplate>& drawn)
    {
        WorldTemplate t =
            markingTemplate("SampleCamp.meta", "Camp", "CompoundGameObject", "Large", perCell);
        if (drawn.empty())
            return t;
        // Instanced objects belong to the batches of their area, not below
        // a compound.
        size_t first = 0;
        while (first < drawn.size() && drawn[first].instanced)
            ++first;
        if (first == drawn.size())
            first = 0;
        auto compound = std::make_shared<CompoundTemplateExtension>();
        compound->objectsFile = "SampleCamp.objects";
        const Ogre::Vector3 offsets[3] = {Ogre::Vector3::ZERO, Ogre::Vector3(4, 0, 0),
                                          Ogre::Vector3(-2, 0, 3)};
        for (size_t k = 0; k < 3; ++k)
            compound->parts.push_back({drawn[(first + k) % drawn.size()], offsets[k]});
        t.extension = compound;
        return t;
    }

    std::string WorldGenerator::validate(const WorldGeneratorOptions& o)
    {
        if (o.cells < 1 || o.cells > MaxCells)
            return "the number of cells must be between 1 and " + std::to_string(MaxCells) +
                   " (got " + std::to_string(o.cells) + ")";
        if (o.objectsPerCell < 0 || o.objectsPerCell > MaxObjectsPerCell)
            return "the objects per cell must be between 0 and " +
                   std::to_string(MaxObjectsPerCell) + " (got " + std::to_string(o.objectsPerCell) +
                   ")";
        std::int64_t perCell = o.objectsPerCell;
        for (int extra : {o.dummiesPerCell, o.compoundsPerCell, o.lightsPerCell,
                          o.particleSystemsPerCell, o.effectsPerCell, o.soundsPerCell})
        {
            if (extra < 0 || extra > MaxObjectsPerCell)
                return "the dummies, compounds, lights, particle systems, effects and sounds "
                       "per cell must be between 0 and " +
                       std::to_string(MaxObjectsPerCell);
            perCell += extra;
        }
        bool drawn = false;
        for (const WorldTemplate& t : o.templates)
        {
            if (t.perCell < 0 || t.perCell > MaxObjectsPerCell)
                return "the template " + t.metaId + " needs 0 <= perCell <= " +
                       std::to_string(MaxObjectsPerCell);
            perCell += t.perCell;
            drawn = drawn || t.perCell == 0;
        }
        if (o.objectsPerCell > 0 && !o.templates.empty() && !drawn)
            return "objects are drawn from templates without perCell, and there is none";
        if (std::int64_t(o.cells) * o.cells * perCell > MaxObjects)
            return "a world holds at most " + std::to_string(MaxObjects) + " objects";
        if (!(o.cellSize > 4.0f * EdgeMargin) || !std::isfinite(o.cellSize) || o.cellSize > 1.0e5f)
            return "the cell size must be above " + std::to_string(int(4 * EdgeMargin)) +
                   " and at most 100000";
        // A cell streams while its centre is nearer than the load radius;
        // the camera's own cell is kept only when that holds for its corners.
        const float ownCell = o.cellSize * std::sqrt(0.5f);
        if (!(o.loadRadius >= ownCell) || !std::isfinite(o.loadRadius))
            return "the load radius must be at least " + Ogre::StringConverter::toString(ownCell) +
                   " (half the diagonal of a cell), or the camera's own cell does not stay loaded";
        std::set<std::string> ids;
        for (const WorldTemplate& t : o.templates)
        {
            if (t.metaId.empty() || t.name.empty() || t.objectType.empty())
                return "a template needs a metadata ID, a name and an object type";
            if (t.metaId.find('/') != std::string::npos || t.metaId.find('\\') != std::string::npos)
                return "the metadata ID " + t.metaId + " is not a plain file name";
            if (!ids.insert(t.metaId).second)
                return "the metadata ID " + t.metaId + " is used by two templates";
            // The binary record holds 31, 63 and 127 bytes of type, ID and name.
            if (t.objectType.size() > 31 || t.metaId.size() > 63 || t.name.size() > 80)
                return "the template " + t.metaId + " has a type, ID or name too long to store";
            if (!(t.minScale > 0.0f) || t.maxScale < t.minScale)
                return "the template " + t.metaId + " needs 0 < minScale <= maxScale";
        }
        return std::string();
    }

    float WorldGenerator::viewRangeScaleFor(float cellSize, float cameraHeight)
    {
        const float reach = 0.75f * cellSize;
        return std::sqrt(reach * reach + cameraHeight * cameraHeight) / 100.0f;
    }

    float WorldGenerator::placementHalfExtent(float cellSize)
    {
        return cellSize * 0.5f - EdgeMargin;
    }

    UtcTime WorldGenerator::timeForSeed(std::uint32_t seed)
    {
        const std::int64_t start = 1577836800;                 // 2020-01-01 00:00:00
        const std::int64_t span = 1735689600 - start;          // up to 2025-01-01
        // Neighbouring seeds land far apart.
        const std::uint64_t spread = std::uint64_t(seed) * 2654435761u;
        return UtcTime::fromEpochSeconds(start + std::int64_t(spread % std::uint64_t(span)));
    }

    std::string WorldGenerator::worldNameOf(const std::string& folder)
    {
        fs::path path(folder);
        while (!path.empty() && path.filename().empty() && path.has_relative_path())
            path = path.parent_path();
        return path.filename().string();
    }

    bool WorldGenerator::isInsideWorldsFolder(const std::string& folder)
    {
        fs::path path = fs::path(folder).lexically_normal();
        if (path.filename().empty())
            path = path.parent_path();
        std::string parent = path.parent_path().filename().string();
        std::transform(parent.begin(), parent.end(), parent.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return parent == "worlds";
    }

    WorldGrid WorldGenerator::gridOf(const WorldGeneratorOptions& options)
    {
        WorldGrid grid;
        grid.cellSize = options.cellSize;
        grid.cellsX = options.cells;
        grid.cellsZ = options.cells;
        grid.loadRadius = options.loadRadius;
        return grid;
    }

    WorldGenerator::WorldGenerator(const WorldGeneratorOptions& options) : mOptions(options)
    {
        if (mOptions.templates.empty())
            mOptions.templates = sampleTemplates();
        std::vector<WorldTemplate> drawn;
        for (size_t k = 0; k < mOptions.templates.size(); ++k)
            if (mOptions.templates[k].perCell == 0)
            {
                mDrawn.push_back(k);
                drawn.push_back(mOptions.templates[k]);
            }
        if (mOptions.dummiesPerCell > 0)
            mOptions.templates.push_back(markerTemplate(mOptions.dummiesPerCell));
        if (mOptions.compoundsPerCell > 0)
            mOptions.templates.push_back(campTemplate(mOptions.compoundsPerCell, drawn));
        const std::pair<int, WorldTemplate (*)(int)> placed[] = {
            {mOptions.lightsPerCell, lampTemplate},
            {mOptions.particleSystemsPerCell, smokeTemplate},
            {mOptions.effectsPerCell, sparksTemplate},
            {mOptions.soundsPerCell, brookTemplate}};
        for (const auto& kind : placed)
            if (kind.first > 0)
                mOptions.templates.push_back(kind.second(kind.first));
        // Counted in the templates from here on.
        for (int* count : {&mOptions.dummiesPerCell, &mOptions.compoundsPerCell,
                           &mOptions.lightsPerCell, &mOptions.particleSystemsPerCell,
                           &mOptions.effectsPerCell, &mOptions.soundsPerCell})
            *count = 0;
        mStamp = timeForSeed(mOptions.seed).text();
    }

    std::vector<PlacedObject> WorldGenerator::place() const
    {
        std::vector<PlacedObject> placed;
        if (!validate(mOptions).empty())
            return placed;
        WorldGeneratorRandom random(mOptions.seed);
        int number = 0;
        placed.reserve(size_t(mOptions.cells) * mOptions.cells * mOptions.objectsPerCell);
        for (int i = 0; i < mOptions.cells; ++i)
            for (int j = 0; j < mOptions.cells; ++j)
                placeCell(random, i, j, number, placed);
        return placed;
    }

    void WorldGenerator::placeCell(WorldGeneratorRandom& random, int i, int j, int& number,
                                   std::vector<PlacedObject>& out) const
    {
        const auto drawn = static_cast<std::uint32_t>(mDrawn.size());
        for (int k = 0; k < mOptions.objectsPerCell && drawn > 0; ++k)
            placeObject(random, mDrawn[random.below(drawn)], i, j, number, out);
        for (size_t t = 0; t < mOptions.templates.size(); ++t)
            for (int k = 0; k < mOptions.templates[t].perCell; ++k)
                placeObject(random, t, i, j, number, out);
    }

    void WorldGenerator::placeObject(WorldGeneratorRandom& random, size_t templateIndex, int i,
                                     int j, int& number, std::vector<PlacedObject>& out) const
    {
        const float extent = placementHalfExtent(mOptions.cellSize);
        const WorldTemplate& t = mOptions.templates[templateIndex];
        PlacedObject o;
        o.templateIndex = templateIndex;
        o.cellX = i;
        o.cellZ = j;
        o.position.x = random.uniform(-extent, extent);
        o.position.z = random.uniform(-extent, extent);
        const float yaw = random.uniform(0.0f, Ogre::Math::TWO_PI);
        o.orientation = storableYaw(yaw);
        const float s = random.uniform(t.minScale, t.maxScale);
        o.scale = Ogre::Vector3(s, s, s);
        o.name = t.name + "_" + std::to_string(++number) + "_" + mStamp;
        out.push_back(o);
    }

    WorldGeneratorResult WorldGenerator::fail(WorldGeneratorResult& result,
                                              const std::string& error) const
    {
        result.ok = false;
        result.error = error;
        logLine("can not generate the world in " + result.folder + ": " + error);
        return result;
    }

    WorldGeneratorResult WorldGenerator::generate(const std::string& folder,
                                                  const Progress& progress) const
    {
        WorldGeneratorRandom random(mOptions.seed);
        int number = 0;
        return write(
            folder,
            [&](int i, int j, std::vector<PlacedObject>& out) {
                placeCell(random, i, j, number, out);
            },
            progress);
    }

    WorldGeneratorResult WorldGenerator::write(const std::string& folderText,
                                               const CellObjects& cellObjects,
                                               const Progress& progress) const
    {
        WorldGeneratorResult result;
        result.folder = folderText;
        result.grid = gridOf(mOptions);
        result.binary = mOptions.binary;
        result.seed = mOptions.seed;
        result.timestamp = timeForSeed(mOptions.seed).text();

        const std::string invalid = validate(mOptions);
        if (!invalid.empty())
            return fail(result, invalid);

        result.worldName = worldNameOf(folderText);
        const std::string& world = result.worldName;
        if (world.empty() || world == "." || world == ".." ||
            !std::all_of(world.begin(), world.end(), isNameCharacter))
            return fail(result, "the folder's name \"" + world +
                                    "\" is the world name and may hold only letters, digits, "
                                    "'_' and '-'");

        std::error_code ec;
        fs::path folder = fs::absolute(fs::path(folderText), ec);
        if (ec)
            return fail(result, "can not resolve the folder: " + ec.message());
        folder = folder.lexically_normal();
        if (folder.filename().empty())
            folder = folder.parent_path();
        result.folder = folder.string();

        if (fs::exists(folder, ec))
        {
            if (!fs::is_directory(folder, ec))
                return fail(result, "it exists and is not a folder");
            if (!fs::is_empty(folder, ec) && !mOptions.replace)
                return fail(result, "the folder is not empty (replace a generated world with "
                                    "--force)");
        }
        const fs::path partitions = folder / "Partitions";
        const fs::path meta = folder / "Meta";
        const fs::path media = folder / MediaFolder;
        for (const fs::path& dir : {folder, partitions, meta})
        {
            fs::create_directories(dir, ec);
            if (ec || !fs::is_directory(dir))
                return fail(result, "can not make the folder " + dir.string() +
                                        (ec ? ": " + ec.message() : std::string()));
        }

        // The metadata file of a template into a folder, listed in files
        // once written; the reason when it can not be.
        auto writeTemplate = [](const WorldTemplate& t, const fs::path& dir,
                                std::vector<std::string>& files) {
            XMLDataFile file;
            DataElementPtr root = file.createRootElement("MetaData");
            writeMetadata(t, root);
            const std::string path = (dir / t.metaId).string();
            if (!file.save(path))
                return "can not write " + path;
            files.push_back(path);
            return std::string();
        };
        const std::vector<WorldTemplate>& templates = mOptions.templates;
        for (const WorldTemplate& t : templates)
        {
            const std::string failure = writeTemplate(t, meta, result.metadataFiles);
            if (!failure.empty())
                return fail(result, failure);
            std::string why;
            if (t.extension && !t.extension->writeFiles(folder.string(), result.templateFiles, why))
                return fail(result, why);
        }

        if (mOptions.writeMedia)
        {
            std::string why;
            if (!MediaGenerator::write(media.string(), result.mediaFiles, &why))
                return fail(result, "can not write the media: " + why);
            why = writeTemplate(placeHolderTemplate(), media, result.mediaFiles);
            if (!why.empty())
                return fail(result, why);
        }

        const size_t cellCount = size_t(mOptions.cells) * mOptions.cells;
        std::set<std::string> written;
        // Counts an object and its children, and keeps the highest number
        // their names carry.
        std::function<void(const PlacedObject&)> count = [&](const PlacedObject& o) {
            const WorldTemplate& t = templates[o.templateIndex];
            ++result.objects;
            ++result.objectsPerTemplate[t.metaId];
            result.lastUniqueNumber =
                std::max(result.lastUniqueNumber, uniqueNumberIn(o.name, t.name));
            for (const PlacedObject& child : o.children)
                count(child);
        };
        for (int i = 0; i < mOptions.cells; ++i)
            for (int j = 0; j < mOptions.cells; ++j)
            {
                const std::string id = WorldGrid::cellId(i, j);
                std::vector<PlacedObject> placed;
                cellObjects(i, j, placed);
                XMLDataFile document;
                DataElementPtr root = document.createRootElement("Objects");
                root->createChild("CorePartitionData")->setAttributeBool("ShowBounds", false);
                for (const PlacedObject& o : placed)
                {
                    DataElementPtr object = root->createChild("Object");
                    writeObject(templates[o.templateIndex], o, object, templates);
                    count(o);
                }

                const std::string name = objectsFileName(world, id, mOptions.binary);
                const std::string path = (partitions / name).string();
                if (mOptions.binary)
                {
                    std::string why;
                    std::unique_ptr<Ogre::BinaryFileResource> binary(
                        PartitionXmlBinaryConvert::ConvetToBinary(&document, &why));
                    if (!binary)
                        return fail(result, "can not make the binary form of cell " + id + ": " +
                                                why);
                    if (!binary->save(path))
                        return fail(result, "can not write " + path);
                }
                else if (!document.save(path))
                    return fail(result, "can not write " + path);
                result.objectsFiles.push_back(path);
                written.insert(name);
                if (progress)
                    progress(result.objectsFiles.size(), cellCount);
            }

        // Objects files of an earlier, larger or other-form generation would
        // be loaded with this world; the new ones replace them.
        for (const fs::directory_entry& entry : fs::directory_iterator(partitions, ec))
        {
            const std::string name = entry.path().filename().string();
            if (entry.is_regular_file() && isObjectsFileOf(name, world) && !written.count(name))
            {
                fs::remove(entry.path(), ec);
                if (ec)
                    return fail(result, "can not remove the old objects file " +
                                            entry.path().string() + ": " + ec.message());
                result.removedFiles.push_back(entry.path().string());
            }
        }
        std::sort(result.removedFiles.begin(), result.removedFiles.end());

        {
            XMLDataFile file;
            DataElementPtr root = file.createRootElement("World");
            DataElementPtr manager = root->createChild("GameObjectManagerData");
            manager->setAttributeInt("ObjectUniqueInt", result.lastUniqueNumber);
            manager->createChild("GameSystems");
            result.grid.save(root);
            result.viewRangeScale = Ogre::StringConverter::parseReal(Ogre::StringConverter::toString(
                viewRangeScaleFor(mOptions.cellSize, WorldViewerOptions().height)));
            root->createChild("CorePartitionManagerData")
                ->setAttributeFloat("ViewRangeScale", result.viewRangeScale);
            result.worldFile = (folder / (world + ".World")).string();
            if (!file.save(result.worldFile))
                return fail(result, "can not write " + result.worldFile);
        }

        std::vector<fs::path> templateFolders;
        for (const std::string& file : result.templateFiles)
            templateFolders.push_back(fs::path(file).parent_path());
        const std::string config =
            resourcesConfig(world, folder, mOptions.writeMedia, templateFolders);
        result.resourcesFile = (folder / "resources.cfg").string();
        if (!AtomicFile::write(result.resourcesFile, config.data(), config.size()))
            return fail(result, "can not write " + result.resourcesFile);
        if (!isInsideWorldsFolder(folder.string()))
            result.notes.push_back("the editor saves a world into <worlds>/<name>, finding the "
                                   "folder \"worlds\" in resources.cfg; keep the world directly "
                                   "inside a folder named \"worlds\" to save it back");

        result.ok = true;
        logLine("wrote the world " + world + " in " + folder.string() + ": " +
                std::to_string(cellCount) + " cells, " + std::to_string(result.objects) +
                " objects");
        return result;
    }

    nlohmann::json WorldGenerator::toJson(const WorldGeneratorResult& r)
    {
        nlohmann::json j;
        j["ok"] = r.ok;
        if (!r.error.empty())
            j["error"] = r.error;
        j["notes"] = r.notes;
        j["world"] = r.worldName;
        j["folder"] = r.folder;
        j["worldFile"] = r.worldFile;
        j["resourcesFile"] = r.resourcesFile;
        j["grid"] = {{"cellSize", r.grid.cellSize},
                     {"cellsX", r.grid.cellsX},
                     {"cellsZ", r.grid.cellsZ},
                     {"loadRadius", r.grid.loadRadius}};
        j["viewRangeScale"] = r.viewRangeScale;
        j["form"] = r.binary ? "binary" : "xml";
        j["seed"] = r.seed;
        j["timestamp"] = r.timestamp;
        j["objects"] = r.objects;
        j["lastUniqueNumber"] = r.lastUniqueNumber;
        j["objectsPerTemplate"] = r.objectsPerTemplate;
        j["metadataFiles"] = r.metadataFiles;
        j["objectsFiles"] = r.objectsFiles;
        j["mediaFiles"] = r.mediaFiles;
        j["templateFiles"] = r.templateFiles;
        j["removedFiles"] = r.removedFiles;
        return j;
    }

    std::string WorldGenerator::formatTable(const WorldGeneratorResult& r)
    {
        std::ostringstream out;
        auto row = [&out](const std::string& key, const std::string& value) {
            out << "  " << std::left << std::setw(20) << key << value << '\n';
        };
        row("world", r.worldName);
        row("folder", r.folder);
        row("grid", std::to_string(r.grid.cellsX) + " x " + std::to_string(r.grid.cellsZ) +
                        " cells of " + Ogre::StringConverter::toString(r.grid.cellSize));
        row("load radius", Ogre::StringConverter::toString(r.grid.loadRadius));
        row("view-range scale", Ogre::StringConverter::toString(r.viewRangeScale));
        row("objects files", std::to_string(r.objectsFiles.size()) +
                                 (r.binary ? " (binary)" : " (XML)"));
        row("objects", std::to_string(r.objects));
        for (const auto& entry : r.objectsPerTemplate)
            row("  " + entry.first, std::to_string(entry.second));
        if (!r.mediaFiles.empty())
            row("media files", std::to_string(r.mediaFiles.size()));
        if (!r.templateFiles.empty())
            row("template files", std::to_string(r.templateFiles.size()));
        row("seed", std::to_string(r.seed));
        row("name time", r.timestamp);
        if (!r.removedFiles.empty())
            row("old files removed", std::to_string(r.removedFiles.size()));
        return out.str();
    }
}
