#include "platform/win32/runtime/win32_parts.h"

#include <commctrl.h>
#include <imm.h>

#include <algorithm>
#include <cmath>

#include "core/runtime/surface.h"
#include "platform/win32/com/bstr.h"
#include "platform/win32/com/module.h"
#include "platform/win32/runtime/ole_objects.h"

namespace nx::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 0x6E78;  // one subclass of ours per child window

bool isHigh(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool isLow(wchar_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

// Characters (code points) to UTF-16 units and back, within `text`.
int unitsOf(const std::wstring& text, int chars) {
  int units = 0;
  for (int c = 0; c < chars && units < static_cast<int>(text.size()); ++c) {
    const bool pair = isHigh(text[static_cast<std::size_t>(units)]) &&
                      units + 1 < static_cast<int>(text.size()) &&
                      isLow(text[static_cast<std::size_t>(units) + 1]);
    units += pair ? 2 : 1;
  }
  return units;
}

int charsOf(const std::wstring& text, int units) {
  units = std::clamp(units, 0, static_cast<int>(text.size()));
  int chars = 0;
  for (int u = 0; u < units; ++u)
    if (!(isLow(text[static_cast<std::size_t>(u)]) && u > 0 &&
          isHigh(text[static_cast<std::size_t>(u) - 1])))
      ++chars;
  return chars;
}

int charCount(const std::wstring& text) {
  return charsOf(text, static_cast<int>(text.size()));
}

std::wstring windowText(HWND hwnd) {
  const int n = GetWindowTextLengthW(hwnd);
  std::wstring s(static_cast<std::size_t>(std::max(n, 0)) + 1, L'\0');
  const int got = GetWindowTextW(hwnd, s.data(), n + 1);
  s.resize(static_cast<std::size_t>(std::max(got, 0)));
  return s;
}

std::int16_t shiftState() {
  return static_cast<std::int16_t>((GetKeyState(VK_SHIFT) < 0 ? shiftkeys::kShift : 0) |
                                   (GetKeyState(VK_CONTROL) < 0 ? shiftkeys::kCtrl : 0) |
                                   (GetKeyState(VK_MENU) < 0 ? shiftkeys::kAlt : 0));
}

DWORD alignStyle(PartAlign a) {
  switch (a) {
    case PartAlign::Right:
      return ES_RIGHT;
    case PartAlign::Center:
      return ES_CENTER;
    default:
      return ES_LEFT;
  }
}

}  // namespace

// ---- Factory --------------------------------------------------------------------------------

std::unique_ptr<TextBoxPart> Win32PartFactory::makeTextBox(std::string name) {
  auto part = std::make_unique<Win32TextBox>(*this, std::move(name));
  if (parent_) part->createWindow(parent_);
  return part;
}

std::unique_ptr<ScrollBarPart> Win32PartFactory::makeScrollBar(std::string name) {
  auto part = std::make_unique<Win32ScrollBar>(*this, std::move(name));
  if (parent_) part->createWindow(parent_);
  return part;
}

std::vector<ChildPart*> Win32PartFactory::children() const {
  std::vector<ChildPart*> out;
  for (const auto& p : all())
    if (auto* c = dynamic_cast<ChildPart*>(p.get())) out.push_back(c);
  return out;
}

void Win32PartFactory::attach(HWND parent) {
  if (parent_ == parent) return;
  detach();
  parent_ = parent;
  for (ChildPart* c : children()) c->createWindow(parent);
}

void Win32PartFactory::detach() {
  for (ChildPart* c : children()) c->destroyWindow();
  parent_ = nullptr;
}

bool Win32PartFactory::parentMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_VSCROLL:
      break;
    default:
      return false;
  }
  const auto child = reinterpret_cast<HWND>(lParam);
  if (!child) return false;
  for (ChildPart* c : children())
    if (c->hwnd() == child) return c->parentMessage(message, wParam, lParam, result);
  return false;
}

Win32TextBox* Win32PartFactory::textBoxOf(HWND child) const {
  if (!child) return nullptr;
  for (ChildPart* c : children())
    if (c->hwnd() == child) return dynamic_cast<Win32TextBox*>(c);
  return nullptr;
}

RECT Win32PartFactory::pixelRect(const PartRect& r) const {
  const double tx = surface().twipsPerPixelX();
  const double ty = surface().twipsPerPixelY();
  RECT out;
  out.left = static_cast<LONG>(std::lround(r.left / tx));
  out.top = static_cast<LONG>(std::lround(r.top / ty));
  out.right = static_cast<LONG>(std::lround((r.left + r.width) / tx));
  out.bottom = static_cast<LONG>(std::lround((r.top + r.height) / ty));
  return out;
}

// ---- Text box -------------------------------------------------------------------------------

