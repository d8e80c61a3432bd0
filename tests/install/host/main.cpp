// A host built against the installed framework: parses a document from
// memory and reads an attribute back.
#include <DataElement.h>
#include <XMLDataFile.h>

#include <OgreLogManager.h>

int main()
{
    Ogre::LogManager logs;
    logs.createLog("wrenhost.log", true, false, true);
    Wren::XMLDataFile file;
    if (!file.load("<World Version=\"3\"/>"))
        return 1;
    return file.getRootElement()->getAttributeInt("Version", 0) == 3 ? 0 : 1;
}
