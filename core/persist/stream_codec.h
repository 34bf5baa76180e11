// The suite's stream format for a control's stored properties, and the in-memory property store
// that reads and writes it.
//
// Layout, every integer little-endian:
//   u32 body length, then the body:
//   "NXPS", u16 format version (2; version 1 is read too), u32 value count, then per value:
//     u16 key length, key bytes (UTF-8), u8 kind (the index of ValueKind), payload by kind:
//       Empty           nothing
//       Picture         u32 length, the picture's bytes as the platform saves a picture file
//                       (length 0: no picture); version 1 kept no bytes for pictures
//       Int16           i16
//       Int32           i32
//       Bool            i16, -1 true, 0 false (any other non-zero reads as true)
//       Single          IEEE 754 binary32
//       Double          IEEE 754 binary64
//       String          u32 length, bytes (UTF-8)
//       Font            u32 name length, name bytes, binary64 size in points,
//                       u8 flags (1 bold, 2 italic, 4 underline)
//       Currency        i64, units of 1/10000
// The body length frames the data so that a container can keep other data after it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/host.h"

namespace nx::persist {

// Why stored data was refused.
enum class DecodeStatus {
  Ok,
  Truncated,      // the data ends before what it declares
  TooLarge,       // a declared length is beyond the format's limit
  BadMagic,       // not data of this format
  BadVersion,     // a format version this build does not read
  BadKind,        // an unknown value kind
  BadValue,       // a value no object can have (a font size that is not a finite size)
  TrailingData,   // bytes left in the body after the last value
  NoFontFactory,  // a font is stored but the store has no way to make font objects
};

const char* describe(DecodeStatus status);

// Makes the platform's font object for a stored description. May return null when the platform
// cannot make the font; the value then reads back as a null font.
using FontFactory = std::function<FontRef(const FontDesc&)>;

// Keeps the platform's pictures as bytes: `save` gives the bytes of a picture (empty for one it
// cannot keep), `load` makes a picture of them (null when they are not a picture). Without a
// codec pictures are kept empty and stored bytes load as no picture.
struct PictureCodec {
  std::function<std::vector<std::uint8_t>(const Picture&)> save;
  std::function<PictureRef(std::span<const std::uint8_t>)> load;
};

// Keys are compared with ASCII letters folded to lower case; other bytes compare as they are.
struct NoCaseLess {
  bool operator()(std::string_view a, std::string_view b) const;
  using is_transparent = void;
};

class StreamBag final : public PropertyBag {
 public:
  static constexpr std::uint16_t kVersion = 2;
  static constexpr std::size_t kFrameBytes = 4;
  // Longest body accepted and written.
  static constexpr std::uint32_t kMaxBodyBytes = 64u << 20;
  static constexpr std::size_t kMaxKeyBytes = 0xFFFF;

  using Map = std::map<std::string, Value, NoCaseLess>;

  explicit StreamBag(FontFactory fonts = {}, PictureCodec pictures = {})
      : fonts_(std::move(fonts)), pictures_(std::move(pictures)) {}

  // Every value written is kept, whatever its default. A key differing from a stored one only in
  // letter case replaces that value and keeps the stored spelling. A key longer than
  // kMaxKeyBytes raises HostError.
  Value read(std::string_view key, const Value& defaultValue) override;
  void write(std::string_view key, const Value& value, const Value& defaultValue) override;

  const Map& values() const { return values_; }
  void clear() { values_.clear(); }

  // The framed data (length and body). Raises HostError when the body would exceed
  // kMaxBodyBytes, so that nothing is saved that could not be loaded again.
  std::vector<std::uint8_t> encode() const;
  // Bytes that encode() gives, without building them.
  std::uint64_t encodedSize() const;

  // The body length declared by a frame's first kFrameBytes bytes.
  static std::uint32_t frameLength(std::span<const std::uint8_t, kFrameBytes> frame);

  // Replaces the values with those of framed data. Bytes after the frame are not looked at;
  // `used` (when given) receives the frame's size on success. On failure the store keeps the
  // values it had.
  DecodeStatus decode(std::span<const std::uint8_t> framed, std::size_t* used = nullptr);
  // The same for a body without its length.
  DecodeStatus decodeBody(std::span<const std::uint8_t> body);

 private:
  // The bytes of every picture value, in the order of the values.
  std::vector<std::vector<std::uint8_t>> pictureBytes() const;
  std::uint64_t encodedSize(const std::vector<std::vector<std::uint8_t>>& pictures) const;

  FontFactory fonts_;
  PictureCodec pictures_;
  Map values_;
};

}  // namespace nx::persist
