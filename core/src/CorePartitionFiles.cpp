// CorePartition: reading and writing objects files and captured states.
#include "CorePartition.h"

#include "BinaryDataElement.h"
#include "BinaryFileResource.h"
#include "BinaryFileResourceManager.h"
#include "CompleteObjectDataInfo.h"
#include "CoreGameObject.h"
#include "CoreGameObjectManager.h"
#include "CorePartitionManager.h"
#include "DataElement.h"
#include "PartitionLoadSource.h"
#include "PartitionXmlBinaryConvert.h"
#include "ResourceDataFile.h"
#include "SelectorDataFile.h"
#include "WorldsFolder.h"
#include "XMLDataElement.h"

#include <OgreException.h>
#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>

#include <tinyxml.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <memory>

namespace Wren
{
    namespace
    {
        const char* const gXmlGroup = "General";
        const char* const gBinaryGroup = "PLSM2";

        void logMessage(const std::string& text)
        {
            Ogre::LogManager::getSingleton().logMessage(text);
        }

        /** Writes file to path, making its folder; logs a failure. */
        template <typename File> bool writeFile(File& file, const std::string& path)
        {
            std::error_code ec;
            std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
            if (file.save(path))
                return true;
            logMessage("CorePartition: can not write " + path);
            return false;
        }

        TiXmlElement* xmlOf(DataElementPtr& element)
        {
            XMLDataElement* xml = dynamic_cast<XMLDataElement*>(element.get());
            return xml ? xml->getXmlElement() : nullptr;
        }

        /** Appends a copy of every "Object" child of from to parent. */
        void copyObjects(DataElementPtr from, DataElementPtr& parent)
        {
            TiXmlElement* target = xmlOf(parent);
            if (!target)
                return;
            for (DataElementPtr e = from->getFirstChild("Object"); !e->getIsEmpty();
                 e = e->getNextSibling("Object"))
                if (TiXmlElement* source = xmlOf(e))
                    target->InsertEndChild(*source);
        }

        /** A partition document: root "Objects" with its "CorePartitionData". */
        std::unique_ptr<DataFile> makeDocument(bool showBounds)
        {
            std::unique_ptr<DataFile> file(new SelectorDataFile());
            DataElementPtr root = file->createRootElement("Objects");
            root->createChild("CorePartitionData")->setAttributeBool("ShowBounds", showBounds);
            return file;
        }

        /** Last modification of a file, to the nanosecond where known. */
        struct FileTime
        {
            std::time_t seconds = 0;
            long nanoseconds = 0;
            bool operator<(const FileTime& o) const
            {
                return seconds != o.seconds ? seconds < o.seconds : nanoseconds < o.nanoseconds;
            }
        };

        /** When path (else the resource name of group) was written last;
            false when neither exists. */
        bool fileTime(const std::string& path, const std::string& group, const std::string& name,
                      FileTime& time)
        {
            struct stat info;
            if (!path.empty() && ::stat(path.c_str(), &info) == 0)
            {
                time.seconds = info.st_mtim.tv_sec;
                time.nanoseconds = info.st_mtim.tv_nsec;
                return true;
            }
            Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
            try
            {
                if (groups && groups->resourceGroupExists(group) &&
                    groups->resourceExists(group, name))
                {
                    time.seconds = groups->resourceModifiedTime(group, name);
                    return true;
                }
            }
            catch (const Ogre::Exception&)
            {
            }
            return false;
        }

        bool existsInGroup(const std::string& group, const std::string& name)
        {
            try
            {
                Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
                return groups && groups->resourceGroupExists(group) &&
                       groups->resourceExists(group, name);
            }
            catch (const Ogre::Exception&)
            {
                return false;
            }
        }
    }

    // Writing

