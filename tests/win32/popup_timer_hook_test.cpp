// Timers, the thread mouse hook and the modal pop-up on the real platform, driven by input
// synthesised through the system's input queue.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "platform/win32/runtime/win32_mouse_hook.h"
#include "platform/win32/runtime/win32_services.h"
#include "platform/win32/runtime/win32_timers.h"

namespace {

namespace mm = nx::mouse_message;
using nx::ModalEnd;
using nx::MouseHookEvent;
using nx::PopupMouseEvent;

// Dispatches messages until `done` holds or `timeoutMs` passed; returns whether it holds.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (done()) return true;
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

void pumpFor(DWORD ms) {
  pumpUntil([] { return false; }, ms);
}

// A left click through the input queue at a screen point.
void clickAt(int x, int y) {
  SetCursorPos(x, y);
  INPUT in[2] = {};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].type = INPUT_MOUSE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

// A plain top-level window that records the mouse presses it receives.
class TargetWindow {
 public:
  TargetWindow(int x, int y, int w, int h) {
    static const ATOM atom = [] {
      WNDCLASSW wc = {};
      wc.lpfnWndProc = &TargetWindow::proc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
      wc.lpszClassName = L"nxTestTarget";
      return RegisterClassW(&wc);
    }();
    (void)atom;
    hwnd_ = CreateWindowExW(0, L"nxTestTarget", L"target", WS_POPUP | WS_VISIBLE, x, y, w, h,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
  }
  ~TargetWindow() {
    if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  }
  HWND hwnd() const { return hwnd_; }
  int downs = 0;
  int ups = 0;

 private:
  static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TargetWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_LBUTTONDOWN) ++self->downs;
    if (self && message == WM_LBUTTONUP) ++self->ups;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

TEST(Win32Timers, TickStopAndRestartFromTicks) {
  nx::win32::Win32Services services;
  int aTicks = 0, bTicks = 0;
  std::unique_ptr<nx::Timer> a, b;
  a = services.timers().start(20, [&] {
    if (++aTicks == 3) {
      a->stop();  // stops itself
      b = services.timers().start(15, [&] {
        if (++bTicks == 2) b.reset();  // drops its own handle
      });
    }
  });
  ASSERT_TRUE(a);
  EXPECT_NE(a->id(), 0u);
  EXPECT_EQ(nx::win32::Win32Timers::runningOnThisThread(), 1u);
  ASSERT_TRUE(pumpUntil([&] { return bTicks == 2; }, 5000)) << aTicks << " " << bTicks;
  EXPECT_EQ(aTicks, 3);
  EXPECT_FALSE(a->running());
  EXPECT_EQ(b, nullptr);
  pumpFor(100);
  EXPECT_EQ(aTicks, 3);
  EXPECT_EQ(bTicks, 2);
  EXPECT_EQ(nx::win32::Win32Timers::runningOnThisThread(), 0u);

  // Dropping a running timer's handle stops it; a throwing tick does not end the loop.
  int thrown = 0;
  auto failing = services.timers().start(10, [&] {
    ++thrown;
    throw std::runtime_error("tick failed");
  });
  ASSERT_TRUE(pumpUntil([&] { return thrown >= 2; }, 5000));
  failing.reset();
  const int seen = thrown;
  pumpFor(80);
  EXPECT_EQ(thrown, seen);
  EXPECT_EQ(services.timers().start(10, nullptr), nullptr);
}

TEST(Win32MouseHook, SeesSwallowsAndRemovesItself) {
  nx::win32::Win32Services services;
  TargetWindow target(120, 120, 200, 150);
  pumpFor(50);
  std::vector<MouseHookEvent> seen;
  auto hook = services.installMouseHook([&](const MouseHookEvent& e) {
    if (e.message == mm::kLeftDown || e.message == mm::kLeftUp) seen.push_back(e);
    return e.message == mm::kLeftDown;  // swallows presses
  });
  EXPECT_TRUE(nx::win32::threadMouseHookRegistered());
  clickAt(170, 180);
  ASSERT_TRUE(pumpUntil([&] { return target.ups > 0; }, 3000));
  EXPECT_EQ(target.downs, 0) << "the hook swallowed the press";
  ASSERT_GE(seen.size(), 2u);
  EXPECT_EQ(seen[0].message, mm::kLeftDown);
  EXPECT_EQ(seen[0].screen, (nx::Point{170, 180}));
  EXPECT_EQ(seen[0].window, reinterpret_cast<nx::WindowHandle>(target.hwnd()));
  EXPECT_EQ(seen[0].hitTest, static_cast<std::uint32_t>(HTCLIENT));

  // A callback that throws lets the message through; one that removes its own hook
  // unregisters the system hook once the dispatch is over.
  hook.reset();
  EXPECT_FALSE(nx::win32::threadMouseHookRegistered());
  int calls = 0;
  std::unique_ptr<nx::MouseHook> self;
  self = services.installMouseHook([&](const MouseHookEvent& e) -> bool {
    if (e.message != mm::kLeftDown) return false;
    ++calls;
    self->remove();
    throw std::runtime_error("hook failed");
  });
  clickAt(171, 181);
  ASSERT_TRUE(pumpUntil([&] { return target.ups > 1; }, 3000));
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(target.downs, 1);
  EXPECT_FALSE(self->installed());
  EXPECT_FALSE(nx::win32::threadMouseHookRegistered());
}

// The drop-down's way of closing: shown modally over its owner and closed by a hook that sees a
// left press outside it; a press inside reaches the pop-up in client pixels.
TEST(Win32Popup, ModalRunEndsByAClickInsideOrOutside) {
  nx::win32::Win32Services services;
  TargetWindow owner(40, 40, 500, 400);
  pumpFor(50);
  const nx::Rect bounds{100, 100, 200, 250};
  std::vector<PopupMouseEvent> downs;
  int deactivations = 0;
  std::unique_ptr<nx::PopupWindow> popup;
  nx::PopupCallbacks callbacks;
  callbacks.mouse = [&](const PopupMouseEvent& e) {
    if (e.kind != PopupMouseEvent::Kind::Down) return;
    downs.push_back(e);
    popup->close();
  };
  callbacks.deactivated = [&] { ++deactivations; };
  popup = services.createPopupWindow({reinterpret_cast<nx::WindowHandle>(owner.hwnd()), bounds},
                                     std::move(callbacks));
  HWND hwnd = reinterpret_cast<HWND>(popup->handle());
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), owner.hwnd());
  EXPECT_EQ(
      static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)) & (WS_POPUP | WS_CAPTION | WS_BORDER),
      static_cast<DWORD>(WS_POPUP));
  EXPECT_FALSE(popup->visible());
  popup->surface().setBackColor(0x000000FF);
  popup->surface().clear();
  popup->refresh();

  bool shown = false;
  COLORREF painted = CLR_INVALID;
  bool watchdogFired = false;
  auto watchdog = services.timers().start(5000, [&] {
    watchdogFired = true;
    popup->close();
  });
  // Inside: the pop-up's own callback closes it.
  std::unique_ptr<nx::Timer> clicker;
  clicker = services.timers().start(100, [&] {
    shown = popup->visible();
    UpdateWindow(hwnd);
    HDC dc = GetDC(nullptr);
    painted = GetPixel(dc, 150, 150);
    ReleaseDC(nullptr, dc);
    clickAt(110, 120);
    clicker->stop();
  });
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_FALSE(watchdogFired);
  EXPECT_TRUE(shown);
  EXPECT_EQ(painted, static_cast<COLORREF>(0x000000FF));
  EXPECT_FALSE(popup->visible());
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].button, nx::MouseButton::Left);
  EXPECT_EQ(downs[0].client, (nx::Point{10, 20}));

  // Outside, over the owner: the hook closes it and the pop-up hears nothing of the click.
  std::vector<MouseHookEvent> outside;
  auto hook = services.installMouseHook([&](const MouseHookEvent& e) {
    const bool out = e.screen.x < bounds.left || e.screen.x >= bounds.right ||
                     e.screen.y < bounds.top || e.screen.y >= bounds.bottom;
    if (e.message == mm::kLeftDown && out) {
      outside.push_back(e);
      popup->close();
    }
    return false;
  });
  clicker = services.timers().start(100, [&] {
    clickAt(400, 300);
    clicker->stop();
  });
  const int ownerDowns = owner.downs;
  deactivations = 0;
  EXPECT_EQ(popup->runModal(), ModalEnd::Closed);
  EXPECT_FALSE(watchdogFired);
  ASSERT_EQ(outside.size(), 1u);
  EXPECT_EQ(outside[0].window, reinterpret_cast<nx::WindowHandle>(owner.hwnd()));
  EXPECT_EQ(downs.size(), 1u);
  EXPECT_EQ(deactivations, 0) << "no callback once closed";
  EXPECT_FALSE(popup->visible());
  pumpFor(50);
  EXPECT_EQ(owner.downs, ownerDowns + 1) << "the hook passes the click on";
}

