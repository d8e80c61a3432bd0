#ifndef __WrenDistantMeshScene_H__
#define __WrenDistantMeshScene_H__

#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
    class Camera;
    class RenderWindow;
    class SceneManager;
    class SceneNode;
}

namespace Wren
{
    class ImpostorGameSystem;
    class ImpostorHandler;
    class ViewerEngine;
    class WorldHost;

    /** The drawn scene of the render benchmarks: many copies of one
        detailed mesh far in front of the player camera, drawn either as
        meshes or, each node registered with the world's impostor system,
        as impostors.

        Start: OGRE's GL render system with a window (needs a display), an
        empty world hosted by WorldHost (its world file written into a
        temporary folder), the world's "PlayerCam" looking down -z at the
        window, a sun, and count entities of MediaGenerator's fine sphere
        (its high level) on a wall of nodes across the view, each a few
        pixels wide: well under the impostor threshold.

        One scene per process (the Root allows one); frame thread only.
    */
    class DistantMeshScene
    {
    public:
        /** Pixel size up to which a node is drawn as an impostor. */
        static const float ImpostorThreshold;

        DistantMeshScene();
        ~DistantMeshScene();
        DistantMeshScene(const DistantMeshScene&) = delete;
        DistantMeshScene& operator=(const DistantMeshScene&) = delete;

        /** Builds everything; false, with the reason in getError and what
            was made undone, when it can not. */
        bool start(size_t count, const std::string& logFile);
        /** Tears down in the reverse order of start. */
        void stop();

        /** Draws the nodes as impostors (true) or as meshes. Impostors:
            every node gets a handler, and frames are drawn until every node
            is out of the scene graph with its picture taken, at most
            maxWarmUpFrames; the frames drawn are returned. Meshes: the
            handlers are let go and the nodes shown; 0. */
        unsigned useImpostors(bool impostors, unsigned maxWarmUpFrames = 300);

        /** One frame: the impostor system's update when impostors are on,
            Root::renderOneFrame, then one pixel read back from the window,
            which waits for the GPU to finish the frame. */
        void drawFrame();

        /** Shows (true) or hides every node, for frames of the empty view. */
        void setNodesVisible(bool visible);

        /** Pictures taken so far by all handlers. */
        size_t getCaptureCount() const;

        bool isStarted() const { return mHost != nullptr; }
        const std::string& getError() const { return mError; }
        size_t getNodeCount() const { return mNodes.size(); }
        /** Nodes drawn as impostors now (out of the scene graph). */
        size_t getImpostorNodeCount() const;
        /** Triangles of one mesh. */
        size_t getTrianglesPerMesh() const { return mTrianglesPerMesh; }
        unsigned getWindowWidth() const;
        unsigned getWindowHeight() const;
        Ogre::SceneManager* getSceneManager() const;
        Ogre::RenderWindow* getWindow() const { return mWindow; }
        /** The player camera, at the origin looking down -z. */
        Ogre::Camera* getCamera() const { return mCamera; }
        /** count places on a wall across the camera's view at distance in
            front of it, row by row in the window's proportions. */
        static std::vector<Ogre::Vector3> wallPlaces(size_t count, const Ogre::Camera& camera,
                                                     float distance);

    private:
        bool fail(const std::string& error);
        bool writeWorld();
        void buildScene(size_t count);

        std::string mError;
        std::string mFolder;
        std::unique_ptr<ViewerEngine> mEngine;
        std::unique_ptr<WorldHost> mHost;
        std::unique_ptr<ImpostorGameSystem> mImpostors;
        std::vector<std::unique_ptr<ImpostorHandler>> mHandlers;
        std::vector<Ogre::SceneNode*> mNodes;
        Ogre::Camera* mCamera = nullptr;
        Ogre::RenderWindow* mWindow = nullptr;
        size_t mTrianglesPerMesh = 0;
    };
}

#endif