Win32TextBox::Win32TextBox(Win32PartFactory& owner, std::string name)
    : TextBoxPart(owner, std::move(name)), win_(owner) {}

Win32TextBox::~Win32TextBox() {
  destroyWindow();
}

void Win32TextBox::createWindow(HWND parent) {
  if (hwnd_ || !parent) return;
  const RECT r = win_.pixelRect(bounds());
  DWORD style = WS_CHILD | WS_TABSTOP | ES_AUTOHSCROLL | alignStyle(align_);
  if (visible()) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  hwnd_ = CreateWindowExW(0, L"EDIT", text_.c_str(), style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, parent, nullptr, Module::instance(), nullptr);
  if (!hwnd_) return;
  SetWindowSubclass(hwnd_, &Win32TextBox::subclassProc, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  applyFont();
  const int start = unitsOf(text_, selStart_);
  const int end = unitsOf(text_, selStart_ + selLength_);
  SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void Win32TextBox::saveState() {
  if (!hwnd_) return;
  text_ = windowText(hwnd_);
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  selStart_ = charsOf(text_, static_cast<int>(start));
  selLength_ = charsOf(text_, static_cast<int>(end)) - selStart_;
}

void Win32TextBox::destroyWindow() {
  if (!hwnd_) return;
  saveState();
  HWND window = hwnd_;
  RemoveWindowSubclass(window, &Win32TextBox::subclassProc, kSubclassId);
  hwnd_ = nullptr;
  DestroyWindow(window);
}

void Win32TextBox::recreate() {
  HWND parent = hwnd_ ? GetParent(hwnd_) : nullptr;
  if (!parent) return;
  const bool focused = hasFocus();
  destroyWindow();
  createWindow(parent);
  if (focused && hwnd_) SetFocus(hwnd_);
}

std::string Win32TextBox::text() const {
  return toUtf8(hwnd_ ? windowText(hwnd_) : text_);
}

void Win32TextBox::setText(std::string_view utf8) {
  std::wstring next = toWide(utf8);
  if (next == (hwnd_ ? windowText(hwnd_) : text_)) return;
  text_ = next;
  selStart_ = selLength_ = 0;
  if (hwnd_) {
    settingText_ = true;
    SetWindowTextW(hwnd_, text_.c_str());
    SendMessageW(hwnd_, EM_SETSEL, 0, 0);
    settingText_ = false;
  }
  if (events_.changed) events_.changed();
}

void Win32TextBox::applyFont() {
  if (!hwnd_) return;
  HFONT handle = oleFont_ ? oleFont_->handle() : nullptr;
  SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(handle), TRUE);
}

void Win32TextBox::setFont(FontRef font) {
  font_ = std::move(font);
  oleFont_ = font_ ? asOleFont(font_) : nullptr;
  applyFont();
}

void Win32TextBox::setForeColor(Rgb color) {
  fore_ = color;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32TextBox::setBackColor(Rgb color) {
  if (back_ != color) brush_ = Brush();
  back_ = color;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void Win32TextBox::setAlignment(PartAlign align) {
  if (align_ == align) return;
  align_ = align;
  recreate();
}

int Win32TextBox::selStart() const {
  if (!hwnd_) return selStart_;
  DWORD start = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return charsOf(windowText(hwnd_), static_cast<int>(start));
}

int Win32TextBox::selLength() const {
  if (!hwnd_) return selLength_;
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(hwnd_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const std::wstring t = windowText(hwnd_);
  return charsOf(t, static_cast<int>(end)) - charsOf(t, static_cast<int>(start));
}

void Win32TextBox::setSelection(int start, int length) {
  const std::wstring t = hwnd_ ? windowText(hwnd_) : text_;
  const int size = charCount(t);
  start = std::clamp(start, 0, size);
  length = std::clamp(length, 0, size - start);
  selStart_ = start;
  selLength_ = length;
  if (hwnd_)
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(unitsOf(t, start)),
                 static_cast<LPARAM>(unitsOf(t, start + length)));
}

void Win32TextBox::setEnabled(bool on) {
  if (!on && hasFocus()) SetFocus(GetParent(hwnd_));
  enabled_ = on;
  if (hwnd_) EnableWindow(hwnd_, on);
}

bool Win32TextBox::setFocus() {
  if (!hwnd_ || !enabled_ || !visible()) return false;
  SetFocus(hwnd_);
  return GetFocus() == hwnd_;
}

bool Win32TextBox::hasFocus() const {
  return hwnd_ && GetFocus() == hwnd_;
}

void Win32TextBox::boundsChanged() {
  if (!hwnd_) return;
  const RECT r = win_.pixelRect(bounds());
  MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Win32TextBox::visibleChanged() {
  if (!hwnd_) return;
  if (!visible() && hasFocus()) SetFocus(GetParent(hwnd_));
  ShowWindow(hwnd_, visible() ? SW_SHOWNA : SW_HIDE);
}

bool Win32TextBox::parentMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != EN_CHANGE) return false;
      if (!settingText_ && events_.changed) events_.changed();
      result = 0;
      return true;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, fore_);
      SetBkColor(dc, back_);
      if (!brush_) brush_ = Brush(CreateSolidBrush(back_));
      result = reinterpret_cast<LRESULT>(brush_.get());
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK Win32TextBox::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*id*/, DWORD_PTR self) {
  auto* box = reinterpret_cast<Win32TextBox*>(self);
  if (message == WM_NCDESTROY) {
    // The control window is going and takes its children along.
    RemoveWindowSubclass(hwnd, &Win32TextBox::subclassProc, kSubclassId);
    if (box->hwnd_ == hwnd) box->hwnd_ = nullptr;
    return DefSubclassProc(hwnd, message, wParam, lParam);
  }
  try {
    return box->handle(hwnd, message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
    return 0;
  }
}

LRESULT Win32TextBox::character(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  const auto unit = static_cast<wchar_t>(wParam);
  char32_t ch = unit;
  if (isHigh(unit)) {
    highSurrogate_ = unit;
    return 0;
  }
  if (isLow(unit)) {
    if (!highSurrogate_) return 0;
    ch = 0x10000 + ((static_cast<char32_t>(highSurrogate_) - 0xD800) << 10) + (unit - 0xDC00);
  }
  highSurrogate_ = 0;
  if (events_.keyFilter) events_.keyFilter(ch);
  if (ch == 0 || hwnd_ != hwnd) return 0;
  if (ch == U'\r' || ch == U'\n' || ch == U'\t' || ch == 27) return 0;
  if (ch < 0x10000) return DefSubclassProc(hwnd, WM_CHAR, static_cast<WPARAM>(ch), lParam);
  if (ch > 0x10FFFF) return 0;
  const char32_t v = ch - 0x10000;
  DefSubclassProc(hwnd, WM_CHAR, static_cast<WPARAM>(0xD800 + (v >> 10)), lParam);
  return DefSubclassProc(hwnd, WM_CHAR, static_cast<WPARAM>(0xDC00 + (v & 0x3FF)), lParam);
}

void Win32TextBox::mouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const double tx = win_.surface().twipsPerPixelX();
  const double ty = win_.surface().twipsPerPixelY();
  PartMouse m;
  m.shift = shiftState();
  m.x = static_cast<SHORT>(LOWORD(lParam)) * tx;
  m.y = static_cast<SHORT>(HIWORD(lParam)) * ty;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      m.button = 1;
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      m.button = 2;
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      m.button = 4;
      break;
    default:
      m.button = static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? 1 : 0) |
                                           ((wParam & MK_RBUTTON) ? 2 : 0) |
                                           ((wParam & MK_MBUTTON) ? 4 : 0));
      break;
  }
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (events_.mouseDown) events_.mouseDown(m);
      break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (events_.mouseUp) events_.mouseUp(m);
      break;
    default:
      if (events_.mouseMove) events_.mouseMove(m);
      break;
  }
}

