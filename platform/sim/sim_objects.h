// Font, picture and cursor objects of the simulated platform.
#pragma once

#include <string>

#include "core/runtime/font.h"
#include "core/runtime/picture.h"
#include "platform/sim/sim_bitmap.h"

namespace nx::sim {

class SimFont : public Font {
 public:
  explicit SimFont(FontDesc desc = {}) : desc_(std::move(desc)) {}
  std::string name() const override { return desc_.name; }
  void setName(const std::string& name) override { desc_.name = name; }
  double size() const override { return desc_.size; }
  void setSize(double points) override { desc_.size = points; }
  bool bold() const override { return desc_.bold; }
  void setBold(bool on) override { desc_.bold = on; }
  bool italic() const override { return desc_.italic; }
  void setItalic(bool on) override { desc_.italic = on; }
  bool underline() const override { return desc_.underline; }
  void setUnderline(bool on) override { desc_.underline = on; }

 private:
  FontDesc desc_;
};

// A picture holding its pixels; sizes in HIMETRIC follow from the screen's pixels per inch.
class SimPicture : public Picture {
 public:
  SimPicture(Bitmap pixels, double pixelsPerInch = 96.0)
      : pixels_(std::move(pixels)), ppi_(pixelsPerInch) {}
  std::int32_t widthHimetric() const override { return himetric(pixels_.width()); }
  std::int32_t heightHimetric() const override { return himetric(pixels_.height()); }
  std::int32_t widthPixels() const override { return pixels_.width(); }
  std::int32_t heightPixels() const override { return pixels_.height(); }
  const Bitmap& pixels() const { return pixels_; }

 private:
  std::int32_t himetric(std::int32_t px) const {
    return static_cast<std::int32_t>(px * kHimetricPerInch / ppi_ + 0.5);
  }
  Bitmap pixels_;
  double ppi_;
};

class SimCursor : public Cursor {
 public:
  explicit SimCursor(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }

 private:
  std::string name_;
};

}  // namespace nx::sim
