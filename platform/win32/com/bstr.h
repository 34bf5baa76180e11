// BSTR ownership and UTF-8 / UTF-16 conversion.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace nx::win32 {

std::wstring toWide(std::string_view utf8);
std::string toUtf8(std::wstring_view wide);
inline std::string toUtf8(BSTR b) {
  return toUtf8(std::wstring_view(b ? b : L"", SysStringLen(b)));
}

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view s)
      : b_(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
  static Bstr fromUtf8(std::string_view s) { return Bstr(toWide(s)); }
  Bstr(Bstr&& o) noexcept : b_(std::exchange(o.b_, nullptr)) {}
  Bstr& operator=(Bstr&& o) noexcept {
    std::swap(b_, o.b_);
    return *this;
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  ~Bstr() { SysFreeString(b_); }

  BSTR get() const { return b_; }
  BSTR* put() {
    SysFreeString(std::exchange(b_, nullptr));
    return &b_;
  }
  // Hands the string to the caller.
  BSTR release() { return std::exchange(b_, nullptr); }
  BSTR detach() { return release(); }
  std::string utf8() const { return toUtf8(b_); }

 private:
  BSTR b_ = nullptr;
};

}  // namespace nx::win32
