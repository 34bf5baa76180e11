// The runtime's property store over the platform's property bags and over a stream.
#pragma once

#include <windows.h>

#include <objidl.h>
#include <ocidl.h>

#include <cstdint>
#include <string>

#include "core/persist/stream_codec.h"
#include "core/runtime/host.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/variant.h"

namespace nx::win32 {

// Over IPropertyBag. Fonts are kept as sub-values "<key>.Name", ".Size", ".Bold", ".Italic",
// ".Underline", because font objects cannot be relied on to save themselves into a bag. Values
// equal to their default are left out, as the host's own store does.
class BagStore final : public PropertyBag {
 public:
  BagStore(IPropertyBag* bag, IErrorLog* log) : bag_(bag), log_(log) {}
  Value read(std::string_view key, const Value& defaultValue) override;
  void write(std::string_view key, const Value& value, const Value& defaultValue) override;

 private:
  bool readVariant(const std::wstring& key, Variant& out);
  void writeVariant(const std::wstring& key, const Variant& value);

  IPropertyBag* bag_;
  IErrorLog* log_;
};

// Keys and values in memory, saved to and loaded from a stream in the suite's format (see
// core/persist/stream_codec.h). Keys match without regard to case. Fonts load as OLE fonts,
// pictures as OLE pictures from the bytes the platform saved them as.
class StreamStore final : public PropertyBag {
 public:
  static constexpr std::uint16_t kVersion = persist::StreamBag::kVersion;

  StreamStore();

  Value read(std::string_view key, const Value& defaultValue) override;
  void write(std::string_view key, const Value& value, const Value& defaultValue) override;

  // On failure the store keeps the values it had.
  HRESULT load(IStream* stream);
  HRESULT save(IStream* stream) const;
  // Bytes that save() writes.
  std::uint64_t size() const;

 private:
  persist::StreamBag values_;
};

}  // namespace nx::win32
