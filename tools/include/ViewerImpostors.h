#ifndef __WrenViewerImpostors_H__
#define __WrenViewerImpostors_H__

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Wren
{
    class CoreGameObjectManager;
    class CorePartition;
    class ImpostorGameSystem;
    class ImpostorHandler;

    /** Distant meshes as impostors, set up as a host does it: an
        ImpostorGameSystem for the world, and one ImpostorHandler for the
        scene node of every top-level object of a loaded partition, made when
        the partition comes in and dropped when it goes (its nodes are gone
        by then; the handlers were told by the nodes themselves).
        Needs a render system; without one start refuses.
    */
    class ViewerImpostors
    {
    public:
        /** Pixels on screen up to which a node is shown as its picture. */
        static const float ScreenSizeThreshold;

        explicit ViewerImpostors(CoreGameObjectManager* manager);
        /** Lets every handler go, then the system. */
        ~ViewerImpostors();
        ViewerImpostors(const ViewerImpostors&) = delete;
        ViewerImpostors& operator=(const ViewerImpostors&) = delete;

        /** Builds the impostor system; false (and logged) when it can not. */
        bool start();
        void onPartitionLoaded(const CorePartition* partition);
        void onPartitionUnloaded(const std::string& partitionId);
        /** The impostor frame, after the world's. */
        void update(float elapsed);

        /** Nodes registered now. */
        size_t getHandlerCount() const;

    private:
        CoreGameObjectManager* mManager;
        std::unique_ptr<ImpostorGameSystem> mSystem;
        std::map<std::string, std::vector<std::unique_ptr<ImpostorHandler>>> mHandlers;
    };
}

#endif
