#include "Partition.h"

namespace Wren
{
    Partition::~Partition() {}
}
