// wren-dump: prints the element tree of an XML data file with its
// attributes, one element a line, indented by depth.
#include "DataElement.h"
#include "XMLDataElement.h"
#include "XMLDataFile.h"

#include <OgreLogManager.h>

#include <CLI/CLI.hpp>
#include <tinyxml.h>

#include <iostream>

namespace
{
    void dump(const Wren::DataElementPtr& element, int depth)
    {
        auto* xml = static_cast<Wren::XMLDataElement*>(element.get());
        std::cout << std::string(depth * 2, ' ') << xml->getName();
        for (const TiXmlAttribute* a = xml->getXmlElement()->FirstAttribute(); a; a = a->Next())
            std::cout << ' ' << a->Name() << "=\"" << a->Value() << '"';
        std::cout << '\n';
        for (Wren::DataElementPtr child = element->getFirstChild(); !child->getIsEmpty();
             child = child->getNextSibling())
            dump(child, depth + 1);
    }
}

int main(int argc, char** argv)
{
    CLI::App app{"Prints the element tree of a data file."};
    std::string file;
    app.add_option("FILE", file, "the data file")->required();
    CLI11_PARSE(app, argc, argv);

    Ogre::LogManager logs;
    logs.createLog("wren-dump.log", true, false, true);
    Wren::XMLDataFile data;
    if (!data.load(file))
    {
        std::cerr << "wren-dump: can not read " << file << '\n';
        return 1;
    }
    for (Wren::DataElementPtr root = data.getRootElement(); !root->getIsEmpty();
         root = root->getNextSibling())
        dump(root, 0);
    return 0;
}
