#include "platform/win32/runtime/win32_window.h"

#include <commctrl.h>
#include <olectl.h>

#include <cmath>
#include <vector>

#include "core/runtime/region.h"
#include "platform/win32/com/module.h"
#include "platform/win32/runtime/gdi.h"
#include "platform/win32/runtime/ole_objects.h"
#include "platform/win32/runtime/win32_services.h"

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace nx::win32 {

namespace {

constexpr wchar_t kClassName[] = L"nxControlWindow";
// The control window's own subclass of its child windows (the parts keep theirs).
constexpr UINT_PTR kFocusSubclassId = 0x6E79;

int dpi(int index) {
  WindowDc screen(nullptr);
  const int d = GetDeviceCaps(screen.get(), index);
  return d > 0 ? d : 96;
}

}  // namespace

int windowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (hwnd && getDpiForWindow) {
    const UINT d = getDpiForWindow(hwnd);
    if (d > 0) return static_cast<int>(d);
  }
  return dpi(LOGPIXELSX);
}

namespace {

ATOM registerClass() {
  static ATOM atom = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window after creation
    wc.hInstance = Module::instance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  return atom;
}

int toPixels(double twips, double tpp) {
  return static_cast<int>(std::lround(twips / tpp));
}

Rgb resolve(OleColor color) {
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(static_cast<OLE_COLOR>(color), nullptr, &rgb))) rgb = 0;
  return rgb;
}

// Standard pointers by the host's pointer numbers.
LPCWSTR standardCursor(std::int16_t pointer) {
  switch (pointer) {
    case 2:
      return reinterpret_cast<LPCWSTR>(IDC_CROSS);
    case 3:
      return reinterpret_cast<LPCWSTR>(IDC_IBEAM);
    case 6:
      return reinterpret_cast<LPCWSTR>(IDC_SIZENESW);
    case 7:
      return reinterpret_cast<LPCWSTR>(IDC_SIZENS);
    case 8:
      return reinterpret_cast<LPCWSTR>(IDC_SIZENWSE);
    case 9:
      return reinterpret_cast<LPCWSTR>(IDC_SIZEWE);
    case 10:
      return reinterpret_cast<LPCWSTR>(IDC_UPARROW);
    case 11:
      return reinterpret_cast<LPCWSTR>(IDC_WAIT);
    case 12:
      return reinterpret_cast<LPCWSTR>(IDC_NO);
    case 13:
      return reinterpret_cast<LPCWSTR>(IDC_APPSTARTING);
    case 14:
      return reinterpret_cast<LPCWSTR>(IDC_HELP);
    case 15:
      return reinterpret_cast<LPCWSTR>(IDC_SIZEALL);
    default:
      return reinterpret_cast<LPCWSTR>(IDC_ARROW);
  }
}

}  // namespace

double screenTwipsPerPixelX() {
  return 1440.0 / dpi(LOGPIXELSX);
}
double screenTwipsPerPixelY() {
  return 1440.0 / dpi(LOGPIXELSY);
}

Win32Window::Win32Window(WindowOwner& owner)
    : owner_(owner),
      tppX_(screenTwipsPerPixelX()),
      tppY_(screenTwipsPerPixelY()),
      surface_(tppX_, tppY_) {
  surface_.setBackColor(resolve(backColor_));
  surface_.setForeColor(resolve(foreColor_));
  // A window has a font from the start, as the simulated one has: a control that nobody gave
  // one (a script created it without a host) still answers its Font.
  surface_.setFont(FontRef(OleFont::create(FontDesc{})));
  resizeSurface();
}

Win32Window::~Win32Window() {
  destroy();
}

bool Win32Window::create(HWND parent, const RECT& position) {
  if (hwnd_) return true;
  registerClass();
  left_ = position.left;
  top_ = position.top;
  width_ = position.right - position.left;
  height_ = position.bottom - position.top;
  hwnd_ = CreateWindowExW(exStyle(), kClassName, L"", style(), left_, top_, width_, height_, parent,
                          nullptr, Module::instance(), nullptr);
  if (!hwnd_) return false;
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&windowProc));
  if (!enabled_) EnableWindow(hwnd_, FALSE);
  const int d = windowDpi(hwnd_);
  if (std::abs(1440.0 / d - tppX_) > 1e-9) applyDpi(d);
  resizeSurface();
  parts_.attach(hwnd_);
  access_.setScale(tppX_, tppY_);
  if (tree_) access_.attach(hwnd_, tree_);
  return true;
}

void Win32Window::setAccessibleTree(AccessibleServer::TreeSource tree) {
  tree_ = std::move(tree);
  if (hwnd_ && tree_) access_.attach(hwnd_, tree_);
}

bool Win32Window::accessibilityListening() const {
  if (!hwnd_) return false;
  for (const DWORD event : {EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE,
                            EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_SELECTION})
    if (IsWinEventHookInstalled(event)) return true;
  return false;
}

int Win32Window::dpi() const {
  return static_cast<int>(std::lround(1440.0 / tppX_));
}