    bool CorePartition::save(DataElementPtr& parent)
    {
        if (!parent || parent->getIsEmpty())
            return false;
        mRefusedObjects.clear();
        parent->createChild("CorePartitionData")->setAttributeBool("ShowBounds", mShowBounds);
        for (CoreGameObject* obj : mObjects)
        {
            if (!shouldSave(obj))
                continue;
            if (!obj->passesSaveRule())
            {
                // No empty "Object" is left behind for it.
                if (obj->isRefusedForPosition(true))
                    mRefusedObjects.push_back(obj->getName());
                continue;
            }
            DataElementPtr element = parent->createChild("Object");
            obj->save(element);
            obj->listRefusedDescendants(mRefusedObjects);
        }
        if (mKeptElements)
            copyObjects(mKeptElements->getRootElement(), parent);
        if (!mKeptRecords.empty())
        {
            Ogre::BinaryFileResource records;
            Ogre::BinaryDataElement* root = records.createRootElement("Objects");
            *static_cast<unsigned char*>(root->allocBuf(1)) = 0;
            for (const CompleteObjectDataInfo& record : mKeptRecords)
                record.toBytes(root->createDefaultChild("Object")->allocBuf(CompleteObjectDataInfo::Size));
            std::unique_ptr<DataFile> xml(PartitionXmlBinaryConvert::ConvertToXml(&records));
            if (xml)
                copyObjects(xml->getRootElement(), parent);
        }
        return true;
    }

    bool CorePartition::saveBinary(Ogre::IBinaryDataElement* root)
    {
        Ogre::BinaryDataElement* element = dynamic_cast<Ogre::BinaryDataElement*>(root);
        if (!element)
            return false;
        mRefusedObjects.clear();

        // The record keeps only so much: a partition holding more is not
        // written in this form at all, rather than written without it.
        for (CoreGameObject* obj : mObjects)
        {
            if (!shouldSave(obj) || obj->isRefusedForPosition(false))
                continue;
            if (!obj->textsFitBinaryRecord())
                logMessage("CorePartition::saveBinary: the name, type, metadata ID or partition ID "
                           "of " + obj->getName() + " of partition " + mID +
                           " is too long for the binary record");
            else if (!obj->fitsBinaryRecord())
                logMessage("CorePartition::saveBinary: " + obj->getName() + " of partition " + mID +
                           " holds children, dynamic properties or type data that the binary "
                           "form does not keep");
            else
                continue;
            mRefusedObjects.push_back(obj->getName());
        }
        std::unique_ptr<Ogre::BinaryFileResource> kept;
        if (mKeptElements)
        {
            std::unique_ptr<DataFile> document = makeDocument(mShowBounds);
            DataElementPtr target = document->getRootElement();
            copyObjects(mKeptElements->getRootElement(), target);
            std::string error;
            kept.reset(PartitionXmlBinaryConvert::ConvetToBinary(document.get(), &error));
            if (!kept)
            {
                logMessage("CorePartition::saveBinary: objects of partition " + mID +
                           " that could not be loaded can not be kept in binary form: " + error);
                DataElementPtr keptRoot = mKeptElements->getRootElement();
                for (DataElementPtr e = keptRoot->getFirstChild("Object"); !e->getIsEmpty();
                     e = e->getNextSibling("Object"))
                    mRefusedObjects.push_back(e->getAttributeString("Name", ""));
            }
        }
        if (!mRefusedObjects.empty())
        {
            logMessage("CorePartition::saveBinary: partition " + mID +
                       " is not written in binary form: " +
                       std::to_string(mRefusedObjects.size()) + " objects would lose data");
            return false;
        }

        *static_cast<unsigned char*>(element->allocBuf(1)) = mShowBounds ? 1 : 0;
        for (CoreGameObject* obj : mObjects)
        {
            if (!shouldSave(obj))
                continue;
            if (obj->isRefusedForPosition(true))
            {
                mRefusedObjects.push_back(obj->getName());
                continue;
            }
            CompleteObjectDataInfo record;
            if (obj->saveBinary(record))
                record.toBytes(element->createDefaultChild("Object")->allocBuf(
                    CompleteObjectDataInfo::Size));
            else
                mRefusedObjects.push_back(obj->getName());
        }
        for (const CompleteObjectDataInfo& record : mKeptRecords)
            record.toBytes(element->createDefaultChild("Object")->allocBuf(CompleteObjectDataInfo::Size));
        if (kept)
            for (Ogre::IBinaryDataElement* e = kept->getRootElement()->getFirstChildElement("Object");
                 e; e = e->getNextChildElement("Object"))
                std::memcpy(element->createDefaultChild("Object")->allocBuf(e->getSize()),
                            e->getBuf(), e->getSize());
        return true;
    }

