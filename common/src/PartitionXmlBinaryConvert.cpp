#include "PartitionXmlBinaryConvert.h"

#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "SelectorDataFile.h"

#include <OgreLogManager.h>
#include <OgreStringConverter.h>

#include <memory>
#include <vector>

namespace Wren
{
    namespace
    {
        const char* const gMeshType = "MeshGameObject";

        template <typename T> T* fail(std::string* error, const std::string& reason)
        {
            if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
                logs->logMessage("PartitionXmlBinaryConvert: " + reason);
            if (error)
                *error = reason;
            return nullptr;
        }

        bool setField(bool stored, const std::string& what, const std::string& value, size_t size,
                      const std::string& object, std::string& reason)
        {
            if (!stored)
                reason = "object \"" + object + "\": " + what + " \"" + value + "\" is longer than " +
                         Ogre::StringConverter::toString(size - 1) + " bytes";
            return stored;
        }
    }

    Ogre::BinaryFileResource* PartitionXmlBinaryConvert::ConvetToBinary(DataFile* xmlFile,
                                                                        std::string* error)
    {
        typedef CompleteObjectDataInfo Record;
        if (!xmlFile)
            return fail<Ogre::BinaryFileResource>(error, "no XML document to convert");
        DataElementPtr root = xmlFile->getRootElement();
        if (root->getIsEmpty())
            return fail<Ogre::BinaryFileResource>(error, "the XML document has no root element");
        DataElementPtr partitionData = root->getFirstChild("CorePartitionData");
        if (partitionData->getIsEmpty())
            return fail<Ogre::BinaryFileResource>(
                error, "the XML document has no \"CorePartitionData\": not a partition objects file");
        const bool showBounds = partitionData->getAttributeBool("ShowBounds", false);

        std::vector<Record> records;
        for (DataElementPtr object = root->getFirstChild("Object"); !object->getIsEmpty();
             object = object->getNextSibling("Object"))
        {
            Record record;
            const std::string type = object->getAttributeString("Type", "");
            const std::string name = object->getAttributeString("Name", "");
            std::string reason;
            bool ok = setField(record.setType(type), "type", type, Record::TypeSize, name, reason) &&
                      setField(record.setName(name), "name", name, Record::NameSize, name, reason);
            DataElementPtr core = object->getFirstChild("CoreData");
            if (ok && !core->getIsEmpty())
            {
                const std::string metaId = core->getAttributeString("MetaID", "");
                const std::string partitionId = core->getAttributeString("PartitionID", "");
                ok = setField(record.setMetaId(metaId), "metadata id", metaId, Record::MetaIdSize,
                              name, reason) &&
                     setField(record.setPartitionId(partitionId), "partition id", partitionId,
                              Record::PartitionIdSize, name, reason);
                record.posX = core->getAttributeFloat("PosX", 0.0f);
                record.posY = core->getAttributeFloat("PosY", 0.0f);
                record.posZ = core->getAttributeFloat("PosZ", 0.0f);
                record.orientX = core->getAttributeFloat("OrientX", 0.0f);
                record.orientY = core->getAttributeFloat("OrientY", 0.0f);
                record.orientZ = core->getAttributeFloat("OrientZ", 0.0f);
                record.orientW = core->getAttributeFloat("OrientW", 0.0f);
                record.scaleX = core->getAttributeFloat("ScaleX", 0.0f);
                record.scaleY = core->getAttributeFloat("ScaleY", 0.0f);
                record.scaleZ = core->getAttributeFloat("ScaleZ", 0.0f);
            }
            if (!ok)
                return fail<Ogre::BinaryFileResource>(error, "can not convert: " + reason);
            if (type == gMeshType)
            {
                DataElementPtr mesh = object->getFirstChild("MeshData");
                if (!mesh->getIsEmpty())
                {
                    record.isStatic = mesh->getAttributeBool("IsStatic", false) ? 1 : 0;
                    record.castShadows = mesh->getAttributeBool("CastShadows", false) ? 1 : 0;
                }
            }
            records.push_back(record);
        }

        std::unique_ptr<Ogre::BinaryFileResource> binary(new Ogre::BinaryFileResource());
        Ogre::BinaryDataElement* objects = binary->createRootElement("Objects");
        *static_cast<unsigned char*>(objects->allocBuf(1)) = showBounds ? 1 : 0;
        for (const Record& record : records)
            record.toBytes(objects->createDefaultChild("Object")->allocBuf(Record::Size));
        return binary.release();
    }

    DataFile* PartitionXmlBinaryConvert::ConvertToXml(Ogre::BinaryFileResource* binaryFile,
                                                      std::string* error)
    {
        typedef CompleteObjectDataInfo Record;
        if (!binaryFile)
            return fail<DataFile>(error, "no binary file to convert");
        Ogre::BinaryDataElement* objects = binaryFile->getRootElement();
        if (!objects)
            return fail<DataFile>(error, "the binary file has no root element");
        const unsigned char* flag = static_cast<const unsigned char*>(objects->getBuf());
        const bool showBounds = flag && flag[0] != 0;

        std::unique_ptr<DataFile> xml(new SelectorDataFile());
        DataElementPtr root = xml->createRootElement("Objects");
        root->createChild("CorePartitionData")->setAttributeBool("ShowBounds", showBounds);
        size_t index = 0;
        for (Ogre::IBinaryDataElement* child = objects->getFirstChildElement(); child;
             child = child->getNextChildElement(), ++index)
        {
            Record record;
            if (!record.fromBytes(child->getBuf(), child->getSize()))
                return fail<DataFile>(error, "record " + Ogre::StringConverter::toString(index) +
                                                 " holds " +
                                                 Ogre::StringConverter::toString(child->getSize()) +
                                                 " bytes instead of 276");
            if (!record.hasTerminatedTexts())
                return fail<DataFile>(error, "record " + Ogre::StringConverter::toString(index) +
                                                 " is damaged: a text field has no terminating zero");
            DataElementPtr object = root->createChild("Object");
            const std::string type = record.getType();
            object->setAttributeString("Type", type);
            object->setAttributeString("Name", record.getName());
            DataElementPtr core = object->createChild("CoreData");
            core->setAttributeFloat("PosX", record.posX);
            core->setAttributeFloat("PosY", record.posY);
            core->setAttributeFloat("PosZ", record.posZ);
            core->setAttributeFloat("OrientX", record.orientX);
            core->setAttributeFloat("OrientY", record.orientY);
            core->setAttributeFloat("OrientZ", record.orientZ);
            core->setAttributeFloat("OrientW", record.orientW);
            core->setAttributeFloat("ScaleX", record.scaleX);
            core->setAttributeFloat("ScaleY", record.scaleY);
            core->setAttributeFloat("ScaleZ", record.scaleZ);
            core->setAttributeString("MetaID", record.getMetaId());
            core->setAttributeString("PartitionID", record.getPartitionId());
            core->createChild("DynamicProperties");
            object->createChild("Children");
            if (type == gMeshType)
            {
                DataElementPtr mesh = object->createChild("MeshData");
                mesh->setAttributeBool("IsStatic", record.isStatic != 0);
                mesh->setAttributeBool("CastShadows", record.castShadows != 0);
            }
        }
        return xml.release();
    }
}
