// Input parts on real child windows: a text box typed to with keyboard messages through the
// message loop, and a scroll bar moved with its own keys and thumb messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/runtime/parts.h"
#include "platform/win32/runtime/ole_objects.h"
#include "platform/win32/runtime/win32_window.h"

namespace {

using nx::PartAlign;
using nx::PartMouse;
using nx::ScrollBarPart;
using nx::TextBoxPart;

class Owner final : public nx::win32::WindowOwner {
 public:
  void windowInput(UINT, WPARAM, LPARAM) override {}
  void windowFocus(bool gained) override { focus.push_back(gained); }
  void windowResizedItself(int, int) override {}
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

// A form with one control window on it.
struct Form {
  HWND form = nullptr;
  Owner owner;
  nx::win32::Win32Window window{owner};

  Form() {
    form = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 200,
                           nullptr, nullptr, nullptr, nullptr);
    RECT r = {10, 10, 310, 60};
    window.create(form, r);
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
};

HWND childOf(nx::Part& part) {
  return dynamic_cast<nx::win32::ChildPart&>(part).hwnd();
}

void typeChars(HWND edit, const std::wstring& chars) {
  for (wchar_t c : chars) PostMessageW(edit, WM_CHAR, c, 1);
  pump();
}

void pressKey(HWND target, UINT vk) {
  PostMessageW(target, WM_KEYDOWN, vk, 1);
  PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001u));
  pump();
}

TEST(Win32Parts, TextBoxFiltersTypedCharactersAndReportsChangesSelectionAndFocus) {
  Form f;
  ASSERT_TRUE(f.window.hwnd());
  TextBoxPart& box = f.window.parts().createTextBox("digits");
  box.setBounds(f.twips(5, 5, 200, 20));
  HWND edit = childOf(box);
  ASSERT_TRUE(edit);
  EXPECT_EQ(GetParent(edit), f.window.hwnd());
  wchar_t cls[16] = {};
  GetClassNameW(edit, cls, 16);
  EXPECT_EQ(std::wstring(cls), L"Edit");
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_AUTOHSCROLL);
  RECT rc;
  GetWindowRect(edit, &rc);
  EXPECT_EQ(rc.right - rc.left, 200);

  std::vector<std::string> seen;
  auto& e = box.events();
  e.keyFilter = [&](char32_t& ch) {
    seen.push_back("key " + std::to_string(static_cast<unsigned>(ch)));
    if (ch == U'.') ch = U',';
    if ((ch >= U'a' && ch <= U'z') || (ch >= U'A' && ch <= U'Z')) ch = 0;
  };
  e.keyDown = [&](std::int16_t& code, std::int16_t) {
    seen.push_back("down " + std::to_string(code));
    if (code == nx::keys::kDelete) code = 0;  // swallowed: the box keeps its text
  };
  e.changed = [&] { seen.push_back("change " + box.text()); };
  e.gotFocus = [&] { seen.push_back("got"); };
  e.lostFocus = [&] { seen.push_back("lost"); };

  ASSERT_TRUE(box.setFocus());
  EXPECT_TRUE(box.hasFocus());
  typeChars(edit, L"12a.5");
  EXPECT_EQ(box.text(), "12,5");
  EXPECT_EQ(box.selStart(), 4);
  EXPECT_EQ(seen,
            (std::vector<std::string>{"got", "key 49", "change 1", "key 50", "change 12", "key 97",
                                      "key 46", "change 12,", "key 53", "change 12,5"}));
  seen.clear();

  // Enter goes through the key-down notification and, translated, through the filter; the box
  // inserts nothing for it.
  pressKey(edit, VK_RETURN);
  EXPECT_EQ(seen, (std::vector<std::string>{"down 13", "key 13"}));
  EXPECT_EQ(box.text(), "12,5");
  seen.clear();

  box.setSelection(1, 2);
  EXPECT_EQ(box.selectedText(), "2,");
  typeChars(edit, L"7");
  EXPECT_EQ(box.text(), "175");
  EXPECT_EQ(box.selStart(), 2);
  EXPECT_EQ(box.selLength(), 0);
  pressKey(edit, VK_LEFT);
  EXPECT_EQ(box.selStart(), 1);
  pressKey(edit, VK_DELETE);  // swallowed by the key-down handler
  EXPECT_EQ(box.text(), "175");
  typeChars(edit, L"\b");
  EXPECT_EQ(box.text(), "75");
  EXPECT_EQ(seen, (std::vector<std::string>{"key 55", "change 175", "down 37", "down 46", "key 8",
                                            "change 75"}));
  seen.clear();

  // setText: one change, caret at the start; the same text again changes nothing.
  box.setText("1,00");
  box.setText("1,00");
  EXPECT_EQ(seen, (std::vector<std::string>{"change 1,00"}));
  EXPECT_EQ(box.selStart(), 0);
  seen.clear();

  // The filter may edit the box itself: a second comma selects the decimals instead.
  e.keyFilter = [&](char32_t& ch) {
    if (ch == U',' && box.text().find(',') != std::string::npos) {
      box.setSelection(static_cast<int>(box.text().find(',')) + 1, 2);
      ch = 0;
    }
  };
  typeChars(edit, L",");
  EXPECT_EQ(box.text(), "1,00");
  EXPECT_EQ(box.selStart(), 2);
  EXPECT_EQ(box.selLength(), 2);

  // A character outside the 16-bit range reaches the filter once and counts as one character.
  std::vector<char32_t> filtered;
  e.keyFilter = [&](char32_t& ch) { filtered.push_back(ch); };
  box.setText("");
  typeChars(edit, L"\U0001F600x");
  EXPECT_EQ(filtered, (std::vector<char32_t>{U'\U0001F600', U'x'}));
  EXPECT_EQ(box.text(), "\xF0\x9F\x98\x80x");
  EXPECT_EQ(box.selStart(), 2);
  seen.clear();

  // The focus goes back to the control window.
  SetFocus(f.window.hwnd());
  pump();
  EXPECT_FALSE(box.hasFocus());
  EXPECT_EQ(seen, (std::vector<std::string>{"lost"}));
  box.setEnabled(false);
  EXPECT_FALSE(box.setFocus());
}

