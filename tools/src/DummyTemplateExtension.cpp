#include "DummyTemplateExtension.h"

#include "DataElement.h"

namespace Wren
{
    void DummyTemplateExtension::writeMetadata(DataElementPtr& root) const
    {
        root->createChild("DummyMetaData")->setAttributeString("PlaceHolder", placeHolder);
    }
}
