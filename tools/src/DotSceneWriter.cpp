#include "DotSceneWriter.h"

#include "AtomicFile.h"
#include "DataElement.h"
#include "XMLDataFile.h"

#include <OgreLogManager.h>

#include <cstdio>

namespace Wren
{
    namespace
    {
        void appendEscaped(std::string& out, const std::string& text)
        {
            for (char c : text)
            {
                switch (c)
                {
                case '&': out += "&amp;"; break;
                case '<': out += "&lt;"; break;
                case '>': out += "&gt;"; break;
                case '"': out += "&quot;"; break;
                case '\'': out += "&apos;"; break;
                default: out += c; break;
                }
            }
        }

        void appendNumber(std::string& out, const char* name, float value)
        {
            char buffer[48];
            std::snprintf(buffer, sizeof(buffer), " %s=\"%.9g\"", name, double(value));
            out += buffer;
        }
    }

    std::string DotSceneWriter::meshNameOf(const WorldTemplate& worldTemplate)
    {
        if (!worldTemplate.extension)
            return std::string();
        XMLDataFile file;
        DataElementPtr root = file.createRootElement("MetaData");
        worldTemplate.extension->writeMetadata(root);
        DataElementPtr sub = root->getFirstChild("MeshData")->getFirstChild("SubMeshData");
        if (sub->getIsEmpty())
            return std::string();
        const std::string mesh = sub->getAttributeString("Mesh", "");
        return mesh.empty() ? sub->getAttributeString("HighLODMesh", "") : mesh;
    }

    std::vector<std::string> DotSceneWriter::meshNamesOf(const std::vector<WorldTemplate>& templates)
    {
        std::vector<std::string> names;
        names.reserve(templates.size());
        for (const WorldTemplate& t : templates)
            names.push_back(meshNameOf(t));
        return names;
    }

    std::string DotSceneWriter::toText(const std::vector<PlacedObject>& objects,
                                       const WorldGrid& grid,
                                       const std::vector<std::string>& meshNames)
    {
        std::string out;
        out.reserve(objects.size() * 400 + 64);
        out += "<scene formatVersion=\"1.1\">\n  <nodes>\n";
        for (const PlacedObject& o : objects)
        {
            const Ogre::Vector3 p = grid.cellWorldPosition(o.cellX, o.cellZ) + o.position;
            out += "    <node name=\"";
            appendEscaped(out, o.name);
            out += "\">\n      <position";
            appendNumber(out, "x", p.x);
            appendNumber(out, "y", p.y);
            appendNumber(out, "z", p.z);
            out += "/>\n      <rotation";
            appendNumber(out, "qx", o.orientation.x);
            appendNumber(out, "qy", o.orientation.y);
            appendNumber(out, "qz", o.orientation.z);
            appendNumber(out, "qw", o.orientation.w);
            out += "/>\n      <scale";
            appendNumber(out, "x", o.scale.x);
            appendNumber(out, "y", o.scale.y);
            appendNumber(out, "z", o.scale.z);
            out += "/>\n";
            if (o.templateIndex < meshNames.size() && !meshNames[o.templateIndex].empty())
            {
                out += "      <entity name=\"";
                appendEscaped(out, o.name);
                out += "\" meshFile=\"";
                appendEscaped(out, meshNames[o.templateIndex]);
                out += "\" castShadows=\"false\"/>\n";
            }
            out += "    </node>\n";
        }
        out += "  </nodes>\n</scene>\n";
        return out;
    }

    bool DotSceneWriter::write(const std::string& path, const std::vector<PlacedObject>& objects,
                               const WorldGrid& grid, const std::vector<std::string>& meshNames,
                               std::string& error)
    {
        const std::string text = toText(objects, grid, meshNames);
        if (AtomicFile::write(path, text.data(), text.size()))
            return true;
        error = "can not write the scene file " + path;
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->logMessage("DotSceneWriter: " + error);
        return false;
    }
}
