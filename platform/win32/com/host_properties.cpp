#include "platform/win32/com/host_properties.h"

#include <olectl.h>

#include "core/runtime/errors.h"
#include "platform/win32/com/control_object.h"
#include "platform/win32/com/value_variant.h"

namespace nx::win32 {

namespace {

template <class T, class Convert>
std::optional<T> converted(std::optional<Value> v, Convert convert) {
  if (!v) return std::nullopt;
  try {
    return convert(*v);
  } catch (const NxError&) {
    return std::nullopt;
  }
}

bool isObject(const VARIANT& v) {
  return (V_VT(&v) == VT_DISPATCH || V_VT(&v) == VT_UNKNOWN) && V_UNKNOWN(&v);
}

}  // namespace

bool dispatchProperty(IDispatch* object, DISPID id, Variant& out) {
  out.put();
  if (!object) return false;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return SUCCEEDED(object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                  out.get(), nullptr, nullptr));
}

bool dispatchProperty(IDispatch* object, const wchar_t* name, Variant& out) {
  out.put();
  if (!object) return false;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  return dispatchProperty(object, id, out);
}

// ---- extender ----

ComPtr<IDispatch> ExtenderProperties::object() const {
  ComPtr<IDispatch> out;
  if (!site_) return out;
  auto control = site_.as<IOleControlSite>(IID_IOleControlSite);
  if (control) control->GetExtendedControl(out.put());
  return out;
}

std::optional<Value> ExtenderProperties::value(const wchar_t* name) const {
  Variant v;
  if (!dispatchProperty(object().get(), name, v)) return std::nullopt;
  Value out;
  if (FAILED(fromVariant(v.ref(), out))) return std::nullopt;
  return out;
}

std::optional<std::string> ExtenderProperties::name() const {
  return converted<std::string>(value(L"Name"), [](const Value& v) { return toText(v); });
}

std::optional<std::string> ExtenderProperties::toolTipText() const {
  return converted<std::string>(value(L"ToolTipText"), [](const Value& v) { return toText(v); });
}

std::optional<double> ExtenderProperties::left() const {
  return converted<double>(value(L"Left"), [](const Value& v) { return toDouble(v); });
}

bool ExtenderProperties::setLeft(double twips) {
  ComPtr<IDispatch> ext = object();
  if (!ext) return false;
  DISPID id = 0;
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"Left")};
  if (FAILED(ext->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  VARIANT value;
  VariantInit(&value);
  V_VT(&value) = VT_R8;
  V_R8(&value) = twips;
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params = {&value, &named, 1, 1};
  return SUCCEEDED(ext->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                               nullptr, nullptr, nullptr));
}

std::optional<double> ExtenderProperties::width() const {
  return converted<double>(value(L"Width"), [](const Value& v) { return toDouble(v); });
}

std::optional<std::vector<HostedObject*>> ExtenderProperties::parentControls() const {
  Variant parent, controls, enumerator;
  if (!dispatchProperty(object().get(), L"Parent", parent)) return std::nullopt;
  if (parent.type() != VT_DISPATCH ||
      !dispatchProperty(V_DISPATCH(parent.get()), L"Controls", controls))
    return std::nullopt;
  if (controls.type() != VT_DISPATCH ||
      !dispatchProperty(V_DISPATCH(controls.get()), DISPID_NEWENUM, enumerator) ||
      (enumerator.type() != VT_UNKNOWN && enumerator.type() != VT_DISPATCH))
    return std::nullopt;
  ComPtr<IEnumVARIANT> items;
  if (!V_UNKNOWN(enumerator.get()) ||
      FAILED(V_UNKNOWN(enumerator.get())->QueryInterface(IID_IEnumVARIANT, items.putVoid())))
    return std::nullopt;
  std::vector<HostedObject*> found;
  Variant item;
  ULONG fetched = 0;
  while (items->Next(1, item.put(), &fetched) == S_OK && fetched == 1) {
    if (!isObject(item.ref())) continue;
    ComPtr<INxHostedControl> hosted;
    // Extenders aggregate the control or hand it out through their "Object" property.
    if (FAILED(V_UNKNOWN(item.get())->QueryInterface(IID_INxHostedControl, hosted.putVoid()))) {
      Variant inner;
      if (item.type() == VT_DISPATCH &&
          dispatchProperty(V_DISPATCH(item.get()), L"Object", inner) && isObject(inner.ref()))
        V_UNKNOWN(inner.get())->QueryInterface(IID_INxHostedControl, hosted.putVoid());
    }
    if (hosted) found.push_back(hosted->hostedObject());
  }
  return found;
}

// ---- ambient ----

ComPtr<IDispatch> AmbientProperties::object() const {
  return site_ ? site_.as<IDispatch>(IID_IDispatch) : ComPtr<IDispatch>();
}

std::optional<FontRef> AmbientProperties::font() const {
  Variant v;
  if (!dispatchProperty(object().get(), DISPID_AMBIENT_FONT, v)) return std::nullopt;
  Value out;
  if (FAILED(fromVariant(v.ref(), out)) || kindOf(out) != ValueKind::Font ||
      !std::get<FontRef>(out))
    return std::nullopt;
  return std::get<FontRef>(out);
}

std::optional<bool> AmbientProperties::flag(DISPID id) const {
  Variant v;
  if (!dispatchProperty(object().get(), id, v) || v.type() != VT_BOOL) return std::nullopt;
  return V_BOOL(v.get()) != VARIANT_FALSE;
}

std::optional<bool> AmbientProperties::userMode() const {
  return flag(DISPID_AMBIENT_USERMODE);
}

std::optional<bool> AmbientProperties::displayAsDefault() const {
  return flag(DISPID_AMBIENT_DISPLAYASDEFAULT);
}

}  // namespace nx::win32
