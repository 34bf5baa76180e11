// What form tests under Wine share: the form's message loop run for a while or until a
// condition holds, real input through the thread's input queue, and what the screen shows of a
// window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/formhost/form_host.h"

namespace nx::test {

// Runs the form's loop until `done` or `ms` milliseconds passed; whether `done` held.
bool pumpUntil(formhost::Form& form, const std::function<bool()>& done, DWORD ms = 3000);
void pumpFor(formhost::Form& form, DWORD ms);

// Input through the queue: a mouse event at the pointer, a move to a screen point (the window
// under it hears of it), a left click there, a key down or up, a key pressed and released.
void sendMouse(DWORD flags);
void moveTo(POINT screen);
void clickAt(POINT screen);
void key(WORD vk, bool up = false);
void press(WORD vk);

// The texts of the tooltip windows of this thread (one tool each), or of those whose tool is on
// `window`.
// Whether a tip window shows is up to the platform's tooltip control and its delays; under Wine
// with synthesised input it never does, even for a plain window, so tests look at the tip set up.
std::vector<std::wstring> tipTexts(HWND window = nullptr);

// Screen points of a window's client area.
POINT screenPoint(HWND hwnd, int x, int y);
POINT centreOf(HWND hwnd);
RECT screenRect(HWND hwnd);

// What the screen shows of the window's client area.
class Shot {
 public:
  explicit Shot(HWND hwnd);
  int width() const { return w_; }
  int height() const { return h_; }
  COLORREF at(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * w_ + x]; }
  // Pixels of `colour`.
  int count(COLORREF colour) const;
  // The topmost row of column x in `colour`, or -1.
  int firstRow(int x, COLORREF colour) const;
  // Pixels that differ from the other shot of the same size, and whether all of them show
  // `colour` here.
  int differences(const Shot& other, COLORREF colour, bool* allColour) const;
  bool operator==(const Shot& other) const {
    return w_ == other.w_ && h_ == other.h_ && pixels_ == other.pixels_;
  }

 private:
  int w_ = 0, h_ = 0;
  std::vector<COLORREF> pixels_;
};

}  // namespace nx::test
