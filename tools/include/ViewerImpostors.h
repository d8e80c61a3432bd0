#ifndef __WrenViewerImpostors_H__
#define __WrenViewerImpostors_H__

#include <cstddef>

namespace Wren
{
    class CoreGameObjectManager;
    class CorePartition;
    class ImpostorGameSystem;

    /** Distant meshes as impostors, set up as a host does it: the world's
        "ImpostorGameSystem" (the one its world file names, or one made
        through the registry and loaded), and one ImpostorHandler for every
        mesh object of a partition that comes in, given to the object, which
        registers it, owns it and lets it go with itself.
        Needs a render system; without one start refuses.
    */
    class ViewerImpostors
    {
    public:
        /** Pixels on screen up to which a node is shown as its picture. */
        static const float ScreenSizeThreshold;

        explicit ViewerImpostors(CoreGameObjectManager* manager);
        ViewerImpostors(const ViewerImpostors&) = delete;
        ViewerImpostors& operator=(const ViewerImpostors&) = delete;

        /** Finds or builds the impostor system; false (and logged) when it
            can not. */
        bool start();
        /** Gives every mesh object of the partition without one a handler. */
        void onPartitionLoaded(const CorePartition* partition);
        /** The impostor frame, after the world's. */
        void update(float elapsed);

        /** Impostors drawn now (billboards shown). */
        size_t getImpostorsDrawn() const;

    private:
        CoreGameObjectManager* mManager;
        ImpostorGameSystem* mSystem = nullptr;
    };
}

#endif
