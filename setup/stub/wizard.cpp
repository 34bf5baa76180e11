#include "wizard.h"

#include <array>

#include "platform/win32/statichost/static_control_host.h"
#include "ui_style.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx::setup::stub {
namespace {

constexpr wchar_t kWizardClass[] = L"NxSetupWizard";
constexpr wchar_t kPageClass[] = L"NxSetupWizardPage";

// Child identifiers.
constexpr int kNextId = 100;
constexpr int kOptionId = 110;  // + option index
constexpr int kRebootId = 120;

// Layout at 96 DPI.
constexpr int kClientWidth = 520;
constexpr int kClientHeight = 360;
constexpr int kHeaderHeight = 64;
constexpr int kFooterHeight = 52;
constexpr int kMargin = 28;
constexpr int kButtonWidth = 96;
constexpr int kButtonHeight = 28;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kTitleColour = RGB(0, 51, 153);
constexpr COLORREF kRuleColour = RGB(223, 223, 223);

// Values the progress bar is kept with; the control reads them as a stored control.
void storeBarLook(persist::StreamBag& store) {
  store.write("barcolor", Value{std::int32_t{0x000080}}, Value{});
  store.write("backcolor", Value{std::int32_t{0xE0DFD7}}, Value{});
  store.write("orient", Value{std::int32_t{0}}, Value{});
  store.write("lstyle", Value{std::int32_t{1}}, Value{});
  store.write("uappear", Value{std::int32_t{1}}, Value{});
  store.write("uborder", Value{std::int32_t{1}}, Value{});
}

}  // namespace

class Wizard::Impl {
 public:
  Impl(HINSTANCE instance, std::string version)
      : instance_(instance), version_(std::move(version)) {}
  ~Impl() {
    barHost_.destroy();
    if (hwnd_) {
      HWND w = hwnd_;
      hwnd_ = nullptr;
      ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
      ::DestroyWindow(w);
    }
  }

  bool create();
  bool build();
  void handleNext();
  void close();
  LRESULT handle(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK wizardProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT CALLBACK pageProc(HWND w, UINT msg, WPARAM wp, LPARAM lp);
  static LRESULT colourStatic(HWND control, HDC dc, HWND titleLabel);
  void paint();
  HWND child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int x, int y,
             int w, int h, int id = 0) const;

  HINSTANCE instance_;
  std::string version_;
  Scale scale_;
  HWND hwnd_ = nullptr;
  std::array<HWND, kPageCount> pages_{};
  HWND title_ = nullptr;
  HWND prompt_ = nullptr;
  std::array<HWND, 3> options_{};
  HWND status_ = nullptr;
  HWND finalMsg_ = nullptr;
  HWND rebootMsg_ = nullptr;
  HWND needReboot_ = nullptr;
  HWND next_ = nullptr;
  GdiHandle font_;
  GdiHandle titleFont_;
  win32::StaticControlHost barHost_;
  NxProgressBar* bar_ = nullptr;
  bool closeEnabled_ = true;
  bool inNext_ = false;
  bool closing_ = false;
  std::function<void()> onNext_;
  std::function<void()> onClosing_;
};

HWND Wizard::Impl::child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style,
                         int x, int y, int w, int h, int id) const {
  return ::CreateWindowExW(0, cls, text.c_str(), WS_CHILD | style, scale_(x), scale_(y), scale_(w),
                           scale_(h), parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           instance_, nullptr);
}

bool Wizard::Impl::create() {
  if (hwnd_) return true;
  static const bool registered = [this] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Impl::wizardProc;
    wc.hInstance = instance_;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = ::LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.lpszClassName = kWizardClass;
    const bool main = ::RegisterClassExW(&wc) != 0;
    wc.lpfnWndProc = &Impl::pageProc;
    wc.hIcon = nullptr;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kPageClass;
    return main && ::RegisterClassExW(&wc) != 0;
  }();
  if (!registered) return false;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_CONTROLPARENT;
  RECT frame{0, 0, scale_(kClientWidth), scale_(kClientHeight)};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const std::wstring caption = L"nx-Dev Setup v" + widen(version_);
  hwnd_ = ::CreateWindowExW(exStyle, kWizardClass, caption.c_str(), style, CW_USEDEFAULT,
                            CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                            nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  if (build()) return true;
  // A window without all its parts is of no use.
  barHost_.destroy();
  bar_ = nullptr;
  ::DestroyWindow(hwnd_);
  return false;
}

