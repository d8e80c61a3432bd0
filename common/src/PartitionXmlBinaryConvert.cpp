#include "PartitionXmlBinaryConvert.h"

#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "EngineLog.h"
#include "SelectorDataFile.h"
#include "XMLDataElement.h"

#include <OgreStringConverter.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace Wren
{
    namespace
    {
        const char* const gMeshType = "MeshGameObject";
        /** Objects named in a refusal's message; losses lists them all. */
        const size_t MaxNamedInError = 20;

        template <typename T> T* fail(std::string* error, const std::string& reason)
        {
            EngineLog::line("PartitionXmlBinaryConvert: " + reason);
            if (error)
                *error = reason;
            return nullptr;
        }

        std::string elementName(const DataElementPtr& element)
        {
            const XMLDataElement* xml = dynamic_cast<const XMLDataElement*>(element.get());
            return xml ? xml->getName() : std::string();
        }

        size_t countChildren(const DataElementPtr& element)
        {
            size_t count = 0;
            if (!element->getIsEmpty())
                for (DataElementPtr e = element->getFirstChild(); !e->getIsEmpty();
                     e = e->getNextSibling())
                    ++count;
            return count;
        }

        std::string counted(size_t count, const char* one, const char* many)
        {
            return Ogre::StringConverter::toString(count) + " " + (count == 1 ? one : many);
        }

        /** Appends to what the reason a text can not be stored in its field. */
        void checkText(const char* field, const std::string& value, size_t size,
                       std::vector<std::string>& what)
        {
            if (!CompleteObjectDataInfo::fits(value, size))
                what.push_back(std::string(field) + " longer than " +
                               Ogre::StringConverter::toString(size - 1) + " bytes");
        }

        /** The record of one "Object" element; lost receives what of the
            object the record can not keep. False when the object's texts do
            not fit, so that it can not be stored at all. */
        bool makeRecord(const DataElementPtr& object, CompleteObjectDataInfo& record,
                        std::vector<std::string>& lost)
        {
            typedef CompleteObjectDataInfo Record;
            const std::string type = object->getAttributeString("Type", "");
            const std::string name = object->getAttributeString("Name", "");
            DataElementPtr core = object->getFirstChild("CoreData");
            const std::string metaId =
                core->getIsEmpty() ? std::string() : core->getAttributeString("MetaID", "");
            const std::string partitionId =
                core->getIsEmpty() ? std::string() : core->getAttributeString("PartitionID", "");

            std::vector<std::string> tooLong;
            checkText("type", type, Record::TypeSize, tooLong);
            checkText("name", name, Record::NameSize, tooLong);
            checkText("metadata id", metaId, Record::MetaIdSize, tooLong);
            checkText("partition id", partitionId, Record::PartitionIdSize, tooLong);
            lost.insert(lost.end(), tooLong.begin(), tooLong.end());

            if (const size_t n = countChildren(object->getFirstChild("Children")))
                lost.push_back(counted(n, "child", "children"));
            if (!core->getIsEmpty())
                if (const size_t n = countChildren(core->getFirstChild("DynamicProperties")))
                    lost.push_back(counted(n, "dynamic property", "dynamic properties"));
            for (DataElementPtr e = object->getFirstChild(); !e->getIsEmpty(); e = e->getNextSibling())
            {
                const std::string kind = elementName(e);
                if (kind != "CoreData" && kind != "Children" && !(kind == "MeshData" && type == gMeshType))
                    lost.push_back("type data \"" + kind + "\"");
            }
            if (!tooLong.empty())
                return false;

            record.setType(type);
            record.setName(name);
            if (!core->getIsEmpty())
            {
                record.setMetaId(metaId);
                record.setPartitionId(partitionId);
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
            if (type == gMeshType)
            {
                DataElementPtr mesh = object->getFirstChild("MeshData");
                if (!mesh->getIsEmpty())
                {
                    record.isStatic = mesh->getAttributeBool("IsStatic", false) ? 1 : 0;
                    record.castShadows = mesh->getAttributeBool("CastShadows", false) ? 1 : 0;
                }
            }
            return true;
        }

        std::string join(const std::vector<std::string>& parts, const char* separator)
        {
            std::string out;
            for (const std::string& part : parts)
                out += (out.empty() ? "" : separator) + part;
            return out;
        }
    }

    Ogre::BinaryFileResource* PartitionXmlBinaryConvert::ConvetToBinary(
        DataFile* xmlFile, std::string* error, bool allowLoss, std::vector<std::string>* losses)
    {
        typedef CompleteObjectDataInfo Record;
        if (losses)
            losses->clear();
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
        std::vector<std::string> lossLines;
        size_t leftOut = 0;
        for (DataElementPtr object = root->getFirstChild("Object"); !object->getIsEmpty();
             object = object->getNextSibling("Object"))
        {
            Record record;
            std::vector<std::string> lost;
            const bool stored = makeRecord(object, record, lost);
            if (!lost.empty())
                lossLines.push_back("object \"" + object->getAttributeString("Name", "") +
                                    "\": " + join(lost, ", ") +
                                    (stored ? "" : " (the object is left out)"));
            if (stored)
                records.push_back(record);
            else
                ++leftOut;
        }
        if (losses)
            *losses = lossLines;
        if (!lossLines.empty())
        {
            const std::string count = counted(lossLines.size(), "object holds", "objects hold");
            if (!allowLoss)
            {
                const size_t named = std::min<size_t>(lossLines.size(), MaxNamedInError);
                std::string list = join(std::vector<std::string>(lossLines.begin(),
                                                                 lossLines.begin() + named),
                                        "; ");
                if (named < lossLines.size())
                    list += "; and " + Ogre::StringConverter::toString(lossLines.size() - named) +
                            " more";
                return fail<Ogre::BinaryFileResource>(
                    error, "can not convert without loss: " + count +
                               " what the binary record can not keep: " + list);
            }
            EngineLog::line("PartitionXmlBinaryConvert: converted with loss, " + count +
                            " what the binary record can not keep (" +
                            Ogre::StringConverter::toString(leftOut) + " left out)");
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
