#ifndef __WrenViewerMap_H__
#define __WrenViewerMap_H__

#include "ViewerReport.h"
#include "WorldGrid.h"

#include <OgreColourValue.h>
#include <OgreImage.h>

#include <string>

namespace Wren
{
    /** A top-down picture of a viewer run over a grid world.

        One square per cell: NeverLoaded when it never was, else shaded from
        LoadedBriefly to AlwaysLoaded by the share of the frames at whose end
        the cell was loaded (so that a cell loaded for a moment of a long run
        still stands apart); a one-pixel
        border in Border on each cell's low-x and low-z sides; the camera's
        path over it in Path; the load radius, a circle about the last camera
        position, in Radius; and the last position as a 3 x 3 dot in Camera.

        The picture looks down the y axis: x grows to the right and z grows
        downwards, one pixel covering cellSize / pixelsPerCell units.
    */
    class ViewerMap
    {
    public:
        static const Ogre::ColourValue NeverLoaded;
        static const Ogre::ColourValue AlwaysLoaded;
        static const Ogre::ColourValue LoadedBriefly;
        static const Ogre::ColourValue Border;
        static const Ogre::ColourValue Path;
        static const Ogre::ColourValue Radius;
        static const Ogre::ColourValue Camera;

        /** Pixels per cell for a grid: about 512 pixels along the longer
            side, at least 4 and at most 64 per cell. */
        static int autoPixelsPerCell(const WorldGrid& grid);

        /** The shade of a cell loaded for that share of the frames (0 ... 1). */
        static Ogre::ColourValue cellColour(double loadedShare);

        /** The pixel under a world position (may lie outside the picture). */
        static std::pair<long, long> pixelOf(const WorldGrid& grid, int pixelsPerCell,
                                             const Ogre::Vector3& position);

        /** Draws the picture (RGB, 8 bits a channel). pixelsPerCell 0 picks
            autoPixelsPerCell. An empty image for a grid without cells. */
        static Ogre::Image render(const ViewerFigures& figures, const WorldGrid& grid,
                                  int pixelsPerCell = 0);

        /** Draws the picture and writes it as PNG to path, through a
            temporary file. False, with the reason logged and in error, when
            the grid has no cells, no PNG codec is registered with the engine
            (see ensurePngCodec) or the file can not be written. */
        static bool write(const ViewerFigures& figures, const WorldGrid& grid,
                          const std::string& path, int pixelsPerCell = 0,
                          std::string* error = nullptr);

        /** Writes image as PNG to path through AtomicFile (a file is
            replaced whole, a device or FIFO written in place). False, with
            the reason logged and in error, when there is no PNG codec or
            the file can not be written. */
        static bool writePng(Ogre::Image& image, const std::string& path,
                             std::string* error = nullptr);

        /** Makes sure the engine can write PNG: when no codec for it is
            registered, loads OGRE's "Codec_STBI" plugin from pluginFolder
            into the running Root. False (and logged) when that fails. */
        static bool ensurePngCodec(const std::string& pluginFolder);
    };
}

#endif
