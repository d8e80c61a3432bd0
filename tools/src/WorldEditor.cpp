#include "WorldEditor.h"

#include "ViewerEngine.h"

#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartition.h"
#include "CorePartitionManager.h"
#include "FullSceneOperation.h"
#include "OperationManager.h"
#include "WorldHost.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdio>
#include <deque>
#include <istream>
#include <list>
#include <ostream>

namespace Wren
{
    namespace
    {
        WorldEditorResult refuse(const std::string& error)
        {
            WorldEditorResult result;
            result.status = WorldEditorResult::Refused;
            result.error = error;
            return result;
        }

        WorldEditorResult done(const std::string& line)
        {
            WorldEditorResult result;
            result.lines.push_back(line);
            return result;
        }

        std::string format(const Ogre::Vector3& v)
        {
            char text[96];
            std::snprintf(text, sizeof text, "%.4f %.4f %.4f", v.x, v.y, v.z);
            return text;
        }

        std::string names(const std::vector<CoreGameObject*>& objs)
        {
            std::string out;
            for (const CoreGameObject* obj : objs)
                out += (out.empty() ? "" : " ") + obj->getName();
            return out;
        }
    }

    WorldEditor::WorldEditor(WorldEditorOptions options) : mOptions(std::move(options)) {}

    WorldEditor::~WorldEditor()
    {
        stop();
        delete mEngine;
    }

    bool WorldEditor::start()
    {
        if (mEngine)
        {
            mError = "an editor starts once";
            return false;
        }
        std::optional<WorldFolder> folder = WorldFolder::find(mOptions.world, &mError);
        if (!folder)
            return false;
        bool isGrid = false;
        if (!folder->readLayout(mGrid, isGrid, mError))
            return false;
        switch (mOptions.form)
        {
        case WorldViewerOptions::Form::Xml: mBinary = false; break;
        case WorldViewerOptions::Form::Binary: mBinary = true; break;
        case WorldViewerOptions::Form::Auto: mBinary = folder->binaryFiles > 0; break;
        }
        mFolder = folder->folder;

        mEngine = new ViewerEngine();
        if (!mEngine->start(mOptions.rendered ? ViewerEngine::Mode::Rendered
                                              : ViewerEngine::Mode::Headless,
                            mOptions.logFile, WREN_OGRE_PLUGIN_DIR, mOptions.width,
                            mOptions.height))
        {
            mError = "the engine does not start: " + mEngine->getError();
            return false;
        }
        WorldHostSettings settings = folder->hostSettings(isGrid, mBinary, 5, false);
        settings.editing = true;
        // A drawn editor shows each object on its own, with its editing box
        // when selected, instead of in the batches a moved object rebuilds.
        settings.instancing = !mOptions.rendered;
        mHost = new WorldHost();
        if (!mHost->start(std::move(settings)))
        {
            mError = "the world " + folder->name + " does not start (see the log)";
            stop();
            return false;
        }
        getManager()->setCompoundsFolder(mFolder + "/Compounds");
        settle();
        return true;
    }

    void WorldEditor::stop()
    {
        delete mHost;
        mHost = nullptr;
        if (mEngine)
            mEngine->stop();
    }

    CoreGameObjectManager* WorldEditor::getManager() const
    {
        return mHost ? mHost->getManager() : nullptr;
    }

    void WorldEditor::settle()
    {
        CorePartitionManager* partitions = getManager()->getPartitionManager();
        partitions->immediateLoadAllPartition();
        // Every loaded object takes the level of detail of its distance to
        // the camera now, not over the frames a client would spread it on.
        const CorePartitionManager::PartitionList loaded = partitions->GetLoadPartitions();
        for (CorePartition* p : loaded)
            p->update(0.0f);
        while (partitions->getChangeLODObjectsCount() > 0)
            partitions->loadNextChangeLODObjects();
        // What a drawn frame does first: nodes and the bounds that ray
        // queries test are brought up to date.
        getManager()->getSceneManager()->getRootSceneNode()->_update(true, false);
    }

    void WorldEditor::snapshotBefore()
    {
        OperationManager& history = OperationManager::getSingleton();
        FullSceneOperation* fresh = getManager()->createOperation("");
        if (!fresh)
            return;
        std::deque<Operation*>& steps = history.getOperations();
        if (!steps.empty())
        {
            Operation*& current = steps[history.getCurrent()];
            FullSceneOperation* full = dynamic_cast<FullSceneOperation*>(current);
            if (full && full->getPartitionManager() == fresh->getPartitionManager())
            {
                // The same state, seen with the partitions streamed in since.
                delete current;
                current = fresh;
                return;
            }
        }
        history.addOperation(fresh);
    }

    void WorldEditor::snapshotAfter()
    {
        if (FullSceneOperation* op = getManager()->createOperation(""))
            OperationManager::getSingleton().addOperation(op);
    }

    void WorldEditor::beginStep() { snapshotBefore(); }

    void WorldEditor::endStep()
    {
        snapshotAfter();
        settle();
    }

