#ifndef __WrenWorldGenerator_H__
#define __WrenWorldGenerator_H__

#include "WorldGrid.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Wren
{
    struct PlacedObject;
    class WorldGeneratorRandom;

    /** What an object type adds to the files of the generator. Plain
        objects have none; a type with data of its own (a mesh, a light)
        supplies one with its template. */
    class WorldTemplateExtension
    {
    public:
        virtual ~WorldTemplateExtension() {}
        /** Adds the type's own elements to the root of the metadata file,
            after its "CoreData". */
        virtual void writeMetadata(DataElementPtr& root) const = 0;
        /** Adds the type's own elements to one "Object" element of an
            objects file, after its "Children". */
        virtual void writeObject(DataElementPtr& object, const PlacedObject& placed) const = 0;
        /** Writes files of the template's own (a compound's content) into
            the world folder and appends their paths to files; false, with
            the reason in error, when one can not be written. None by
            default. */
        virtual bool writeFiles(const std::string& /*worldFolder*/,
                                std::vector<std::string>& /*files*/,
                                std::string& /*error*/) const
        {
            return true;
        }

    protected:
        /** Makes the folder name of the world folder when it is missing;
            its path, or empty with the reason in error. */
        static std::string makeFolder(const std::string& worldFolder, const std::string& name,
                                      std::string& error);
    };

    /** One metadata template of the generated world. */
    struct WorldTemplate
    {
        /** File name of the metadata file, which is also its ID ("MetaID"). */
        std::string metaId;
        /** "Name": the first part of the names of its objects. */
        std::string name;
        std::string objectType = "CoreGameObject";
        /** "SizeHint": "VeryLarge", "Large", "Medium", "Small", or a
            distance in decimal for a custom hint. */
        std::string sizeHint = "Medium";
        bool collidable = true;
        /** "Instanced": static objects of the template are drawn in batches
            by the above-ground areas. */
        bool instanced = false;
        /** "SeeThrough": an instanced object of the template collides (its
            area gives it the shapes of its meshes) and can be pulled out of
            its batch. */
        bool seeThrough = false;
        /** Objects get a uniform scale drawn from [minScale, maxScale). */
        float minScale = 1.0f;
        float maxScale = 1.0f;
        /** Objects of the template placed in every cell after the drawn
            ones; 0: the template is one of those drawn at random. */
        int perCell = 0;
        /** The type's own data; null for plain objects. */
        std::shared_ptr<const WorldTemplateExtension> extension;
    };

    /** One object as the generator placed it. */
    struct PlacedObject
    {
        std::string name;
        size_t templateIndex = 0;
        int cellX = 0;
        int cellZ = 0;
        /** Relative to the world position of the cell, as stored. */
        Ogre::Vector3 position = Ogre::Vector3::ZERO;
        Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
        Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
        /** Written inside the object's "Children", in the object's cell;
            their transforms are relative to the object. */
        std::vector<PlacedObject> children;
    };

    /** A calendar time in UTC, as object names carry it. */
    struct UtcTime
    {
        int year = 1970;
        int month = 1;
        int day = 1;
        int hour = 0;
        int minute = 0;
        int second = 0;

        /** Seconds since 1970-01-01 00:00:00 UTC to calendar fields
            (proleptic Gregorian calendar). */
        static UtcTime fromEpochSeconds(std::int64_t seconds);
        /** The fields joined as "%d_%d_%d_%d_%d_%d", without padding. */
        std::string text() const;
    };

    struct WorldGeneratorOptions
    {
        /** The grid has cells x cells partitions (1 ... 64). */
        int cells = 4;
        /** Objects placed in every cell (0 ... 10000; at most four million
            in the whole world). */
        int objectsPerCell = 16;
        std::uint32_t seed = 1;
        /** Objects files in the binary form (".objbinary") instead of XML. */
        bool binary = false;
        float cellSize = 256.0f;
        float loadRadius = 384.0f;
        /** Allow writing into a folder that is not empty. */
        bool replace = false;
        /** Write the meshes and materials (MediaGenerator) into W/Media
            and declare that folder; the sample templates show them. */
        bool writeMedia = true;
        /** Dummy objects ("SampleMarker.meta", markerTemplate) placed in
            every cell besides objectsPerCell. */
        int dummiesPerCell = 0;
        /** Compound objects ("SampleCamp.meta", campTemplate) placed in
            every cell besides objectsPerCell. */
        int compoundsPerCell = 0;
        /** Lights, particle systems, effects and sounds (lampTemplate,
            smokeTemplate, sparksTemplate, brookTemplate) placed in every
            cell besides objectsPerCell. */
        int lightsPerCell = 0;
        int particleSystemsPerCell = 0;
        int effectsPerCell = 0;
        int soundsPerCell = 0;
        /** The templates; the sample set when empty. */
        std::vector<WorldTemplate> templates;
    };

    /** What a generation wrote. */
    struct WorldGeneratorResult
    {
        bool ok = false;
        /** Why nothing (or not everything) was written. */
        std::string error;
        /** Things a user should know, such as a folder the editor can not
            save back to. */
        std::vector<std::string> notes;
        std::string worldName;
        std::string folder;
        std::string worldFile;
        std::string resourcesFile;
        std::vector<std::string> metadataFiles;
        std::vector<std::string> objectsFiles;
        /** Mesh files, the material script and the placeholder's
            template, in W/Media. */
        std::vector<std::string> mediaFiles;
        /** Files of the templates' own: compound contents in W/Compounds,
            the particle script and the sound in W/Media. */
        std::vector<std::string> templateFiles;
        /** Objects files of an earlier generation that were removed. */
        std::vector<std::string> removedFiles;
        WorldGrid grid;
        bool binary = false;
        std::uint32_t seed = 0;
        std::string timestamp;
        size_t objects = 0;
        /** Objects per metadata ID. */
        std::map<std::string, size_t> objectsPerTemplate;
        /** The last unique number handed out ("ObjectUniqueInt"). */
        int lastUniqueNumber = 0;
        /** The partition manager's view-range scale the world file holds. */
        float viewRangeScale = 1.0f;
    };

    /** Writes a complete sample world: a grid of cells filled with objects
        placed from a seed.

        Folder layout, for a folder whose last component W is the world name:

            W/W.World                          world file
            W/Partitions/W_Partition<i_j>.objects    one per cell (XML), or
            W/Partitions/W_Partition<i_j>.objbinary  (binary form)
            W/Meta/<metaId>                    one metadata file per template
            W/Media/<shape>_High.mesh, <shape>_Low.mesh, SampleWorld.material
                                               meshes and materials (MediaGenerator)
            W/Media/Box0Point5Meters.mesh, Box0Point5Meters.meta
                                               the placeholder box and its template
            W/Compounds/<name>.objects         the content of a compound template
            W/Media/SampleWorld.particle, SampleBrook.wav
                                               the particle script and the
                                               sound, in worlds with those types
            W/resources.cfg                    resource locations

        The world file holds "World" with "GameObjectManagerData"
        ("ObjectUniqueInt" = the last number used in object names, and an
        empty "GameSystems") and "GridPartitionManagerData" of the grid. It
        is named W + ".World", the spelling the object manager saves (it
        loads it from the resource group "PLSM2").

        resources.cfg names absolute folders, one "FileSystem" setting each:
        section [PLSM2] the world folder (world file) and Partitions (binary
        objects files); section [General] Partitions (XML objects files),
        Meta (metadata files), when media are written Media (meshes and the
        material script, where mesh objects look them up), and every other
        folder templates wrote files into (Compounds, or Media for a world
        without the meshes). Its first setting is the world folder, so that
        for a world kept in a folder named "worlds" the editor finds
        that folder as the one it saves worlds into (<worlds>/W).

        Objects: every cell (i, j), in the order i then j, gets
        objectsPerCell objects of templates drawn at random, then perCell
        objects of each template that has a perCell (dummies, compounds),
        in template order. For each the generator draws, in this order,
        a template (drawn objects only), x and z relative to the cell's
        world position within
        placementHalfExtent(cellSize), a turn about the vertical axis and a
        uniform scale; y is 0. Objects are named after the object manager's
        rule: template name, "_", a number counting from 1 across the whole
        world, "_" and a UTC time derived from the seed (timeForSeed), so a
        seed always gives the same bytes and no two objects share a name.

        Binary objects files are made from the XML document of the cell by
        PartitionXmlBinaryConvert, so both forms hold the same records.

        Nothing stored is lost: a folder that is not empty is refused unless
        replace is set; every file goes to disk through a temporary file and
        a rename.
    */
    class WorldGenerator
    {
    public:
        /** Called after each cell's file was written. */
        typedef std::function<void(size_t cellsDone, size_t cellsTotal)> Progress;

        /** The sample templates, all "MeshGameObject" showing the meshes of
            MediaGenerator: one per size hint (VeryLarge, Large, Medium,
            Small and a custom distance of 150), the first two static and
            instanced, the third static, the last two dynamic. All are
            collidable and collide by the low-detail mesh of their first
            submesh, named as their obstacle mesh. */
        static std::vector<WorldTemplate> sampleTemplates();
        /** The same names and size hints as plain "CoreGameObject"
            templates, without data of their own. */
        static std::vector<WorldTemplate> plainTemplates();
        /** "Box0Point5Meters.meta": the small box (MediaGenerator) that the
            editor shows for objects without a body of their own, small,
            not collidable, coloured "Signal". Written with the media. */
        static WorldTemplate placeHolderTemplate();
        /** "SampleMarker.meta": a "DummyGameObject" template marked by the
            placeholder box, perCell of them in every cell. */
        static WorldTemplate markerTemplate(int perCell);
        /** "SampleCamp.meta": a "CompoundGameObject" template, perCell of
            them in every cell, whose content (W/Compounds/SampleCamp.objects)
            is an object of the first of the drawn templates that is not
            instanced with one of each of the next two as children, a few
            units apart. Null extension when drawn is empty. */
        static WorldTemplate campTemplate(int perCell, const std::vector<WorldTemplate>& drawn);

        /** "SampleLamp.meta": a warm point "LightGameObject". */
        static WorldTemplate lampTemplate(int perCell);
        /** "SampleSmoke.meta": a "ParticleSystemGameObject" of the script
            of ParticleSystemTemplateExtension, thick near, thin farther. */
        static WorldTemplate smokeTemplate(int perCell);
        /** "SampleSparks.meta": an "EffectSystemGameObject" of the effect
            "Sparks". */
        static WorldTemplate sparksTemplate(int perCell);
        /** "SampleBrook.meta": a looping "SoundGameObject" of the sound of
            SoundTemplateExtension. */
        static WorldTemplate brookTemplate(int perCell);

        /** The object kinds --types names: "mesh" (the drawn objects),
            "light", "particle", "effect", "sound", "dummy", "compound". */
        static const std::vector<std::string>& typeNames();
        /** Chooses the kinds a world holds from a comma-separated list of
            typeNames() ("all": every one): a kind not listed gets no
            objects, a listed one keeps its count per cell, at least 1
            (the drawn meshes keep objectsPerCell). The reason, with the
            options untouched, when the list is empty or names an unknown
            kind; empty when it was applied. */
        static std::string chooseTypes(const std::string& list, WorldGeneratorOptions& options);

        /** "Media": the folder of meshes, materials and other media. */
        static const char* const MediaFolder;

        /** Writes the metadata file element of a template under root
            ("MetaData"). */
        static void writeMetadata(const WorldTemplate& worldTemplate, DataElementPtr& root);
        /** Writes one object element as the object types read it; its
            children (indices into templates) inside its "Children". */
        static void writeObject(const WorldTemplate& worldTemplate, const PlacedObject& placed,
                                DataElementPtr& object,
                                const std::vector<WorldTemplate>& templates);
        /** The same for an object without children. */
        static void writeObject(const WorldTemplate& worldTemplate, const PlacedObject& placed,
                                DataElementPtr& object);

        /** Why the options can not make a world; empty when they can. */
        static std::string validate(const WorldGeneratorOptions& options);

        /** Largest distance from the cell's centre, along x and z, at which
            objects are placed: half the cell size less a margin of one unit,
            so that objects stay inside their cell (and within the bound a
            grid partition saves its top-level objects to, its half cell
            size) after the rounding of stored text and the half-unit nudge
            of the grid's cell lookup. */
        static float placementHalfExtent(float cellSize);

        /** The view-range scale that stretches the farthest distance of the
            standard table (100 units, Large and VeryLarge objects) from a
            camera at cameraHeight to three quarters of a cell. */
        static float viewRangeScaleFor(float cellSize, float cameraHeight);

        /** The time written into the names of a seed's objects: a second
            of the years 2020 to 2024 chosen by the seed. */
        static UtcTime timeForSeed(std::uint32_t seed);

        /** The world name of a folder: its last component (trailing
            separators ignored). */
        static std::string worldNameOf(const std::string& folder);

        /** Whether the folder lies directly inside a folder named "worlds"
            (in any letter case), which the editor's save path needs: it
            saves the world w into <worlds>/w. */
        static bool isInsideWorldsFolder(const std::string& folder);

        /** The grid the options describe. */
        static WorldGrid gridOf(const WorldGeneratorOptions& options);

        explicit WorldGenerator(const WorldGeneratorOptions& options);

        /** Every object of the world, cells in order i then j. */
        std::vector<PlacedObject> place() const;

        /** Writes the world into folder. Errors are logged and returned in
            the result. */
        WorldGeneratorResult generate(const std::string& folder,
                                      const Progress& progress = Progress()) const;

        /** Fills in the objects of cell (i, j). */
        typedef std::function<void(int i, int j, std::vector<PlacedObject>& objects)> CellObjects;
        /** Writes a world of the options' templates and grid into folder,
            laid out as generate lays it out, with the objects cellObjects
            gives for each cell (called once per cell, in the order i then
            j). "ObjectUniqueInt" is the highest number the objects' names
            carry after their template's name. */
        WorldGeneratorResult write(const std::string& folder, const CellObjects& cellObjects,
                                   const Progress& progress = Progress()) const;

        const WorldGeneratorOptions& getOptions() const { return mOptions; }

        /** The result as JSON, for scripts. */
        static nlohmann::json toJson(const WorldGeneratorResult& result);
        /** The result as a small table, for people. */
        static std::string formatTable(const WorldGeneratorResult& result);

    private:
        /** Places the objects of cell (i, j), continuing the numbering. */
        void placeCell(WorldGeneratorRandom& random, int i, int j, int& number,
                       std::vector<PlacedObject>& out) const;
        WorldGeneratorResult fail(WorldGeneratorResult& result, const std::string& error) const;
        void placeObject(WorldGeneratorRandom& random, size_t templateIndex, int i, int j,
                         int& number, std::vector<PlacedObject>& out) const;

        WorldGeneratorOptions mOptions;
        /** Indices of the templates drawn at random (those without perCell). */
        std::vector<size_t> mDrawn;
        /** The time in the names of the objects (timeForSeed). */
        std::string mStamp;
    };
}

#endif
