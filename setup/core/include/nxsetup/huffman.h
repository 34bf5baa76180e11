// Huffman coding of the setup header carried in the trailer of nxinstall.
//
// Coded layout (bytes numbered from 0):
//   0..2      bit count N = b0 * 32400 + b1 * 180 + b2 (b1, b2 each 0..179)
//   3         symbol count k minus 1 (k is 1..256)
//   4..3+2k   k pairs (symbol, weight), weight 1..255 (0 = never in the tree)
//   4+2k..    code bytes; bit m (m = 1..N) is bit (m % 8) of code byte (m / 8),
//             bit 0 the least significant, so bit 0 of code byte 0 is unused.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace nx::setup {

// Most tree nodes the decoder accepts.
inline constexpr int kHuffMaxNodes = 10000;
// Largest bit count the three base-180 digits can express.
inline constexpr long kHuffMaxBits = 255L * 32400L + 179L * 180L + 179L;

// Decodes coded bytes (one char per byte). Returns nothing when the coded text is malformed:
// too short, digits out of range, symbol pairs or code bits beyond the text, no tree to walk.
// A table whose tree is a single leaf yields that leaf's symbol once per code bit.
std::optional<std::string> huffDecode(std::string_view coded);

// Encodes plain bytes so that huffDecode gives them back. Symbol weights are the byte
// frequencies scaled into 1..255. Returns nothing for an empty text or one whose code would
// need more bits than the header can count.
std::optional<std::string> huffEncode(std::string_view plain);

}  // namespace nx::setup
