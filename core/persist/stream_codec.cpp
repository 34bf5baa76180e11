#include "core/persist/stream_codec.h"

#include <bit>
#include <cmath>
#include <cstring>

#include "core/runtime/errors.h"

namespace nx::persist {

namespace {

constexpr std::uint8_t kMagic[4] = {'N', 'X', 'P', 'S'};
// Magic, version and count.
constexpr std::size_t kHeaderBytes = 4 + 2 + 4;
// The least a value takes: key length and kind.
constexpr std::size_t kMinValueBytes = 2 + 1;

constexpr std::uint8_t kBold = 1;
constexpr std::uint8_t kItalic = 2;
constexpr std::uint8_t kUnderline = 4;

char folded(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

class Writer {
 public:
  explicit Writer(std::vector<std::uint8_t>& out) : out_(out) {}
  void bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    out_.insert(out_.end(), b, b + n);
  }
  void u8(std::uint8_t v) { out_.push_back(v); }
  void u16(std::uint16_t v) {
    u8(static_cast<std::uint8_t>(v));
    u8(static_cast<std::uint8_t>(v >> 8));
  }
  void u32(std::uint32_t v) {
    u16(static_cast<std::uint16_t>(v));
    u16(static_cast<std::uint16_t>(v >> 16));
  }
  void u64(std::uint64_t v) {
    u32(static_cast<std::uint32_t>(v));
    u32(static_cast<std::uint32_t>(v >> 32));
  }
  void text32(const std::string& s) {
    u32(static_cast<std::uint32_t>(s.size()));
    bytes(s.data(), s.size());
  }

 private:
  std::vector<std::uint8_t>& out_;
};

// Reads from a span, never past its end: every read says whether the bytes were there.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> in) : in_(in) {}
  std::size_t remaining() const { return in_.size() - pos_; }
  bool bytes(void* p, std::size_t n) {
    if (remaining() < n) return false;
    if (n) std::memcpy(p, in_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  bool u8(std::uint8_t& v) { return bytes(&v, 1); }
  bool u16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (!bytes(b, 2)) return false;
    v = static_cast<std::uint16_t>(b[0] | (b[1] << 8));
    return true;
  }
  bool u32(std::uint32_t& v) {
    std::uint16_t lo = 0, hi = 0;
    if (!u16(lo) || !u16(hi)) return false;
    v = lo | (static_cast<std::uint32_t>(hi) << 16);
    return true;
  }
  bool u64(std::uint64_t& v) {
    std::uint32_t lo = 0, hi = 0;
    if (!u32(lo) || !u32(hi)) return false;
    v = lo | (static_cast<std::uint64_t>(hi) << 32);
    return true;
  }
  // `n` bytes as a string; a length beyond the input is refused before anything is allocated.
  bool text(std::size_t n, std::string& s) {
    if (remaining() < n) return false;
    s.assign(reinterpret_cast<const char*>(in_.data() + pos_), n);
    pos_ += n;
    return true;
  }
  bool text32(std::string& s) {
    std::uint32_t n = 0;
    return u32(n) && text(n, s);
  }

 private:
  std::span<const std::uint8_t> in_;
  std::size_t pos_ = 0;
};

// `picture`: the bytes kept for a picture value.
std::uint64_t payloadSize(const Value& v, const std::vector<std::uint8_t>& picture) {
  switch (kindOf(v)) {
    case ValueKind::Empty:
      return 0;
    case ValueKind::Picture:
      return 4 + picture.size();
    case ValueKind::Int16:
    case ValueKind::Bool:
      return 2;
    case ValueKind::Int32:
    case ValueKind::Single:
      return 4;
    case ValueKind::Double:
    case ValueKind::Currency:
      return 8;
    case ValueKind::String:
      return 4 + std::get<std::string>(v).size();
    case ValueKind::Font: {
      const FontRef& f = std::get<FontRef>(v);
      return 4 + (f ? f->name().size() : FontDesc{}.name.size()) + 8 + 1;
    }
  }
  return 0;
}

void writeValue(Writer& w, const Value& v, const std::vector<std::uint8_t>& picture) {
  w.u8(static_cast<std::uint8_t>(kindOf(v)));
  switch (kindOf(v)) {
    case ValueKind::Empty:
      break;
    case ValueKind::Picture:
      w.u32(static_cast<std::uint32_t>(picture.size()));
      w.bytes(picture.data(), picture.size());
      break;
    case ValueKind::Int16:
      w.u16(static_cast<std::uint16_t>(std::get<std::int16_t>(v)));
      break;
    case ValueKind::Int32:
      w.u32(static_cast<std::uint32_t>(std::get<std::int32_t>(v)));
      break;
    case ValueKind::Bool:
      w.u16(static_cast<std::uint16_t>(std::get<VBool>(v)));
      break;
    case ValueKind::Single:
      w.u32(std::bit_cast<std::uint32_t>(std::get<float>(v)));
      break;
    case ValueKind::Double:
      w.u64(std::bit_cast<std::uint64_t>(std::get<double>(v)));
      break;
    case ValueKind::Currency:  // units of 1/10000, i64 little-endian
      w.u64(static_cast<std::uint64_t>(std::get<Currency>(v).units));
      break;
    case ValueKind::String:
      w.text32(std::get<std::string>(v));
      break;
    case ValueKind::Font: {
      const FontRef& f = std::get<FontRef>(v);
      const FontDesc d = f ? f->describe() : FontDesc{};
      w.text32(d.name);
      w.u64(std::bit_cast<std::uint64_t>(d.size));
      w.u8(static_cast<std::uint8_t>((d.bold ? kBold : 0) | (d.italic ? kItalic : 0) |
                                     (d.underline ? kUnderline : 0)));
      break;
    }
  }
}

DecodeStatus readValue(Reader& r, std::uint16_t version, const FontFactory& fonts,
                       const PictureCodec& pictures, Value& v) {
  std::uint8_t kind = 0;
  if (!r.u8(kind)) return DecodeStatus::Truncated;
  switch (kind) {
    case static_cast<std::uint8_t>(ValueKind::Empty):
      v = std::monostate{};
      return DecodeStatus::Ok;
    case static_cast<std::uint8_t>(ValueKind::Picture): {
      v = std::monostate{};
      if (version < 2) return DecodeStatus::Ok;
      std::uint32_t n = 0;
      if (!r.u32(n)) return DecodeStatus::Truncated;
      if (r.remaining() < n) return DecodeStatus::Truncated;
      std::vector<std::uint8_t> bytes(n);
      r.bytes(bytes.data(), n);
      if (n > 0 && pictures.load) {
        if (PictureRef picture = pictures.load(bytes)) v = std::move(picture);
      }
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Int16): {
      std::uint16_t x = 0;
      if (!r.u16(x)) return DecodeStatus::Truncated;
      v = static_cast<std::int16_t>(x);
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Int32): {
      std::uint32_t x = 0;
      if (!r.u32(x)) return DecodeStatus::Truncated;
      v = static_cast<std::int32_t>(x);
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Bool): {
      std::uint16_t x = 0;
      if (!r.u16(x)) return DecodeStatus::Truncated;
      v = x ? VBool::True : VBool::False;
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Single): {
      std::uint32_t x = 0;
      if (!r.u32(x)) return DecodeStatus::Truncated;
      v = std::bit_cast<float>(x);
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Double): {
      std::uint64_t x = 0;
      if (!r.u64(x)) return DecodeStatus::Truncated;
      v = std::bit_cast<double>(x);
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Currency): {
      std::uint64_t x = 0;
      if (!r.u64(x)) return DecodeStatus::Truncated;
      v = Currency{static_cast<std::int64_t>(x)};
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::String): {
      std::string s;
      if (!r.text32(s)) return DecodeStatus::Truncated;
      v = std::move(s);
      return DecodeStatus::Ok;
    }
    case static_cast<std::uint8_t>(ValueKind::Font): {
      FontDesc d;
      std::uint64_t size = 0;
      std::uint8_t flags = 0;
      if (!r.text32(d.name) || !r.u64(size) || !r.u8(flags)) return DecodeStatus::Truncated;
      d.size = std::bit_cast<double>(size);
      if (!std::isfinite(d.size) || d.size < 0.0) return DecodeStatus::BadValue;
      d.bold = (flags & kBold) != 0;
      d.italic = (flags & kItalic) != 0;
      d.underline = (flags & kUnderline) != 0;
      if (!fonts) return DecodeStatus::NoFontFactory;
      v = fonts(d);
      return DecodeStatus::Ok;
    }
    default:
      return DecodeStatus::BadKind;
  }
}

}  // namespace

const char* describe(DecodeStatus status) {
  switch (status) {
    case DecodeStatus::Ok:
      return "ok";
    case DecodeStatus::Truncated:
      return "the stored data is cut short";
    case DecodeStatus::TooLarge:
      return "the stored data declares more than the format allows";
    case DecodeStatus::BadMagic:
      return "the data is not stored properties";
    case DecodeStatus::BadVersion:
      return "the stored properties are of an unknown format version";
    case DecodeStatus::BadKind:
      return "a stored value is of an unknown kind";
    case DecodeStatus::BadValue:
      return "a stored value is out of range";
    case DecodeStatus::TrailingData:
      return "the stored data has bytes after its last value";
    case DecodeStatus::NoFontFactory:
      return "a stored font cannot be made here";
  }
  return "unknown error";
}

bool NoCaseLess::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char x = folded(a[i]);
    const char y = folded(b[i]);
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

Value StreamBag::read(std::string_view key, const Value& defaultValue) {
  const auto it = values_.find(key);
  return it == values_.end() ? defaultValue : it->second;
}

void StreamBag::write(std::string_view key, const Value& value, const Value&) {
  if (key.size() > kMaxKeyBytes) throw HostError("property name too long to store");
  const auto it = values_.find(key);
  if (it != values_.end()) {
    it->second = value;
  } else {
    values_.emplace(std::string(key), value);
  }
}

std::vector<std::vector<std::uint8_t>> StreamBag::pictureBytes() const {
  std::vector<std::vector<std::uint8_t>> out;
  out.reserve(values_.size());
  for (const auto& entry : values_) {
    const Value& value = entry.second;
    std::vector<std::uint8_t> bytes;
    if (kindOf(value) == ValueKind::Picture && pictures_.save) {
      if (const PictureRef& p = std::get<PictureRef>(value)) bytes = pictures_.save(*p);
    }
    out.push_back(std::move(bytes));
  }
  return out;
}

std::uint64_t StreamBag::encodedSize(const std::vector<std::vector<std::uint8_t>>& pictures) const {
  std::uint64_t n = kFrameBytes + kHeaderBytes;
  std::size_t i = 0;
  for (const auto& [key, value] : values_)
    n += 2 + key.size() + 1 + payloadSize(value, pictures[i++]);
  return n;
}

std::uint64_t StreamBag::encodedSize() const {
  return encodedSize(pictureBytes());
}

std::vector<std::uint8_t> StreamBag::encode() const {
  const std::vector<std::vector<std::uint8_t>> pictures = pictureBytes();
  const std::uint64_t total = encodedSize(pictures);
  if (total - kFrameBytes > kMaxBodyBytes) throw HostError("too much data to store");
  std::vector<std::uint8_t> out;
  out.reserve(static_cast<std::size_t>(total));
  Writer w(out);
  w.u32(static_cast<std::uint32_t>(total - kFrameBytes));
  w.bytes(kMagic, sizeof kMagic);
  w.u16(kVersion);
  w.u32(static_cast<std::uint32_t>(values_.size()));
  std::size_t i = 0;
  for (const auto& [key, value] : values_) {
    w.u16(static_cast<std::uint16_t>(key.size()));
    w.bytes(key.data(), key.size());
    writeValue(w, value, pictures[i++]);
  }
  // A font whose name changed between measuring and writing would make the frame lie.
  if (out.size() != total) throw HostError("stored values changed while being saved");
  return out;
}

std::uint32_t StreamBag::frameLength(std::span<const std::uint8_t, kFrameBytes> frame) {
  return frame[0] | (static_cast<std::uint32_t>(frame[1]) << 8) |
         (static_cast<std::uint32_t>(frame[2]) << 16) |
         (static_cast<std::uint32_t>(frame[3]) << 24);
}

DecodeStatus StreamBag::decode(std::span<const std::uint8_t> framed, std::size_t* used) {
  if (framed.size() < kFrameBytes) return DecodeStatus::Truncated;
  const std::uint32_t length = frameLength(framed.first<kFrameBytes>());
  if (length > kMaxBodyBytes) return DecodeStatus::TooLarge;
  if (framed.size() - kFrameBytes < length) return DecodeStatus::Truncated;
  const DecodeStatus status = decodeBody(framed.subspan(kFrameBytes, length));
  if (status == DecodeStatus::Ok && used) *used = kFrameBytes + length;
  return status;
}

DecodeStatus StreamBag::decodeBody(std::span<const std::uint8_t> body) {
  if (body.size() > kMaxBodyBytes) return DecodeStatus::TooLarge;
  Reader r(body);
  std::uint8_t magic[4];
  if (!r.bytes(magic, sizeof magic)) return DecodeStatus::Truncated;
  if (std::memcmp(magic, kMagic, sizeof magic) != 0) return DecodeStatus::BadMagic;
  std::uint16_t version = 0;
  if (!r.u16(version)) return DecodeStatus::Truncated;
  if (version < 1 || version > kVersion) return DecodeStatus::BadVersion;
  std::uint32_t count = 0;
  if (!r.u32(count)) return DecodeStatus::Truncated;
  // Each value takes a few bytes at least: more values than that cannot be there.
  if (count > r.remaining() / kMinValueBytes) return DecodeStatus::Truncated;

  // Decoded aside, so that a failure leaves the current values as they were. A key met twice
  // keeps its first spelling and its last value, as writing it twice would.
  Map loaded;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint16_t n = 0;
    std::string key;
    if (!r.u16(n) || !r.text(n, key)) return DecodeStatus::Truncated;
    Value value;
    const DecodeStatus status = readValue(r, version, fonts_, pictures_, value);
    if (status != DecodeStatus::Ok) return status;
    const auto it = loaded.find(key);
    if (it != loaded.end()) {
      it->second = std::move(value);
    } else {
      loaded.emplace(std::move(key), std::move(value));
    }
  }
  if (r.remaining() != 0) return DecodeStatus::TrailingData;
  values_.swap(loaded);
  return DecodeStatus::Ok;
}

}  // namespace nx::persist
