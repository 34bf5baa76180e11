// The trailer and setup header reader, the Huffman decoder, and encoder/decoder agreement.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "nxsetup/huffman.h"
#include "nxsetup/setup_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  (void)nx::setup::readHeader(bytes);
  (void)nx::setup::trailerEnd(bytes);
  if (const auto header = nx::setup::readHeader(bytes)) {
    if (!nx::setup::payloadOf(bytes, *header)) std::abort();
  }

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  (void)nx::setup::huffDecode(text);

  if (size <= 4096) {
    if (const auto coded = nx::setup::huffEncode(text)) {
      const auto decoded = nx::setup::huffDecode(*coded);
      if (!decoded || *decoded != text) std::abort();
    }
  }
  return 0;
}