    bool CorePartition::save(const std::string& worldName)
    {
        return writeObjectsFile(worldName, false);
    }

    bool CorePartition::saveBinary(const std::string& worldName)
    {
        return writeObjectsFile(worldName, true);
    }

    bool CorePartition::writeObjectsFile(const std::string& worldName, bool binary)
    {
        // What is written is whole, not half streamed in or out.
        finishStreaming();
        const bool sameWorld = worldName == mManager->getWorldName();
        if (sameWorld && !mObjectDirty)
            return true;
        const std::string path = getObjectsFilePath(worldName, binary);
        if (path.empty())
        {
            logMessage("CorePartition: partition " + mID + " of world " + worldName +
                       " not saved: no worlds folder is configured");
            return false;
        }

        bool written = false;
        if (mLoaded)
        {
            if (binary)
            {
                Ogre::BinaryFileResource file;
                written = saveBinary(file.createRootElement("Objects")) && writeFile(file, path);
            }
            else
            {
                SelectorDataFile file;
                DataElementPtr root = file.createRootElement("Objects");
                written = save(root) && writeFile(file, path);
            }
        }
        else
        {
            mRefusedObjects.clear();
            if (mState)
                written = writeDocument(*mState, path, binary);
            else if (sameWorld)
                return true;
            else
                written = copyStoredFile(mManager->getWorldName(), path, binary);
        }
        if (!written)
            return false;
        if (!mRefusedObjects.empty())
        {
            logMessage("CorePartition: partition " + mID + " of world " + worldName + " left out " +
                       std::to_string(mRefusedObjects.size()) + " objects that refused to be "
                       "written; it stays unsaved");
            return false;
        }
        mObjectDirty = false;
        return true;
    }

    bool CorePartition::writeDocument(DataFile& document, const std::string& path, bool binary)
    {
        if (!binary)
            return writeFile(document, path);
        std::string error;
        std::unique_ptr<Ogre::BinaryFileResource> file(
            PartitionXmlBinaryConvert::ConvetToBinary(&document, &error));
        if (!file)
        {
            logMessage("CorePartition: the objects of partition " + mID +
                       " can not be written in binary form: " + error);
            return false;
        }
        return writeFile(*file, path);
    }

    bool CorePartition::copyStoredFile(const std::string& fromWorld, const std::string& path,
                                       bool binary)
    {
        bool written = false;
        bool corrupt = false;
        bool found = false;
        PartitionLoadSource source;
        if (newestFormIsBinary(fromWorld, binary))
        {
            found = openBinaryObjectsFile(fromWorld, source, corrupt);
            if (found)
            {
                Ogre::BinaryFileResource& file =
                    source.binaryResource ? *source.binaryResource : *source.binaryFile;
                if (binary)
                {
                    written = writeFile(file, path);
                }
                else
                {
                    std::string error;
                    std::unique_ptr<DataFile> xml(
                        PartitionXmlBinaryConvert::ConvertToXml(&file, &error));
                    written = xml && writeFile(*xml, path);
                }
            }
        }
        else
        {
            found = openXmlObjectsFile(fromWorld, source, corrupt);
            if (found)
                written = writeDocument(source.resource ? *source.resource->getFile()
                                                        : *source.document,
                                        path, binary);
        }
        if (found)
            return written;
        if (corrupt)
        {
            logMessage("CorePartition: the objects file of partition " + mID + " of world " +
                       fromWorld + " can not be read; it is not written to " + path);
            return false;
        }
        // No file: the partition is empty, and so is its file.
        std::unique_ptr<DataFile> empty = makeDocument(mShowBounds);
        return writeDocument(*empty, path, binary);
    }

