// The platform's accessibility protocol for a window that a portable element tree describes: the
// window answers WM_GETOBJECT with an IAccessible object over the tree (the tree is asked again
// on every call, so answers are always current and cost no redraw), announcements become
// WinEvents, and default actions run later from the window's own message queue so that a client
// is never blocked by what the action does (a modal list, a message box).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "core/runtime/accessible.h"

namespace nx::win32 {

class AccessibleServer {
 public:
  using TreeSource = std::function<AccessibleNode()>;

  // `tree` describes the window's client area; twips per pixel convert the tree's bounds.
  AccessibleServer();
  ~AccessibleServer();
  AccessibleServer(const AccessibleServer&) = delete;
  AccessibleServer& operator=(const AccessibleServer&) = delete;

  // Connects the server to its window and tree; a window with no tree answers nothing.
  void attach(HWND hwnd, TreeSource tree);
  // The window goes away: objects handed out before answer "not connected" from then on.
  void detach();
  void setScale(double twipsPerPixelX, double twipsPerPixelY);

  // WM_GETOBJECT for the window (path empty) or for a part window that shows the element at
  // `path`. Returns whether it answered; `result` is the message's result then.
  bool answer(WPARAM wParam, LPARAM lParam, LRESULT& result, std::vector<int> path = {});
  // The posted message that runs a default action; true when `message` was one.
  bool runPosted(UINT message, WPARAM wParam);
  // Raises the WinEvent for an announcement (child 0: the window's element).
  void announce(AccessEvent event, int child) const;

  // The message a default action is posted with.
  static UINT actionMessage();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// The WinEvent number and the accessibility role and state bits of the portable values.
DWORD winEventOf(AccessEvent event);
LONG roleOf(AccessRole role);
LONG stateBitsOf(std::uint32_t states);

}  // namespace nx::win32
