#include "ViewerReport.h"

#include "AtomicFile.h"

#include <OgreLogManager.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace Wren
{
    void ViewerReport::onFrame(const Ogre::Vector3& cameraPosition, const std::string& cellId,
                               size_t loadedPartitions, size_t objects, double updateSeconds)
    {
        ++mFigures.frames;
        mFigures.cameraPosition = cameraPosition;
        mFigures.cameraCell = cellId;
        mFigures.loadedPartitions = loadedPartitions;
        mFigures.objects = objects;
        mFigures.cameraPath.push_back(cameraPosition);
        mFigures.updateSeconds.push_back(updateSeconds);
        for (const std::string& id : mFigures.loadedNow)
            ++mFigures.framesLoaded[id];
    }

    void ViewerReport::onPartitionLoaded(const std::string& partitionId)
    {
        ++mFigures.partitionsLoaded;
        mFigures.loadedNow.insert(partitionId);
    }

    void ViewerReport::onPartitionUnloaded(const std::string& partitionId)
    {
        ++mFigures.partitionsUnloaded;
        mFigures.loadedNow.erase(partitionId);
    }

    void ViewerReport::onObjectCreated(size_t count) { mFigures.objectsCreated += count; }

    void ViewerReport::onObjectDestroyed(size_t count) { mFigures.objectsDestroyed += count; }

    void ViewerReport::onLodChange(size_t count) { mFigures.lodChanges += count; }

    void ViewerReport::onFadeStarted(size_t count) { mFigures.fadesStarted += count; }

    void ViewerReport::onAlive(size_t lights, size_t particleSystems, size_t sounds)
    {
        mFigures.lightsAlive = lights;
        mFigures.particleSystemsAlive = particleSystems;
        mFigures.soundsPlaying = sounds;
    }

    void ViewerReport::onImpostorsDrawn(size_t count) { mFigures.impostorsDrawn = count; }

    void ViewerReport::onInstancing(size_t batches, size_t instances)
    {
        mFigures.instancedBatches = batches;
        mFigures.instances = instances;
    }

    void ViewerReport::onBackgroundLoads(size_t leftBeforeLoaded, size_t fallbacks, size_t pending)
    {
        mFigures.loadsPending = pending;
        mFigures.leftBeforeLoaded = leftBeforeLoaded;
        mFigures.backgroundFallbacks = fallbacks;
    }

    void ViewerReport::onIdleLoadWait(size_t steps)
    {
        mFigures.longestIdleLoadWait = std::max<std::uint64_t>(mFigures.longestIdleLoadWait, steps);
    }

    void ViewerReport::onDrawCalls(size_t count) { mFigures.drawCalls.push_back(count); }

    void ViewerReport::onDrawn(size_t entities, size_t triangles)
    {
        if (!mFigures.partitionsLoaded)
            return;
        mFigures.entitiesDrawn.push_back(entities);
        mFigures.trianglesDrawn.push_back(triangles);
    }

    void ViewerReport::onCorruptFile(const std::string& path, const std::string& reason)
    {
        mFigures.corruptFiles.emplace(path, reason);
    }

    void ViewerReport::onUnused(Unused kind, const std::string& what)
    {
        mFigures.unused[size_t(kind)].insert(what);
    }

    namespace
    {
        /** Table row, JSON key and phrase of each kind of Unused. */
        struct UnusedName
        {
            const char* row;
            const char* key;
            const char* phrase;
        };
        const UnusedName gUnusedNames[UnusedKinds] = {
            {"missing partition files", "missingFiles", "missing partition files"},
            {"not objects files", "notObjectsFiles", "files that are no objects files"},
            {"objects without metadata", "objectsWithoutMetadata",
             "objects without their metadata file"},
            {"meshes not loaded", "meshesNotLoaded", "meshes that could not be loaded"},
        };
    }

    std::string ViewerReport::describeUnused(const ViewerSummary& s)
    {
        std::string text;
        auto add = [&text](size_t count, const std::string& phrase) {
            if (count)
                text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + phrase;
        };
        add(s.corruptFiles.size(), "corrupt partition files");
        for (size_t kind = 0; kind < UnusedKinds; ++kind)
            add(s.unused[kind].size(), gUnusedNames[kind].phrase);
        return text.empty() ? text : "the run could not use " + text + " (see the log)";
    }

    ViewerSummary ViewerReport::summarize(std::optional<std::uint64_t> peakResidentKiB) const
    {
        ViewerSummary s;
        s.frames = mFigures.frames;
        s.partitionsLoaded = mFigures.partitionsLoaded;
        s.partitionsUnloaded = mFigures.partitionsUnloaded;
        s.objectsCreated = mFigures.objectsCreated;
        s.objectsDestroyed = mFigures.objectsDestroyed;
        s.lodChanges = mFigures.lodChanges;
        s.fadesStarted = mFigures.fadesStarted;
        s.lightsAlive = mFigures.lightsAlive;
        s.particleSystemsAlive = mFigures.particleSystemsAlive;
        s.soundsPlaying = mFigures.soundsPlaying;
        s.impostorsDrawn = mFigures.impostorsDrawn;
        s.instancedBatches = mFigures.instancedBatches;
        s.instances = mFigures.instances;
        s.leftBeforeLoaded = mFigures.leftBeforeLoaded;
        s.backgroundFallbacks = mFigures.backgroundFallbacks;
        auto spread = [](const std::vector<std::uint64_t>& values, std::optional<double>& middle,
                         std::optional<std::uint64_t>& low, std::optional<std::uint64_t>* high) {
            if (values.empty())
                return;
            middle = median(std::vector<double>(values.begin(), values.end()));
            low = *std::min_element(values.begin(), values.end());
            if (high)
                *high = *std::max_element(values.begin(), values.end());
        };
        std::optional<std::uint64_t> fewestCalls;
        spread(mFigures.drawCalls, s.drawCallsMedian, fewestCalls, &s.drawCallsMax);
        spread(mFigures.entitiesDrawn, s.entitiesDrawnMedian, s.entitiesDrawnMin, nullptr);
        spread(mFigures.trianglesDrawn, s.trianglesMedian, s.trianglesMin, nullptr);
        if (!mFigures.entitiesDrawn.empty())
            s.framesShowingObjects =
                double(std::count_if(mFigures.entitiesDrawn.begin(), mFigures.entitiesDrawn.end(),
                                     [](std::uint64_t n) { return n > 0; })) /
                double(mFigures.entitiesDrawn.size());
        s.updateMedianMs = median(mFigures.updateSeconds) * 1000.0;
        s.updateP99Ms = percentile(mFigures.updateSeconds, 99.0) * 1000.0;
        s.updateMaxMs = percentile(mFigures.updateSeconds, 100.0) * 1000.0;
        s.peakResidentKiB = peakResidentKiB;
        for (const auto& entry : mFigures.corruptFiles)
            s.corruptFiles.push_back(entry.first + ": " + entry.second);
        for (size_t kind = 0; kind < UnusedKinds; ++kind)
            s.unused[kind].assign(mFigures.unused[kind].begin(), mFigures.unused[kind].end());
        return s;
    }

    std::optional<std::uint64_t> ViewerReport::readPeakResidentKiB()
    {
        std::ifstream in("/proc/self/status");
        if (!in)
            return std::nullopt;
        std::stringstream text;
        text << in.rdbuf();
        return parsePeakResidentKiB(text.str());
    }

    std::optional<std::uint64_t> ViewerReport::parsePeakResidentKiB(const std::string& statusText)
    {
        std::istringstream lines(statusText);
        std::string line;
        while (std::getline(lines, line))
        {
            if (line.compare(0, 6, "VmHWM:") != 0)
                continue;
            std::istringstream fields(line.substr(6));
            std::uint64_t value = 0;
            std::string unit;
            if (!(fields >> value))
                return std::nullopt;
            fields >> unit;
            if (unit.empty() || unit == "kB")
                return value;
            if (unit == "mB" || unit == "MB")
                return value * 1024;
            return std::nullopt;
        }
        return std::nullopt;
    }

    double ViewerReport::median(std::vector<double> values)
    {
        if (values.empty())
            return 0.0;
        const size_t mid = values.size() / 2;
        std::nth_element(values.begin(), values.begin() + mid, values.end());
        const double upper = values[mid];
        if (values.size() % 2 == 1)
            return upper;
        const double lower = *std::max_element(values.begin(), values.begin() + mid);
        return (lower + upper) * 0.5;
    }

    double ViewerReport::percentile(std::vector<double> values, double p)
    {
        if (values.empty())
            return 0.0;
        p = std::min(std::max(p, 0.0), 100.0);
        size_t rank = static_cast<size_t>(std::ceil(p / 100.0 * double(values.size())));
        rank = std::min(std::max<size_t>(rank, 1), values.size());
        std::nth_element(values.begin(), values.begin() + (rank - 1), values.end());
        return values[rank - 1];
    }

    std::string ViewerReport::formatTable(const ViewerSummary& s)
    {
        std::ostringstream out;
        auto row = [&out](const std::string& key, const std::string& value) {
            out << "  " << std::left << std::setw(26) << key << std::right << std::setw(14)
                << value << '\n';
        };
        auto ms = [](double value) {
            std::ostringstream text;
            text << std::fixed << std::setprecision(3) << value << " ms";
            return text.str();
        };
        row("frames", std::to_string(s.frames));
        row("partitions loaded", std::to_string(s.partitionsLoaded));
        row("partitions unloaded", std::to_string(s.partitionsUnloaded));
        row("objects created", std::to_string(s.objectsCreated));
        row("objects destroyed", std::to_string(s.objectsDestroyed));
        row("level-of-detail changes", std::to_string(s.lodChanges));
        row("fades started", std::to_string(s.fadesStarted));
        row("lights alive", std::to_string(s.lightsAlive));
        row("particle systems alive", std::to_string(s.particleSystemsAlive));
        row("sounds playing", std::to_string(s.soundsPlaying));
        row("impostors drawn", std::to_string(s.impostorsDrawn));
        row("instanced batches", std::to_string(s.instancedBatches));
        row("instances in them", std::to_string(s.instances));
        row("left before loaded", std::to_string(s.leftBeforeLoaded));
        row("late loads on frame thread", std::to_string(s.backgroundFallbacks));
        if (s.drawCallsMedian)
        {
            std::ostringstream calls;
            calls << std::fixed << std::setprecision(1) << *s.drawCallsMedian;
            row("draw calls per frame", calls.str() + " / " + std::to_string(*s.drawCallsMax));
        }
        if (s.entitiesDrawnMedian)
        {
            std::ostringstream entities, triangles, share;
            entities << std::fixed << std::setprecision(1) << *s.entitiesDrawnMedian << " / "
                     << *s.entitiesDrawnMin;
            triangles << std::fixed << std::setprecision(0) << *s.trianglesMedian << " / "
                      << *s.trianglesMin;
            share << std::fixed << std::setprecision(1) << *s.framesShowingObjects * 100.0 << " %";
            row("entities drawn (med/min)", entities.str());
            row("triangles (med/min)", triangles.str());
            row("frames showing objects", share.str());
        }
        row("update median", ms(s.updateMedianMs));
        row("update p99", ms(s.updateP99Ms));
        row("update max", ms(s.updateMaxMs));
        row("load-time budget", s.loadBudgetMs > 0.0 ? ms(s.loadBudgetMs) : "none");
        row("peak resident memory",
            s.peakResidentKiB ? std::to_string(*s.peakResidentKiB) + " KiB" : "unknown");
        row("corrupt partition files", std::to_string(s.corruptFiles.size()));
        for (const std::string& file : s.corruptFiles)
            out << "    " << file << '\n';
        for (size_t kind = 0; kind < UnusedKinds; ++kind)
        {
            row(gUnusedNames[kind].row, std::to_string(s.unused[kind].size()));
            for (const std::string& what : s.unused[kind])
                out << "    " << what << '\n';
        }
        return out.str();
    }

    nlohmann::json ViewerReport::toJson(const ViewerSummary& s)
    {
        nlohmann::json j;
        j["frames"] = s.frames;
        j["partitionsLoaded"] = s.partitionsLoaded;
        j["partitionsUnloaded"] = s.partitionsUnloaded;
        j["objectsCreated"] = s.objectsCreated;
        j["objectsDestroyed"] = s.objectsDestroyed;
        j["lodChanges"] = s.lodChanges;
        j["fadesStarted"] = s.fadesStarted;
        j["lightsAlive"] = s.lightsAlive;
        j["particleSystemsAlive"] = s.particleSystemsAlive;
        j["soundsPlaying"] = s.soundsPlaying;
        j["impostors_drawn"] = s.impostorsDrawn;
        j["instancedBatches"] = s.instancedBatches;
        j["instances"] = s.instances;
        j["leftBeforeLoaded"] = s.leftBeforeLoaded;
        j["backgroundLoadFallbacks"] = s.backgroundFallbacks;
        if (s.drawCallsMedian)
            j["drawCallsPerFrame"] = {{"median", *s.drawCallsMedian}, {"max", *s.drawCallsMax}};
        else
            j["drawCallsPerFrame"] = nullptr;
        j["entitiesDrawnPerFrame"] = nullptr;
        j["trianglesPerFrame"] = nullptr;
        j["framesShowingObjects"] = nullptr;
        if (s.entitiesDrawnMedian)
        {
            j["entitiesDrawnPerFrame"] = {{"median", *s.entitiesDrawnMedian},
                                          {"min", *s.entitiesDrawnMin}};
            j["trianglesPerFrame"] = {{"median", *s.trianglesMedian}, {"min", *s.trianglesMin}};
            j["framesShowingObjects"] = *s.framesShowingObjects;
        }
        j["updateMs"] = {{"median", s.updateMedianMs}, {"p99", s.updateP99Ms}, {"max", s.updateMaxMs}};
        j["loadBudgetMs"] = s.loadBudgetMs;
        if (s.peakResidentKiB)
            j["peakResidentKiB"] = *s.peakResidentKiB;
        else
            j["peakResidentKiB"] = nullptr;
        j["corruptFiles"] = s.corruptFiles;
        for (size_t kind = 0; kind < UnusedKinds; ++kind)
            j[gUnusedNames[kind].key] = s.unused[kind];
        return j;
    }

    bool ViewerReport::writeJson(const ViewerSummary& summary, const std::string& path)
    {
        const std::string text = toJson(summary).dump(2) + "\n";
        if (AtomicFile::write(path, text.data(), text.size()))
            return true;
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->logMessage("ViewerReport: can not write the summary to " + path);
        return false;
    }
}
