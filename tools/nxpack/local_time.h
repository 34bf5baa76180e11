// Local calendar time of the clock and of a file's last write.
#pragma once

#include <filesystem>
#include <optional>

#include "nxsetup/date_time.h"

namespace nx::pack {

setup::DateTime localNow();
std::optional<setup::DateTime> localLastWrite(const std::filesystem::path& path);

}  // namespace nx::pack
