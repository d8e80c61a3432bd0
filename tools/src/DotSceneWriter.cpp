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

    namespace
    {
        void appendColour(std::string& out, const char* element, const Ogre::ColourValue& c,
                          const std::string& indent)
        {
            out += indent + "  <" + element;
            appendNumber(out, "r", c.r);
            appendNumber(out, "g", c.g);
            appendNumber(out, "b", c.b);
            out += "/>\n";
        }

        void appendLight(std::string& out, const std::string& name,
                         const LightMetadata::Values& light, const std::string& indent)
        {
            static const char* const types[] = {"point", "directional", "spot"};
            out += indent + "<light name=\"";
            appendEscaped(out, name);
            const int type = light.type >= 0 && light.type < 3 ? light.type : 0;
            out += std::string("\" type=\"") + types[type] + "\" castShadows=\"" +
                   (light.castShadows ? "true" : "false") + "\">\n";
            appendColour(out, "colourDiffuse", light.diffuse, indent);
            appendColour(out, "colourSpecular", light.specular, indent);
            out += indent + "  <lightAttenuation";
            appendNumber(out, "range", light.attenuationRange);
            appendNumber(out, "constant", light.attenuationConstant);
            appendNumber(out, "linear", light.attenuationLinear);
            appendNumber(out, "quadratic", light.attenuationQuadric);
            out += "/>\n" + indent + "  <lightRange";
            appendNumber(out, "inner", light.spotInner);
            appendNumber(out, "outer", light.spotOuter);
            appendNumber(out, "falloff", light.spotFalloff);
            out += "/>\n" + indent + "</light>\n";
        }

        void appendNode(std::string& out, const DotSceneWriter::Node& node, size_t depth)
        {
            const std::string indent(4 + 2 * depth, ' ');
            out += indent + "<node name=\"";
            appendEscaped(out, node.name);
            out += "\">\n" + indent + "  <position";
            appendNumber(out, "x", node.position.x);
            appendNumber(out, "y", node.position.y);
            appendNumber(out, "z", node.position.z);
            out += "/>\n" + indent + "  <rotation";
            appendNumber(out, "qx", node.orientation.x);
            appendNumber(out, "qy", node.orientation.y);
            appendNumber(out, "qz", node.orientation.z);
            appendNumber(out, "qw", node.orientation.w);
            out += "/>\n" + indent + "  <scale";
            appendNumber(out, "x", node.scale.x);
            appendNumber(out, "y", node.scale.y);
            appendNumber(out, "z", node.scale.z);
            out += "/>\n";
            if (!node.mesh.empty())
            {
                out += indent + "  <entity name=\"";
                appendEscaped(out, node.name);
                out += "\" meshFile=\"";
                appendEscaped(out, node.mesh);
                out += "\" castShadows=\"false\"/>\n";
            }
            if (node.light)
                appendLight(out, node.name, *node.light, indent + "  ");
            for (const DotSceneWriter::Node& child : node.children)
                appendNode(out, child, depth + 1);
            out += indent + "</node>\n";
        }

        DotSceneWriter::Node nodeOf(const PlacedObject& o, const Ogre::Vector3& position,
                                    const std::vector<std::string>& meshNames)
        {
            DotSceneWriter::Node node;
            node.name = o.name;
            node.position = position;
            node.orientation = o.orientation;
            node.scale = o.scale;
            if (o.templateIndex < meshNames.size())
                node.mesh = meshNames[o.templateIndex];
            for (const PlacedObject& child : o.children)
                node.children.push_back(nodeOf(child, child.position, meshNames));
            return node;
        }
    }

    std::vector<DotSceneWriter::Node> DotSceneWriter::nodesOf(
        const std::vector<PlacedObject>& objects, const WorldGrid& grid,
        const std::vector<std::string>& meshNames)
    {
        std::vector<Node> nodes;
        nodes.reserve(objects.size());
        for (const PlacedObject& o : objects)
            nodes.push_back(nodeOf(o, grid.cellWorldPosition(o.cellX, o.cellZ) + o.position,
                                   meshNames));
        return nodes;
    }

    std::string DotSceneWriter::toText(const std::vector<Node>& nodes)
    {
        std::string out;
        out.reserve(nodes.size() * 400 + 64);
        out += "<scene formatVersion=\"1.1\">\n  <nodes>\n";
        for (const Node& node : nodes)
            appendNode(out, node, 0);
        out += "  </nodes>\n</scene>\n";
        return out;
    }

    std::string DotSceneWriter::toText(const std::vector<PlacedObject>& objects,
                                       const WorldGrid& grid,
                                       const std::vector<std::string>& meshNames)
    {
        return toText(nodesOf(objects, grid, meshNames));
    }

    bool DotSceneWriter::write(const std::string& path, const std::vector<PlacedObject>& objects,
                               const WorldGrid& grid, const std::vector<std::string>& meshNames,
                               std::string& error)
    {
        return write(path, nodesOf(objects, grid, meshNames), error);
    }

    bool DotSceneWriter::write(const std::string& path, const std::vector<Node>& nodes,
                               std::string& error)
    {
        const std::string text = toText(nodes);
        if (AtomicFile::write(path, text.data(), text.size()))
            return true;
        error = "can not write the scene file " + path;
        if (Ogre::LogManager* logs = Ogre::LogManager::getSingletonPtr())
            logs->logMessage("DotSceneWriter: " + error);
        return false;
    }
}
