#ifndef __WrenWorldGrid_H__
#define __WrenWorldGrid_H__

#include "GridLayout.h"

namespace Wren
{
    /** The tools' name of the grid layout: the same arithmetic as the grid
        partition manager's, from one implementation. */
    typedef GridLayout WorldGrid;
}

#endif
