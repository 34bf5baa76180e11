// The container's extender and ambient properties as the core control asks for them: typed
// accessors over one primitive, reading a property of an automation object by name or id.
// Every failure (no site, no such property, a value of another type) reads as "not given".
#pragma once

#include <windows.h>

#include <ocidl.h>

#include "core/runtime/host.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/variant.h"

namespace nx::win32 {

// The property `name` (or `id`) of `object` through IDispatch::Invoke; false when the object is
// null or refuses.
bool dispatchProperty(IDispatch* object, const wchar_t* name, Variant& out);
bool dispatchProperty(IDispatch* object, DISPID id, Variant& out);

// The extender object of a client site (IOleControlSite::GetExtendedControl).
class ExtenderProperties final : public Extender {
 public:
  explicit ExtenderProperties(const ComPtr<IOleClientSite>& site) : site_(site) {}
  // Whether the site offers an extender object now.
  bool available() const { return static_cast<bool>(object()); }

  std::optional<std::string> name() const override;
  std::optional<std::string> toolTipText() const override;
  std::optional<double> left() const override;
  std::optional<double> width() const override;
  bool setLeft(double twips) override;
  std::optional<std::vector<HostedObject*>> parentControls() const override;

 private:
  ComPtr<IDispatch> object() const;
  std::optional<Value> value(const wchar_t* name) const;

  const ComPtr<IOleClientSite>& site_;
};

// The ambient properties: the client site's own IDispatch.
class AmbientProperties final : public Ambient {
 public:
  explicit AmbientProperties(const ComPtr<IOleClientSite>& site) : site_(site) {}
  bool available() const { return static_cast<bool>(object()); }

  std::optional<FontRef> font() const override;
  std::optional<bool> userMode() const override;
  std::optional<bool> displayAsDefault() const override;

 private:
  ComPtr<IDispatch> object() const;
  std::optional<bool> flag(DISPID id) const;

  const ComPtr<IOleClientSite>& site_;
};

}  // namespace nx::win32
