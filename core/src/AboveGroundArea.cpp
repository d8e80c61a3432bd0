#include "AboveGroundArea.h"

namespace Wren
{
    AboveGroundArea::~AboveGroundArea() {}
}
