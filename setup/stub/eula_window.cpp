#include "eula_window.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "ui_style.h"

namespace nx::setup::stub {
namespace {

constexpr wchar_t kEulaClass[] = L"NxSetupEula";
constexpr wchar_t kViewClass[] = L"NxSetupEulaView";
constexpr wchar_t kTextClass[] = L"NxSetupEulaText";

constexpr int kAcceptId = 101;
constexpr int kDeclineId = 102;

// Layout at 96 DPI.
constexpr int kClientWidth = 560;
constexpr int kClientHeight = 430;
constexpr int kMargin = 16;
constexpr int kViewTop = 82;
constexpr int kButtonWidth = 92;
constexpr int kButtonHeight = 28;
constexpr int kTextPad = 8;

constexpr COLORREF kFrameColour = RGB(171, 173, 179);

constexpr UINT kTextFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX | DT_EDITCONTROL;

}  // namespace

class EulaWindow::Impl {
 public:
  Impl(HINSTANCE instance, HWND owner) : instance_(instance), owner_(owner) {}
  ~Impl() {
    if (hwnd_) {
      HWND w = hwnd_;
      hwnd_ = nullptr;
      ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
      ::DestroyWindow(w);
    }
  }

  bool create();
  void setText(const std::wstring& text);
  void scrollTo(int value, bool moveThumb);
  void finish(bool accepted);
  void makeAcceptDefault();
  double tppY() const { return 1440.0 / scale_.dpi(); }
  int viewInnerHeightPx() const;
  LRESULT handle(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  void paintText(HWND w);
  static LRESULT CALLBACK eulaProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK viewProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK textProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);

  HINSTANCE instance_;
  HWND owner_;
  Scale scale_;
  HWND hwnd_ = nullptr;
  HWND intro_ = nullptr;
  HWND advice_ = nullptr;
  HWND view_ = nullptr;
  HWND text_ = nullptr;
  HWND scroll_ = nullptr;
  HWND accept_ = nullptr;
  HWND decline_ = nullptr;
  GdiHandle font_;
  int textHeightPx_ = 0;  // of the whole text with its padding
  int max_ = 0;
  int value_ = 0;
  int page_ = 1;
  int defaultId_ = 0;
  int wheelRest_ = 0;
  bool answer_ = false;
  bool done_ = false;
};

namespace {

template <class T>
T* selfOf(HWND w, UINT msg, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  return reinterpret_cast<T*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
}

}  // namespace

bool EulaWindow::Impl::create() {
  if (hwnd_) return true;
  static const bool registered = [this] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpfnWndProc = &Impl::eulaProc;
    wc.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kEulaClass;
    bool ok = ::RegisterClassExW(&wc) != 0;
    wc.lpfnWndProc = &Impl::viewProc;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kViewClass;
    ok = ::RegisterClassExW(&wc) != 0 && ok;
    wc.lpfnWndProc = &Impl::textProc;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = kTextClass;
    return ::RegisterClassExW(&wc) != 0 && ok;
  }();
  if (!registered) return false;

  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
  RECT frame{0, 0, scale_(kClientWidth), scale_(kClientHeight)};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  hwnd_ = ::CreateWindowExW(exStyle, kEulaClass, L"End User License Agreement", style,
                            CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                            frame.bottom - frame.top, owner_, nullptr, instance_, this);
  if (!hwnd_) return false;
  font_ = makeFont(scale_);

