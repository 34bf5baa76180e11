// VARIANT ownership: one owner, moved and never copied, cleared when it goes.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstddef>
#include <span>
#include <vector>

namespace nx::win32 {

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(Variant&& o) noexcept : v_(o.v_) { VariantInit(&o.v_); }
  Variant& operator=(Variant&& o) noexcept {
    if (this != &o) {
      VariantClear(&v_);
      v_ = o.v_;
      VariantInit(&o.v_);
    }
    return *this;
  }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&v_); }

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  VARIANT& ref() { return v_; }
  const VARIANT& ref() const { return v_; }
  // Clears the content and gives the VARIANT for an out parameter.
  VARIANT* put() {
    VariantClear(&v_);
    return &v_;
  }
  VARTYPE type() const { return V_VT(&v_); }
  // Hands the content to the caller, leaving this empty.
  VARIANT release() {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};

// A fixed number of owned VARIANTs in one contiguous array (argument lists), cleared together.
class VariantArray {
 public:
  explicit VariantArray(std::size_t n) : v_(n) {
    for (VARIANT& v : v_) VariantInit(&v);
  }
  VariantArray(const VariantArray&) = delete;
  VariantArray& operator=(const VariantArray&) = delete;
  ~VariantArray() {
    for (VARIANT& v : v_) VariantClear(&v);
  }

  std::size_t size() const { return v_.size(); }
  VARIANT& operator[](std::size_t i) { return v_[i]; }
  std::span<VARIANT> span() { return v_; }

 private:
  std::vector<VARIANT> v_;
};

}  // namespace nx::win32
