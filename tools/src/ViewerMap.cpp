#include "ViewerMap.h"

#include "AtomicFile.h"

#include <OgreCodec.h>
#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreRoot.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Wren
{
    const Ogre::ColourValue ViewerMap::NeverLoaded(0.16f, 0.16f, 0.18f);
    const Ogre::ColourValue ViewerMap::AlwaysLoaded(0.20f, 0.75f, 0.35f);
    const Ogre::ColourValue ViewerMap::LoadedBriefly(0.10f, 0.36f, 0.52f);
    const Ogre::ColourValue ViewerMap::Border(0.06f, 0.06f, 0.06f);
    const Ogre::ColourValue ViewerMap::Path(0.95f, 0.25f, 0.20f);
    const Ogre::ColourValue ViewerMap::Radius(1.00f, 0.85f, 0.20f);
    const Ogre::ColourValue ViewerMap::Camera(1.0f, 1.0f, 1.0f);

    namespace
    {
        void logLine(const std::string& line)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("ViewerMap: " + line);
        }

        class Canvas
        {
        public:
            explicit Canvas(Ogre::Image& image) : mImage(image) {}

            void plot(long x, long y, const Ogre::ColourValue& colour)
            {
                if (x >= 0 && y >= 0 && x < long(mImage.getWidth()) && y < long(mImage.getHeight()))
                    mImage.setColourAt(colour, size_t(x), size_t(y), 0);
            }

            void line(long x0, long y0, long x1, long y1, const Ogre::ColourValue& colour)
            {
                const long dx = std::labs(x1 - x0), dy = -std::labs(y1 - y0);
                const long sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
                // Segments far outside the picture are clipped by plot; keep
                // the walk bounded for absurd coordinates.
                if (dx > 1000000 || -dy > 1000000)
                    return;
                long error = dx + dy;
                while (true)
                {
                    plot(x0, y0, colour);
                    if (x0 == x1 && y0 == y1)
                        break;
                    const long twice = 2 * error;
                    if (twice >= dy)
                    {
                        error += dy;
                        x0 += sx;
                    }
                    if (twice <= dx)
                    {
                        error += dx;
                        y0 += sy;
                    }
                }
            }

        private:
            Ogre::Image& mImage;
        };
    }

    int ViewerMap::autoPixelsPerCell(const WorldGrid& grid)
    {
        const int cells = std::max(std::max(grid.cellsX, grid.cellsZ), 1);
        return std::min(64, std::max(4, 512 / cells));
    }

    Ogre::ColourValue ViewerMap::cellColour(double share)
    {
        if (!(share > 0.0))
            return NeverLoaded;
        const float t = static_cast<float>(std::min(share, 1.0));
        return LoadedBriefly + (AlwaysLoaded - LoadedBriefly) * t;
    }

    std::pair<long, long> ViewerMap::pixelOf(const WorldGrid& grid, int pixelsPerCell,
                                             const Ogre::Vector3& p)
    {
        const double scale = double(pixelsPerCell) / grid.cellSize;
        const double x = std::floor((double(p.x) - grid.minX()) * scale);
        const double y = std::floor((double(p.z) - grid.minZ()) * scale);
        auto clampToLong = [](double v) { return long(std::min(std::max(v, -1.0e7), 1.0e7)); };
        return {clampToLong(x), clampToLong(y)};
    }

    Ogre::Image ViewerMap::render(const ViewerFigures& figures, const WorldGrid& grid,
                                  int pixelsPerCell)
    {
        Ogre::Image image;
        if (grid.cellsX < 1 || grid.cellsZ < 1 || !(grid.cellSize > 0.0f))
            return image;
        const int ppc = pixelsPerCell > 0 ? pixelsPerCell : autoPixelsPerCell(grid);
        image.create(Ogre::PF_BYTE_RGB, Ogre::uint32(grid.cellsX * ppc),
                     Ogre::uint32(grid.cellsZ * ppc));
        Canvas canvas(image);

        const double frames = double(std::max<std::uint64_t>(figures.frames, 1));
        for (int i = 0; i < grid.cellsX; ++i)
            for (int j = 0; j < grid.cellsZ; ++j)
            {
                auto found = figures.framesLoaded.find(WorldGrid::cellId(i, j));
                const double share =
                    found == figures.framesLoaded.end() ? 0.0 : double(found->second) / frames;
                const Ogre::ColourValue colour = cellColour(share);
                for (int y = 0; y < ppc; ++y)
                    for (int x = 0; x < ppc; ++x)
                    {
                        const bool edge = ppc >= 4 && (x == 0 || y == 0);
                        canvas.plot(long(i) * ppc + x, long(j) * ppc + y, edge ? Border : colour);
                    }
            }

        const std::vector<Ogre::Vector3>& path = figures.cameraPath;
        for (size_t k = 0; k < path.size(); ++k)
        {
            auto to = pixelOf(grid, ppc, path[k]);
            auto from = k ? pixelOf(grid, ppc, path[k - 1]) : to;
            canvas.line(from.first, from.second, to.first, to.second, Path);
        }

        if (!path.empty())
        {
            const Ogre::Vector3 last = path.back();
            const double radius = double(grid.loadRadius) * ppc / grid.cellSize;
            if (radius >= 1.0 && radius < 1.0e6)
            {
                const int steps = std::max(32, static_cast<int>(radius * 8.0));
                auto centre = pixelOf(grid, ppc, last);
                for (int s = 0; s < steps; ++s)
                {
                    const double a = 2.0 * M_PI * s / steps;
                    canvas.plot(centre.first + std::lround(radius * std::cos(a)),
                                centre.second + std::lround(radius * std::sin(a)), Radius);
                }
            }
            auto dot = pixelOf(grid, ppc, last);
            for (long dy = -1; dy <= 1; ++dy)
                for (long dx = -1; dx <= 1; ++dx)
                    canvas.plot(dot.first + dx, dot.second + dy, Camera);
        }
        return image;
    }

    bool ViewerMap::write(const ViewerFigures& figures, const WorldGrid& grid,
                          const std::string& path, int pixelsPerCell, std::string* error)
    {
        Ogre::Image image = render(figures, grid, pixelsPerCell);
        if (image.getWidth() == 0)
        {
            logLine("can not write the map " + path + ": the grid has no cells");
            if (error)
                *error = "the grid has no cells";
            return false;
        }
        return writePng(image, path, error);
    }

    bool ViewerMap::writePng(Ogre::Image& image, const std::string& path, std::string* error)
    {
        auto refuse = [&](const std::string& why) {
            logLine("can not write " + path + ": " + why);
            if (error)
                *error = why;
            return false;
        };
        if (!Ogre::Codec::isCodecRegistered("png"))
            return refuse("the engine has no PNG codec (OGRE's Codec_STBI plugin is not loaded)");
        Ogre::DataStreamPtr encoded;
        try
        {
            encoded = image.encode("png");
        }
        catch (const Ogre::Exception& e)
        {
            return refuse(e.getDescription());
        }
        if (!encoded)
            return refuse("the PNG codec gave nothing");
        const std::string bytes = encoded->getAsString();
        if (!AtomicFile::write(path, bytes.data(), bytes.size()))
            return refuse("the file can not be written (see the log)");
        return true;
    }

    bool ViewerMap::ensurePngCodec(const std::string& pluginFolder)
    {
        if (Ogre::Codec::isCodecRegistered("png"))
            return true;
        Ogre::Root* root = Ogre::Root::getSingletonPtr();
        if (!root)
        {
            logLine("can not load a PNG codec without an engine Root");
            return false;
        }
        try
        {
            root->loadPlugin(pluginFolder + "/Codec_STBI");
        }
        catch (const Ogre::Exception& e)
        {
            logLine("can not load OGRE's Codec_STBI plugin from " + pluginFolder + ": " +
                    e.getDescription());
            return false;
        }
        if (Ogre::Codec::isCodecRegistered("png"))
            return true;
        logLine("OGRE's Codec_STBI plugin registered no PNG codec");
        return false;
    }
}