TEST(Win32Parts, TextBoxAsksTheFormForCharactersArrowsAndEnterButNotTab) {
  Form f;
  TextBoxPart& box = f.window.parts().createTextBox("tvat");
  HWND edit = childOf(box);
  ASSERT_TRUE(edit);
  MSG enter = {edit, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
  MSG tab = {edit, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
  const LRESULT forEnter =
      SendMessageW(edit, WM_GETDLGCODE, VK_RETURN, reinterpret_cast<LPARAM>(&enter));
  const LRESULT forTab = SendMessageW(edit, WM_GETDLGCODE, VK_TAB, reinterpret_cast<LPARAM>(&tab));
  EXPECT_TRUE(forEnter & DLGC_WANTMESSAGE);
  EXPECT_TRUE(forEnter & DLGC_WANTCHARS);
  EXPECT_TRUE(forEnter & DLGC_WANTARROWS);
  EXPECT_FALSE(forTab & (DLGC_WANTMESSAGE | DLGC_WANTTAB | DLGC_WANTALLKEYS));
}

TEST(Win32Parts, TextBoxColoursComeFromTheControlWindowWithItsOwnBrush) {
  Form f;
  TextBoxPart& box = f.window.parts().createTextBox("tvat");
  HWND edit = childOf(box);
  box.setForeColor(0x000000FF);
  box.setBackColor(0x00E0E0E0);
  HDC dc = GetDC(edit);
  const LRESULT brush = SendMessageW(f.window.hwnd(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(edit));
  EXPECT_EQ(GetTextColor(dc), 0x000000FFu);
  EXPECT_EQ(GetBkColor(dc), 0x00E0E0E0u);
  LOGBRUSH lb = {};
  ASSERT_NE(brush, 0);
  ASSERT_TRUE(GetObjectW(reinterpret_cast<HBRUSH>(brush), sizeof(lb), &lb));
  EXPECT_EQ(lb.lbColor, 0x00E0E0E0u);
  ReleaseDC(edit, dc);
  // Right alignment re-creates the box with the same text.
  box.setText("42");
  box.setAlignment(PartAlign::Right);
  HWND again = childOf(box);
  ASSERT_TRUE(again);
  EXPECT_TRUE(GetWindowLongW(again, GWL_STYLE) & ES_RIGHT);
  EXPECT_EQ(box.text(), "42");
}

TEST(Win32Parts, PartsKeepTheirStateWithoutAWindowAndGetOneWhenTheControlDoes) {
  Owner owner;
  nx::win32::Win32Window window(owner);
  TextBoxPart& box = window.parts().createTextBox("tvat");
  ScrollBarPart& bar = window.parts().createScrollBar("VScroll");
  int changes = 0;
  box.events().changed = [&] { ++changes; };
  box.setText("AT123");
  box.setSelection(2, 2);
  bar.setRange(0, 8);
  bar.setValue(3);
  EXPECT_EQ(childOf(box), nullptr);
  EXPECT_FALSE(box.setFocus());
  HWND form = CreateWindowExW(0, L"STATIC", L"form", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                              100, nullptr, nullptr, nullptr, nullptr);
  RECT r = {0, 0, 200, 40};
  ASSERT_TRUE(window.create(form, r));
  ASSERT_TRUE(childOf(box));
  ASSERT_TRUE(childOf(bar));
  EXPECT_EQ(box.text(), "AT123");
  EXPECT_EQ(box.selStart(), 2);
  EXPECT_EQ(box.selLength(), 2);
  EXPECT_EQ(GetScrollPos(childOf(bar), SB_CTL), 3);
  // The user's text survives the window going away.
  SetWindowTextW(childOf(box), L"DE9");
  pump();
  EXPECT_EQ(changes, 2);
  window.destroy();
  EXPECT_EQ(childOf(box), nullptr);
  EXPECT_EQ(box.text(), "DE9");
  DestroyWindow(form);
}

TEST(Win32Parts, ScrollBarDeliversStepsAndThumbDragsToThePart) {
  Form f;
  ScrollBarPart& bar = f.window.parts().createScrollBar("VScroll");
  bar.setBounds(f.twips(280, 0, 17, 50));
  bar.setRange(0, 20);
  bar.setLargeChange(5);
  HWND sb = childOf(bar);
  ASSERT_TRUE(sb);
  EXPECT_TRUE(GetWindowLongW(sb, GWL_STYLE) & SBS_VERT);
  std::vector<std::string> seen;
  bar.events().changed = [&] { seen.push_back("change " + std::to_string(bar.value())); };
  bar.events().scrolling = [&] { seen.push_back("scroll " + std::to_string(bar.value())); };
  int got = 0;
  bar.events().gotFocus = [&] { ++got; };
  ASSERT_TRUE(bar.setFocus());
  EXPECT_EQ(got, 1);
  // The bar's own keyboard handling sends WM_VSCROLL to the control window.
  pressKey(sb, VK_DOWN);
  pressKey(sb, VK_NEXT);
  pressKey(sb, VK_UP);
  EXPECT_EQ(bar.value(), 5);
  EXPECT_EQ(GetScrollPos(sb, SB_CTL), 5);
  HWND parent = f.window.hwnd();
  const auto bar_l = reinterpret_cast<LPARAM>(sb);
  SendMessageW(parent, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 9), bar_l);
  SendMessageW(parent, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12), bar_l);
  SendMessageW(parent, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), bar_l);
  SendMessageW(parent, WM_VSCROLL, MAKEWPARAM(SB_ENDSCROLL, 0), bar_l);
  SendMessageW(parent, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), bar_l);
  EXPECT_EQ(seen, (std::vector<std::string>{"change 1", "change 6", "change 5", "scroll 9",
                                            "scroll 12", "change 12", "change 20"}));
  EXPECT_EQ(GetScrollPos(sb, SB_CTL), 20);
  // A reversed range: the top of the bar is the larger value.
  bar.setRange(10, 0);
  EXPECT_EQ(bar.value(), 10);
  EXPECT_EQ(GetScrollPos(sb, SB_CTL), 0);
}

}  // namespace

namespace {

TEST(Win32Parts, DrawnPartsPaintOnTheRealSurface) {
  Owner owner;
  nx::win32::Win32Window window(owner);
  window.setWidth(40 * window.twipsPerPixelX());
  window.setHeight(20 * window.twipsPerPixelY());
  nx::ShapePart& frame = window.parts().createShape("BKG");
  frame.setBounds({0, 0, window.scaleWidth(), window.scaleHeight()});
  frame.setBorderColor(0x000000FF);
  frame.setBorderWidth(2);
  frame.setFillColor(0x0000FF00);
  frame.setFilled(true);
  window.surface().setBackColor(0x00FFFFFF);
  window.surface().clear();
  window.parts().paint();
  nx::DeviceContext& dc = window.surface().dc();
  EXPECT_EQ(dc.pixel(0, 0), 0x000000FFu);
  EXPECT_EQ(dc.pixel(1, 1), 0x000000FFu);
  EXPECT_EQ(dc.pixel(39, 19), 0x000000FFu);
  EXPECT_EQ(dc.pixel(2, 2), 0x0000FF00u);
  EXPECT_EQ(window.parts().drawnPartAt(30, 30), &frame);
}

}  // namespace
