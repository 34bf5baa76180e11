// Focus and keys of a control window with child parts: the focus anywhere in the control is the
// control's focus, and key messages are routed between the focused text part, the control and
// the container. Also: a platform gradient fill that reports failure is no error.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/runtime/parts.h"
#include "core/support/grad_bar.h"
#include "platform/win32/com/key_routing.h"
#include "platform/win32/runtime/win32_dc.h"
#include "platform/win32/runtime/win32_window.h"

namespace {

using nx::TextBoxPart;
using nx::win32::KeyRoute;
using nx::win32::routeAccelerator;

class Owner final : public nx::win32::WindowOwner {
 public:
  void windowInput(UINT, WPARAM, LPARAM) override {}
  void windowFocus(bool gained) override { focus.push_back(gained); }
  void windowResizedItself(int, int) override {}
  LRESULT windowDialogCode(const MSG* msg) override { return nx::win32::controlDialogCode(msg); }
  std::vector<bool> focus;
};

void pump() {
  MSG msg;
  for (int round = 0; round < 3; ++round) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(1);
  }
}

// Holds the given modifier keys down in the thread's keyboard state for its lifetime.
class Modifiers {
 public:
  explicit Modifiers(std::initializer_list<int> keys) {
    GetKeyboardState(saved_);
    BYTE state[256];
    GetKeyboardState(state);
    for (int k : {VK_SHIFT, VK_CONTROL, VK_MENU}) state[k] = 0;
    for (int k : keys) state[k] = 0x80;
    SetKeyboardState(state);
  }
  ~Modifiers() { SetKeyboardState(saved_); }

 private:
  BYTE saved_[256];
};

// A form with a control window (a text part and a scroll bar inside) and a sibling control to
// take the focus away.
struct Form {
  HWND form = nullptr;
  HWND sibling = nullptr;
  Owner owner;
  nx::win32::Win32Window window{owner};
  TextBoxPart* box = nullptr;
  nx::ScrollBarPart* bar = nullptr;

  Form() {
    form = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200,
                           nullptr, nullptr, nullptr, nullptr);
    sibling = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 100, 100, 20,
                              form, nullptr, nullptr, nullptr);
    window.create(form, RECT{10, 10, 310, 60});
    box = &window.parts().createTextBox("tvat");
    box->setBounds(twips(5, 5, 200, 20));
    bar = &window.parts().createScrollBar("bar");
    bar->setBounds(twips(280, 0, 16, 50));
    SetForegroundWindow(form);
    pump();
  }
  ~Form() {
    window.destroy();
    if (form) DestroyWindow(form);
  }
  nx::PartRect twips(int l, int t, int w, int h) const {
    const double x = window.twipsPerPixelX();
    const double y = window.twipsPerPixelY();
    return {l * x, t * y, w * x, h * y};
  }
  HWND edit() const { return dynamic_cast<nx::win32::ChildPart&>(*box).hwnd(); }
  HWND barWindow() const { return dynamic_cast<nx::win32::ChildPart&>(*bar).hwnd(); }
  void focus(HWND hwnd) {
    SetFocus(hwnd);
    pump();
  }
};

TEST(Win32FocusWithin, ChildPartsShareTheControlsFocusAndLeavingReportsOnce) {
  Form f;
  ASSERT_TRUE(f.edit());
  ASSERT_TRUE(f.barWindow());
  f.focus(f.sibling);
  f.owner.focus.clear();

  // Into the text part from outside: one gain, and the part is the focused text part.
  f.focus(f.edit());
  ASSERT_EQ(GetFocus(), f.edit());
  EXPECT_EQ(f.owner.focus, std::vector<bool>{true});
  EXPECT_TRUE(f.window.focusWithin());
  EXPECT_EQ(f.window.focusedTextPart(), f.box);

  // Moves inside the control (to its window, back to the part, to the scroll bar) are no change.
  f.focus(f.window.hwnd());
  EXPECT_EQ(f.window.focusedTextPart(), nullptr);
  f.focus(f.edit());
  f.focus(f.barWindow());
  ASSERT_EQ(GetFocus(), f.barWindow());
  EXPECT_EQ(f.window.focusedTextPart(), nullptr);
  f.focus(f.edit());
  EXPECT_EQ(f.owner.focus, std::vector<bool>{true});
  EXPECT_TRUE(f.window.focusWithin());

  // Hiding the focused part hands the focus to the control window: still no change.
  f.box->setVisible(false);
  pump();
  EXPECT_EQ(GetFocus(), f.window.hwnd());
  EXPECT_EQ(f.owner.focus, std::vector<bool>{true});
  f.box->setVisible(true);

  // Out of the control: one loss; in again through the control window and out: one each.
  f.focus(f.sibling);
  EXPECT_EQ(f.owner.focus, (std::vector<bool>{true, false}));
  EXPECT_FALSE(f.window.focusWithin());
  f.focus(f.window.hwnd());
  f.focus(f.sibling);
  EXPECT_EQ(f.owner.focus, (std::vector<bool>{true, false, true, false}));

  // A text part that makes its window again (a new alignment) still reports to the control.
  f.box->setAlignment(nx::PartAlign::Right);
  pump();
  ASSERT_TRUE(f.edit());
  f.owner.focus.clear();
  f.focus(f.edit());
  f.focus(f.sibling);
  EXPECT_EQ(f.owner.focus, (std::vector<bool>{true, false}));
}

