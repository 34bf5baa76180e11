#include "platform/win32/runtime/win32_dc.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/runtime/errors.h"

namespace nx::win32 {

namespace {

// DIB pixels are 0x00RRGGBB; runtime colours are 0x00BBGGRR.
constexpr Rgb fromDib(std::uint32_t p) {
  return ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}
constexpr std::uint32_t toDib(Rgb c) {
  return fromDib(c);
}

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// msimg32's GradientFill, looked up once per process; null when the platform lacks it.
GradientFillFn platformGradientFill() {
  static const GradientFillFn fn = [] {
    HMODULE module = LoadLibraryW(L"msimg32.dll");
    return module ? reinterpret_cast<GradientFillFn>(
                        reinterpret_cast<void*>(GetProcAddress(module, "GradientFill")))
                  : nullptr;
  }();
  return fn;
}

}  // namespace

Win32Dc::Win32Dc() {
  pen_ = Pen(CreatePen(PS_SOLID, 1, 0));
  originalPen_ = SelectObject(dc_.get(), pen_.get());
  resize(1, 1, 0xFFFFFF);
}

Win32Dc::~Win32Dc() {
  SelectObject(dc_.get(), originalPen_);
  if (originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

void Win32Dc::resize(std::int32_t width, std::int32_t height, Rgb fill) {
  width = width < 1 ? 1 : width;
  height = height < 1 ? 1 : height;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap bitmap(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) throw HostError("cannot create the drawing surface");
  HGDIOBJ previous = SelectObject(dc_.get(), bitmap.get());
  if (!originalBitmap_) originalBitmap_ = previous;
  bitmap_ = std::move(bitmap);
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  fillRect(Rect{0, 0, width, height}, fill);
}

Rgb Win32Dc::pixel(std::int32_t x, std::int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kInvalidColor;
  GdiFlush();
  return fromDib(bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFFu);
}

void Win32Dc::readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const {
  GdiFlush();
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::int32_t x = x0 + static_cast<std::int32_t>(i);
    out[i] = (x < 0 || y < 0 || x >= width_ || y >= height_)
                 ? kInvalidColor
                 : fromDib(bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFFu);
  }
}

void Win32Dc::writeBlock(const Rect& r, std::span<const Rgb> pixels) {
  // Straight into the section's bits: GDI's pending drawing first, nothing cached after.
  GdiFlush();
  const std::int32_t w = r.right - r.left;
  for (std::int32_t y = std::max(r.top, 0); y < std::min(r.bottom, height_); ++y)
    for (std::int32_t x = std::max(r.left, 0); x < std::min(r.right, width_); ++x)
      bits_[static_cast<std::size_t>(y) * width_ + x] =
          toDib(pixels[static_cast<std::size_t>(y - r.top) * static_cast<std::size_t>(w) +
                       static_cast<std::size_t>(x - r.left)]);
}

void Win32Dc::readBlock(const Rect& r, std::span<Rgb> pixels) const {
  GdiFlush();
  const std::int32_t w = r.right - r.left;
  for (std::int32_t y = r.top; y < r.bottom; ++y)
    for (std::int32_t x = r.left; x < r.right; ++x)
      pixels[static_cast<std::size_t>(y - r.top) * static_cast<std::size_t>(w) +
             static_cast<std::size_t>(x - r.left)] =
          (x < 0 || y < 0 || x >= width_ || y >= height_)
              ? kInvalidColor
              : fromDib(bits_[static_cast<std::size_t>(y) * width_ + x] & 0xFFFFFFu);
}

void Win32Dc::scroll(const Rect& r, std::int32_t dx, std::int32_t dy) {
  // Within the section's bits: each row moved in one go, rows in the order that never reads a
  // row already overwritten.
  const Rect c{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width_),
               std::min(r.bottom, height_)};
  const Rect from{c.left + std::max(-dx, 0), c.top + std::max(-dy, 0), c.right - std::max(dx, 0),
                  c.bottom - std::max(dy, 0)};
  if (from.empty()) return;
  GdiFlush();
  const std::size_t n = static_cast<std::size_t>(from.width());
  const auto move = [&](std::int32_t y) {
    std::uint32_t* row = bits_ + static_cast<std::size_t>(y) * width_;
    std::uint32_t* to = bits_ + static_cast<std::size_t>(y + dy) * width_;
    std::memmove(to + from.left + dx, row + from.left, n * sizeof(std::uint32_t));
  };
  if (dy > 0)
    for (std::int32_t y = from.bottom - 1; y >= from.top; --y) move(y);
  else
    for (std::int32_t y = from.top; y < from.bottom; ++y) move(y);
}

void Win32Dc::setPixel(std::int32_t x, std::int32_t y, Rgb color) {
  SetPixelV(dc_.get(), x, y, color);
}

Rgb Win32Dc::selectPen(Rgb color) {
  const Rgb previous = penColor_;
  if (color == penColor_) return previous;
  Pen pen(CreatePen(PS_SOLID, 1, color));
  SelectObject(dc_.get(), pen.get());
  pen_ = std::move(pen);  // the replaced pen is no longer selected and is deleted here
  penColor_ = color;
  return previous;
}

void Win32Dc::moveTo(std::int32_t x, std::int32_t y) {
  MoveToEx(dc_.get(), x, y, nullptr);
}

void Win32Dc::lineTo(std::int32_t x, std::int32_t y) {
  LineTo(dc_.get(), x, y);
}

void Win32Dc::fillRect(const Rect& r, Rgb color) {
  Brush brush(CreateSolidBrush(color));
  const RECT rc = {r.left, r.top, r.right, r.bottom};
  FillRect(dc_.get(), &rc, brush.get());
}

void Win32Dc::gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                           GradientMode mode) {
  const GradientFillFn fill = platformGradientFill();
  if (!fill) throw PlatformCallMissing("GradientFill is not available");
  std::vector<TRIVERTEX> v(vertices.size());
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    v[i].x = vertices[i].x;
    v[i].y = vertices[i].y;
    v[i].Red = static_cast<COLOR16>(vertices[i].red);
    v[i].Green = static_cast<COLOR16>(vertices[i].green);
    v[i].Blue = static_cast<COLOR16>(vertices[i].blue);
    v[i].Alpha = static_cast<COLOR16>(vertices[i].alpha);
  }
  std::vector<GRADIENT_RECT> r(rects.size());
  for (std::size_t i = 0; i < rects.size(); ++i) {
    r[i].UpperLeft = rects[i].upperLeft;
    r[i].LowerRight = rects[i].lowerRight;
  }
  // What the fill returns is not looked at: a fill that reports failure has drawn what it could,
  // and is no error of the put or resize that is painting. Only a missing entry point (above)
  // is, and that one makes the caller draw with lines instead.
  fill(dc_.get(), v.data(), static_cast<ULONG>(v.size()), r.data(), static_cast<ULONG>(r.size()),
       mode == GradientMode::RectH ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

std::unique_ptr<ClientDc> ClientDc::borrow(HDC handle) {
  if (handle == nullptr) return nullptr;
  switch (GetObjectType(handle)) {
    case OBJ_DC:
    case OBJ_MEMDC:
    case OBJ_ENHMETADC:
      return std::unique_ptr<ClientDc>(new ClientDc(handle));
    default:
      return nullptr;
  }
}

ClientDc::~ClientDc() {
  if (originalPen_) SelectObject(dc_, originalPen_);
}

std::int32_t ClientDc::widthPx() const {
  RECT clip = {};
  return GetClipBox(dc_, &clip) == ERROR ? 0 : clip.right;
}

std::int32_t ClientDc::heightPx() const {
  RECT clip = {};
  return GetClipBox(dc_, &clip) == ERROR ? 0 : clip.bottom;
}

Rgb ClientDc::pixel(std::int32_t x, std::int32_t y) const {
  const COLORREF c = GetPixel(dc_, x, y);
  return c == CLR_INVALID ? kInvalidColor : static_cast<Rgb>(c);
}

void ClientDc::setPixel(std::int32_t x, std::int32_t y, Rgb color) {
  SetPixelV(dc_, x, y, color);
}

Rgb ClientDc::selectPen(Rgb color) {
  const Rgb previous = penColor_;
  if (pen_ && color == penColor_) return previous;
  Pen pen(CreatePen(PS_SOLID, 1, color));
  HGDIOBJ replaced = SelectObject(dc_, pen.get());
  if (!originalPen_) originalPen_ = replaced;
  pen_ = std::move(pen);  // the replaced pen of ours is no longer selected and is deleted here
  penColor_ = color;
  return previous;
}

void ClientDc::moveTo(std::int32_t x, std::int32_t y) {
  MoveToEx(dc_, x, y, nullptr);
}

void ClientDc::lineTo(std::int32_t x, std::int32_t y) {
  LineTo(dc_, x, y);
}

void ClientDc::fillRect(const Rect& r, Rgb color) {
  Brush brush(CreateSolidBrush(color));
  const RECT rc = {r.left, r.top, r.right, r.bottom};
  FillRect(dc_, &rc, brush.get());
}

void ClientDc::gradientFill(std::span<const TriVertex> vertices,
                            std::span<const GradientRect> rects, GradientMode mode) {
  const GradientFillFn fill = platformGradientFill();
  if (!fill) throw PlatformCallMissing("GradientFill is not available");
  std::vector<TRIVERTEX> v(vertices.size());
  for (std::size_t i = 0; i < vertices.size(); ++i) {
    v[i].x = vertices[i].x;
    v[i].y = vertices[i].y;
    v[i].Red = static_cast<COLOR16>(vertices[i].red);
    v[i].Green = static_cast<COLOR16>(vertices[i].green);
    v[i].Blue = static_cast<COLOR16>(vertices[i].blue);
    v[i].Alpha = static_cast<COLOR16>(vertices[i].alpha);
  }
  std::vector<GRADIENT_RECT> r(rects.size());
  for (std::size_t i = 0; i < rects.size(); ++i) {
    r[i].UpperLeft = rects[i].upperLeft;
    r[i].LowerRight = rects[i].lowerRight;
  }
  fill(dc_, v.data(), static_cast<ULONG>(v.size()), r.data(), static_cast<ULONG>(r.size()),
       mode == GradientMode::RectH ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

}  // namespace nx::win32