LRESULT Win32TextBox::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_CHAR:
      return character(hwnd, wParam, lParam);
    case WM_IME_COMPOSITION:
      // The default window procedure turns the result string into WM_IME_CHAR and then WM_CHAR
      // messages, which pass the filter; the edit control would insert it directly.
      if (lParam & GCS_RESULTSTR) return DefWindowProcW(hwnd, message, wParam, lParam);
      break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // Keys with Alt held come as system keys: the control sees them too (Alt+Down), and
      // what it leaves goes on to the system (menus, Alt+F4).
      auto code = static_cast<std::int16_t>(wParam);
      if (events_.keyDown) events_.keyDown(code, shiftState());
      if (code == 0 || hwnd_ != hwnd) return 0;
      return DefSubclassProc(hwnd, message, static_cast<WPARAM>(code), lParam);
    }
    case WM_SETFOCUS: {
      const LRESULT r = DefSubclassProc(hwnd, message, wParam, lParam);
      if (events_.gotFocus) events_.gotFocus();
      return r;
    }
    case WM_KILLFOCUS: {
      const LRESULT r = DefSubclassProc(hwnd, message, wParam, lParam);
      if (events_.lostFocus) events_.lostFocus();
      return r;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_MOUSEMOVE: {
      // The edit control places the caret and takes the focus first.
      const LRESULT r = DefSubclassProc(hwnd, message, wParam, lParam);
      mouse(message, wParam, lParam);
      return r;
    }
    case WM_DESTROY:
      saveState();
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

// ---- Scroll bar -----------------------------------------------------------------------------

Win32ScrollBar::Win32ScrollBar(Win32PartFactory& owner, std::string name)
    : ScrollBarPart(owner, std::move(name)), win_(owner) {}

Win32ScrollBar::~Win32ScrollBar() {
  destroyWindow();
}

void Win32ScrollBar::createWindow(HWND parent) {
  if (hwnd_ || !parent) return;
  const RECT r = win_.pixelRect(bounds());
  DWORD style = WS_CHILD | WS_TABSTOP | SBS_VERT;
  if (visible()) style |= WS_VISIBLE;
  if (!enabled_) style |= WS_DISABLED;
  hwnd_ = CreateWindowExW(0, L"SCROLLBAR", L"", style, r.left, r.top, r.right - r.left,
                          r.bottom - r.top, parent, nullptr, Module::instance(), nullptr);
  if (!hwnd_) return;
  SetWindowSubclass(hwnd_, &Win32ScrollBar::subclassProc, kSubclassId,
                    reinterpret_cast<DWORD_PTR>(this));
  stateChanged();
}

void Win32ScrollBar::destroyWindow() {
  if (!hwnd_) return;
  HWND window = hwnd_;
  RemoveWindowSubclass(window, &Win32ScrollBar::subclassProc, kSubclassId);
  hwnd_ = nullptr;
  DestroyWindow(window);
}

void Win32ScrollBar::stateChanged() {
  if (!hwnd_) return;
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = positionCount();
  si.nPos = position();
  SetScrollInfo(hwnd_, SB_CTL, &si, TRUE);
}

void Win32ScrollBar::setEnabled(bool on) {
  if (!on && hasFocus()) SetFocus(GetParent(hwnd_));
  enabled_ = on;
  if (hwnd_) EnableWindow(hwnd_, on);
}

bool Win32ScrollBar::setFocus() {
  if (!hwnd_ || !enabled_ || !visible()) return false;
  SetFocus(hwnd_);
  return GetFocus() == hwnd_;
}

bool Win32ScrollBar::hasFocus() const {
  return hwnd_ && GetFocus() == hwnd_;
}

void Win32ScrollBar::boundsChanged() {
  if (!hwnd_) return;
  const RECT r = win_.pixelRect(bounds());
  MoveWindow(hwnd_, r.left, r.top, r.right - r.left, r.bottom - r.top, TRUE);
}

void Win32ScrollBar::visibleChanged() {
  if (!hwnd_) return;
  if (!visible() && hasFocus()) SetFocus(GetParent(hwnd_));
  ShowWindow(hwnd_, visible() ? SW_SHOWNA : SW_HIDE);
}

std::int32_t Win32ScrollBar::thumbPosition(WPARAM wParam) const {
  // The message carries 16 bits of the position; longer bars ask the bar itself.
  if (positionCount() <= 0xFFFF) return HIWORD(wParam);
  SCROLLINFO si = {};
  si.cbSize = sizeof(si);
  si.fMask = SIF_TRACKPOS;
  GetScrollInfo(hwnd_, SB_CTL, &si);
  return si.nTrackPos;
}

bool Win32ScrollBar::parentMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/,
                                   LRESULT& result) {
  if (message != WM_VSCROLL) return false;
  result = 0;
  switch (LOWORD(wParam)) {
    case SB_LINEUP:
      step(-smallChange());
      break;
    case SB_LINEDOWN:
      step(smallChange());
      break;
    case SB_PAGEUP:
      step(-largeChange());
      break;
    case SB_PAGEDOWN:
      step(largeChange());
      break;
    case SB_TOP:
      step(-positionCount());
      break;
    case SB_BOTTOM:
      step(positionCount());
      break;
    case SB_THUMBTRACK:
      track(thumbPosition(wParam));
      break;
    case SB_THUMBPOSITION:
      endTrack(thumbPosition(wParam));
      break;
    default:  // SB_ENDSCROLL
      break;
  }
  return true;
}

LRESULT CALLBACK Win32ScrollBar::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                              UINT_PTR /*id*/, DWORD_PTR self) {
  auto* bar = reinterpret_cast<Win32ScrollBar*>(self);
  try {
    switch (message) {
      case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &Win32ScrollBar::subclassProc, kSubclassId);
        if (bar->hwnd_ == hwnd) bar->hwnd_ = nullptr;
        break;
      case WM_SETFOCUS: {
        const LRESULT r = DefSubclassProc(hwnd, message, wParam, lParam);
        if (bar->events_.gotFocus) bar->events_.gotFocus();
        return r;
      }
      case WM_KILLFOCUS: {
        const LRESULT r = DefSubclassProc(hwnd, message, wParam, lParam);
        if (bar->events_.lostFocus) bar->events_.lostFocus();
        return r;
      }
      default:
        break;
    }
  } catch (...) {
    return 0;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace nx::win32