TEST(Win32Popup, ModalRunEndsOnQuitDestructionAndFailure) {
  nx::win32::Win32Services services;
  nx::PopupCallbacks callbacks;
  callbacks.key = [](std::uint16_t key) {
    if (key == VK_RETURN) throw std::runtime_error("key handler");
  };
  auto popup = services.createPopupWindow({0, {300, 300, 340, 340}}, std::move(callbacks));
  HWND hwnd = reinterpret_cast<HWND>(popup->handle());
  auto watchdog = services.timers().start(5000, [&] {
    if (popup) popup->close();
  });

  // WM_QUIT ends the run and is posted again for the loop outside.
  std::unique_ptr<nx::Timer> quitter;
  quitter = services.timers().start(30, [&] {
    quitter->stop();
    PostQuitMessage(7);
  });
  EXPECT_EQ(popup->runModal(), ModalEnd::Quit);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);

  // A callback's exception closes the pop-up and comes out of runModal.
  std::unique_ptr<nx::Timer> presser;
  presser = services.timers().start(30, [&] {
    presser->stop();
    PostMessageW(hwnd, WM_KEYDOWN, VK_RETURN, 0);
  });
  EXPECT_THROW(popup->runModal(), std::runtime_error);
  EXPECT_FALSE(IsWindowVisible(hwnd));

  // Dropping the object during the run destroys the window and ends the run.
  std::unique_ptr<nx::Timer> dropper;
  dropper = services.timers().start(30, [&] {
    dropper->stop();
    popup.reset();
  });
  nx::PopupWindow* raw = popup.get();
  EXPECT_EQ(raw->runModal(), ModalEnd::WindowGone);
  EXPECT_EQ(popup, nullptr);
  EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace

TEST(Win32Popup, HasItsOwnParts) {
  nx::win32::Win32Services services;
  auto popup = services.createPopupWindow({0, {300, 300, 400, 460}}, {});
  HWND hwnd = reinterpret_cast<HWND>(popup->handle());
  auto& bar = popup->parts().createScrollBar("sBar");
  bar.setBounds({1200, 0, 255, 2400});
  bar.setRange(0, 26);
  int changes = 0;
  bar.events().changed = [&] { ++changes; };
  HWND child = FindWindowExW(hwnd, nullptr, L"ScrollBar", nullptr);
  ASSERT_NE(child, nullptr);
  SendMessageW(hwnd, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), reinterpret_cast<LPARAM>(child));
  EXPECT_EQ(bar.value(), 1);
  EXPECT_EQ(changes, 1);
  popup.reset();
  EXPECT_FALSE(IsWindow(child));
}
