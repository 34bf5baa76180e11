// The runtime's device context over a 32-bit DIB section selected into a memory DC: the
// persistent image of a control.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "core/runtime/device_context.h"
#include "platform/win32/runtime/gdi.h"

namespace nx::win32 {

class Win32Dc final : public DeviceContext {
 public:
  Win32Dc();
  ~Win32Dc() override;
  Win32Dc(const Win32Dc&) = delete;
  Win32Dc& operator=(const Win32Dc&) = delete;

  // Gives the image a new size; the content is cleared to `fill`.
  void resize(std::int32_t width, std::int32_t height, Rgb fill);
  HDC hdc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }

  std::int32_t widthPx() const override { return width_; }
  std::int32_t heightPx() const override { return height_; }
  Rgb pixel(std::int32_t x, std::int32_t y) const override;
  void readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const override;
  void writeBlock(const Rect& r, std::span<const Rgb> pixels) override;
  void readBlock(const Rect& r, std::span<Rgb> pixels) const override;
  void scroll(const Rect& r, std::int32_t dx, std::int32_t dy) override;
  void setPixel(std::int32_t x, std::int32_t y, Rgb color) override;
  Rgb selectPen(Rgb color) override;
  void moveTo(std::int32_t x, std::int32_t y) override;
  void lineTo(std::int32_t x, std::int32_t y) override;
  void fillRect(const Rect& r, Rgb color) override;
  void gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                    GradientMode mode) override;

 private:
  MemoryDc dc_;
  Bitmap bitmap_;
  HGDIOBJ originalBitmap_ = nullptr;
  Pen pen_;
  HGDIOBJ originalPen_ = nullptr;
  Rgb penColor_ = 0;
  std::uint32_t* bits_ = nullptr;  // top-down rows of 0x00RRGGBB
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

// The runtime's device context over a device context that a client passed in (any HDC: a
// window's, a memory DC, a printer's). Borrowed: the client keeps owning it; the pen this object
// selects is put back and deleted when it is destroyed.
class ClientDc final : public DeviceContext {
 public:
  // nullptr when `handle` is no device context.
  static std::unique_ptr<ClientDc> borrow(HDC handle);
  ~ClientDc() override;
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;

  std::int32_t widthPx() const override;
  std::int32_t heightPx() const override;
  Rgb pixel(std::int32_t x, std::int32_t y) const override;
  void setPixel(std::int32_t x, std::int32_t y, Rgb color) override;
  Rgb selectPen(Rgb color) override;
  void moveTo(std::int32_t x, std::int32_t y) override;
  void lineTo(std::int32_t x, std::int32_t y) override;
  void fillRect(const Rect& r, Rgb color) override;
  void gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                    GradientMode mode) override;

 private:
  explicit ClientDc(HDC dc) : dc_(dc) {}
  HDC dc_;
  Pen pen_;
  HGDIOBJ originalPen_ = nullptr;
  Rgb penColor_ = 0;
};

}  // namespace nx::win32
