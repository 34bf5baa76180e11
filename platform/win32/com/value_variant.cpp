#include "platform/win32/com/value_variant.h"

#include <type_traits>

#include "platform/win32/com/bstr.h"
#include "platform/win32/com/com_ptr.h"
#include "platform/win32/com/variant.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {

HRESULT toVariant(const Value& value, VARIANT& out) {
  VariantInit(&out);
  return std::visit(
      [&](const auto& v) -> HRESULT {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::monostate>) {
          return S_OK;
        } else if constexpr (std::is_same_v<T, std::int16_t>) {
          V_VT(&out) = VT_I2;
          V_I2(&out) = v;
        } else if constexpr (std::is_same_v<T, std::int32_t>) {
          V_VT(&out) = VT_I4;
          V_I4(&out) = v;
        } else if constexpr (std::is_same_v<T, VBool>) {
          V_VT(&out) = VT_BOOL;
          V_BOOL(&out) = static_cast<VARIANT_BOOL>(v);
        } else if constexpr (std::is_same_v<T, float>) {
          V_VT(&out) = VT_R4;
          V_R4(&out) = v;
        } else if constexpr (std::is_same_v<T, double>) {
          V_VT(&out) = VT_R8;
          V_R8(&out) = v;
        } else if constexpr (std::is_same_v<T, std::string>) {
          V_VT(&out) = VT_BSTR;
          V_BSTR(&out) = Bstr::fromUtf8(v).release();
        } else if constexpr (std::is_same_v<T, Currency>) {
          V_VT(&out) = VT_CY;
          V_CY(&out).int64 = v.units;
        } else if constexpr (std::is_same_v<T, FontRef>) {
          V_VT(&out) = VT_DISPATCH;
          V_DISPATCH(&out) = nullptr;
          if (auto font = asOleFont(v)) V_DISPATCH(&out) = font->dispatch().detach();
        } else {
          V_VT(&out) = VT_DISPATCH;
          V_DISPATCH(&out) = nullptr;
          if (auto picture = std::dynamic_pointer_cast<const OlePicture>(v))
            V_DISPATCH(&out) = picture->dispatch().detach();
        }
        return S_OK;
      },
      value);
}

HRESULT fromVariant(const VARIANT& in, Value& out) {
  const VARIANT* v = &in;
  if (V_VT(v) == (VT_VARIANT | VT_BYREF)) v = V_VARIANTREF(v);
  Variant plain;
  if (V_VT(v) & VT_BYREF) {
    const HRESULT hr = VariantCopyInd(plain.get(), const_cast<VARIANT*>(v));
    if (FAILED(hr)) return hr;
    v = plain.get();
  }
  HRESULT hr = S_OK;
  switch (V_VT(v)) {
    case VT_EMPTY:
      out = std::monostate{};
      break;
    case VT_I2:
      out = static_cast<std::int16_t>(V_I2(v));
      break;
    case VT_UI1:
      out = static_cast<std::int16_t>(V_UI1(v));
      break;
    case VT_I4:
    case VT_INT:
      out = static_cast<std::int32_t>(V_I4(v));
      break;
    case VT_UI4:
    case VT_UINT:
      out = static_cast<std::int32_t>(V_UI4(v));
      break;
    case VT_BOOL:
      out = V_BOOL(v) ? VBool::True : VBool::False;
      break;
    case VT_R4:
      out = V_R4(v);
      break;
    case VT_R8:
      out = V_R8(v);
      break;
    case VT_CY:
      out = Currency{V_CY(v).int64};
      break;
    case VT_BSTR:
      out = toUtf8(V_BSTR(v));
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      IUnknown* unknown = V_UNKNOWN(v);
      if (!unknown) {
        out = FontRef{};
        break;
      }
      ComPtr<IFont> font;
      ComPtr<IPicture> picture;
      if (SUCCEEDED(unknown->QueryInterface(IID_IFont, font.putVoid())) && font)
        out = FontRef(std::make_shared<OleFont>(std::move(font)));
      else if (SUCCEEDED(unknown->QueryInterface(IID_IPicture, picture.putVoid())) && picture)
        out = PictureRef(std::make_shared<OlePicture>(std::move(picture)));
      else
        hr = DISP_E_TYPEMISMATCH;
      break;
    }
    default:
      hr = DISP_E_TYPEMISMATCH;
      break;
  }
  return hr;
}

}  // namespace nx::win32