    DataFile* CorePartition::getState()
    {
        if (!mLoaded)
            return mState;
        SelectorDataFile* file = new SelectorDataFile();
        DataElementPtr root = file->createRootElement("Objects");
        save(root);
        return file;
    }

    void CorePartition::setState(DataFile* state)
    {
        if (state == mState)
            return;
        // A load under way may be reading the state held.
        finishStreaming();
        delete mState;
        mState = state;
    }

    Ogre::BinaryFileResource* CorePartition::getBinaryState()
    {
        if (!mLoaded)
            return nullptr;
        std::unique_ptr<Ogre::BinaryFileResource> file(new Ogre::BinaryFileResource());
        if (!saveBinary(file->createRootElement("Objects")))
            return nullptr;
        return file.release();
    }

    void CorePartition::setBinaryState(Ogre::BinaryFileResource*) {}

    // Reading

    bool CorePartition::newestFormIsBinary(const std::string& worldName, bool preferBinary) const
    {
        FileTime binaryTime;
        FileTime xmlTime;
        const bool binary = fileTime(getObjectsFilePath(worldName, true), gBinaryGroup,
                                     getObjectsBinaryFileName(worldName), binaryTime);
        const bool xml = fileTime(getObjectsFilePath(worldName, false), gXmlGroup,
                                  getObjectsFileName(worldName), xmlTime);
        if (binary && xml)
        {
            if (binaryTime < xmlTime)
                return false;
            if (xmlTime < binaryTime)
                return true;
            return preferBinary;
        }
        return binary || xml ? binary : preferBinary;
    }

    PartitionLoadSource::~PartitionLoadSource()
    {
        elements.clear();
        if (resource)
            resource->forget();
        if (binaryResource)
            if (Ogre::BinaryFileResourceManager* binaryFiles =
                    Ogre::BinaryFileResourceManager::getSingletonPtr())
                binaryFiles->remove(binaryResource->getHandle());
    }

    void PartitionLoadSource::takeXml(DataElementPtr root)
    {
        binary = false;
        if (!root || root->getIsEmpty())
            return;
        DataElementPtr data = root->getFirstChild("CorePartitionData");
        const std::string absent(1, '\0');
        if (!data->getIsEmpty() && data->getAttributeString("ShowBounds", absent) != absent)
        {
            hasShowBounds = true;
            showBounds = data->getAttributeBool("ShowBounds", false);
        }
        for (DataElementPtr e = root->getFirstChild("Object"); !e->getIsEmpty();
             e = e->getNextSibling("Object"))
            elements.push_back(e);
    }

    void PartitionLoadSource::takeBinary(Ogre::IBinaryDataElement* root)
    {
        binary = true;
        Ogre::BinaryDataElement* element = dynamic_cast<Ogre::BinaryDataElement*>(root);
        if (!element)
            return;
        hasShowBounds = true;
        showBounds =
            element->getSize() > 0 && *static_cast<const unsigned char*>(element->getBuf()) != 0;
        for (Ogre::IBinaryDataElement* e = element->getFirstChildElement("Object"); e;
             e = e->getNextChildElement("Object"))
            records.push_back(e);
    }

