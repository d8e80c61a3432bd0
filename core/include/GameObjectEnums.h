#ifndef __WrenGameObjectEnums_H__
#define __WrenGameObjectEnums_H__

namespace Wren
{
    /** Level of detail of a game object. Stored and compared as plain int;
        a new object starts at LOD_BEYOND_HINT. */
    enum LevelOfDetail
    {
        /** High detail. */
        LOD_HIGH = 0,
        /** Low detail. */
        LOD_LOW = 1,
        /** Beyond the hint distance: nothing is shown. */
        LOD_BEYOND_HINT = 2
    };

    /** Distance class of a game object, taken from its metadata. The first
        four select a row of the partition manager's distance table; custom
        objects carry their own distances. Texts in metadata files are
        "VeryLarge", "Large", "Medium", "Small", or a number for custom. */
    enum SizeHint
    {
        SIZE_VERY_LARGE = 0,
        SIZE_LARGE = 1,
        SIZE_MEDIUM = 2,
        SIZE_SMALL = 3,
        SIZE_CUSTOM = 4
    };

    /** Loading state of a game object's resources, set by the object types
        while they load, finalise or fade, and read by the partition manager.
        STATE_NOTHING_LOADED and STATE_SETTLED are idle, the others busy. */
    enum CurrentState
    {
        /** Nothing loaded yet; the state of a new object. */
        STATE_NOTHING_LOADED = 0,
        /** Settled: resources match the level of detail. */
        STATE_SETTLED = 1,
        /** Resources are loading. */
        STATE_RESOURCES_LOADING = 2,
        /** Resources are ready to be finalised. */
        STATE_RESOURCES_READY = 3,
        /** Settled, with a fade still running. */
        STATE_FADING = 4
    };
}

#endif