bool Wizard::Impl::build() {
  font_ = makeFont(scale_);
  titleFont_ = makeFont(scale_, 12, FW_SEMIBOLD);

  title_ = child(hwnd_, L"STATIC", L"ActiveX Binaries Installation",
                 WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, kMargin, 18,
                 kClientWidth - 2 * kMargin, 28);
  const int pageTop = kHeaderHeight + 1;
  const int pageHeight = kClientHeight - kFooterHeight - pageTop;
  for (int i = 0; i < kPageCount; ++i) {
    pages_[i] = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPSIBLINGS,
                                  0, scale_(pageTop), scale_(kClientWidth), scale_(pageHeight),
                                  hwnd_, nullptr, instance_, this);
    if (!pages_[i]) return false;
  }
  const int inner = kClientWidth - 2 * kMargin;

  // Page 0: the action.
  prompt_ = child(pages_[0], L"STATIC", L"Please select the action to preform",
                  WS_VISIBLE | SS_LEFT, kMargin, 22, inner, 20);
  const wchar_t* optionTexts[] = {L"Install or Update", L"Repair", L"Remove"};
  for (int i = 0; i < 3; ++i) {
    DWORD s = WS_VISIBLE | BS_AUTORADIOBUTTON;
    if (i == 0) s |= WS_GROUP | WS_TABSTOP;
    options_[i] = child(pages_[0], L"BUTTON", optionTexts[i], s, kMargin + 16, 56 + 30 * i, 300, 24,
                        kOptionId + i);
  }
  child(pages_[0], L"STATIC", L"", WS_GROUP, 0, 0, 0, 0);  // ends the option group

  // Page 1: the progress.
  status_ = child(pages_[1], L"STATIC", L"Starting up...",
                  WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, kMargin, 40, inner, 20);
  storeBarLook(barHost_.store());
  const RECT barRect{scale_(kMargin), scale_(68), scale_(kMargin + inner), scale_(68 + 24)};
  bar_ = barHost_.place<NxProgressBar>(pages_[1], barRect);

  // Page 2: the end.
  finalMsg_ = child(pages_[2], L"STATIC", L"Installation completed successfully.",
                    WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kMargin, 22, inner, 40);
  rebootMsg_ = child(pages_[2], L"STATIC",
                     L"Your computer needs to be restarted for changes to take effect. If you want "
                     L"to restart it yourself, uncheck the box below.",
                     SS_LEFT | SS_NOPREFIX, kMargin, 70, inner, 40);
  needReboot_ = child(pages_[2], L"BUTTON", L"Restart computer (recommended)",
                      BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, kMargin, 116, 320, 24, kRebootId);

  next_ = child(hwnd_, L"BUTTON", L"&Next", WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
                kClientWidth - kMargin / 2 - kButtonWidth,
                kClientHeight - kFooterHeight + (kFooterHeight - kButtonHeight) / 2, kButtonWidth,
                kButtonHeight, kNextId);
  if (!title_ || !prompt_ || !status_ || !finalMsg_ || !rebootMsg_ || !needReboot_ || !next_)
    return false;
  for (HWND o : options_)
    if (!o) return false;

  setFontAll(hwnd_, font_.font());
  if (titleFont_) ::SendMessageW(title_, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()), 0);
  ::SendMessageW(options_[0], BM_SETCHECK, BST_CHECKED, 0);
  ::EnableWindow(options_[1], FALSE);
  ::EnableWindow(options_[2], FALSE);
  ::ShowWindow(pages_[0], SW_SHOW);
  return true;
}

