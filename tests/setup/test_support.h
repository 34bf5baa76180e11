// Helpers shared by the setup tests: temporary folders, whole-file I/O, external tools and a
// builder of small PE images.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "nxsetup/install_info.h"
#include "nxsetup/pe_version.h"

namespace nx::setup::test {

// Folders of a typical machine, for expanding install targets in tests.
std::string fakeFolder(TargetFolder f);

// A fresh folder under the system temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);
std::vector<std::uint8_t> toBytes(const std::string& text);
std::vector<std::uint8_t> randomBytes(std::size_t count, std::uint32_t seed);

// True when a program of that name is on the PATH.
bool haveTool(const std::string& name);
// Runs a shell command; its exit status.
int run(const std::string& command);
// Single-quoted for the shell.
std::string quoted(const std::string& text);

// Every file and folder under root as "relative/path" (folders end in "/"), sorted.
std::vector<std::string> listTree(const std::filesystem::path& root);

struct PeOptions {
  std::optional<FileVersion> version;  // adds a version resource
  std::size_t imageSize = 1024;        // total size, padded with zeros
};

// A small PE32 image with one resource section.
std::vector<std::uint8_t> buildPeImage(const PeOptions& options);

// Marks the file as Authenticode-signed: pads it to 8 bytes, appends a certificate table of
// `tableSize` bytes and points the PE security directory at it.
void appendCertificateTable(std::vector<std::uint8_t>& file, std::uint32_t tableSize);

// Writes a 32-bit little-endian value.
void poke32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value);
void poke16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value);

}  // namespace nx::setup::test
