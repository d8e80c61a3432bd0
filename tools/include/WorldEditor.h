#ifndef __WrenWorldEditor_H__
#define __WrenWorldEditor_H__

#include "WorldEditorCommand.h"
#include "WorldViewer.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace Wren
{
    class CoreGameObject;
    class CoreGameObjectManager;
    struct PropertyData;
    class ViewerEngine;
    class WorldHost;

    struct WorldEditorOptions
    {
        /** The world folder (as wren-generate writes it). */
        std::string world;
        /** The objects-file form the world is read and saved in; Auto:
            binary when the world has binary objects files. */
        WorldViewerOptions::Form form = WorldViewerOptions::Form::Auto;
        /** The engine log; empty: kept in memory only. */
        std::string logFile;
        /** Start OGRE's GL render system with a window of this size (or
            borrow the running engine's), for a window of the editor;
            objects are then drawn one by one, not in instanced batches. */
        bool rendered = false;
        unsigned width = 1280;
        unsigned height = 800;
    };

    /** What one command did: the lines it prints, or why it could not. */
    struct WorldEditorResult
    {
        enum Status
        {
            Done = 0,
            /** The command was carried out and failed (a save that could not
                write everything). */
            Failed = 1,
            /** The command or an argument is bad (an unknown object, nothing
                selected); nothing was changed. */
            Refused = 2
        };

        Status status = Done;
        std::vector<std::string> lines;
        std::string error;
    };

    /** A scripted editor over one world folder: it hosts the world as the
        viewer does (WorldHost, the world's resources.cfg, grid or single
        partition), headless and with the editing flag on, and applies
        commands (WorldEditorCommand) through the object manager.

        - The player camera starts at the origin; partitions stream around
          it at once whenever it moves, with every level-of-detail change
          done, so that what a command sees is settled.
        - The selection is the manager's. create, select, select-ray and
          clone make their objects the selection.
        - Each editing command is one step of the history: the full-scene
          snapshot of the step before it is renewed first (so that it holds
          the partitions streamed in since) and a snapshot is taken after
          it. undo and redo walk those steps, across streaming.
        - Nothing is saved unless a save command says so. Compounds go to
          the world's folder "Compounds".

        execute runs one command line against the hosted world, so a host
        with its own input (a window) can drive the editor line by line;
        runScript reads a whole script first and refuses it, running
        nothing, when a line is bad.
    */
    class WorldEditor
    {
    public:
        explicit WorldEditor(WorldEditorOptions options);
        ~WorldEditor();
        WorldEditor(const WorldEditor&) = delete;
        WorldEditor& operator=(const WorldEditor&) = delete;

        /** Starts the engine and the world; false, with the reason in
            getError, when the world can not be hosted. */
        bool start();
        /** Tears the world and the engine down; nothing when not started. */
        void stop();

        /** Parses and runs one command line. */
        WorldEditorResult execute(const std::string& line);
        WorldEditorResult execute(const WorldEditorCommand& command);

        /** Reads every line of in, refuses the script when a line is bad
            (its number and the reason on err, status 2, nothing run), then
            runs the commands in order, printing their lines on out, and stops
            at the first that fails (its line number and the reason on err).
            Returns the exit status: 0, or the status of the failing
            command. */
        int runScript(std::istream& in, std::ostream& out, std::ostream& err);

        /** A script's commands with their line numbers. */
        typedef std::vector<std::pair<size_t, WorldEditorCommand>> Script;
        /** Reads every line of in into out (blank lines left out); false,
            with the first bad line's number and the reason on err, when a
            line is bad. */
        static bool readScript(std::istream& in, Script& out, std::ostream& err);
        /** Runs one command of a script, printing its lines on out; on
            failure its line number and the reason go to err. Returns the
            command's status. */
        int runScriptCommand(const Script::value_type& entry, std::ostream& out, std::ostream& err);

        /** An edit made outside the commands (a drag of a manipulator) as
            one step of the history: beginStep before the first change,
            endStep after the last. */
        void beginStep();
        void endStep();
        /** Gives the property id of obj the value as one step of the
            history; false, changing nothing, when obj refuses the value
            (the reason in error). */
        bool setProperty(CoreGameObject* obj, const std::string& id, const PropertyData& value,
                         std::string& error);

        /** Streams the partitions around the camera and does every waiting
            level-of-detail change. */
        void settle();
        /** The selected objects, in order of selection. */
        std::vector<CoreGameObject*> selection() const;
        /** Makes exactly objs the selection. */
        void selectOnly(const std::vector<CoreGameObject*>& objs);

        CoreGameObjectManager* getManager() const;
        ViewerEngine* getEngine() const { return mEngine; }
        /** The world's grid (one cell for a world without one). */
        const WorldGrid& getGrid() const { return mGrid; }
        /** The world folder. */
        const std::string& getFolder() const { return mFolder; }
        const std::string& getError() const { return mError; }
        bool getUsesBinaryFiles() const { return mBinary; }

    private:
        /** Renews the snapshot of the step in effect (or adds one). */
        void snapshotBefore();
        void snapshotAfter();
        WorldEditorResult list(const WorldEditorCommand& command);
        WorldEditorResult save(const WorldEditorCommand& command);
        WorldEditorResult edit(const WorldEditorCommand& command);

        WorldEditorOptions mOptions;
        std::string mError;
        bool mBinary = false;
        std::string mFolder;
        WorldGrid mGrid;
        ViewerEngine* mEngine = nullptr;
        WorldHost* mHost = nullptr;
    };
}

#endif
