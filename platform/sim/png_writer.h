// Writes a bitmap as a PNG file, for a person to look at what a control drew.
#pragma once

#include <string>

#include "platform/sim/sim_bitmap.h"

namespace nx::sim {

// Returns false (and leaves no partial promise) when the file cannot be written.
bool writePng(const std::string& path, const Bitmap& bitmap);

}  // namespace nx::sim
