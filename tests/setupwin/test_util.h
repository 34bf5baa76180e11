// Helpers of the Windows setup tests: scratch folders and whole-file access.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace nx::setup::win::test {

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }  // no trailing backslash
  std::string file(std::string_view name) const { return path_ + "\\" + std::string(name); }

 private:
  std::string path_;
};

void writeBytes(const std::string& path, std::string_view data);
std::string readBytes(const std::string& path);

// The Windows path Wine gives a Unix path (drive Z: is the Unix root).
std::string unixToWindows(std::string_view unixPath);

// True when running under Wine (which keeps no creation times and always shows the archive
// attribute on Linux file systems).
bool underWine();

// The zlib DLL the setup carries, as bytes.
std::vector<std::uint8_t> zlibDllImage();

}  // namespace nx::setup::win::test
