// File version of a Windows executable image, read from its VERSIONINFO resource.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "nxsetup/bytes.h"

namespace nx::setup {

struct FileVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
};

struct VersionResource {
  FileVersion file;
  FileVersion product;
};

// The fixed file information of the image's first version resource, or nothing when the image
// is not a PE file or carries no well-formed version resource.
std::optional<VersionResource> readVersionResource(Bytes image);

// Dotted text of a version: major.minor, then build and revision only as far as needed, so
// 1.1.0.0 reads "1.1", 0.1.27.0 reads "0.1.27" and 1.1.0.5 reads "1.1.0.5".
std::string formatFileVersion(const FileVersion& version);

}  // namespace nx::setup
