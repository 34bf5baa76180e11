#include "screen_input.h"

#include <commctrl.h>

#include <cwchar>

#include <algorithm>

namespace nx::test {

bool pumpUntil(formhost::Form& form, const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    form.pumpMessages();
    if (done && done()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void pumpFor(formhost::Form& form, DWORD ms) {
  pumpUntil(form, nullptr, ms);
}

void sendMouse(DWORD flags) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  SendInput(1, &in, sizeof(INPUT));
}

void moveTo(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  sendMouse(MOUSEEVENTF_MOVE);  // a move of nothing: the window under the pointer hears of it
}

void clickAt(POINT screen) {
  moveTo(screen);
  sendMouse(MOUSEEVENTF_LEFTDOWN);
  sendMouse(MOUSEEVENTF_LEFTUP);
}

void key(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof(INPUT));
}

void press(WORD vk) {
  key(vk);
  key(vk, true);
}

POINT screenPoint(HWND hwnd, int x, int y) {
  POINT p = {x, y};
  ClientToScreen(hwnd, &p);
  return p;
}

POINT centreOf(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  return screenPoint(hwnd, r.right / 2, r.bottom / 2);
}

RECT screenRect(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return r;
}

Shot::Shot(HWND hwnd) {
  RECT r;
  GetClientRect(hwnd, &r);
  w_ = r.right;
  h_ = r.bottom;
  const POINT origin = screenPoint(hwnd, 0, 0);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w_, h_);
  HGDIOBJ old = SelectObject(dc, bitmap);
  BitBlt(dc, 0, 0, w_, h_, screen, origin.x, origin.y, SRCCOPY);
  pixels_.resize(static_cast<std::size_t>(w_) * h_);
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) pixels_[static_cast<std::size_t>(y) * w_ + x] = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

int Shot::count(COLORREF colour) const {
  return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), colour));
}

int Shot::firstRow(int x, COLORREF colour) const {
  for (int y = 0; y < h_; ++y)
    if (at(x, y) == colour) return y;
  return -1;
}

int Shot::differences(const Shot& other, COLORREF colour, bool* allColour) const {
  int n = 0;
  bool all = true;
  for (std::size_t i = 0; i < pixels_.size() && i < other.pixels_.size(); ++i)
    if (pixels_[i] != other.pixels_[i]) {
      ++n;
      all = all && pixels_[i] == colour;
    }
  if (allColour) *allColour = all;
  return n;
}

namespace {

struct TipQuery {
  HWND window;
  std::vector<std::wstring> texts;
};

BOOL CALLBACK collectTipText(HWND w, LPARAM l) {
  auto& q = *reinterpret_cast<TipQuery*>(l);
  wchar_t cls[64] = {};
  GetClassNameW(w, cls, 64);
  if (wcscmp(cls, TOOLTIPS_CLASSW) != 0) return TRUE;
  wchar_t text[256] = {};
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof(tool);
  if (SendMessageW(w, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)) &&
      (!q.window || tool.hwnd == q.window)) {
    tool.lpszText = text;
    SendMessageW(w, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
    q.texts.push_back(text);
  }
  return TRUE;
}

}  // namespace

std::vector<std::wstring> tipTexts(HWND window) {
  TipQuery q{window, {}};
  EnumThreadWindows(GetCurrentThreadId(), &collectTipText, reinterpret_cast<LPARAM>(&q));
  return q.texts;
}

}  // namespace nx::test