    bool CorePartition::openBinaryObjectsFile(const std::string& worldName,
                                              PartitionLoadSource& source, bool& corrupt)
    {
        const std::string name = getObjectsBinaryFileName(worldName);
        bool groupFailed = false;
        Ogre::BinaryFileResourceManager* binaryFiles =
            Ogre::BinaryFileResourceManager::getSingletonPtr();
        Ogre::BinaryFileResourcePtr file;
        if (binaryFiles)
        {
            Ogre::BinaryFileResourcePtr known = binaryFiles->getBinaryFileByName(name, gBinaryGroup);
            if (known && known->isBadResource())
            {
                groupFailed = true;
                // Forgotten, so that a file saved later is read.
                binaryFiles->remove(known->getHandle());
            }
            else
            {
                try
                {
                    file = Ogre::static_pointer_cast<Ogre::BinaryFileResource>(
                        binaryFiles->load(name, gBinaryGroup));
                }
                catch (const Ogre::Exception&)
                {
                    // The file logged why.
                    groupFailed = true;
                    if (Ogre::BinaryFileResourcePtr failed =
                            binaryFiles->getBinaryFileByName(name, gBinaryGroup))
                        binaryFiles->remove(failed->getHandle());
                }
            }
        }
        if (file)
        {
            source.binaryResource = file;
            source.takeBinary(file->getRootElement());
            return true;
        }
        // A file saved after the groups indexed their folders is read where
        // it was saved.
        const std::string path = getObjectsFilePath(worldName, true);
        if (!path.empty() && std::filesystem::exists(path))
        {
            std::unique_ptr<Ogre::BinaryFileResource> saved(new Ogre::BinaryFileResource());
            if (saved->loadFromFile(path))
            {
                source.takeBinary(saved->getRootElement());
                source.binaryFile = std::move(saved);
                return true;
            }
            corrupt = true;
            return false;
        }
        // A resource that failed because there is no such file is no damage.
        corrupt = groupFailed && existsInGroup(gBinaryGroup, name);
        return false;
    }

    bool CorePartition::openXmlObjectsFile(const std::string& worldName,
                                           PartitionLoadSource& source, bool& corrupt)
    {
        const std::string name = getObjectsFileName(worldName);
        std::unique_ptr<ResourceDataFile> resource(new ResourceDataFile(name, gXmlGroup));
        DataFile* file = resource->getFile();
        // A file saved after the groups indexed their folders is read where
        // it was saved.
        const std::string path = getObjectsFilePath(worldName, false);
        const bool saveExists = !path.empty() && std::filesystem::exists(path);
        if (!file && saveExists)
        {
            std::unique_ptr<SelectorDataFile> saved(new SelectorDataFile());
            if (saved->load(path))
            {
                source.takeXml(saved->getRootElement());
                source.document = std::move(saved);
                resource->forget();
                return true;
            }
        }
        if (!file)
        {
            resource->forget();
            corrupt = saveExists || existsInGroup(gXmlGroup, name);
            return false;
        }
        source.takeXml(file->getRootElement());
        source.resource = std::move(resource);
        return true;
    }

    void CorePartition::openStored(const std::string& worldName, bool preferBinary,
                                   PartitionLoadSource& source)
    {
        if (mState)
        {
            source.takeXml(mState->getRootElement());
            return;
        }
        const bool binary = newestFormIsBinary(worldName, preferBinary);
        if (binary != mUseBinaryFiles)
            logMessage("CorePartition::load: partition " + mID + " reads its " +
                       (binary ? "binary" : "XML") +
                       " objects file, the one of its two forms written last");
        bool corrupt = false;
        const bool read = binary ? openBinaryObjectsFile(worldName, source, corrupt)
                                 : openXmlObjectsFile(worldName, source, corrupt);
        if (read)
            return;
        if (corrupt)
            reportCorruptFile(binary ? getObjectsBinaryFileName(worldName)
                                     : getObjectsFileName(worldName));
        source.takeBinary(nullptr);
    }

    bool CorePartition::load(const std::string& worldName) { return loadStored(worldName, false); }

