// Tooltip windows as data: what the control support asks the platform to create and send, so that
// one platform can record it and another pass it to the real window.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <variant>

#include "core/runtime/geometry.h"

namespace nx {

using WindowHandle = std::intptr_t;

namespace tt {
inline constexpr const char* kClassName = "tooltips_class32";
inline constexpr std::uint32_t kStyleAlwaysTip = 0x01;
inline constexpr std::uint32_t kStyleNoPrefix = 0x02;
inline constexpr std::uint32_t kStyleBalloon = 0x40;
inline constexpr std::int32_t kUseDefault = static_cast<std::int32_t>(0x80000000u);
inline constexpr WindowHandle kTopmost = -1;
// No move, no size, no activate.
inline constexpr std::uint32_t kTopmostFlags = 0x13;
inline constexpr std::uint32_t kToolSubclass = 0x10;
inline constexpr std::uint32_t kToolCentered = 0x02;
inline constexpr std::uint32_t kAddToolA = 0x404;
inline constexpr std::uint32_t kUpdateTipTextA = 0x40C;
inline constexpr std::uint32_t kSetTipBkColor = 0x413;
inline constexpr std::uint32_t kSetTipTextColor = 0x414;
inline constexpr std::uint32_t kSetMaxTipWidth = 0x418;
inline constexpr std::uint32_t kSetTitleA = 0x420;
}  // namespace tt

struct TooltipWindowParams {
  std::uint32_t exStyle = 0;
  std::string className = tt::kClassName;
  std::string windowText;
  std::uint32_t style = 0;
  std::int32_t x = tt::kUseDefault;
  std::int32_t y = tt::kUseDefault;
  std::int32_t width = tt::kUseDefault;
  std::int32_t height = tt::kUseDefault;
  WindowHandle owner = 0;
  std::uintptr_t menu = 0;
  std::uintptr_t instance = 0;
};

// The tool record registered with the tooltip window. `size` is the platform record's size.
struct ToolInfo {
  std::uint32_t size = 0;
  std::uint32_t flags = 0;
  WindowHandle window = 0;
  std::uintptr_t id = 0;
  Rect rect;
  std::uintptr_t instance = 0;
  std::string text;
};

// The message's last parameter: nothing, a number, a single-byte text or a tool record.
using TooltipParam = std::variant<std::monostate, std::intptr_t, std::string, ToolInfo>;

class TooltipWindow {
 public:
  // Destroying the object destroys the window.
  virtual ~TooltipWindow() = default;
  virtual WindowHandle handle() const = 0;
  virtual std::uint32_t toolInfoSize() const = 0;
  virtual bool setWindowPos(WindowHandle insertAfter, std::int32_t x, std::int32_t y,
                            std::int32_t cx, std::int32_t cy, std::uint32_t flags) = 0;
  virtual std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                    const TooltipParam& lParam) = 0;
};

}  // namespace nx
