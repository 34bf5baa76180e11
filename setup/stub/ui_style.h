// What the setup's wizard windows share: the dialog font, pixel scaling by the screen's DPI,
// text conversion and a few drawing helpers.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace nx::setup::stub {

// Owns a GDI object (font, brush, pen).
class GdiHandle {
 public:
  GdiHandle() = default;
  explicit GdiHandle(HGDIOBJ h) : h_(h) {}
  ~GdiHandle() { reset(); }
  GdiHandle(const GdiHandle&) = delete;
  GdiHandle& operator=(const GdiHandle&) = delete;
  GdiHandle(GdiHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  GdiHandle& operator=(GdiHandle&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = o.h_;
      o.h_ = nullptr;
    }
    return *this;
  }
  void reset(HGDIOBJ h = nullptr) {
    if (h_) ::DeleteObject(h_);
    h_ = h;
  }
  HGDIOBJ get() const { return h_; }
  HFONT font() const { return static_cast<HFONT>(h_); }
  HBRUSH brush() const { return static_cast<HBRUSH>(h_); }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HGDIOBJ h_ = nullptr;
};

// Screen DPI and pixel scaling: layouts are written for 96 DPI.
class Scale {
 public:
  Scale();
  int dpi() const { return dpi_; }
  int operator()(int px96) const { return ::MulDiv(px96, dpi_, 96); }

 private:
  int dpi_ = 96;
};

// The face of the dialog font: "Segoe UI" where the system has it, else "Tahoma".
std::wstring dialogFace();
// The dialog font at `points` (9 for "Segoe UI", 8 for "Tahoma" when points is 0), `weight`.
GdiHandle makeFont(const Scale& scale, int points = 0, int weight = FW_NORMAL);

// Text for a window: UTF-8 when the bytes are valid UTF-8, else the system's ANSI code page.
std::wstring widen(std::string_view text);
// Lone line feeds become CR LF.
std::wstring withCrLf(std::wstring_view text);
// A window's text.
std::wstring windowText(HWND window);

// Sets the font of a window and of all its children.
void setFontAll(HWND window, HFONT font);

}  // namespace nx::setup::stub
