#include "platform/win32/com/persistence.h"

#include <cstring>
#include <vector>

#include "core/runtime/errors.h"
#include "platform/win32/com/bstr.h"
#include "platform/win32/com/value_variant.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {

namespace {

const wchar_t* const kFontParts[] = {L".Name", L".Size", L".Bold", L".Italic", L".Underline"};

Value fontFromParts(const Value parts[5], const FontRef& fallback) {
  FontDesc d = fallback ? fallback->describe() : FontDesc{};
  if (!isEmpty(parts[0])) d.name = toText(parts[0]);
  if (!isEmpty(parts[1])) d.size = toDouble(parts[1]);
  if (!isEmpty(parts[2])) d.bold = toBool(parts[2]);
  if (!isEmpty(parts[3])) d.italic = toBool(parts[3]);
  if (!isEmpty(parts[4])) d.underline = toBool(parts[4]);
  return FontRef(OleFont::create(d));
}

}  // namespace

bool BagStore::readVariant(const std::wstring& key, VARIANT& out) {
  VariantInit(&out);
  return SUCCEEDED(bag_->Read(key.c_str(), &out, log_));
}

void BagStore::writeVariant(const std::wstring& key, const VARIANT& value) {
  VARIANT copy;
  VariantInit(&copy);
  VariantCopy(&copy, const_cast<VARIANT*>(&value));
  const HRESULT hr = bag_->Write(key.c_str(), &copy);
  VariantClear(&copy);
  if (FAILED(hr)) throw HostError("the property bag refused a value");
}

Value BagStore::read(std::string_view key, const Value& defaultValue) {
  const std::wstring wkey = toWide(key);
  if (kindOf(defaultValue) == ValueKind::Font) {
    Value parts[5];
    bool any = false;
    for (int i = 0; i < 5; ++i) {
      VARIANT v;
      if (!readVariant(wkey + kFontParts[i], v)) continue;
      fromVariant(v, parts[i]);
      VariantClear(&v);
      any = true;
    }
    return any ? fontFromParts(parts, std::get<FontRef>(defaultValue)) : defaultValue;
  }
  VARIANT v;
  if (!readVariant(wkey, v)) return defaultValue;
  Value out;
  const HRESULT hr = fromVariant(v, out);
  VariantClear(&v);
  if (FAILED(hr)) throw ConversionError("stored value of unsupported type");
  return out;
}

void BagStore::write(std::string_view key, const Value& value, const Value& defaultValue) {
  if (!isEmpty(defaultValue) && sameValue(value, defaultValue)) return;
  const std::wstring wkey = toWide(key);
  if (kindOf(value) == ValueKind::Font) {
    const FontRef font = std::get<FontRef>(value);
    if (!font) return;
    const FontDesc d = font->describe();
    const Value parts[5] = {d.name, d.size, toVBool(d.bold), toVBool(d.italic),
                            toVBool(d.underline)};
    for (int i = 0; i < 5; ++i) {
      VARIANT v;
      toVariant(parts[i], v);
      writeVariant(wkey + kFontParts[i], v);
      VariantClear(&v);
    }
    return;
  }
  VARIANT v;
  toVariant(value, v);
  writeVariant(wkey, v);
  VariantClear(&v);
}

// ---- stream store ----

