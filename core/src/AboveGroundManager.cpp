#include "AboveGroundManager.h"

namespace Wren
{
    AboveGroundManager::~AboveGroundManager() {}
}