TEST(Win32FocusWithin, ControlWindowAsksForCharactersArrowsEnterAndEscapeButNotTab) {
  Form f;
  auto code = [&](UINT message, WPARAM key) {
    MSG msg = {f.window.hwnd(), message, key, 0, 0, {0, 0}};
    return SendMessageW(f.window.hwnd(), WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
  };
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    EXPECT_TRUE(code(WM_KEYDOWN, key) & DLGC_WANTMESSAGE) << key;
    EXPECT_TRUE(code(WM_KEYDOWN, key) & DLGC_WANTCHARS) << key;
  }
  EXPECT_FALSE(code(WM_KEYDOWN, VK_TAB) & (DLGC_WANTMESSAGE | DLGC_WANTTAB | DLGC_WANTALLKEYS));
  EXPECT_FALSE(code(WM_KEYUP, VK_RETURN) & DLGC_WANTMESSAGE);
  EXPECT_TRUE(code(WM_KEYDOWN, VK_LEFT) & DLGC_WANTARROWS);
  EXPECT_FALSE(code(WM_KEYDOWN, 'A') & DLGC_WANTMESSAGE);
  EXPECT_EQ(SendMessageW(f.window.hwnd(), WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_WANTARROWS);
}

// The control object's side of the routing, over the form's control window.
class Target final : public nx::win32::KeyRouteTarget {
 public:
  explicit Target(Form& f) : f_(f) {}
  HWND keyWindow() const override { return f_.window.hwnd(); }
  TextBoxPart* keyTextPart() override { return f_.window.focusedTextPart(); }
  void keyDownToControl(std::int16_t& code, std::int16_t shift) override {
    seen.push_back("control " + std::to_string(code) + "/" + std::to_string(shift));
    if (controlSwallows) code = 0;
  }
  HRESULT keyToContainer(MSG& msg, DWORD modifiers) override {
    seen.push_back("container " + std::to_string(msg.wParam) + "/" + std::to_string(modifiers));
    return containerAnswer;
  }
  std::vector<std::string> seen;
  bool controlSwallows = false;
  HRESULT containerAnswer = S_FALSE;

 private:
  Form& f_;
};

HRESULT key(Target& t, HWND hwnd, WPARAM vk, UINT message = WM_KEYDOWN) {
  MSG msg = {hwnd, message, vk, 1, 0, {0, 0}};
  const HRESULT hr = routeAccelerator(msg, t);
  pump();
  return hr;
}

TEST(Win32KeyRouting, FocusedTextPartKeepsEditingAndClipboardKeys) {
  Form f;
  Target t(f);
  f.box->setText("hello");
  f.focus(f.edit());
  ASSERT_EQ(f.window.focusedTextPart(), f.box);
  std::vector<std::string> partKeys;
  f.box->events().keyDown = [&](std::int16_t& code, std::int16_t) {
    partKeys.push_back(std::to_string(code));
  };
  f.box->setSelection(5, 0);

  EXPECT_EQ(key(t, f.edit(), VK_LEFT), S_OK);
  EXPECT_EQ(f.box->selStart(), 4);
  EXPECT_EQ(key(t, f.edit(), VK_HOME), S_OK);
  EXPECT_EQ(f.box->selStart(), 0);
  EXPECT_EQ(key(t, f.edit(), VK_DELETE), S_OK);
  EXPECT_EQ(f.box->text(), "ello");
  EXPECT_EQ(key(t, f.edit(), VK_END), S_OK);
  EXPECT_EQ(f.box->selStart(), 4);
  EXPECT_EQ(key(t, f.edit(), VK_BACK), S_OK);  // its character follows through the queue
  EXPECT_EQ(f.box->text(), "ell");
  {
    Modifiers shift({VK_SHIFT});
    EXPECT_EQ(key(t, f.edit(), VK_LEFT), S_OK);  // Shift+Left extends the selection
    EXPECT_EQ(f.box->selLength(), 1);
  }
  {
    // The selected "l" is cut and pasted back through the clipboard.
    Modifiers ctrl({VK_CONTROL});
    EXPECT_EQ(key(t, f.edit(), 'X'), S_OK);
    EXPECT_EQ(f.box->text(), "el");
    EXPECT_EQ(key(t, f.edit(), 'V'), S_OK);
    EXPECT_EQ(f.box->text(), "ell");
    EXPECT_EQ(key(t, f.edit(), 'V', WM_KEYUP), S_OK);
    EXPECT_EQ(key(t, f.edit(), 'A'), S_OK);
    EXPECT_EQ(key(t, f.edit(), 'C'), S_OK);
    EXPECT_EQ(key(t, f.edit(), 'Z'), S_OK);
  }
  // None of them went to the container or the control's own handler; the part saw each one.
  EXPECT_TRUE(t.seen.empty());
  EXPECT_EQ(partKeys, (std::vector<std::string>{"37", "36", "46", "35", "8", "37", "88", "86", "65",
                                                "67", "90"}));

  // Keys a text box does not need stay with the container: letters, Ctrl+other, Alt.
  EXPECT_EQ(key(t, f.edit(), 'B'), S_FALSE);
  {
    Modifiers ctrl({VK_CONTROL});
    EXPECT_EQ(key(t, f.edit(), 'S'), S_FALSE);
  }
  {
    Modifiers alt({VK_MENU});
    EXPECT_EQ(key(t, f.edit(), VK_LEFT), S_FALSE);
  }
  // With the focus on the control window itself no key goes to a part.
  f.focus(f.window.hwnd());
  EXPECT_EQ(key(t, f.window.hwnd(), VK_LEFT), S_FALSE);
  // Messages for windows outside the control are not ours at all.
  EXPECT_EQ(key(t, f.sibling, VK_TAB), S_FALSE);
  EXPECT_TRUE(t.seen.empty());
}

TEST(Win32KeyRouting, TabGoesToTheContainerWithItsModifiers) {
  Form f;
  Target t(f);
  f.focus(f.edit());
  t.containerAnswer = S_OK;
  EXPECT_EQ(key(t, f.edit(), VK_TAB), S_OK);
  {
    Modifiers shift({VK_SHIFT});
    EXPECT_EQ(key(t, f.edit(), VK_TAB), S_OK);
  }
  t.containerAnswer = S_FALSE;  // a container that does not move the focus
  f.focus(f.window.hwnd());
  EXPECT_EQ(key(t, f.window.hwnd(), VK_TAB), S_FALSE);
  EXPECT_EQ(t.seen, (std::vector<std::string>{"container 9/0", "container 9/1", "container 9/0"}));
  // Ctrl+Tab and Alt+Tab are the container's business without asking.
  t.seen.clear();
  Modifiers ctrl({VK_CONTROL});
  EXPECT_EQ(key(t, f.window.hwnd(), VK_TAB), S_FALSE);
  EXPECT_TRUE(t.seen.empty());
}

TEST(Win32KeyRouting, EnterAndEscapeGoToTheControlFirstThenToTheContainer) {
  Form f;
  Target t(f);
  std::vector<std::string> part;
  bool partSwallows = false;
  f.box->events().keyDown = [&](std::int16_t& code, std::int16_t) {
    part.push_back("down " + std::to_string(code));
    if (partSwallows) code = 0;
  };
  f.box->events().keyFilter = [&](char32_t& ch) {
    part.push_back("char " + std::to_string(static_cast<unsigned>(ch)));
  };
  f.focus(f.edit());

  // Not swallowed, container declines: the part still gets Enter's character (its filter).
  EXPECT_EQ(key(t, f.edit(), VK_RETURN), S_OK);
  EXPECT_EQ(part, (std::vector<std::string>{"down 13", "char 13"}));
  EXPECT_EQ(t.seen, std::vector<std::string>{"container 13/0"});

  // The container takes Escape (a cancel button): no character follows.
  part.clear();
  t.seen.clear();
  t.containerAnswer = S_OK;
  EXPECT_EQ(key(t, f.edit(), VK_ESCAPE), S_OK);
  EXPECT_EQ(part, std::vector<std::string>{"down 27"});
  EXPECT_EQ(t.seen, std::vector<std::string>{"container 27/0"});

  // Swallowed by the part: the container never hears of it.
  part.clear();
  t.seen.clear();
  partSwallows = true;
  EXPECT_EQ(key(t, f.edit(), VK_RETURN), S_OK);
  EXPECT_EQ(part, std::vector<std::string>{"down 13"});
  EXPECT_TRUE(t.seen.empty());

  // Without a focused part the control's own key-down handler decides.
  part.clear();
  f.focus(f.window.hwnd());
  EXPECT_EQ(key(t, f.window.hwnd(), VK_RETURN), S_OK);
  t.controlSwallows = true;
  EXPECT_EQ(key(t, f.window.hwnd(), VK_ESCAPE), S_OK);
  EXPECT_EQ(t.seen, (std::vector<std::string>{"control 13/0", "container 13/0", "control 27/0"}));
  EXPECT_TRUE(part.empty());

  // Alt+Enter is not routed.
  t.seen.clear();
  Modifiers alt({VK_MENU});
  EXPECT_EQ(key(t, f.window.hwnd(), VK_RETURN), S_FALSE);
  EXPECT_TRUE(t.seen.empty());
}

TEST(Win32KeyRouting, RouteTableForMessagesAndFocusStates) {
  auto route = [](UINT message, WPARAM key, bool part, std::int16_t shift = 0) {
    MSG msg = {nullptr, message, key, 0, 0, {0, 0}};
    return nx::win32::keyRoute(msg, part, shift);
  };
  using nx::shiftkeys::kCtrl;
  using nx::shiftkeys::kShift;
  EXPECT_EQ(route(WM_KEYDOWN, VK_RIGHT, true), KeyRoute::TextPart);
  EXPECT_EQ(route(WM_KEYDOWN, VK_RIGHT, false), KeyRoute::NotOurs);
  EXPECT_EQ(route(WM_KEYDOWN, 'V', true, kCtrl), KeyRoute::TextPart);
  EXPECT_EQ(route(WM_KEYDOWN, 'V', true), KeyRoute::NotOurs);
  EXPECT_EQ(route(WM_KEYDOWN, VK_INSERT, true, kShift), KeyRoute::TextPart);
  EXPECT_EQ(route(WM_KEYDOWN, VK_INSERT, true), KeyRoute::NotOurs);
  EXPECT_EQ(route(WM_CHAR, 0x16, true), KeyRoute::TextPart);  // Ctrl+V's character
  EXPECT_EQ(route(WM_CHAR, 'v', true), KeyRoute::NotOurs);
  EXPECT_EQ(route(WM_KEYDOWN, VK_TAB, true, kShift), KeyRoute::Container);
  EXPECT_EQ(route(WM_KEYDOWN, VK_TAB, false, kCtrl), KeyRoute::NotOurs);
  EXPECT_EQ(route(WM_KEYDOWN, VK_ESCAPE, false), KeyRoute::ControlThenContainer);
  EXPECT_EQ(route(WM_KEYUP, VK_RETURN, true), KeyRoute::NotOurs);
  EXPECT_EQ(route(WM_SYSKEYDOWN, 'F', true), KeyRoute::NotOurs);
  EXPECT_EQ(nx::win32::keyModifiers(nx::shiftkeys::kShift | nx::shiftkeys::kAlt),
            nx::win32::kKeyModShift | nx::win32::kKeyModAlt);
}

// A gradient fill that the platform refuses (here: a rectangle entry naming a vertex that does
// not exist) draws nothing and is no error: only a missing entry point is.
TEST(Win32GradientFill, PlatformFailureIsNotAnError) {
  nx::win32::Win32Dc dc;
  dc.resize(20, 10, 0x00FFFFFF);
  const nx::TriVertex vertices[2] = {{0, 0, 0, 0, 0, 0}, {20, 10, 0, 0, -256, 0}};
  const nx::GradientRect bad[1] = {{5, 0}};
  // The platform does report this request as failed.
  HDC memory = CreateCompatibleDC(nullptr);
  TRIVERTEX raw[2] = {{0, 0, 0, 0, 0, 0}, {20, 10, 0, 0, 0xFF00, 0}};
  GRADIENT_RECT rawBad = {5, 0};
  EXPECT_FALSE(GradientFill(memory, raw, 2, &rawBad, 1, GRADIENT_FILL_RECT_H));
  DeleteDC(memory);

  EXPECT_NO_THROW(dc.gradientFill(vertices, bad, nx::GradientMode::RectH));
  EXPECT_EQ(dc.pixel(5, 5), 0x00FFFFFFu);
  // The same surface still fills when the request is good.
  const nx::GradientRect good[1] = {{0, 1}};
  EXPECT_NO_THROW(dc.gradientFill(vertices, good, nx::GradientMode::RectH));
  EXPECT_EQ(dc.pixel(0, 5), 0u);
  EXPECT_NE(dc.pixel(19, 5), 0x00FFFFFFu);
}

}  // namespace
