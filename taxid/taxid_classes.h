// The classes of the nxtaxid library, as their tables describe them.
#pragma once

#include <vector>

#include "core/control/class_table.h"

namespace nx {

std::vector<const ClassInfo*> nxtaxidClasses();

}  // namespace nx