bool StreamStore::NoCase::operator()(const std::string& a, const std::string& b) const {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const char x = (a[i] >= 'A' && a[i] <= 'Z') ? static_cast<char>(a[i] + 32) : a[i];
    const char y = (b[i] >= 'A' && b[i] <= 'Z') ? static_cast<char>(b[i] + 32) : b[i];
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

Value StreamStore::read(std::string_view key, const Value& defaultValue) {
  const auto it = values_.find(std::string(key));
  return it == values_.end() ? defaultValue : it->second;
}

void StreamStore::write(std::string_view key, const Value& value, const Value&) {
  values_[std::string(key)] = value;
}

namespace {

class Writer {
 public:
  void bytes(const void* p, std::size_t n) {
    const auto* b = static_cast<const std::uint8_t*>(p);
    out.insert(out.end(), b, b + n);
  }
  template <class T>
  void pod(T v) {
    bytes(&v, sizeof v);
  }
  void text(const std::string& s) {
    pod(static_cast<std::uint32_t>(s.size()));
    bytes(s.data(), s.size());
  }
  std::vector<std::uint8_t> out;
};

class Reader {
 public:
  explicit Reader(const std::vector<std::uint8_t>& in) : in_(in) {}
  bool bytes(void* p, std::size_t n) {
    if (in_.size() - pos_ < n) return false;
    std::memcpy(p, in_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  template <class T>
  bool pod(T& v) {
    return bytes(&v, sizeof v);
  }
  bool text(std::string& s) {
    std::uint32_t n = 0;
    if (!pod(n) || in_.size() - pos_ < n) return false;
    s.assign(reinterpret_cast<const char*>(in_.data() + pos_), n);
    pos_ += n;
    return true;
  }

 private:
  const std::vector<std::uint8_t>& in_;
  std::size_t pos_ = 0;
};

void writeValue(Writer& w, const Value& v) {
  w.pod(static_cast<std::uint8_t>(kindOf(v)));
  switch (kindOf(v)) {
    case ValueKind::Empty:
    case ValueKind::Picture:  // pictures are not kept in the stream
      break;
    case ValueKind::Int16:
      w.pod(std::get<std::int16_t>(v));
      break;
    case ValueKind::Int32:
      w.pod(std::get<std::int32_t>(v));
      break;
    case ValueKind::Bool:
      w.pod(static_cast<std::int16_t>(std::get<VBool>(v)));
      break;
    case ValueKind::Single:
      w.pod(std::get<float>(v));
      break;
    case ValueKind::Double:
      w.pod(std::get<double>(v));
      break;
    case ValueKind::String:
      w.text(std::get<std::string>(v));
      break;
    case ValueKind::Font: {
      const FontRef& f = std::get<FontRef>(v);
      const FontDesc d = f ? f->describe() : FontDesc{};
      w.text(d.name);
      w.pod(d.size);
      w.pod(
          static_cast<std::uint8_t>((d.bold ? 1 : 0) | (d.italic ? 2 : 0) | (d.underline ? 4 : 0)));
      break;
    }
  }
}

bool readValue(Reader& r, Value& v) {
  std::uint8_t kind = 0;
  if (!r.pod(kind)) return false;
  switch (static_cast<ValueKind>(kind)) {
    case ValueKind::Empty:
    case ValueKind::Picture:
      v = std::monostate{};
      return true;
    case ValueKind::Int16: {
      std::int16_t x;
      if (!r.pod(x)) return false;
      v = x;
      return true;
    }
    case ValueKind::Int32: {
      std::int32_t x;
      if (!r.pod(x)) return false;
      v = x;
      return true;
    }
    case ValueKind::Bool: {
      std::int16_t x;
      if (!r.pod(x)) return false;
      v = x ? VBool::True : VBool::False;
      return true;
    }
    case ValueKind::Single: {
      float x;
      if (!r.pod(x)) return false;
      v = x;
      return true;
    }
    case ValueKind::Double: {
      double x;
      if (!r.pod(x)) return false;
      v = x;
      return true;
    }
    case ValueKind::String: {
      std::string s;
      if (!r.text(s)) return false;
      v = std::move(s);
      return true;
    }
    case ValueKind::Font: {
      FontDesc d;
      std::uint8_t flags = 0;
      if (!r.text(d.name) || !r.pod(d.size) || !r.pod(flags)) return false;
      d.bold = flags & 1;
      d.italic = flags & 2;
      d.underline = flags & 4;
      v = FontRef(OleFont::create(d));
      return true;
    }
  }
  return false;
}

constexpr char kMagic[4] = {'N', 'X', 'P', 'S'};

std::vector<std::uint8_t> serialize(
    const std::map<std::string, Value, StreamStore::NoCase>& values) {
  Writer w;
  w.bytes(kMagic, 4);
  w.pod(StreamStore::kVersion);
  w.pod(static_cast<std::uint32_t>(values.size()));
  for (const auto& [key, value] : values) {
    w.pod(static_cast<std::uint16_t>(key.size()));
    w.bytes(key.data(), key.size());
    writeValue(w, value);
  }
  std::vector<std::uint8_t> body = std::move(w.out);
  Writer framed;
  framed.pod(static_cast<std::uint32_t>(body.size()));
  framed.bytes(body.data(), body.size());
  return framed.out;
}

}  // namespace

HRESULT StreamStore::save(IStream* stream) const {
  const auto bytes = serialize(values_);
  ULONG written = 0;
  const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  return written == bytes.size() ? S_OK : STG_E_MEDIUMFULL;
}

std::uint64_t StreamStore::size() const {
  return serialize(values_).size();
}

HRESULT StreamStore::load(IStream* stream) {
  // The data is framed by its length, so that a container can keep other data after it.
  std::uint32_t length = 0;
  ULONG got = 0;
  HRESULT hr = stream->Read(&length, sizeof length, &got);
  if (FAILED(hr)) return hr;
  if (got != sizeof length || length > (64u << 20)) return STG_E_READFAULT;
  // A length beyond what the stream holds is damage, not a reason to allocate.
  STATSTG stat = {};
  LARGE_INTEGER zero = {};
  ULARGE_INTEGER at = {};
  if (SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME)) &&
      SUCCEEDED(stream->Seek(zero, STREAM_SEEK_CUR, &at)) && stat.cbSize.QuadPart >= at.QuadPart &&
      stat.cbSize.QuadPart - at.QuadPart < length)
    return STG_E_READFAULT;
  std::vector<std::uint8_t> body(length);
  hr = stream->Read(body.data(), length, &got);
  if (FAILED(hr)) return hr;
  if (got != length) return STG_E_READFAULT;

  Reader r(body);
  char magic[4];
  std::uint16_t version = 0;
  std::uint32_t count = 0;
  if (!r.bytes(magic, 4) || std::memcmp(magic, kMagic, 4) != 0 || !r.pod(version) ||
      version != kVersion || !r.pod(count))
    return STG_E_OLDFORMAT;
  values_.clear();
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint16_t n = 0;
    if (!r.pod(n)) return STG_E_READFAULT;
    std::string key(n, '\0');
    Value value;
    if (!r.bytes(key.data(), n) || !readValue(r, value)) return STG_E_READFAULT;
    values_[std::move(key)] = std::move(value);
  }
  return S_OK;
}

}  // namespace nx::win32
