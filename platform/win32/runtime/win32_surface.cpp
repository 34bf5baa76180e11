#include "platform/win32/runtime/win32_surface.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/runtime/text.h"
#include "platform/win32/com/bstr.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {

namespace {

// Selects the surface's font for one scope.
class FontScope {
 public:
  FontScope(HDC dc, const FontRef& font) : dc_(dc) {
    if (auto ole = asOleFont(font)) {
      keep_ = ole;
      previous_ = SelectObject(dc, ole->handle());
    }
  }
  ~FontScope() {
    if (previous_) SelectObject(dc_, previous_);
  }
  FontScope(const FontScope&) = delete;
  FontScope& operator=(const FontScope&) = delete;

 private:
  HDC dc_;
  std::shared_ptr<OleFont> keep_;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

Win32Surface::Win32Surface(double twipsPerPixelX, double twipsPerPixelY)
    : DcSurface(twipsPerPixelX, twipsPerPixelY) {}

void Win32Surface::resizePixels(std::int32_t width, std::int32_t height) {
  if (width == dc_.widthPx() && height == dc_.heightPx()) return;
  dc_.resize(width, height, backColor());
}

void Win32Surface::paintTo(HDC target, const RECT& bounds) const {
  const int w = bounds.right - bounds.left;
  const int h = bounds.bottom - bounds.top;
  if (w == dc_.widthPx() && h == dc_.heightPx())
    BitBlt(target, bounds.left, bounds.top, w, h, dc_.hdc(), 0, 0, SRCCOPY);
  else
    StretchBlt(target, bounds.left, bounds.top, w, h, dc_.hdc(), 0, 0, dc_.widthPx(),
               dc_.heightPx(), SRCCOPY);
}

SIZE Win32Surface::extent(std::string_view text) const {
  FontScope font(dc_.hdc(), this->font());
  SIZE total = {0, 0};
  for (std::string_view line : splitLines(text)) {
    const std::wstring wide = toWide(line);
    SIZE s = {0, 0};
    GetTextExtentPoint32W(dc_.hdc(), wide.c_str(), static_cast<int>(wide.size()), &s);
    if (s.cy == 0) {
      TEXTMETRICW tm = {};
      GetTextMetricsW(dc_.hdc(), &tm);
      s.cy = tm.tmHeight;
    }
    total.cx = std::max(total.cx, s.cx);
    total.cy += s.cy;
  }
  return total;
}

void Win32Surface::print(std::string_view text, bool newLine) {
  FontScope font(dc_.hdc(), this->font());
  SetBkMode(dc_.hdc(), TRANSPARENT);
  SetTextColor(dc_.hdc(), foreColor());
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc_.hdc(), &tm);
  const auto lines = splitLines(text);
  const std::int32_t x = toPixelX(currentX());
  std::int32_t y = toPixelY(currentY());
  SIZE last = {0, 0};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::wstring wide = toWide(lines[i]);
    TextOutW(dc_.hdc(), i == 0 ? x : 0, y, wide.c_str(), static_cast<int>(wide.size()));
    GetTextExtentPoint32W(dc_.hdc(), wide.c_str(), static_cast<int>(wide.size()), &last);
    if (i + 1 < lines.size()) y += tm.tmHeight;
  }
  advancePastText(lines.size(), last.cx, tm.tmHeight,
                  tm.tmHeight * static_cast<std::int32_t>(lines.size()), newLine);
}

double Win32Surface::textWidth(std::string_view text) const {
  return static_cast<double>(extent(text).cx) * twipsPerPixelX();
}

double Win32Surface::textHeight(std::string_view text) const {
  return static_cast<double>(extent(text).cy) * twipsPerPixelY();
}

void Win32Surface::paintPicture(const Picture& picture, double x, double y, double width,
                                double height) {
  const auto* ole = dynamic_cast<const OlePicture*>(&picture);
  if (!ole) return;
  const std::int32_t x0 = toPixelX(x);
  const std::int32_t y0 = toPixelY(y);
  const std::int32_t w = toPixelX(x + width) - x0;
  const std::int32_t h = toPixelY(y + height) - y0;
  if (w <= 0 || h <= 0) return;
  // Pictures render bottom-up in HIMETRIC.
  ole->picture()->Render(dc_.hdc(), x0, y0, w, h, 0, ole->heightHimetric(), ole->widthHimetric(),
                         -ole->heightHimetric(), nullptr);
}

PictureRef Win32Surface::image() const {
  MemoryDc copyDc;
  WindowDc screen(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen.get(), dc_.widthPx(), dc_.heightPx());
  if (!copy) return nullptr;
  {
    Selection select(copyDc.get(), copy);
    BitBlt(copyDc.get(), 0, 0, dc_.widthPx(), dc_.heightPx(), dc_.hdc(), 0, 0, SRCCOPY);
  }
  return OlePicture::fromBitmap(copy);
}

}  // namespace nx::win32
