// A borderless top-level pop-up window owned by a control's window, with its own drawing
// surface and input callbacks, shown modally: runModal() returns when the control closes it,
// when the window goes away, or when the application is asked to quit.
#pragma once

#include <cstdint>
#include <functional>

#include "core/runtime/accessible.h"
#include "core/runtime/geometry.h"
#include "core/runtime/parts.h"
#include "core/runtime/surface.h"
#include "core/runtime/window.h"

namespace nx {

enum class MouseButton : std::uint8_t { None = 0, Left = 1, Right = 2, Middle = 3 };

struct PopupMouseEvent {
  enum class Kind : std::uint8_t { Move, Down, Up };
  Kind kind = Kind::Move;
  MouseButton button = MouseButton::None;  // None for moves
  Point client;                            // pop-up client pixels
};

// Input the pop-up passes on while it is shown. Every member may be empty.
struct PopupCallbacks {
  std::function<void(const PopupMouseEvent&)> mouse = nullptr;
  // A key pressed, by its virtual key code (13 Enter, 27 Escape, 38 Up, 40 Down).
  std::function<void(std::uint16_t)> key = nullptr;
  // The pop-up lost the activation or the keyboard focus to another window (may come twice for
  // one change). Not called once the pop-up was closed.
  std::function<void()> deactivated = nullptr;
  // What the pop-up is to accessibility clients (a list and its rows); bounds in twips of the
  // pop-up's client area.
  std::function<AccessibleNode()> accessible = nullptr;
};

struct PopupParams {
  WindowHandle owner = 0;  // the control's window; 0 for none
  Rect bounds;             // on the screen, in pixels; the whole window is client area
};

enum class ModalEnd : std::uint8_t {
  Closed,      // close() was called
  WindowGone,  // the window was destroyed (with its owner, or by dropping the object)
  Quit,        // the application was asked to quit; the request is passed on
};

class PopupWindow {
 public:
  // Destroys the window; a modal run in progress ends with WindowGone.
  virtual ~PopupWindow() = default;

  virtual WindowHandle handle() const = 0;
  virtual Rect bounds() const = 0;
  // The persistent drawing surface, in twips of the screen, as large as the window.
  virtual Surface& surface() = 0;
  // The pop-up's own constituent parts (a list's labels, pictures and scroll bar), positioned in
  // twips within it, as a control window's parts are.
  virtual PartFactory& parts() = 0;
  // Shows what was drawn.
  virtual void refresh() = 0;
  virtual bool visible() const = 0;

  // Shows and activates the window, then passes input to the callbacks until it ends; the window
  // is hidden again when this returns. An exception that leaves a callback during the run closes
  // the pop-up and is thrown again from here. Raises HostError when the window is gone or
  // already running modally.
  virtual ModalEnd runModal() = 0;
  // Ends the modal run (returns Closed) and hides the window. Safe at any time.
  virtual void close() = 0;
  // Tells accessibility clients that an element of the pop-up changed: 0 is the pop-up's own
  // element, n its n-th child.
  virtual void announce(AccessEvent event, int child) {
    static_cast<void>(event);
    static_cast<void>(child);
  }
};

}  // namespace nx
