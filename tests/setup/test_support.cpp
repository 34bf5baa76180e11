#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace nx::setup::test {

TempDir::TempDir() {
  static std::mt19937 rng(std::random_device{}());
  for (;;) {
    path_ = fs::temp_directory_path() / ("nxsetup-test-" + std::to_string(rng()));
    std::error_code ec;
    if (fs::create_directory(path_, ec)) break;
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::vector<std::uint8_t> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

void writeText(const fs::path& path, const std::string& text) {
  writeBytes(path, toBytes(text));
}

std::vector<std::uint8_t> toBytes(const std::string& text) {
  return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> randomBytes(std::size_t count, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> out(count);
  for (auto& b : out) b = static_cast<std::uint8_t>(rng() & 0xFF);
  return out;
}

bool haveTool(const std::string& name) {
  return run("command -v " + name + " >/dev/null 2>&1") == 0;
}

int run(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status == -1) return -1;
#ifdef WEXITSTATUS
  return WEXITSTATUS(status);
#else
  return status;
#endif
}

std::string quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) {
    if (c == '\'') {
      out += "'\\''";
    } else {
      out += c;
    }
  }
  return out + "'";
}

std::vector<std::string> listTree(const fs::path& root) {
  std::vector<std::string> out;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    std::string rel = fs::relative(entry.path(), root).generic_string();
    if (entry.is_directory()) rel += "/";
    out.push_back(rel);
  }
  std::sort(out.begin(), out.end());
  return out;
}

void poke32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
  if (bytes.size() < at + 4) bytes.resize(at + 4);
  for (int i = 0; i < 4; ++i) bytes[at + static_cast<std::size_t>(i)] = (value >> (8 * i)) & 0xFF;
}

void poke16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
  if (bytes.size() < at + 2) bytes.resize(at + 2);
  bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

namespace {

constexpr std::size_t kPeAt = 0x40;
constexpr std::size_t kOptAt = kPeAt + 24;
constexpr std::size_t kDirsAt = kOptAt + 96;
constexpr std::size_t kSectionAt = kOptAt + 224;
constexpr std::size_t kRawAt = 0x200;
constexpr std::uint32_t kRva = 0x1000;

}  // namespace

std::vector<std::uint8_t> buildPeImage(const PeOptions& options) {
  std::vector<std::uint8_t> pe(kRawAt, 0);
  pe[0] = 'M';
  pe[1] = 'Z';
  poke32(pe, 0x3C, kPeAt);
  poke32(pe, kPeAt, 0x4550);
  poke16(pe, kPeAt + 4, 0x14C);  // i386
  poke16(pe, kPeAt + 6, 1);      // one section
  poke16(pe, kPeAt + 20, 224);   // optional header size
  poke16(pe, kOptAt, 0x10B);
  poke32(pe, kOptAt + 92, 16);

  std::vector<std::uint8_t> rsrc;
  if (options.version) {
    // type 16 -> name 1 -> language 0x409 -> data entry -> VS_VERSIONINFO
    poke16(rsrc, 14, 1);
    poke32(rsrc, 16, 16);
    poke32(rsrc, 20, 0x80000000U | 0x18);
    poke16(rsrc, 0x18 + 14, 1);
    poke32(rsrc, 0x18 + 16, 1);
    poke32(rsrc, 0x18 + 20, 0x80000000U | 0x30);
    poke16(rsrc, 0x30 + 14, 1);
    poke32(rsrc, 0x30 + 16, 0x409);
    poke32(rsrc, 0x30 + 20, 0x48);
    const std::uint32_t infoAt = 0x58;
    const std::uint32_t infoSize = 40 + 52;
    poke32(rsrc, 0x48, kRva + infoAt);
    poke32(rsrc, 0x48 + 4, infoSize);
    poke16(rsrc, infoAt, static_cast<std::uint16_t>(infoSize));
    poke16(rsrc, infoAt + 2, 52);
    const std::string key = "VS_VERSION_INFO";
    for (std::size_t i = 0; i < key.size(); ++i)
      poke16(rsrc, infoAt + 6 + 2 * i, std::uint16_t(key[i]));
    const FileVersion& v = *options.version;
    const std::size_t fixed = infoAt + 40;
    poke32(rsrc, fixed, 0xFEEF04BDU);
    poke32(rsrc, fixed + 4, 0x10000);
    poke32(rsrc, fixed + 8, (std::uint32_t{v.major} << 16) | v.minor);
    poke32(rsrc, fixed + 12, (std::uint32_t{v.build} << 16) | v.revision);
    poke32(rsrc, fixed + 16, (std::uint32_t{v.major} << 16) | v.minor);
    poke32(rsrc, fixed + 20, (std::uint32_t{v.build} << 16) | v.revision);
    poke32(rsrc, fixed + 48, 0);
    poke32(pe, kDirsAt + 2 * 8, kRva);
    poke32(pe, kDirsAt + 2 * 8 + 4, static_cast<std::uint32_t>(rsrc.size()));
  }
  rsrc.resize((rsrc.size() + 0x1FF) & ~std::size_t{0x1FF});
  const char name[] = ".rsrc";
  std::copy(name, name + 5, pe.begin() + kSectionAt);
  poke32(pe, kSectionAt + 8, static_cast<std::uint32_t>(rsrc.size()));
  poke32(pe, kSectionAt + 12, kRva);
  poke32(pe, kSectionAt + 16, static_cast<std::uint32_t>(rsrc.size()));
  poke32(pe, kSectionAt + 20, kRawAt);
  pe.insert(pe.end(), rsrc.begin(), rsrc.end());
  if (pe.size() < options.imageSize) pe.resize(options.imageSize, 0);
  return pe;
}

void appendCertificateTable(std::vector<std::uint8_t>& file, std::uint32_t tableSize) {
  while (file.size() % 8 != 0) file.push_back(0);
  const auto at = static_cast<std::uint32_t>(file.size());
  std::vector<std::uint8_t> table = randomBytes(tableSize, 77);
  poke32(table, 0, tableSize);  // WIN_CERTIFICATE.dwLength
  file.insert(file.end(), table.begin(), table.end());
  poke32(file, kDirsAt + 4 * 8, at);
  poke32(file, kDirsAt + 4 * 8 + 4, tableSize);
}

std::string fakeFolder(TargetFolder f) {
  switch (f) {
    case TargetFolder::System:
      return "C:\\WINDOWS\\system32\\";
    case TargetFolder::ProgramFiles:
      return "C:\\Program Files";
    case TargetFolder::Windows:
      return "C:\\WINDOWS";
    case TargetFolder::System32Bit:
      return "C:\\WINDOWS\\SysWOW64";
  }
  return {};
}

}  // namespace nx::setup::test
