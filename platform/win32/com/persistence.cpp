#include "platform/win32/com/persistence.h"

#include <olectl.h>

#include <array>
#include <span>
#include <vector>

#include "core/persist/font_parts.h"
#include "core/runtime/errors.h"
#include "platform/win32/com/bstr.h"
#include "platform/win32/com/value_variant.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {

bool BagStore::readVariant(const std::wstring& key, Variant& out) {
  return SUCCEEDED(bag_->Read(key.c_str(), out.put(), log_));
}

void BagStore::writeVariant(const std::wstring& key, const Variant& value) {
  // The bag gets its own copy: it may not treat the value as read-only.
  Variant copy;
  VariantCopy(copy.get(), const_cast<VARIANT*>(value.get()));
  if (FAILED(bag_->Write(key.c_str(), copy.get())))
    throw HostError("the property bag refused a value");
}

Value BagStore::read(std::string_view key, const Value& defaultValue) {
  if (kindOf(defaultValue) == ValueKind::Font) {
    std::array<Value, persist::kFontPartCount> parts;
    bool any = false;
    for (std::size_t i = 0; i < parts.size(); ++i) {
      Variant v;
      if (!readVariant(toWide(persist::fontPartKey(key, i)), v)) continue;
      fromVariant(v.ref(), parts[i]);
      any = true;
    }
    if (!any) return defaultValue;
    const FontRef& fallback = std::get<FontRef>(defaultValue);
    return FontRef(OleFont::create(
        persist::fontFromParts(parts, fallback ? fallback->describe() : FontDesc{})));
  }
  Variant v;
  if (!readVariant(toWide(key), v)) return defaultValue;
  Value out;
  const HRESULT hr = fromVariant(v.ref(), out);
  if (FAILED(hr)) throw ConversionError("stored value of unsupported type");
  return out;
}

void BagStore::write(std::string_view key, const Value& value, const Value& defaultValue) {
  if (!isEmpty(defaultValue) && sameValue(value, defaultValue)) return;
  if (kindOf(value) == ValueKind::Font) {
    const FontRef font = std::get<FontRef>(value);
    if (!font) return;
    const auto parts = persist::fontToParts(font->describe());
    for (std::size_t i = 0; i < parts.size(); ++i) {
      Variant v;
      toVariant(parts[i], v.ref());
      writeVariant(toWide(persist::fontPartKey(key, i)), v);
    }
    return;
  }
  Variant v;
  toVariant(value, v.ref());
  writeVariant(toWide(key), v);
}

// ---- stream store ----

namespace {

// A picture as the platform's picture object saves itself (its stream form, which the
// platform's picture loader reads back).
std::vector<std::uint8_t> savePicture(const Picture& picture) {
  const auto* ole = dynamic_cast<const OlePicture*>(&picture);
  if (!ole || !ole->picture()) return {};
  OLE_HANDLE handle = 0;
  if (FAILED(ole->picture()->get_Handle(&handle)) || !handle) return {};
  ComPtr<IPersistStream> persist;
  ComPtr<IStream> memory;
  if (FAILED(ole->picture()->QueryInterface(IID_IPersistStream, persist.putVoid())) ||
      FAILED(CreateStreamOnHGlobal(nullptr, TRUE, memory.put())) ||
      FAILED(persist->Save(memory.get(), FALSE)))
    return {};
  // What was written is where the stream stands.
  const LARGE_INTEGER start = {};
  ULARGE_INTEGER end = {};
  if (FAILED(memory->Seek(start, STREAM_SEEK_CUR, &end)) || end.QuadPart == 0 ||
      end.QuadPart > 0x7FFFFFFF)
    return {};
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end.QuadPart));
  ULONG got = 0;
  if (FAILED(memory->Seek(start, STREAM_SEEK_SET, nullptr)) ||
      FAILED(memory->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got)) ||
      got != bytes.size())
    return {};
  return bytes;
}

PictureRef loadPicture(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > 0x7FFFFFFF) return nullptr;
  ComPtr<IStream> memory;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, memory.put()))) return nullptr;
  ULONG written = 0;
  if (FAILED(memory->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) ||
      written != bytes.size())
    return nullptr;
  const LARGE_INTEGER start = {};
  if (FAILED(memory->Seek(start, STREAM_SEEK_SET, nullptr))) return nullptr;
  ComPtr<IPicture> picture;
  if (FAILED(OleLoadPicture(memory.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                            picture.putVoid())) ||
      !picture)
    return nullptr;
  return std::make_shared<OlePicture>(std::move(picture));
}

}  // namespace

StreamStore::StreamStore()
    : values_([](const FontDesc& d) -> FontRef { return OleFont::create(d); },
              persist::PictureCodec{&savePicture, &loadPicture}) {}

Value StreamStore::read(std::string_view key, const Value& defaultValue) {
  return values_.read(key, defaultValue);
}

void StreamStore::write(std::string_view key, const Value& value, const Value& defaultValue) {
  values_.write(key, value, defaultValue);
}

HRESULT StreamStore::save(IStream* stream) const {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = values_.encode();
  } catch (const HostError&) {
    return STG_E_MEDIUMFULL;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  ULONG written = 0;
  const HRESULT hr = stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  return written == bytes.size() ? S_OK : STG_E_MEDIUMFULL;
}

std::uint64_t StreamStore::size() const {
  return values_.encodedSize();
}

HRESULT StreamStore::load(IStream* stream) {
  // The data is framed by its length, so that a container can keep other data after it: read
  // the frame, then exactly the body it declares.
  std::uint8_t frame[persist::StreamBag::kFrameBytes];
  ULONG got = 0;
  HRESULT hr = stream->Read(frame, sizeof frame, &got);
  if (FAILED(hr)) return hr;
  if (got != sizeof frame) return STG_E_READFAULT;
  const std::uint32_t length = persist::StreamBag::frameLength(frame);
  if (length > persist::StreamBag::kMaxBodyBytes) return STG_E_READFAULT;
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

  switch (values_.decodeBody(body)) {
    case persist::DecodeStatus::Ok:
      return S_OK;
    case persist::DecodeStatus::BadMagic:
    case persist::DecodeStatus::BadVersion:
      return STG_E_OLDFORMAT;
    default:
      return STG_E_READFAULT;
  }
}

}  // namespace nx::win32
