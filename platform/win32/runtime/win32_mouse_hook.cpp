#include "platform/win32/runtime/win32_mouse_hook.h"

#include <windows.h>

#include "core/runtime/errors.h"
#include "core/runtime/mouse_hook_chain.h"

namespace nx::win32 {

namespace {

struct ThreadHook {
  HHOOK hook = nullptr;
  MouseHookChain chain;

  // Unregisters the system hook once no callback is left, but never from inside a dispatch:
  // the hook procedure does it when the outermost dispatch has returned.
  void release() {
    if (hook && chain.empty() && !chain.dispatching()) {
      UnhookWindowsHookEx(hook);
      hook = nullptr;
    }
  }
};

const std::shared_ptr<ThreadHook>& threadHook() {
  thread_local const std::shared_ptr<ThreadHook> state = std::make_shared<ThreadHook>();
  return state;
}

LRESULT CALLBACK hookProc(int code, WPARAM wParam, LPARAM lParam) {
  const std::shared_ptr<ThreadHook> state = threadHook();
  if (code >= 0 && lParam) {
    const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    MouseHookEvent event;
    event.message = static_cast<std::uint32_t>(wParam);
    event.screen = Point{info->pt.x, info->pt.y};
    event.window = reinterpret_cast<WindowHandle>(info->hwnd);
    event.hitTest = info->wHitTestCode;
    event.removed = code == HC_ACTION;
    const bool swallowed = state->chain.dispatch(event);
    HHOOK hook = state->hook;
    state->release();
    if (swallowed) return 1;
    return CallNextHookEx(hook, code, wParam, lParam);
  }
  return CallNextHookEx(state->hook, code, wParam, lParam);
}

class Win32MouseHook final : public MouseHook {
 public:
  Win32MouseHook(std::shared_ptr<ThreadHook> state, std::shared_ptr<MouseHookChain::Entry> entry)
      : state_(std::move(state)), entry_(std::move(entry)) {}
  ~Win32MouseHook() override { remove(); }
  Win32MouseHook(const Win32MouseHook&) = delete;
  Win32MouseHook& operator=(const Win32MouseHook&) = delete;

  void remove() override {
    if (!entry_) return;
    state_->chain.remove(entry_);
    entry_.reset();
    state_->release();
  }
  bool installed() const override { return entry_ != nullptr; }

 private:
  std::shared_ptr<ThreadHook> state_;
  std::shared_ptr<MouseHookChain::Entry> entry_;
};

}  // namespace

std::unique_ptr<MouseHook> installThreadMouseHook(MouseHookCallback callback) {
  if (!callback) throw HostError("a mouse hook needs a callback");
  const std::shared_ptr<ThreadHook>& state = threadHook();
  if (!state->hook) {
    state->hook = SetWindowsHookExW(WH_MOUSE, &hookProc, nullptr, GetCurrentThreadId());
    if (!state->hook) throw HostError("the system refused the mouse hook");
  }
  return std::make_unique<Win32MouseHook>(state, state->chain.add(std::move(callback)));
}

bool threadMouseHookRegistered() {
  return threadHook()->hook != nullptr;
}

}  // namespace nx::win32
