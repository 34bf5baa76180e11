// The PE header and version resource reader, and the bitness and machine read from the PE
// header.
#include <cstddef>
#include <cstdint>
#include <span>

#include "nxsetup/pe_image.h"
#include "nxsetup/pe_version.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (const auto res = nx::setup::readVersionResource(std::span<const std::uint8_t>(data, size))) {
    (void)nx::setup::formatFileVersion(res->file);
  }
  (void)nx::setup::peImageBits(std::span<const std::uint8_t>(data, size));
  (void)nx::setup::peMachine(std::span<const std::uint8_t>(data, size));
  return 0;
}
