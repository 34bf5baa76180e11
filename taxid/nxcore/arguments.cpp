#include "arguments.h"

#include "engine/nif_validator.h"

namespace nx::nxcore {

namespace {

std::wstring typeName(VARTYPE vt) {
  const bool array = (vt & VT_ARRAY) != 0;
  std::wstring name;
  switch (vt & VT_TYPEMASK) {
    case VT_EMPTY:
      name = L"Empty";
      break;
    case VT_NULL:
      name = L"Null";
      break;
    case VT_I2:
      name = L"Integer";
      break;
    case VT_I4:
      name = L"Long";
      break;
    case VT_R4:
      name = L"Single";
      break;
    case VT_R8:
      name = L"Double";
      break;
    case VT_CY:
      name = L"Currency";
      break;
    case VT_DATE:
      name = L"Date";
      break;
    case VT_BSTR:
      name = L"String";
      break;
    case VT_DISPATCH:
      name = L"Object";
      break;
    case VT_ERROR:
      name = L"Error";
      break;
    case VT_BOOL:
      name = L"Boolean";
      break;
    case VT_VARIANT:
      name = L"Variant";
      break;
    case VT_UNKNOWN:
      name = L"Unknown";
      break;
    case VT_DECIMAL:
      name = L"Decimal";
      break;
    case VT_UI1:
      name = L"Byte";
      break;
    default:
      name = L"type " + std::to_wstring(vt & VT_TYPEMASK);
      break;
  }
  return array ? L"an array of " + name : name;
}

bool isObject(VARTYPE vt) {
  const VARTYPE base = vt & VT_TYPEMASK;
  return base == VT_DISPATCH || base == VT_UNKNOWN;
}

// The default value of an object (a spreadsheet range's Value, for instance).
bool defaultValue(IDispatch* object, Variant& value) {
  if (!object) return false;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  return SUCCEEDED(object->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                  &none, value.get(), nullptr, nullptr));
}

IDispatch* dispatchOf(const VARIANT& v) {
  if (V_VT(&v) == VT_DISPATCH) return V_DISPATCH(&v);
  if (V_VT(&v) == (VT_BYREF | VT_DISPATCH) && V_DISPATCHREF(&v)) return *V_DISPATCHREF(&v);
  return nullptr;
}

// The system's conversion calls take their source without const; they do not change it.
VARIANT* source(const VARIANT* v) {
  return const_cast<VARIANT*>(v);
}

std::wstring_view trimSpaces(std::wstring_view s) {
  while (!s.empty() && s.front() == L' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == L' ') s.remove_suffix(1);
  return s;
}

constexpr wchar_t kCountryHelp[] =
    L" (expected an index 0 to 26 or a two-letter code such as PT; leave it out to take the "
    L"number's own prefix)";

}  // namespace

const VARIANT* dereference(const VARIANT* v) {
  while (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
  return v;
}

VARIANT* dereference(VARIANT* v) {
  while (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
  return v;
}

Problem readCountry(const VARIANT& argument, int& index) {
  index = -1;
  const VARIANT* v = dereference(&argument);
  if (V_VT(v) & VT_ARRAY) return typeMismatch(L"country: " + typeName(V_VT(v)) + kCountryHelp);
  Variant value;
  if (FAILED(VariantCopyInd(value.get(), source(v))))
    return typeMismatch(L"country: " + typeName(V_VT(v)) + kCountryHelp);
  if (isObject(V_VT(value.get()))) {
    Variant inner;
    if (V_VT(value.get()) != VT_DISPATCH || !defaultValue(V_DISPATCH(value.get()), inner) ||
        (V_VT(inner.get()) & VT_ARRAY) || isObject(V_VT(inner.get())))
      return typeMismatch(L"country: an object without a plain value" + std::wstring(kCountryHelp));
    VariantClear(value.get());
    if (FAILED(VariantCopyInd(value.get(), inner.get())))
      return typeMismatch(L"country: " + typeName(V_VT(inner.get())) + kCountryHelp);
  }
  const VARIANT* c = value.get();
  switch (V_VT(c)) {
    case VT_EMPTY:
    case VT_NULL:
      return {};
    case VT_ERROR:
      if (V_ERROR(c) == DISP_E_PARAMNOTFOUND) return {};
      return typeMismatch(L"country: an error value" + std::wstring(kCountryHelp));
    case VT_BSTR: {
      const std::wstring_view code = trimSpaces(bstrView(V_BSTR(c)));
      if (code.empty()) return {};
      std::string narrow;
      utf8FromWide(code, narrow);
      index = taxid::countryIndex(narrow);
      if (index < 0)
        return invalidArgument(L"country: unknown country code '" + std::wstring(code) + L"'" +
                               kCountryHelp);
      return {};
    }
    default: {
      Variant number;
      if (FAILED(VariantChangeType(number.get(), source(c), 0, VT_I4)))
        return typeMismatch(L"country: " + typeName(V_VT(c)) + kCountryHelp);
      const long n = V_I4(number.get());
      if (n < 0 || n >= taxid::kCountryCount)
        return invalidArgument(L"country: index " + std::to_wstring(n) + L" is outside 0 to 26" +
                               kCountryHelp);
      index = static_cast<int>(n);
      return {};
    }
  }
}

Problem readText(const VARIANT& argument, std::wstring& text) {
  const VARIANT* v = dereference(&argument);
  if (V_VT(v) == VT_BSTR) {
    text = bstrView(V_BSTR(v));
    return {};
  }
  if (V_VT(v) == (VT_BYREF | VT_BSTR)) {
    text = V_BSTRREF(v) ? bstrView(*V_BSTRREF(v)) : std::wstring_view();
    return {};
  }
  if (V_VT(v) == VT_EMPTY) {
    text.clear();
    return {};
  }
  if (V_VT(v) & VT_ARRAY) return typeMismatch(L"number: " + typeName(V_VT(v)) + L", not a text");
  Variant converted;
  if (FAILED(VariantChangeTypeEx(converted.get(), source(v), LOCALE_INVARIANT, 0, VT_BSTR)))
    return typeMismatch(L"number: " + typeName(V_VT(v)) + L" cannot be read as a text");
  text = bstrView(V_BSTR(converted.get()));
  return {};
}

Problem storeText(VARIANT& argument, std::wstring_view text) {
  VARIANT* v = dereference(&argument);
  BSTR b = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!b) return {E_OUTOFMEMORY, L"not enough memory for the number"};
  if (V_VT(v) == (VT_BYREF | VT_BSTR) && V_BSTRREF(v)) {
    SysFreeString(*V_BSTRREF(v));
    *V_BSTRREF(v) = b;
    return {};
  }
  if (V_VT(v) & VT_BYREF) {
    SysFreeString(b);
    return typeMismatch(L"number: a variable of type " + typeName(V_VT(v) & ~VT_BYREF) +
                        L" cannot take the text");
  }
  VariantClear(v);
  V_VT(v) = VT_BSTR;
  V_BSTR(v) = b;
  return {};
}

Problem checkIndexTarget(VARIANT& argument) {
  const VARIANT* v = dereference(&argument);
  if (!(V_VT(v) & VT_BYREF)) return {};
  switch (V_VT(v) & ~VT_BYREF) {
    case VT_I4:
    case VT_I2:
    case VT_I8:
    case VT_R8:
    case VT_R4:
      if (V_BYREF(v)) return {};
      break;
    default:
      break;
  }
  return typeMismatch(L"index: a variable of type " + typeName(V_VT(v) & ~VT_BYREF) +
                      L" cannot take the index");
}

Problem storeIndex(VARIANT& argument, long index) {
  if (Problem p = checkIndexTarget(argument)) return p;
  VARIANT* v = dereference(&argument);
  switch (V_VT(v)) {
    case VT_BYREF | VT_I4:
      *V_I4REF(v) = index;
      break;
    case VT_BYREF | VT_I2:
      *V_I2REF(v) = static_cast<SHORT>(index);
      break;
    case VT_BYREF | VT_I8:
      *V_I8REF(v) = index;
      break;
    case VT_BYREF | VT_R8:
      *V_R8REF(v) = index;
      break;
    case VT_BYREF | VT_R4:
      *V_R4REF(v) = static_cast<float>(index);
      break;
    default:
      VariantClear(v);
      V_VT(v) = VT_I4;
      V_I4(v) = index;
      break;
  }
  return {};
}

Problem openArray(const VARIANT& argument, Variant& holder, ArrayShape& shape) {
  const VARIANT* v = dereference(&argument);
  if (IDispatch* object = dispatchOf(*v)) {
    if (!defaultValue(object, holder))
      return typeMismatch(L"numbers: an object without a value; expected an array of numbers");
    v = dereference(holder.get());
  }
  constexpr wchar_t kExpected[] = L"; expected a 1- or 2-dimensional array of numbers";
  const VARTYPE vt = V_VT(v);
  if (!(vt & VT_ARRAY)) return typeMismatch(L"numbers: " + typeName(vt) + kExpected);
  const VARTYPE element = vt & VT_TYPEMASK;
  if (element != VT_VARIANT && element != VT_BSTR)
    return typeMismatch(L"numbers: " + typeName(vt & ~VT_BYREF) + kExpected);
  SAFEARRAY* array = (vt & VT_BYREF) ? (V_ARRAYREF(v) ? *V_ARRAYREF(v) : nullptr) : V_ARRAY(v);
  if (!array)
    return invalidArgument(L"numbers: an array without dimensions" + std::wstring(kExpected));
  const UINT expectedSize = element == VT_VARIANT ? sizeof(VARIANT) : sizeof(BSTR);
  if (SafeArrayGetElemsize(array) != expectedSize)
    return typeMismatch(L"numbers: the array's elements are not of its declared type");
  const UINT dimensions = SafeArrayGetDim(array);
  if (dimensions < 1 || dimensions > 2)
    return invalidArgument(L"numbers: an array of " + std::to_wstring(dimensions) + L" dimensions" +
                           kExpected);
  shape.array = array;
  shape.elementType = element;
  shape.dimensions = dimensions;
  shape.elements = 1;
  for (UINT d = 0; d < dimensions; ++d) {
    LONG lower = 0, upper = 0;
    if (FAILED(SafeArrayGetLBound(array, d + 1, &lower)) ||
        FAILED(SafeArrayGetUBound(array, d + 1, &upper)))
      return invalidArgument(L"numbers: the array's bounds cannot be read");
    const long long count = static_cast<long long>(upper) - lower + 1;
    shape.lower[d] = lower;
    shape.counts[d] = count > 0 ? static_cast<ULONG>(count) : 0;
    shape.elements *= shape.counts[d];
  }
  return {};
}

std::wstring elementName(const ArrayShape& shape, std::size_t position) {
  std::wstring name = L"numbers(";
  if (shape.dimensions == 2 && shape.counts[0] != 0) {
    name += std::to_wstring(shape.lower[0] + static_cast<long long>(position % shape.counts[0]));
    name += L", ";
    name += std::to_wstring(shape.lower[1] + static_cast<long long>(position / shape.counts[0]));
  } else {
    name += std::to_wstring(shape.lower[0] + static_cast<long long>(position));
  }
  return name + L")";
}

Problem elementText(const VARIANT& element, Variant& scratch,
                    std::optional<std::wstring_view>& text) {
  const VARIANT* v = dereference(&element);
  const VARTYPE vt = V_VT(v);
  switch (vt) {
    case VT_BSTR:
      text = bstrView(V_BSTR(v));
      return {};
    case VT_BYREF | VT_BSTR:
      text = V_BSTRREF(v) ? bstrView(*V_BSTRREF(v)) : std::wstring_view();
      return {};
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR:
      text.reset();
      return {};
    default:
      break;
  }
  if ((vt & VT_ARRAY) || isObject(vt))
    return typeMismatch(typeName(vt & ~VT_BYREF) + L" where a number belongs");
  VariantClear(scratch.get());
  if (FAILED(VariantChangeTypeEx(scratch.get(), source(v), LOCALE_INVARIANT, 0, VT_BSTR)))
    return typeMismatch(typeName(vt & ~VT_BYREF) + L" cannot be read as a number");
  text = bstrView(V_BSTR(scratch.get()));
  return {};
}

}  // namespace nx::nxcore