void Wizard::Impl::paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const int header = scale_(kHeaderHeight);
  const int footerTop = client.bottom - scale_(kFooterHeight);
  RECT r{0, 0, client.right, header};
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  GdiHandle rule(::CreateSolidBrush(kRuleColour));
  r = {0, header, client.right, header + 1};
  ::FillRect(dc, &r, rule.brush());
  r = {0, header + 1, client.right, footerTop};
  ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  r = {0, footerTop, client.right, footerTop + 1};
  ::FillRect(dc, &r, rule.brush());
  r = {0, footerTop + 1, client.right, client.bottom};
  ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  ::EndPaint(hwnd_, &ps);
}

LRESULT Wizard::Impl::colourStatic(HWND control, HDC dc, HWND titleLabel) {
  ::SetBkColor(dc, kWhite);
  ::SetBkMode(dc, OPAQUE);
  ::SetTextColor(dc, control == titleLabel ? kTitleColour : ::GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
}

LRESULT CALLBACK Wizard::Impl::pageProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<Impl*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
  if (self && msg == WM_CTLCOLORSTATIC)
    return colourStatic(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp), self->title_);
  return ::DefWindowProcW(w, msg, wp, lp);
}

LRESULT CALLBACK Wizard::Impl::wizardProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<Impl*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(w, msg, wp, lp);
  try {
    return self->handle(w, msg, wp, lp);
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
    return ::DefWindowProcW(w, msg, wp, lp);
  }
}

LRESULT Wizard::Impl::handle(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      paint();
      return 0;
    case WM_CTLCOLORSTATIC:
      return colourStatic(reinterpret_cast<HWND>(lp), reinterpret_cast<HDC>(wp), title_);
    case DM_GETDEFID:
      return MAKELRESULT(kNextId, DC_HASDEFID);
    case WM_COMMAND:
      if (LOWORD(wp) == kNextId && HIWORD(wp) == BN_CLICKED) {
        handleNext();
        return 0;
      }
      if (LOWORD(wp) == IDOK) {  // Enter without a focused push button
        if (::IsWindowEnabled(next_)) handleNext();
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wp & 0xFFF0) == SC_CLOSE && !closeEnabled_) return 0;
      break;
    case WM_CLOSE:
      if (closeEnabled_) close();
      return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(w, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      break;
    default:
      break;
  }
  return ::DefWindowProcW(w, msg, wp, lp);
}

void Wizard::Impl::handleNext() {
  if (inNext_) return;
  inNext_ = true;
  try {
    if (onNext_) {
      onNext_();
    } else {
      int current = 0;
      for (int i = 0; i < kPageCount; ++i)
        if (pages_[i] && ::IsWindowVisible(pages_[i])) current = i;
      if (current + 1 >= kPageCount) {
        close();
      } else {
        ::ShowWindow(pages_[current + 1], SW_SHOW);
        ::ShowWindow(pages_[current], SW_HIDE);
      }
    }
  } catch (...) {
    // The handler's failure stays inside the click.
  }
  inNext_ = false;
}

void Wizard::Impl::close() {
  if (!hwnd_ || closing_) return;
  closing_ = true;
  try {
    if (onClosing_) onClosing_();
  } catch (...) {
  }
  barHost_.destroy();
  bar_ = nullptr;
  if (hwnd_) ::DestroyWindow(hwnd_);
  closing_ = false;
}

// ---------------------------------------------------------------------------------------------

Wizard::Wizard(HINSTANCE instance, std::string version)
    : impl_(std::make_unique<Impl>(instance, std::move(version))) {}

Wizard::~Wizard() = default;

bool Wizard::create() {
  return impl_->create();
}

