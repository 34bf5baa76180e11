// The PE machine reader.
#include <cstddef>
#include <cstdint>
#include <span>

#include "nxsetup/pe_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  (void)nx::setup::peMachine(std::span<const std::uint8_t>(data, size));
  return 0;
}
