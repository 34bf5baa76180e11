// The ZIP reader over a memory image: every member is inflated and checked without writing;
// inputs starting with 'X' are also extracted into a scratch folder that is emptied each run.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "nxsetup/zip_extraction.h"

namespace {

const std::filesystem::path& scratch() {
  static const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("nxsetup-zip-fuzz-" + std::to_string(std::random_device{}()));
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> image(data, data + size);
  nx::setup::ZipExtractionClass zip;
  zip.setMemberLimit(16u << 20);
  if (!zip.OpenZipImage(image, "fuzz.zip")) return 0;
  (void)zip.Verify();
  if (size > 0 && data[0] == 'X') {
    std::error_code ec;
    std::filesystem::remove_all(scratch(), ec);
    (void)zip.Extract(scratch().string(), (size & 1) != 0, true);
    std::filesystem::remove_all(scratch(), ec);
  }
  return 0;
}
