// Automation arguments of the engine object: the country argument, texts and indexes passed by
// reference, and the 1- or 2-dimensional arrays of the array calls.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "text.h"

namespace nx::nxcore {

// An automation error: the code the call returns and the description its error object gives.
struct Problem {
  HRESULT code = S_OK;
  std::wstring text;
  explicit operator bool() const { return FAILED(code); }
};

inline Problem typeMismatch(std::wstring text) {
  return {DISP_E_TYPEMISMATCH, std::move(text)};
}
inline Problem invalidArgument(std::wstring text) {
  return {E_INVALIDARG, std::move(text)};
}

// A VARIANT that is cleared when it goes out of scope.
class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  // Hands the value to the caller and leaves this one empty.
  void detachTo(VARIANT* out) {
    *out = v_;
    VariantInit(&v_);
  }

 private:
  VARIANT v_;
};

// A SAFEARRAY destroyed when it goes out of scope unless released.
class SafeArray {
 public:
  explicit SafeArray(SAFEARRAY* a = nullptr) : a_(a) {}
  ~SafeArray() {
    if (a_) SafeArrayDestroy(a_);
  }
  SafeArray(const SafeArray&) = delete;
  SafeArray& operator=(const SafeArray&) = delete;
  SAFEARRAY* get() const { return a_; }
  SAFEARRAY* release() { return std::exchange(a_, nullptr); }

 private:
  SAFEARRAY* a_;
};

// Holds a SAFEARRAY's data pointer for the lifetime of the object.
class ArrayData {
 public:
  explicit ArrayData(SAFEARRAY* a) : a_(a) {
    if (FAILED(SafeArrayAccessData(a_, &data_))) a_ = nullptr, data_ = nullptr;
  }
  ~ArrayData() {
    if (a_) SafeArrayUnaccessData(a_);
  }
  ArrayData(const ArrayData&) = delete;
  ArrayData& operator=(const ArrayData&) = delete;
  void* data() const { return data_; }

 private:
  SAFEARRAY* a_;
  void* data_ = nullptr;
};

// Follows VT_BYREF | VT_VARIANT references to the value itself.
const VARIANT* dereference(const VARIANT* v);
VARIANT* dereference(VARIANT* v);

// The country argument: an index 0..26, a two-letter code in any letter case, or missing
// (not passed, Empty, Null or an empty text), which gives -1. Anything else is a Problem:
// an unknown code or an index outside the table (E_INVALIDARG), a value of another kind
// (DISP_E_TYPEMISMATCH).
Problem readCountry(const VARIANT& argument, int& index);

// The text of an argument passed by reference: a text, Empty (the empty text), or a value
// that converts to one.
Problem readText(const VARIANT& argument, std::wstring& text);

// Store a result into an argument passed by reference, keeping a typed reference's type.
Problem storeText(VARIANT& argument, std::wstring_view text);
// storeIndex stores nothing when checkIndexTarget finds a Problem with the argument.
Problem checkIndexTarget(VARIANT& argument);
Problem storeIndex(VARIANT& argument, long index);

// The shape of a 1- or 2-dimensional array of VARIANT or BSTR.
struct ArrayShape {
  SAFEARRAY* array = nullptr;
  VARTYPE elementType = VT_EMPTY;  // VT_VARIANT or VT_BSTR
  UINT dimensions = 0;
  LONG lower[2] = {0, 0};
  ULONG counts[2] = {0, 0};
  std::size_t elements = 0;
};

// Finds the array an argument holds (behind references, or as the value of an object such as
// a spreadsheet range); holder keeps an object's value alive.
Problem openArray(const VARIANT& argument, Variant& holder, ArrayShape& shape);

// "numbers(3, 2)": the subscripts of the element at a position of the array's storage.
std::wstring elementName(const ArrayShape& shape, std::size_t position);

// The text of one element of a VARIANT array: nullopt for an empty cell (Empty, Null or an error
// value), a Problem for an object, an array or a value that has no text.
Problem elementText(const VARIANT& element, Variant& scratch,
                    std::optional<std::wstring_view>& text);

// Calls produce(utf8OrNullopt, resultElement) for every element of the array in `numbers`, and
// returns an array of VARIANT of the same shape and bounds with what produce stored.
template <typename Produce>
Problem mapArray(const VARIANT& numbers, VARIANT* result, Produce&& produce) {
  Variant holder;
  ArrayShape shape;
  if (Problem p = openArray(numbers, holder, shape)) return p;

  SAFEARRAYBOUND bounds[2] = {};
  for (UINT d = 0; d < shape.dimensions; ++d) {
    bounds[d].lLbound = shape.lower[d];
    bounds[d].cElements = shape.counts[d];
  }
  SafeArray out(SafeArrayCreate(VT_VARIANT, shape.dimensions, bounds));
  if (!out.get()) return {E_OUTOFMEMORY, L"not enough memory for the result array"};
  {
    ArrayData source(shape.array);
    ArrayData target(out.get());
    if (shape.elements != 0 && (!source.data() || !target.data()))
      return {E_UNEXPECTED, L"numbers: the array's data cannot be read"};
    auto* results = static_cast<VARIANT*>(target.data());
    std::string utf8;
    Variant scratch;
    for (std::size_t i = 0; i < shape.elements; ++i) {
      std::optional<std::wstring_view> text;
      if (shape.elementType == VT_BSTR) {
        text = bstrView(static_cast<BSTR*>(source.data())[i]);
      } else if (Problem p =
                     elementText(static_cast<const VARIANT*>(source.data())[i], scratch, text)) {
        p.text = elementName(shape, i) + L": " + p.text;
        return p;
      }
      if (text) utf8FromWide(*text, utf8);
      produce(text ? std::optional<std::string_view>(utf8) : std::nullopt, results[i]);
    }
  }
  V_VT(result) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(result) = out.release();
  return {};
}

}  // namespace nx::nxcore
