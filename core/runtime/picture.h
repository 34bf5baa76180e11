// Picture and cursor objects of the host platform, shared by reference.
#pragma once

#include <cstdint>
#include <memory>

namespace nx {

class Picture {
 public:
  virtual ~Picture() = default;
  // Size in HIMETRIC (0.01 mm), as the platform's picture object reports it.
  virtual std::int32_t widthHimetric() const = 0;
  virtual std::int32_t heightHimetric() const = 0;
  virtual std::int32_t widthPixels() const = 0;
  virtual std::int32_t heightPixels() const = 0;
};

using PictureRef = std::shared_ptr<const Picture>;

class Cursor {
 public:
  virtual ~Cursor() = default;
};

using CursorRef = std::shared_ptr<const Cursor>;

// HIMETRIC per inch; pixel sizes convert through the screen's pixels per inch.
inline constexpr std::int32_t kHimetricPerInch = 2540;

}  // namespace nx
