// Decodes arbitrary bytes as stored properties, both as a body and as framed data. Data that
// decodes must encode and decode again to the same values and the same bytes; data that does not
// must leave the store as it was.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "core/persist/stream_codec.h"

namespace {

using nx::persist::DecodeStatus;
using nx::persist::StreamBag;

class PlainFont final : public nx::Font {
 public:
  explicit PlainFont(nx::FontDesc d) : d_(std::move(d)) {}
  std::string name() const override { return d_.name; }
  void setName(const std::string& name) override { d_.name = name; }
  double size() const override { return d_.size; }
  void setSize(double points) override { d_.size = points; }
  bool bold() const override { return d_.bold; }
  void setBold(bool on) override { d_.bold = on; }
  bool italic() const override { return d_.italic; }
  void setItalic(bool on) override { d_.italic = on; }
  bool underline() const override { return d_.underline; }
  void setUnderline(bool on) override { d_.underline = on; }

 private:
  nx::FontDesc d_;
};

StreamBag makeStore() {
  StreamBag s([](const nx::FontDesc& d) -> nx::FontRef { return std::make_shared<PlainFont>(d); });
  s.write("sentinel", std::int32_t{7}, {});
  return s;
}

// Identical down to the bits of floating-point values (NaN included).
bool identical(const nx::Value& a, const nx::Value& b) {
  if (a.index() != b.index()) return false;
  switch (nx::kindOf(a)) {
    case nx::ValueKind::Single:
      return std::bit_cast<std::uint32_t>(std::get<float>(a)) ==
             std::bit_cast<std::uint32_t>(std::get<float>(b));
    case nx::ValueKind::Double:
      return std::bit_cast<std::uint64_t>(std::get<double>(a)) ==
             std::bit_cast<std::uint64_t>(std::get<double>(b));
    case nx::ValueKind::Font: {
      const auto& fa = std::get<nx::FontRef>(a);
      const auto& fb = std::get<nx::FontRef>(b);
      if (!fa || !fb) return false;  // the factory here always makes a font
      const nx::FontDesc da = fa->describe();
      const nx::FontDesc db = fb->describe();
      return da.name == db.name &&
             std::bit_cast<std::uint64_t>(da.size) == std::bit_cast<std::uint64_t>(db.size) &&
             da.bold == db.bold && da.italic == db.italic && da.underline == db.underline;
    }
    case nx::ValueKind::Picture:
      return false;  // pictures are never decoded
    default:
      return a == b;
  }
}

bool identical(const StreamBag& a, const StreamBag& b) {
  if (a.values().size() != b.values().size()) return false;
  auto i = a.values().begin();
  auto j = b.values().begin();
  for (; i != a.values().end(); ++i, ++j)
    if (i->first != j->first || !identical(i->second, j->second)) return false;
  return true;
}

void check(StreamBag& decoded, DecodeStatus status) {
  if (status != DecodeStatus::Ok) {
    // A refusal leaves the store as it was.
    if (decoded.values().size() != 1 ||
        !identical(decoded.read("SENTINEL", {}), nx::Value{std::int32_t{7}}))
      __builtin_trap();
    return;
  }
  const std::vector<std::uint8_t> once = decoded.encode();
  if (once.size() != decoded.encodedSize()) __builtin_trap();
  StreamBag again = makeStore();
  std::size_t used = 0;
  if (again.decode(once, &used) != DecodeStatus::Ok || used != once.size()) __builtin_trap();
  if (!identical(decoded, again)) __builtin_trap();
  if (again.encode() != once) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  {
    StreamBag s = makeStore();
    const DecodeStatus status = s.decodeBody(bytes);
    check(s, status);
  }
  {
    StreamBag s = makeStore();
    std::size_t used = 0;
    const DecodeStatus status = s.decode(bytes, &used);
    if (status == DecodeStatus::Ok && (used < StreamBag::kFrameBytes || used > size))
      __builtin_trap();
    check(s, status);
    // Without a font factory the same data loads unless it holds a font.
    StreamBag plain;
    const DecodeStatus plainStatus = plain.decode(bytes);
    if (plainStatus != status && plainStatus != DecodeStatus::NoFontFactory) __builtin_trap();
  }
  return 0;
}