  auto child = [&](const wchar_t* cls, const wchar_t* text, DWORD s, int x, int y, int w, int h,
                   HWND parent, int id, bool scaled = true) {
    if (scaled) {
      x = scale_(x), y = scale_(y), w = scale_(w), h = scale_(h);
    }
    return ::CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | s, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, this);
  };
  const int inner = kClientWidth - 2 * kMargin;
  intro_ = child(L"STATIC",
                 L"Please read carefully the entire content of the End User License Agreement "
                 L"(EULA) below.",
                 SS_LEFT, kMargin, 14, inner, 20, hwnd_, 0);
  advice_ = child(L"STATIC",
                  L"If you do not fully agree with the all the terms and conditions stated, please "
                  L"click on the Decline button to abort the installation.",
                  SS_LEFT, kMargin, 38, inner, 36, hwnd_, 0);
  const int viewHeight = kClientHeight - kViewTop - kButtonHeight - 2 * 14;
  view_ = child(kViewClass, L"", WS_CLIPCHILDREN, kMargin, kViewTop, inner, viewHeight, hwnd_, 0);
  if (!view_) return false;
  RECT vr;
  ::GetClientRect(view_, &vr);
  const int bar = ::GetSystemMetrics(SM_CXVSCROLL);
  // A one-pixel frame is drawn around the text and the scroll bar.
  text_ = child(kTextClass, L"", 0, 1, 1, vr.right - 2 - bar, vr.bottom - 2, view_, 0, false);
  scroll_ = child(L"SCROLLBAR", L"", SBS_VERT | WS_TABSTOP | WS_GROUP, vr.right - 1 - bar, 1, bar,
                  vr.bottom - 2, view_, 0, false);
  const int buttonTop = kClientHeight - 14 - kButtonHeight;
  accept_ = child(L"BUTTON", L"&Accept", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP,
                  kClientWidth - kMargin - 2 * kButtonWidth - 8, buttonTop, kButtonWidth,
                  kButtonHeight, hwnd_, kAcceptId);
  decline_ = child(L"BUTTON", L"&Decline", BS_PUSHBUTTON | WS_TABSTOP,
                   kClientWidth - kMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight,
                   hwnd_, kDeclineId);
  if (!intro_ || !advice_ || !text_ || !scroll_ || !accept_ || !decline_) return false;
  setFontAll(hwnd_, font_.font());
  setText(L"");
  return true;
}

int EulaWindow::Impl::viewInnerHeightPx() const {
  RECT r{};
  if (view_) ::GetClientRect(view_, &r);
  return std::max(0, static_cast<int>(r.bottom) - 2);
}

void EulaWindow::Impl::setText(const std::wstring& text) {
  ::SetWindowTextW(text_, text.c_str());
  // The text's height when wrapped to the label's width.
  RECT tr;
  ::GetClientRect(text_, &tr);
  const int pad = scale_(kTextPad);
  RECT calc{0, 0, std::max(1, static_cast<int>(tr.right) - 2 * pad), 0};
  int height = 0;
  if (!text.empty()) {
    HDC dc = ::GetDC(text_);
    if (dc) {
      HGDIOBJ old = font_ ? ::SelectObject(dc, font_.get()) : nullptr;
      height = ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &calc,
                           kTextFormat | DT_CALCRECT);
      if (old) ::SelectObject(dc, old);
      ::ReleaseDC(text_, dc);
    }
  }
  textHeightPx_ = std::max(0, height) + 2 * pad;

  const double tpp = tppY();
  const double labelTw = textHeightPx_ * tpp;
  const double viewTw = viewInnerHeightPx() * tpp;
  const double steps = std::nearbyint((labelTw - viewTw + 60.0) / kStepTwips);
  max_ = steps > 0 ? static_cast<int>(std::min(steps, 1.0e8)) : 0;
  page_ = std::max(1, static_cast<int>(viewTw / kStepTwips) - 1);

  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
  si.nMin = 0;
  si.nMax = max_ > 0 ? max_ + page_ - 1 : 0;
  si.nPage = max_ > 0 ? static_cast<UINT>(page_) : 0;
  si.nPos = 0;
  ::SetScrollInfo(scroll_, SB_CTL, &si, TRUE);
  ::EnableWindow(scroll_, max_ > 0);

  value_ = 0;
  defaultId_ = 0;
  ::SendMessageW(accept_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  ::EnableWindow(accept_, FALSE);
  // Nothing to scroll: nothing will reach the end by scrolling, so the text counts as read.
  if (max_ == 0) makeAcceptDefault();
  ::InvalidateRect(text_, nullptr, TRUE);
}