bool Wizard::show() {
  if (!impl_->create()) return false;
  HWND w = impl_->hwnd_;
  if (!::IsWindowVisible(w)) {
    RECT r;
    ::GetWindowRect(w, &r);
    RECT work{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int width = r.right - r.left, height = r.bottom - r.top;
    ::SetWindowPos(w, nullptr, work.left + (work.right - work.left - width) / 2,
                   work.top + (work.bottom - work.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::ShowWindow(w, SW_SHOWNORMAL);
  ::SetForegroundWindow(w);
  ::UpdateWindow(w);
  return true;
}

HWND Wizard::hwnd() const {
  return impl_->hwnd_;
}

HWND Wizard::part(Part p) const {
  const Impl& i = *impl_;
  if (!i.hwnd_) return nullptr;
  switch (p) {
    case Part::Title:
      return i.title_;
    case Part::Prompt:
      return i.prompt_;
    case Part::OptInstall:
      return i.options_[0];
    case Part::OptRepair:
      return i.options_[1];
    case Part::OptRemove:
      return i.options_[2];
    case Part::Bar:
      return i.barHost_.hwnd();
    case Part::Status:
      return i.status_;
    case Part::FinalMsg:
      return i.finalMsg_;
    case Part::RebootMsg:
      return i.rebootMsg_;
    case Part::NeedReboot:
      return i.needReboot_;
    case Part::Next:
      return i.next_;
    case Part::Page0:
      return i.pages_[0];
    case Part::Page1:
      return i.pages_[1];
    case Part::Page2:
      return i.pages_[2];
  }
  return nullptr;
}

void Wizard::setTitle(std::string_view title) {
  if (impl_->title_) ::SetWindowTextW(impl_->title_, widen(title).c_str());
}

void Wizard::setPreviousInstall(bool found) {
  Impl& i = *impl_;
  if (!i.hwnd_) return;
  ::EnableWindow(i.options_[kRepair], found);
  ::EnableWindow(i.options_[kRemove], found);
  // A disabled option cannot stay selected.
  if (!found && selectedOption() != kInstallOrUpdate) selectOption(kInstallOrUpdate);
}

void Wizard::selectOption(int option) {
  Impl& i = *impl_;
  if (!i.hwnd_ || option < 0 || option > 2) return;
  for (int k = 0; k < 3; ++k)
    ::SendMessageW(i.options_[k], BM_SETCHECK, k == option ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Wizard::selectedOption() const {
  const Impl& i = *impl_;
  if (!i.hwnd_) return -1;
  for (int k = 0; k < 3; ++k)
    if (::SendMessageW(i.options_[k], BM_GETCHECK, 0, 0) == BST_CHECKED) return k;
  return -1;
}

void Wizard::setPage(int page) {
  Impl& i = *impl_;
  if (!i.hwnd_ || page < 0 || page >= kPageCount) return;
  ::ShowWindow(i.pages_[page], SW_SHOW);
  for (int k = 0; k < kPageCount; ++k)
    if (k != page) ::ShowWindow(i.pages_[k], SW_HIDE);
}

int Wizard::page() const {
  const Impl& i = *impl_;
  if (!i.hwnd_) return -1;
  for (int k = 0; k < kPageCount; ++k)
    if (::GetWindowLongW(i.pages_[k], GWL_STYLE) & WS_VISIBLE) return k;
  return -1;
}

void Wizard::setBarRange(int min, int max) {
  Impl& i = *impl_;
  if (!i.bar_ || min >= max) return;
  NxProgressBar& bar = *i.bar_;
  i.barHost_.call([&](ControlBase&) {
    // Keeps Min below Max at every step.
    if (max > bar.minValue()) {
      bar.setMaxValue(max);
      bar.setMinValue(min);
    } else {
      bar.setMinValue(min);
      bar.setMaxValue(max);
    }
  });
}

void Wizard::setBar(int value) {
  Impl& i = *impl_;
  if (!i.bar_) return;
  NxProgressBar& bar = *i.bar_;
  i.barHost_.call([&](ControlBase&) { bar.setValue(value); });
}

int Wizard::bar() const {
  return impl_->bar_ ? impl_->bar_->value() : 0;
}

const NxProgressBar* Wizard::progressBar() const {
  return impl_->bar_;
}

void Wizard::setStatus(std::string_view text) {
  if (impl_->status_) ::SetWindowTextW(impl_->status_, widen(text).c_str());
}

void Wizard::pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HWND w = impl_->hwnd_;
    if (w && ::IsDialogMessageW(w, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Wizard::tickReboot() {
  if (impl_->needReboot_) ::SendMessageW(impl_->needReboot_, BM_SETCHECK, BST_CHECKED, 0);
}

void Wizard::setFinalText(std::string_view text) {
  if (impl_->finalMsg_) ::SetWindowTextW(impl_->finalMsg_, widen(text).c_str());
}

void Wizard::showReboot(bool shown) {
  Impl& i = *impl_;
  if (!i.hwnd_) return;
  if (shown) tickReboot();
  ::ShowWindow(i.rebootMsg_, shown ? SW_SHOW : SW_HIDE);
  ::ShowWindow(i.needReboot_, shown ? SW_SHOW : SW_HIDE);
}

bool Wizard::rebootShown() const {
  const Impl& i = *impl_;
  return i.needReboot_ && (::GetWindowLongW(i.needReboot_, GWL_STYLE) & WS_VISIBLE) != 0;
}

bool Wizard::rebootTicked() const {
  const Impl& i = *impl_;
  return i.needReboot_ && ::SendMessageW(i.needReboot_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Wizard::setNextCaption(std::string_view caption) {
  if (impl_->next_) ::SetWindowTextW(impl_->next_, widen(caption).c_str());
}

void Wizard::enableNext(bool enabled) {
  if (impl_->next_) ::EnableWindow(impl_->next_, enabled);
}

void Wizard::setCloseCommand(bool enabled) {
  Impl& i = *impl_;
  if (!i.hwnd_) return;
  if (enabled) {
    ::GetSystemMenu(i.hwnd_, TRUE);  // back to the platform's default menu
    ::DrawMenuBar(i.hwnd_);
    i.closeEnabled_ = true;
    return;
  }
  if (!i.closeEnabled_) return;  // removed already: a second removal would take other entries
  HMENU menu = ::GetSystemMenu(i.hwnd_, FALSE);
  if (menu) {
    // The Close command and the separator in front of it. They are the menu's last two
    // entries on Windows; other systems add entries after them (Wine's "About Wine"), so they
    // are found by the command rather than by position.
    const int n = ::GetMenuItemCount(menu);
    int close = -1;
    for (int k = 0; k < n && close < 0; ++k)
      if (::GetMenuItemID(menu, static_cast<UINT>(k)) == SC_CLOSE) close = k;
    if (close >= 0) {
      ::RemoveMenu(menu, static_cast<UINT>(close), MF_BYPOSITION);
      if (close > 0 &&
          (::GetMenuState(menu, static_cast<UINT>(close - 1), MF_BYPOSITION) & MF_SEPARATOR))
        ::RemoveMenu(menu, static_cast<UINT>(close - 1), MF_BYPOSITION);
    }
    ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);  // the caption's button too
    ::DrawMenuBar(i.hwnd_);
  }
  i.closeEnabled_ = false;
}

bool Wizard::closeCommandEnabled() const {
  return impl_->closeEnabled_;
}

void Wizard::onNext(std::function<void()> handler) {
  impl_->onNext_ = std::move(handler);
}

void Wizard::onClosing(std::function<void()> handler) {
  impl_->onClosing_ = std::move(handler);
}

void Wizard::runUntilClosed() {
  MSG msg;
  while (impl_->hwnd_) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HWND w = impl_->hwnd_;
    if (w && ::IsDialogMessageW(w, &msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void Wizard::close() {
  impl_->close();
}

bool Wizard::isOpen() const {
  return impl_->hwnd_ != nullptr;
}

}  // namespace nx::setup::stub
