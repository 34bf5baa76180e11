// VARIANT ownership.
#pragma once

#include <windows.h>

#include <oleauto.h>

namespace nx::win32 {

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant& o) : Variant() { VariantCopy(&v_, &o.v_); }
  Variant& operator=(const Variant& o) {
    if (this != &o) VariantCopy(&v_, &o.v_);
    return *this;
  }
  ~Variant() { VariantClear(&v_); }

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  VARIANT* put() {
    VariantClear(&v_);
    return &v_;
  }
  VARTYPE type() const { return V_VT(&v_); }
  // Moves the content out, leaving this empty.
  VARIANT detach() {
    VARIANT out = v_;
    VariantInit(&v_);
    return out;
  }

 private:
  VARIANT v_;
};

}  // namespace nx::win32
