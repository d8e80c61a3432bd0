#include "CompoundTemplateExtension.h"

#include "DataElement.h"
#include "XMLDataFile.h"

namespace Wren
{
    const char* const CompoundTemplateExtension::Folder = "Compounds";

    void CompoundTemplateExtension::writeMetadata(DataElementPtr& root) const
    {
        root->createChild("CompoundData")->setAttributeString("ObjectsFileName", objectsFile);
    }

    bool CompoundTemplateExtension::writeFiles(const std::string& worldFolder,
                                               std::vector<std::string>& files,
                                               std::string& error) const
    {
        if (parts.empty())
            return true;
        const std::string folder = makeFolder(worldFolder, Folder, error);
        if (folder.empty())
            return false;
        XMLDataFile file;
        DataElementPtr root = file.createRootElement("Object");
        DataElementPtr children;
        for (size_t k = 0; k < parts.size(); ++k)
        {
            PlacedObject placed;
            placed.name = parts[k].worldTemplate.name + "_" + std::to_string(k + 1);
            placed.position = parts[k].offset;
            DataElementPtr element = k == 0 ? root : children->createChild("Object");
            WorldGenerator::writeObject(parts[k].worldTemplate, placed, element);
            if (k == 0)
                children = root->getFirstChild("Children");
        }
        const std::string path = folder + "/" + objectsFile;
        if (!file.save(path))
        {
            error = "can not write " + path;
            return false;
        }
        files.push_back(path);
        return true;
    }
}