void EulaWindow::Impl::makeAcceptDefault() {
  ::EnableWindow(accept_, TRUE);
  defaultId_ = kAcceptId;
  ::SendMessageW(decline_, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  ::SendMessageW(accept_, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void EulaWindow::Impl::scrollTo(int value, bool moveThumb) {
  value = std::clamp(value, 0, max_);
  if (moveThumb) ::SetScrollPos(scroll_, SB_CTL, value, TRUE);
  if (value != value_) {
    value_ = value;
    ::InvalidateRect(text_, nullptr, TRUE);
  }
  if (value_ == max_ && defaultId_ != kAcceptId) makeAcceptDefault();
}

void EulaWindow::Impl::finish(bool accepted) {
  answer_ = accepted;
  done_ = true;
  // The owner is enabled before the window hides, so that it becomes the active window again.
  if (owner_) ::EnableWindow(owner_, TRUE);
  if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

void EulaWindow::Impl::paintText(HWND w) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(w, &ps);
  RECT client;
  ::GetClientRect(w, &client);
  ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  const std::wstring text = windowText(w);
  if (!text.empty()) {
    const int pad = scale_(kTextPad);
    const int top = -static_cast<int>(std::lround(value_ * kStepTwips / tppY()));
    RECT r{pad, top + pad, client.right - pad, top + textHeightPx_};
    HGDIOBJ old = font_ ? ::SelectObject(dc, font_.get()) : nullptr;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, kTextFormat);
    if (old) ::SelectObject(dc, old);
  }
  ::EndPaint(w, &ps);
}

LRESULT CALLBACK EulaWindow::Impl::textProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Impl* self = selfOf<Impl>(w, msg, lp);
  if (self) {
    switch (msg) {
      case WM_PAINT:
        self->paintText(w);
        return 0;
      case WM_ERASEBKGND:
        return 1;
      default:
        break;
    }
  }
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK EulaWindow::Impl::viewProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Impl* self = selfOf<Impl>(w, msg, lp);
  if (self) {
    switch (msg) {
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        RECT r;
        ::GetClientRect(w, &r);
        GdiHandle frame(::CreateSolidBrush(kFrameColour));
        ::FrameRect(dc, &r, frame.brush());
        ::EndPaint(w, &ps);
        return 0;
      }
      case WM_VSCROLL:  // from the scroll bar inside
        return ::SendMessageW(self->hwnd_, msg, wp, lp);
      default:
        break;
    }
  }
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK EulaWindow::Impl::eulaProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  Impl* self = selfOf<Impl>(w, msg, lp);
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    if (!self->done_) self->finish(false);
    return ::DefWindowProcW(w, msg, wp, lp);
  }
  try {
    return self->handle(w, msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
    return ::DefWindowProcW(w, msg, wp, lp);
  }
}

LRESULT EulaWindow::Impl::handle(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wp) != WA_INACTIVE) {
        // The scroll bar takes the keyboard focus; without anything to scroll, the buttons do.
        ::SetFocus(::IsWindowEnabled(scroll_) ? scroll_ : accept_);
        return 0;
      }
      break;
    case WM_VSCROLL: {
      if (reinterpret_cast<HWND>(lp) != scroll_) break;
      switch (LOWORD(wp)) {
        case SB_LINEUP:
          scrollTo(value_ - 1, true);
          break;
        case SB_LINEDOWN:
          scrollTo(value_ + 1, true);
          break;
        case SB_PAGEUP:
          scrollTo(value_ - page_, true);
          break;
        case SB_PAGEDOWN:
          scrollTo(value_ + page_, true);
          break;
        case SB_TOP:
          scrollTo(0, true);
          break;
        case SB_BOTTOM:
          scrollTo(max_, true);
          break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
          SCROLLINFO si{};
          si.cbSize = sizeof si;
          si.fMask = SIF_TRACKPOS;
          ::GetScrollInfo(scroll_, SB_CTL, &si);
          scrollTo(si.nTrackPos, LOWORD(wp) == SB_THUMBPOSITION);
          break;
        }
        default:
          break;
      }
      return 0;
    }
    case WM_MOUSEWHEEL: {
      wheelRest_ += GET_WHEEL_DELTA_WPARAM(wp);
      const int notches = wheelRest_ / WHEEL_DELTA;
      wheelRest_ -= notches * WHEEL_DELTA;
      if (notches != 0 && max_ > 0) scrollTo(value_ - 3 * notches, true);
      return 0;
    }
    case DM_GETDEFID:
      return defaultId_ ? MAKELRESULT(defaultId_, DC_HASDEFID) : 0;
    case DM_SETDEFID:
      if (static_cast<int>(wp) == kAcceptId && ::IsWindowEnabled(accept_)) makeAcceptDefault();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kAcceptId:
          if (::IsWindowEnabled(accept_)) finish(true);
          return 0;
        case kDeclineId:
        case IDCANCEL:  // Escape
          finish(false);
          return 0;
        default:
          break;
      }
      break;
    case WM_CLOSE:
      finish(false);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(w, msg, wp, lp);
}

