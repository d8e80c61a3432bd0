#include "DataFileDump.h"

#include "BinaryFileResource.h"
#include "CompleteObjectDataInfo.h"
#include "DataElement.h"
#include "ObjectsFileConverter.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include <OgreStringConverter.h>

#include <tinyxml.h>

#include <filesystem>
#include <sstream>

namespace Wren
{
    namespace
    {
        std::string indent(int depth) { return std::string(depth * 2, ' '); }

        void dumpXml(const DataElementPtr& element, int depth, std::ostream& out)
        {
            auto* xml = static_cast<XMLDataElement*>(element.get());
            out << indent(depth) << xml->getName();
            for (const TiXmlAttribute* a = xml->getXmlElement()->FirstAttribute(); a; a = a->Next())
                out << ' ' << a->Name() << "=\"" << a->Value() << '"';
            out << '\n';
            for (DataElementPtr child = element->getFirstChild(); !child->getIsEmpty();
                 child = child->getNextSibling())
                dumpXml(child, depth + 1, out);
        }

        void attribute(std::ostream& out, const char* name, const std::string& value)
        {
            out << ' ' << name << "=\"" << value << '"';
        }

        void attribute(std::ostream& out, const char* name, float value)
        {
            attribute(out, name, Ogre::StringConverter::toString(value));
        }

        void dumpRecord(const CompleteObjectDataInfo& r, std::ostream& out)
        {
            attribute(out, "Type", r.getType());
            attribute(out, "Name", r.getName());
            attribute(out, "PosX", r.posX);
            attribute(out, "PosY", r.posY);
            attribute(out, "PosZ", r.posZ);
            attribute(out, "OrientX", r.orientX);
            attribute(out, "OrientY", r.orientY);
            attribute(out, "OrientZ", r.orientZ);
            attribute(out, "OrientW", r.orientW);
            attribute(out, "ScaleX", r.scaleX);
            attribute(out, "ScaleY", r.scaleY);
            attribute(out, "ScaleZ", r.scaleZ);
            attribute(out, "MetaID", r.getMetaId());
            attribute(out, "PartitionID", r.getPartitionId());
            attribute(out, "IsStatic", r.isStatic ? "true" : "false");
            attribute(out, "CastShadows", r.castShadows ? "true" : "false");
        }

        void dumpBinary(Ogre::IBinaryDataElement& element, int depth, bool objectsFile,
                        std::ostream& out)
        {
            out << indent(depth) << element.getName() << " bytes=\"" << element.getSize() << '"';
            CompleteObjectDataInfo record;
            const unsigned char* buf = static_cast<const unsigned char*>(element.getBuf());
            if (objectsFile && depth == 0 && element.getSize() == 1)
                attribute(out, "ShowBounds", buf[0] ? "true" : "false");
            else if (objectsFile && depth == 1 && element.getName() == "Object" &&
                     record.fromBytes(buf, element.getSize()))
                dumpRecord(record, out);
            out << '\n';
            for (Ogre::IBinaryDataElement* child = element.getFirstChildElement(); child;
                 child = child->getNextChildElement())
                dumpBinary(*child, depth + 1, objectsFile, out);
        }
    }

    bool DataFileDump::dump(const std::string& path, std::ostream& out, std::string& error)
    {
        std::ostringstream text;
        switch (ObjectsFileConverter::formOf(path))
        {
        case ObjectsFileConverter::Form::Missing:
            error = std::filesystem::is_directory(path) ? path + " is a folder, not a data file"
                                                        : "can not read " + path;
            return false;
        case ObjectsFileConverter::Form::Binary:
        {
            Ogre::BinaryFileResource binary;
            if (!binary.loadFromFile(path))
            {
                error = path + " is not a readable binary data file (see the log)";
                return false;
            }
            if (Ogre::BinaryDataElement* root = binary.getRootElement())
                dumpBinary(*root, 0, root->getName() == "Objects", text);
            break;
        }
        case ObjectsFileConverter::Form::Xml:
        {
            XMLDataFile data;
            if (!data.load(path))
            {
                error = path + " is not well-formed XML (see the log)";
                return false;
            }
            for (DataElementPtr root = data.getRootElement(); !root->getIsEmpty();
                 root = root->getNextSibling())
                dumpXml(root, 0, text);
            break;
        }
        }
        out << text.str();
        return true;
    }
}
