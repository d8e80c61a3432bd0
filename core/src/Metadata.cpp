#include "Metadata.h"

namespace Wren
{
    Metadata::~Metadata() {}
}