// ---------------------------------------------------------------------------------------------

EulaWindow::EulaWindow(HINSTANCE instance, HWND owner)
    : impl_(std::make_unique<Impl>(instance, owner)) {}

EulaWindow::~EulaWindow() {
  if (impl_->owner_ && !impl_->done_) ::EnableWindow(impl_->owner_, TRUE);
}

bool EulaWindow::create() {
  return impl_->create();
}

void EulaWindow::setText(std::string_view text) {
  if (!impl_->create()) return;
  impl_->setText(withCrLf(widen(text)));
}

bool EulaWindow::show() {
  Impl& i = *impl_;
  if (!i.create()) return false;
  i.done_ = false;
  i.answer_ = false;
  RECT area{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (i.owner_ && ::IsWindowVisible(i.owner_) && !::IsIconic(i.owner_)) {
    ::GetWindowRect(i.owner_, &area);
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT r;
  ::GetWindowRect(i.hwnd_, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  int x = area.left + (area.right - area.left - w) / 2;
  int y = area.top + (area.bottom - area.top - h) / 2;
  x = std::max(0, x);
  y = std::max(0, y);
  ::SetWindowPos(i.hwnd_, HWND_TOP, x, y, 0, 0, SWP_NOSIZE);
  ::ShowWindow(i.hwnd_, SW_SHOWNORMAL);
  ::SetForegroundWindow(i.hwnd_);
  ::UpdateWindow(i.hwnd_);
  return true;
}

bool EulaWindow::runModal() {
  Impl& i = *impl_;
  if (!i.hwnd_) return false;
  // A hidden window could never be answered.
  if (!::IsWindowVisible(i.hwnd_) && !show()) return false;
  if (i.owner_) ::EnableWindow(i.owner_, FALSE);
  MSG msg;
  while (!i.done_ && i.hwnd_) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      i.finish(false);
      break;
    }
    if (i.hwnd_ && ::IsDialogMessageW(i.hwnd_, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (i.owner_) ::EnableWindow(i.owner_, TRUE);
  return i.answer_;
}

bool EulaWindow::showModal() {
  return show() && runModal();
}

bool EulaWindow::answer() const {
  return impl_->answer_;
}

bool EulaWindow::answered() const {
  return impl_->done_;
}

HWND EulaWindow::hwnd() const {
  return impl_->hwnd_;
}

HWND EulaWindow::part(Part p) const {
  const Impl& i = *impl_;
  if (!i.hwnd_) return nullptr;
  switch (p) {
    case Part::Intro:
      return i.intro_;
    case Part::Advice:
      return i.advice_;
    case Part::Viewport:
      return i.view_;
    case Part::Text:
      return i.text_;
    case Part::Scroll:
      return i.scroll_;
    case Part::Accept:
      return i.accept_;
    case Part::Decline:
      return i.decline_;
  }
  return nullptr;
}

int EulaWindow::scrollMax() const {
  return impl_->max_;
}

int EulaWindow::scrollValue() const {
  return impl_->value_;
}

int EulaWindow::textTopTwips() const {
  return -impl_->value_ * kStepTwips;
}

int EulaWindow::textHeightTwips() const {
  return static_cast<int>(std::lround(impl_->textHeightPx_ * impl_->tppY()));
}

int EulaWindow::viewHeightTwips() const {
  return static_cast<int>(std::lround(impl_->viewInnerHeightPx() * impl_->tppY()));
}

bool showEulaModal(HWND owner, std::string_view text) {
  EulaWindow window(::GetModuleHandleW(nullptr), owner);
  if (!window.create()) return false;
  window.setText(text);
  return window.showModal();
}

}  // namespace nx::setup::stub