void Win32Window::applyDpi(int dotsPerInch) {
  if (dotsPerInch <= 0) return;
  tppX_ = tppY_ = 1440.0 / dotsPerInch;
  surface_.setTwipsPerPixel(tppX_, tppY_);
  access_.setScale(tppX_, tppY_);
}

LRESULT Win32Window::answerPartObject(HWND part, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  try {
    const TextBoxPart* box = parts_.textBoxOf(part);
    if (box && tree_) {
      const AccessibleNode node = tree_();
      for (std::size_t i = 0; i < node.children.size(); ++i)
        if (node.children[i].part == box->name() &&
            access_.answer(wParam, lParam, result, {static_cast<int>(i)}))
          return result;
    }
  } catch (...) {
    // The part answers for itself as the platform's own text box does.
  }
  return DefSubclassProc(part, WM_GETOBJECT, wParam, lParam);
}

void Win32Window::destroy() {
  if (!hwnd_) return;
  access_.detach();
  focusWithin_ = false;
  parts_.detach();
  HWND window = hwnd_;
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  DestroyWindow(window);
}

void Win32Window::setPosition(const RECT& position) {
  left_ = position.left;
  top_ = position.top;
  width_ = position.right - position.left;
  height_ = position.bottom - position.top;
  if (hwnd_) MoveWindow(hwnd_, left_, top_, width_, height_, TRUE);
  resizeSurface();
}

void Win32Window::refresh() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void Win32Window::paintFramed(HDC dc, const RECT& bounds) const {
  RECT inner = bounds;
  const int border = borderPixels();
  if (border == 2) {
    DrawEdge(dc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  } else if (border == 1) {
    Brush frame(CreateSolidBrush(GetSysColor(COLOR_WINDOWFRAME)));
    FrameRect(dc, &inner, frame.get());
    InflateRect(&inner, -1, -1);
  }
  if (inner.right > inner.left && inner.bottom > inner.top) surface_.paintTo(dc, inner);
}

void Win32Window::setEnabled(bool on) {
  enabled_ = on;
  if (hwnd_) EnableWindow(hwnd_, on);
}

void Win32Window::setWidth(double twips) {
  resizeItself(toPixels(twips, tppX_), height_);
}

void Win32Window::setHeight(double twips) {
  resizeItself(width_, toPixels(twips, tppY_));
}

void Win32Window::resizeItself(int width, int height) {
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  if (hwnd_) SetWindowPos(hwnd_, nullptr, 0, 0, width_, height_, SWP_NOMOVE | SWP_NOZORDER);
  resizeSurface();
  owner_.windowResizedItself(width_, height_);
}

void Win32Window::setAppearance(std::int16_t value) {
  appearance_ = value;
  applyStyles();
}

void Win32Window::setBorderStyle(std::int16_t value) {
  borderStyle_ = value;
  applyStyles();
}

void Win32Window::setBackColor(OleColor color) {
  backColor_ = color;
  surface_.setBackColor(resolve(color));
}

void Win32Window::setForeColor(OleColor color) {
  foreColor_ = color;
  surface_.setForeColor(resolve(color));
}

DWORD Win32Window::style() const {
  DWORD s = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP;
  if (borderStyle_ == 1 && appearance_ == 0) s |= WS_BORDER;
  return s;
}

DWORD Win32Window::exStyle() const {
  return borderStyle_ == 1 && appearance_ == 1 ? WS_EX_CLIENTEDGE : 0;
}

int Win32Window::borderPixels() const {
  return borderPixelsOf(appearance_, borderStyle_);
}

int Win32Window::clientWidth() const {
  if (hwnd_) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return rc.right;
  }
  const int w = width_ - 2 * borderPixels();
  return w > 0 ? w : 0;
}

int Win32Window::clientHeight() const {
  if (hwnd_) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    return rc.bottom;
  }
  const int h = height_ - 2 * borderPixels();
  return h > 0 ? h : 0;
}

void Win32Window::applyStyles() {
  if (hwnd_) {
    const DWORD keep = static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)) & ~WS_BORDER;
    SetWindowLongW(hwnd_, GWL_STYLE, static_cast<LONG>(keep | (style() & WS_BORDER)));
    SetWindowLongW(hwnd_, GWL_EXSTYLE, static_cast<LONG>(exStyle()));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
  }
  resizeSurface();
}

void Win32Window::resizeSurface() {
  surface_.resizePixels(clientWidth(), clientHeight());
}

WindowHandle Win32Window::captureHolder() const {
  return reinterpret_cast<WindowHandle>(GetCapture());
}

void Win32Window::setCapture() {
  if (hwnd_) SetCapture(hwnd_);
}

void Win32Window::releaseCapture() {
  if (hwnd_ && GetCapture() == hwnd_) ReleaseCapture();
}

Point Win32Window::cursorScreenPosition() const {
  POINT p = {0, 0};
  GetCursorPos(&p);
  return Point{p.x, p.y};
}

Point Win32Window::screenToClient(Point screen) const {
  POINT p = {screen.x, screen.y};
  if (hwnd_) ScreenToClient(hwnd_, &p);
  return Point{p.x, p.y};
}

