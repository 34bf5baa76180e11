#include "platform/win32/runtime/win32_surface.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/win32/com/bstr.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {

namespace {

std::int32_t toPixel(double twips, double tpp) {
  const double v = std::floor(twips / tpp + 0.5);
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<std::int32_t>(v);
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t nl = text.find('\n', start);
    std::string_view line = text.substr(start, nl == std::string_view::npos ? nl : nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (nl == std::string_view::npos) return lines;
    start = nl + 1;
  }
}

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
    : tppX_(twipsPerPixelX), tppY_(twipsPerPixelY) {}

void Win32Surface::resizePixels(std::int32_t width, std::int32_t height) {
  if (width == dc_.widthPx() && height == dc_.heightPx()) return;
  dc_.resize(width, height, back_);
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

std::int32_t Win32Surface::toPixelX(double twips) const {
  return toPixel(twips, tppX_);
}
std::int32_t Win32Surface::toPixelY(double twips) const {
  return toPixel(twips, tppY_);
}

void Win32Surface::clear() {
  dc_.fillRect(Rect{0, 0, dc_.widthPx(), dc_.heightPx()}, back_);
  curX_ = 0;
  curY_ = 0;
}

void Win32Surface::line(double x1, double y1, double x2, double y2, Rgb color) {
  PenScope pen(dc_, color);
  dc_.moveTo(toPixelX(x1), toPixelY(y1));
  dc_.lineTo(toPixelX(x2), toPixelY(y2));
  setCurrentPosition(x2, y2);
}

void Win32Surface::box(double x1, double y1, double x2, double y2, Rgb color, bool filled) {
  const std::int32_t l = toPixelX(std::min(x1, x2));
  const std::int32_t r = toPixelX(std::max(x1, x2));
  const std::int32_t t = toPixelY(std::min(y1, y2));
  const std::int32_t b = toPixelY(std::max(y1, y2));
  if (filled) {
    dc_.fillRect(Rect{l, t, r + 1, b + 1}, color);
  } else {
    dc_.fillRect(Rect{l, t, r + 1, t + 1}, color);
    dc_.fillRect(Rect{l, b, r + 1, b + 1}, color);
    dc_.fillRect(Rect{l, t, l + 1, b + 1}, color);
    dc_.fillRect(Rect{r, t, r + 1, b + 1}, color);
  }
  setCurrentPosition(x2, y2);
}

void Win32Surface::setPixel(double x, double y, Rgb color) {
  dc_.setPixel(toPixelX(x), toPixelY(y), color);
  setCurrentPosition(x, y);
}

Rgb Win32Surface::pixel(double x, double y) const {
  return dc_.pixel(toPixelX(x), toPixelY(y));
}

SIZE Win32Surface::extent(std::string_view text) const {
  FontScope font(dc_.hdc(), font_);
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
  FontScope font(dc_.hdc(), font_);
  SetBkMode(dc_.hdc(), TRANSPARENT);
  SetTextColor(dc_.hdc(), fore_);
  TEXTMETRICW tm = {};
  GetTextMetricsW(dc_.hdc(), &tm);
  const auto lines = splitLines(text);
  std::int32_t x = toPixelX(curX_);
  std::int32_t y = toPixelY(curY_);
  SIZE last = {0, 0};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::wstring wide = toWide(lines[i]);
    TextOutW(dc_.hdc(), i == 0 ? x : 0, y, wide.c_str(), static_cast<int>(wide.size()));
    GetTextExtentPoint32W(dc_.hdc(), wide.c_str(), static_cast<int>(wide.size()), &last);
    if (i + 1 < lines.size()) y += tm.tmHeight;
  }
  if (newLine) {
    curX_ = 0;
    curY_ += static_cast<double>(tm.tmHeight) * static_cast<double>(lines.size()) * tppY_;
  } else {
    const double lastWidth = static_cast<double>(last.cx) * tppX_;
    curX_ = lines.size() > 1 ? lastWidth : curX_ + lastWidth;
    curY_ += static_cast<double>(lines.size() - 1) * tm.tmHeight * tppY_;
  }
}

double Win32Surface::textWidth(std::string_view text) const {
  return static_cast<double>(extent(text).cx) * tppX_;
}

double Win32Surface::textHeight(std::string_view text) const {
  return static_cast<double>(extent(text).cy) * tppY_;
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
