// Feeds arbitrary bytes to checkNumber, completeNumber and splitCountryPrefix. The first byte
// picks the country index (-2..28), the rest is the number.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/nif_validator.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int index = static_cast<int>(data[0] % 31) - 2;
  const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

  const bool valid = nx::taxid::checkNumber(text, index);
  if ((index < 0 || index >= nx::taxid::kCountryCount) && !valid) __builtin_trap();

  const std::string completed = nx::taxid::completeNumber(text, index);
  if (completed.size() > text.size() + 3) __builtin_trap();

  std::string split = text;
  int found = 0;
  nx::taxid::splitCountryPrefix(split, found, (data[0] & 0x80) != 0);
  if (found < -1 || found >= nx::taxid::kCountryCount || split.size() > text.size())
    __builtin_trap();
  return 0;
}
