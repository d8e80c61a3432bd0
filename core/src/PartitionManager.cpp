#include "PartitionManager.h"

namespace Wren
{
    PartitionManager::~PartitionManager() {}
}
