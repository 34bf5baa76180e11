// Builds nxinstall.exe: the setup stub, then the payload ZIP ("nxinstall.inf" first, the
// licence as "eula.txt", then the components, all deflated), then the 130-byte trailer with the
// Huffman-coded setup header. Two components may share a file name when their bitnesses differ
// (the 64-bit and the 32-bit build of one library); they are then carried as "x64/name" and
// "x86/name".
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "nxsetup/date_time.h"

namespace nx::pack {

struct ComponentSettings {
  std::string name;              // plain file name the component is installed under
  std::filesystem::path source;  // the file to pack; empty: `name` in the component folder;
                                 // a relative path is taken from the component folder
  std::string target = "%SYSTEM%";
  bool registerFile = false;
  bool optional = false;
  std::string url;
  std::optional<std::string> version;  // default: the file's version resource
  std::optional<setup::DateTime> created;
  std::optional<setup::DateTime> modified;  // default: the file's last write time
  std::optional<int> bits;  // 32 or 64; default: from the PE header, none for other files
};

struct PackSettings {
  std::filesystem::path stub;
  std::filesystem::path output;
  std::filesystem::path componentDir;
  std::string title;
  std::optional<setup::DateTime> release;  // default: now
  std::optional<std::filesystem::path> eula;
  std::string zlibVersion;  // lowest zlib version the setup accepts
  std::vector<ComponentSettings> components;
};

struct PackResult {
  bool ok = false;
  std::string error;  // what went wrong, for the user
  std::vector<std::uint8_t> image;
  std::string installInfo;  // text of nxinstall.inf
};

// Builds the setup image in memory.
PackResult buildPackage(const PackSettings& settings);

// Builds the package and writes it to settings.output; the error text when it fails.
std::optional<std::string> writePackage(const PackSettings& settings);

}  // namespace nx::pack
