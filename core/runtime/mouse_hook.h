// A mouse hook on the current thread: every mouse message that the thread's message loop takes
// for one of the thread's windows reaches the hook's callback first, with the pointer position
// on the screen. The callback may swallow the message (the window never sees it). Removing the
// hook is safe from anywhere, its own callback included; the handle removes it when destroyed.
#pragma once

#include <cstdint>
#include <functional>

#include "core/runtime/geometry.h"
#include "core/runtime/window.h"

namespace nx {

// Mouse message numbers, as the platform numbers them.
namespace mouse_message {
inline constexpr std::uint32_t kNcMove = 0x00A0;
inline constexpr std::uint32_t kNcLeftDown = 0x00A1;
inline constexpr std::uint32_t kNcLeftUp = 0x00A2;
inline constexpr std::uint32_t kNcRightDown = 0x00A4;
inline constexpr std::uint32_t kNcRightUp = 0x00A5;
inline constexpr std::uint32_t kNcMiddleDown = 0x00A7;
inline constexpr std::uint32_t kNcMiddleUp = 0x00A8;
inline constexpr std::uint32_t kMove = 0x0200;
inline constexpr std::uint32_t kLeftDown = 0x0201;
inline constexpr std::uint32_t kLeftUp = 0x0202;
inline constexpr std::uint32_t kRightDown = 0x0204;
inline constexpr std::uint32_t kRightUp = 0x0205;
inline constexpr std::uint32_t kMiddleDown = 0x0207;
inline constexpr std::uint32_t kMiddleUp = 0x0208;
}  // namespace mouse_message

struct MouseHookEvent {
  std::uint32_t message = 0;  // a mouse_message number (others may come too)
  Point screen;               // pointer position in screen pixels
  WindowHandle window = 0;    // the window the message is for
  std::uint32_t hitTest = 0;  // where on that window the pointer is (the platform's hit code)
  bool removed = true;        // false when the message was only looked at and will come again
};

// Returns true to swallow the message.
using MouseHookCallback = std::function<bool(const MouseHookEvent&)>;

class MouseHook {
 public:
  // Removes the hook.
  virtual ~MouseHook() = default;
  // Removes the hook; later messages no longer reach the callback. Safe to call more than once.
  virtual void remove() = 0;
  virtual bool installed() const = 0;
};

}  // namespace nx