    bool WorldEditor::setProperty(CoreGameObject* obj, const std::string& id,
                                  const PropertyData& value, std::string& error)
    {
        if (!obj->validateProperty(id, value, error))
            return false;
        snapshotBefore();
        obj->setProperty(id, value);
        endStep();
        return true;
    }

    std::vector<CoreGameObject*> WorldEditor::selection() const
    {
        const std::list<CoreGameObject*>& selected = getManager()->getSelection();
        return std::vector<CoreGameObject*>(selected.begin(), selected.end());
    }

    void WorldEditor::selectOnly(const std::vector<CoreGameObject*>& objs)
    {
        CoreGameObjectManager* manager = getManager();
        manager->UnselectAllObjects();
        for (CoreGameObject* obj : objs)
            manager->selectObject(obj);
    }

    WorldEditorResult WorldEditor::execute(const std::string& line)
    {
        WorldEditorCommand command;
        std::string error;
        if (!WorldEditorCommand::parse(line, command, error))
            return refuse(error);
        return execute(command);
    }

    WorldEditorResult WorldEditor::execute(const WorldEditorCommand& command)
    {
        CoreGameObjectManager* manager = getManager();
        if (!manager)
            return refuse("no world is open");
        typedef WorldEditorCommand C;
        switch (command.kind)
        {
        case C::None: return WorldEditorResult();
        case C::Select:
        {
            std::vector<CoreGameObject*> found;
            for (const std::string& name : command.names)
            {
                CoreGameObject* obj = manager->getCoreObjectByName(name);
                if (!obj)
                    return refuse("no loaded object " + name);
                found.push_back(obj);
            }
            selectOnly(found);
            return done("selected " + std::to_string(selection().size()));
        }
        case C::SelectRay:
        {
            CoreGameObject* hit = nullptr;
            Ogre::Vector3 point;
            manager->rayCollide(Ogre::Ray(command.vector, command.direction.normalisedCopy()), true,
                                false, hit, point);
            selectOnly(hit ? std::vector<CoreGameObject*>(1, hit) : std::vector<CoreGameObject*>());
            return done(hit ? "selected " + hit->getName() + " at " + format(point)
                            : std::string("selected nothing"));
        }
        case C::UnselectAll: selectOnly({}); return done("selected 0");
        case C::FixedHeight:
            manager->setFixedHeightEnabled(!command.off);
            if (!command.off)
                manager->setFixedHeight(command.number);
            return done(command.off ? std::string("fixed height off")
                                    : "fixed height " + std::to_string(command.number));
        case C::Compound:
        {
            CoreGameObject* first = manager->GetFirstSelectedObject();
            if (!first)
                return refuse("nothing is selected");
            if (!manager->saveCompoundGameObject(first, command.names.front()))
            {
                WorldEditorResult result = refuse("compound " + command.names.front() +
                                                  " not saved (see the log)");
                result.status = WorldEditorResult::Failed;
                return result;
            }
            return done("compound " + command.names.front() + " of " + first->getName());
        }
        case C::Undo:
        case C::Redo:
        {
            OperationManager& history = OperationManager::getSingleton();
            const bool undo = command.kind == C::Undo;
            if (undo ? !history.canUndo() : !history.canRedo())
                return done(undo ? "nothing to undo" : "nothing to redo");
            if (undo)
                history.undo();
            else
                history.redo();
            settle();
            return done(undo ? "undone" : "redone");
        }
        case C::Camera:
        {
            Ogre::Camera* camera = manager->getPlayerCamera();
            Ogre::SceneNode* node = camera ? camera->getParentSceneNode() : nullptr;
            if (!node)
                return refuse("the world has no player camera to move");
            node->setPosition(command.vector);
            node->_update(true, false);
            settle();
            return done("camera " + format(command.vector) + ", " +
                        std::to_string(manager->getPartitionManager()->GetLoadPartitions().size()) +
                        " partitions loaded");
        }
        case C::List: return list(command);
        case C::Save: return save(command);
        default: return edit(command);
        }
    }