bool Win32Window::setRegion(std::unique_ptr<Region> region, bool redraw) {
  if (!region || !hwnd_) return false;
  const std::vector<Rect> rects = region->rects();
  Rgn combined(CreateRectRgn(0, 0, 0, 0));
  for (const Rect& r : rects) {
    Rgn part(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    CombineRgn(combined.get(), combined.get(), part.get(), RGN_OR);
  }
  if (!SetWindowRgn(hwnd_, combined.get(), redraw)) return false;
  combined.release();  // the window owns it now
  return true;
}

bool Win32Window::setCursor() {
  if (mousePointer_ == 99) {
    const auto* custom = dynamic_cast<const Win32Cursor*>(mouseIcon_.get());
    if (!custom) return false;
    SetCursor(custom->handle());
    return true;
  }
  if (mousePointer_ == 0) return false;
  SetCursor(LoadCursorW(nullptr, standardCursor(mousePointer_)));
  return true;
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The container destroyed the window before the control let it go.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->focusWithin_ = false;
    self->parts_.detach();
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  try {
    return self->handle(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

bool Win32Window::overChildPart() const {
  POINT p = {0, 0};
  GetCursorPos(&p);
  ScreenToClient(hwnd_, &p);
  HWND child = ChildWindowFromPointEx(hwnd_, p, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
  return child && child != hwnd_;
}

// Focus within the control: the control has the focus while its window or any of its children
// holds it. The owner hears of the focus entering once and of it leaving once; a move between
// the control window and its children is no change.
void Win32Window::focusEntered() {
  if (focusWithin_) return;
  focusWithin_ = true;
  owner_.windowFocus(true);
}

void Win32Window::focusLeft(HWND next) {
  if (!focusWithin_) return;
  if (hwnd_ && next && (next == hwnd_ || IsChild(hwnd_, next))) return;
  focusWithin_ = false;
  owner_.windowFocus(false);
}

LRESULT CALLBACK Win32Window::childProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR /*id*/, DWORD_PTR self) {
  auto* window = reinterpret_cast<Win32Window*>(self);
  switch (message) {
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, &Win32Window::childProc, kFocusSubclassId);
      break;
    case WM_GETOBJECT:
      if (window->hwnd_ && GetParent(hwnd) == window->hwnd_)
        return window->answerPartObject(hwnd, wParam, lParam);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      const LRESULT r = DefSubclassProc(hwnd, message, wParam, lParam);
      // Only while the child still belongs to a live control window.
      if (window->hwnd_ && GetParent(hwnd) == window->hwnd_) {
        try {
          if (message == WM_SETFOCUS)
            window->focusEntered();
          else
            window->focusLeft(reinterpret_cast<HWND>(wParam));
        } catch (...) {
          // Nothing may unwind through the system's message dispatch.
        }
      }
      return r;
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TextBoxPart* Win32Window::focusedTextPart() {
  return focusWithin_ ? parts_.textBoxOf(GetFocus()) : nullptr;
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT partResult = 0;
  if (parts_.parentMessage(message, wParam, lParam, partResult)) return partResult;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      RECT client;
      GetClientRect(hwnd_, &client);
      surface_.paintTo(dc, client);
      EndPaint(hwnd_, &ps);
      return 0;
    }
    case WM_SIZE:
      resizeSurface();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT && setCursor()) return TRUE;
      break;
    case WM_MOUSEACTIVATE: {
      // A click on a child part lets the part take the focus; a click elsewhere leaves the
      // focus in a part that holds it.
      HWND focus = GetFocus();
      if (focus != hwnd_ && !IsChild(hwnd_, focus) && !overChildPart()) SetFocus(hwnd_);
      return MA_ACTIVATE;
    }
    case WM_PARENTNOTIFY:
      // Every child window (the parts' text boxes and scroll bars) reports its focus changes to
      // the control window through a subclass of its own.
      if (LOWORD(wParam) == WM_CREATE && lParam)
        SetWindowSubclass(reinterpret_cast<HWND>(lParam), &Win32Window::childProc, kFocusSubclassId,
                          reinterpret_cast<DWORD_PTR>(this));
      break;
    case WM_SETFOCUS:
      focusEntered();
      return 0;
    case WM_KILLFOCUS:
      focusLeft(reinterpret_cast<HWND>(wParam));
      return 0;
    case WM_GETDLGCODE:
      return owner_.windowDialogCode(reinterpret_cast<const MSG*>(lParam));
    case WM_GETOBJECT: {
      LRESULT answer = 0;
      if (access_.answer(wParam, lParam, answer)) return answer;
      break;
    }
    case WM_DPICHANGED_AFTERPARENT: {
      const int d = windowDpi(hwnd_);
      if (std::abs(1440.0 / d - tppX_) > 1e-9) {
        applyDpi(d);
        resizeSurface();
        owner_.windowDpiChanged();
      }
      return 0;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
      owner_.windowInput(message, wParam, lParam);
      return 0;
    default:
      if (access_.runPosted(message, wParam)) {
        if (hwnd_) refresh();  // shows what the action drew
        return 0;
      }
      break;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

}  // namespace nx::win32