    bool CorePartition::loadBinary(const std::string& worldName)
    {
        return loadStored(worldName, true);
    }

    bool CorePartition::loadStored(const std::string& worldName, bool preferBinary)
    {
        finishStreaming();
        std::unique_ptr<PartitionLoadSource> source(new PartitionLoadSource());
        openStored(worldName, preferBinary, *source);
        return loadWhole(std::move(source));
    }

    bool CorePartition::loadWhole(std::unique_ptr<PartitionLoadSource> source)
    {
        beginLoad(std::move(source));
        advanceLoad(StepDeadline());
        return true;
    }

    bool CorePartition::load(DataElementPtr& root, bool)
    {
        std::unique_ptr<PartitionLoadSource> source(new PartitionLoadSource());
        source->takeXml(root);
        return loadWhole(std::move(source));
    }

    bool CorePartition::loadBinary(Ogre::IBinaryDataElement* root, bool)
    {
        std::unique_ptr<PartitionLoadSource> source(new PartitionLoadSource());
        source->takeBinary(root);
        return loadWhole(std::move(source));
    }

    void CorePartition::reportCorruptFile(const std::string& fileName)
    {
        logMessage("CorePartition::load: the objects file " + fileName + " of partition " + mID +
                   " can not be read; the partition comes up empty");
        mManager->notifyCorruptPartitionFile(this);
    }

    // Making the objects

    CoreGameObject* CorePartition::startObject(const std::string& type, const std::string& name,
                                               DataElementPtr* element,
                                               CompleteObjectDataInfo* record)
    {
        CoreGameObjectManager* objects = mManager->getGameObjectManager();
        CoreGameObject* obj = objects->createCoreGameObjectFromFactory(type, name);
        if (!obj)
        {
            logMessage("CorePartition::load: partition " + mID + ": no factory makes the type '" +
                       type + "' of " + name + "; kept as stored");
            return nullptr;
        }
        std::vector<CoreGameObject*> created;
        std::string failure;
        try
        {
            if (!(element ? obj->loadStart(*element, created, false)
                          : obj->loadBinaryStart(*record, created, false)))
                failure = "a child does not load";
        }
        catch (const Ogre::Exception& e)
        {
            failure = e.getDescription();
        }
        if (failure.empty())
            return obj;
        logMessage("CorePartition::load: partition " + mID + ": " + name +
                   " kept as stored: " + failure);
        delete obj;
        return nullptr;
    }

    bool CorePartition::finishObject(CoreGameObject* obj)
    {
        try
        {
            if (!obj->loadFinish() && !obj->getPartition())
            {
                // Its own partition is not loaded: the partition whose file
                // held it keeps it, so nothing stored is lost.
                obj->setPartition(this);
                addObject(obj);
                obj->moveDescendantsTo(this);
                logMessage("CorePartition::load: partition " + mID + " keeps " + obj->getName());
            }
            return true;
        }
        catch (const Ogre::Exception& e)
        {
            logMessage("CorePartition::load: partition " + mID + ": " + obj->getName() +
                       " kept as stored: " + e.getDescription());
            obj->destroy(true, false);
            delete obj;
            return false;
        }
    }

    size_t CorePartition::getKeptObjectCount() const
    {
        size_t count = mKeptRecords.size();
        if (mKeptElements)
            for (DataElementPtr e = mKeptElements->getRootElement()->getFirstChild("Object");
                 !e->getIsEmpty(); e = e->getNextSibling("Object"))
                ++count;
        return count;
    }

    void CorePartition::keepElement(DataElementPtr& element)
    {
        if (!mKeptElements)
            mKeptElements.reset(makeDocument(mShowBounds).release());
        TiXmlElement* source = xmlOf(element);
        DataElementPtr root = mKeptElements->getRootElement();
        if (TiXmlElement* target = xmlOf(root))
            if (source)
                target->InsertEndChild(*source);
    }
}
