#include "FullSceneOperation.h"

#include "CorePartitionManager.h"
#include "DataElement.h"
#include "OperationManager.h"
#include "SelectorDataFile.h"
#include "XMLDataElement.h"

#include <OgreLogManager.h>

#include <tinyxml.h>

namespace Wren
{
    FullSceneOperation::FullSceneOperation(CorePartitionManager* manager)
        : mPartitionManager(manager)
    {
    }

    FullSceneOperation::~FullSceneOperation()
    {
        for (PartitionState& entry : mPartitionStates)
            delete entry.state;
    }

    namespace
    {
        bool isDetached(const CorePartitionManager* manager, const char* what)
        {
            if (manager)
                return false;
            Ogre::LogManager::getSingleton().logMessage(
                std::string("FullSceneOperation::") + what +
                ": the world of this step is gone; nothing is done");
            return true;
        }
    }

    void FullSceneOperation::undo()
    {
        if (isDetached(mPartitionManager, "undo"))
            return;
        if (FullSceneOperation* previous = getPreviousFullSceneOperation())
            mPartitionManager->loadFromOperation(previous);
    }

    void FullSceneOperation::redo()
    {
        if (!isDetached(mPartitionManager, "redo"))
            mPartitionManager->loadFromOperation(this);
    }

    void FullSceneOperation::addPartitionState(const std::string& partitionId, DataFile* state)
    {
        PartitionState entry;
        entry.state = state;
        entry.partitionId = partitionId;
        mPartitionStates.push_back(entry);
    }

    DataFile* FullSceneOperation::getPartitionState(const std::string& partitionId) const
    {
        for (const PartitionState& entry : mPartitionStates)
            if (entry.partitionId == partitionId)
                return entry.state;
        return nullptr;
    }

    DataFile* FullSceneOperation::copyDocument(DataFile* file)
    {
        if (!file)
            return nullptr;
        DataElementPtr root = file->getRootElement();
        XMLDataElement* xml = dynamic_cast<XMLDataElement*>(root.get());
        if (!xml || !xml->getXmlElement())
        {
            Ogre::LogManager::getSingleton().logMessage(
                "FullSceneOperation::copyDocument: the document has no XML root; not copied");
            return nullptr;
        }
        TiXmlPrinter printer;
        xml->getXmlElement()->Accept(&printer);
        SelectorDataFile* copy = new SelectorDataFile();
        if (!copy->load(printer.CStr()))
        {
            Ogre::LogManager::getSingleton().logMessage(
                "FullSceneOperation::copyDocument: the copy could not be read back");
            delete copy;
            return nullptr;
        }
        return copy;
    }

    FullSceneOperation* FullSceneOperation::getPreviousFullSceneOperation() const
    {
        OperationManager* history = OperationManager::getSingletonPtr();
        if (!history)
            return nullptr;
        FullSceneOperation* previous = nullptr;
        for (Operation* op : history->getOperations())
        {
            if (op == this)
                return previous;
            FullSceneOperation* full = dynamic_cast<FullSceneOperation*>(op);
            if (full && full->mPartitionManager == mPartitionManager)
                previous = full;
        }
        // Not in the history: nothing before it is known.
        return nullptr;
    }
}