    WorldEditorResult WorldEditor::edit(const WorldEditorCommand& command)
    {
        typedef WorldEditorCommand C;
        CoreGameObjectManager* manager = getManager();
        std::vector<CoreGameObject*> selected = selection();
        CoreGameObject* parent = nullptr;
        if (command.kind != C::Create && selected.empty())
            return refuse("nothing is selected");
        if (command.kind == C::Link)
        {
            parent = manager->getCoreObjectByName(command.names.front());
            if (!parent)
                return refuse("no loaded object " + command.names.front());
            for (const CoreGameObject* a = parent; a; a = a->getParent())
                for (const CoreGameObject* obj : selected)
                    if (a == obj)
                        return refuse(obj->getName() + " can not become a child of " +
                                      parent->getName() + ", which is itself or below it");
        }

        snapshotBefore();
        WorldEditorResult result;
        const std::string count = std::to_string(selected.size());
        switch (command.kind)
        {
        case C::Create:
        {
            CoreGameObject* obj = nullptr;
            try
            {
                obj = manager->createCoreGameObject(command.names.front(), command.vector);
            }
            catch (const Ogre::Exception& e)
            {
                return refuse(e.getDescription());
            }
            if (!obj)
                return refuse("no " + command.names.front() + " object can be made at " +
                              format(command.vector) + " (see the log)");
            selectOnly({obj});
            result.lines.push_back(obj->getName());
            break;
        }
        case C::Translate:
            manager->translateObjects(selected, command.vector);
            result.lines.push_back("translated " + count);
            break;
        case C::Move:
            manager->moveObjects(selected, command.vector);
            result.lines.push_back("moved " + count);
            break;
        case C::MoveAsOne:
            manager->moveObjectsAsOne(selected, command.vector);
            result.lines.push_back("moved " + count);
            break;
        case C::Rotate:
            manager->rotateObjects(selected, Ogre::Radian(Ogre::Degree(command.number)));
            result.lines.push_back("rotated " + count);
            break;
        case C::RotateCenter:
            manager->rotateObjectsAroundCenter(
                selected, Ogre::Quaternion(Ogre::Degree(command.number), Ogre::Vector3::UNIT_Y));
            result.lines.push_back("rotated " + count);
            break;
        case C::Scale:
            manager->scaleObjects(selected, Ogre::Vector3(command.number));
            result.lines.push_back("scaled " + count);
            break;
        case C::Clone:
        {
            std::vector<CoreGameObject*> clones;
            manager->cloneObjects(selected, clones);
            selectOnly(clones);
            result.lines.push_back(names(clones));
            break;
        }
        case C::Delete:
            manager->deleteObjects(selected);
            result.lines.push_back("deleted " + count);
            break;
        case C::Link:
            manager->linkObjects(selected, parent);
            result.lines.push_back("linked " + count + " to " + parent->getName());
            break;
        case C::Unlink:
            manager->unlinkObjects(selected);
            result.lines.push_back("unlinked " + count);
            break;
        default: return refuse("'" + command.word + "' is not an editing command");
        }
        snapshotAfter();
        settle();
        return result;
    }

    WorldEditorResult WorldEditor::list(const WorldEditorCommand& command)
    {
        CorePartitionManager* partitions = getManager()->getPartitionManager();
        std::vector<CorePartition*> shown;
        if (command.names.empty())
        {
            partitions->enumeratePartitions(shown);
        }
        else
        {
            CorePartition* p = partitions->getPartition(command.names.front());
            if (!p)
                return refuse("no partition " + command.names.front());
            if (!p->getLoaded())
                return refuse("partition " + command.names.front() +
                              " is not loaded (move the camera there)");
            shown.push_back(p);
        }
        WorldEditorResult result;
        for (const CorePartition* p : shown)
            for (const CoreGameObject* obj : p->getObjects())
                result.lines.push_back(obj->getName() + " " + obj->getObjectType() + " " +
                                       format(obj->getWorldPosition()) + " " + p->getID() +
                                       (obj->getParent() ? " " + obj->getParent()->getName()
                                                         : std::string()));
        return result;
    }

    WorldEditorResult WorldEditor::save(const WorldEditorCommand& command)
    {
        CoreGameObjectManager* manager = getManager();
        const std::string name =
            command.names.empty() ? manager->getWorldName() : command.names.front();
        if (manager->save(name))
            return done("saved " + name);
        WorldEditorResult result;
        result.status = WorldEditorResult::Failed;
        result.error = "world " + name + " not saved in full";
        std::string refused;
        for (const auto& entry : manager->getPartitionManager()->getRefusedObjects())
            refused += (refused.empty() ? "" : ", ") + entry.second + " (" + entry.first + ")";
        result.error += refused.empty() ? " (see the log)" : "; refused: " + refused;
        return result;
    }

    bool WorldEditor::readScript(std::istream& in, Script& out, std::ostream& err)
    {
        size_t number = 0;
        for (std::string line; std::getline(in, line);)
        {
            ++number;
            WorldEditorCommand command;
            std::string error;
            if (!WorldEditorCommand::parse(line, command, error))
            {
                err << "line " << number << ": " << error << '\n';
                return false;
            }
            if (command.kind != WorldEditorCommand::None)
                out.emplace_back(number, command);
        }
        return true;
    }

    int WorldEditor::runScriptCommand(const Script::value_type& entry, std::ostream& out,
                                      std::ostream& err)
    {
        const WorldEditorResult result = execute(entry.second);
        for (const std::string& line : result.lines)
            out << line << '\n';
        out.flush();
        if (result.status != WorldEditorResult::Done)
            err << "line " << entry.first << ": " << result.error << '\n';
        return result.status;
    }

    int WorldEditor::runScript(std::istream& in, std::ostream& out, std::ostream& err)
    {
        Script commands;
        if (!readScript(in, commands, err))
            return WorldEditorResult::Refused;
        for (const auto& entry : commands)
            if (const int status = runScriptCommand(entry, out, err))
                return status;
        return 0;
    }
}
