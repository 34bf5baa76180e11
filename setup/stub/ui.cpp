#include "ui.h"

namespace nx::setup::stub {
namespace {

constexpr const char* kStartupClass = "NxSetupStartupWindow";
constexpr const char* kLogClass = "NxSetupDebugLogWindow";
constexpr int kListMargin = 4;

std::string withNewlines(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  return out;
}

}  // namespace

void writeStdErr(const std::string& line) {
  const HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  ::WriteFile(err, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

StartupUi::~StartupUi() {
  log_.reset();
  startup_.reset();
}

void StartupUi::registerClasses() {
  if (registered_) return;
  registered_ = true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = &StartupUi::windowProc;
  wc.hInstance = instance_;
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kStartupClass;
  ::RegisterClassExA(&wc);
  wc.lpszClassName = kLogClass;
  ::RegisterClassExA(&wc);
}

LRESULT CALLBACK StartupUi::windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<StartupUi*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self != nullptr) {
    if (msg == WM_CLOSE) {
      // The start-up window stays until the checks are done; the log window saves on closing.
      if (window == self->log_.get()) self->closeLog();
      return 0;
    }
    if (msg == WM_SIZE && window == self->log_.get()) {
      self->layoutLog();
      return 0;
    }
  }
  return ::DefWindowProcA(window, msg, wParam, lParam);
}

void StartupUi::showStartup() {
  if (quiet_ || startup_) return;
  registerClasses();
  const int width = 320, height = 110;
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  startup_.reset(::CreateWindowExA(0, kStartupClass, "nx-Dev Setup", WS_POPUP | WS_CAPTION, x, y,
                                   width, height, nullptr, nullptr, instance_, this));
  if (!startup_) return;
  ::CreateWindowExA(0, "STATIC", "Checking system...", WS_CHILD | WS_VISIBLE | SS_CENTER, 10, 28,
                    width - 26, 20, startup_.get(), nullptr, instance_, nullptr);
  ::ShowWindow(startup_.get(), SW_SHOWNORMAL);
  ::UpdateWindow(startup_.get());
}

void StartupUi::closeStartup() {
  startup_.reset();
}

void StartupUi::layoutLog() {
  if (!log_ || list_ == nullptr) return;
  RECT inner{};
  ::GetClientRect(log_.get(), &inner);
  const int width = (inner.right - inner.left) - 2 * kListMargin;
  const int height = (inner.bottom - inner.top) - kListMargin;
  if (width > 0 && height > 0) ::MoveWindow(list_, kListMargin, kListMargin, width, height, TRUE);
}

void StartupUi::showLog(const std::vector<std::string>& entries) {
  if (quiet_) return;
  if (!log_) {
    registerClasses();
    log_.reset(::CreateWindowExA(0, kLogClass, "Debug Log", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                 CW_USEDEFAULT, 640, 420, nullptr, nullptr, instance_, this));
    if (!log_) return;
    list_ =
        ::CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT, 0,
                          0, 10, 10, log_.get(), nullptr, instance_, nullptr);
    font_.reset(::CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              FIXED_PITCH | FF_MODERN, "Courier New"));
    if (list_ && font_)
      ::SendMessageA(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    ::SendMessageA(list_, LB_SETHORIZONTALEXTENT, 2000, 0);
    shownEntries_ = 0;
    layoutLog();
  }
  if (list_ == nullptr) return;
  // The last shown entry may have grown; show it again with every entry added since.
  std::size_t from = shownEntries_;
  if (from > 0) {
    --from;
    ::SendMessageA(list_, LB_DELETESTRING, from, 0);
  }
  for (std::size_t i = from; i < entries.size(); ++i) {
    ::SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entries[i].c_str()));
  }
  shownEntries_ = entries.size();
  if (!entries.empty()) ::SendMessageA(list_, LB_SETCURSEL, entries.size() - 1, 0);
  if (!::IsWindowVisible(log_.get())) ::ShowWindow(log_.get(), SW_SHOWNORMAL);
}

void StartupUi::closeLog() {
  if (closingLog_) return;
  closingLog_ = true;
  if (onLogClosing_) onLogClosing_();
  list_ = nullptr;
  log_.reset();
  closingLog_ = false;
}

void StartupUi::waitForLogClosed() {
  MSG msg;
  while (log_ && ::GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void StartupUi::message(const std::string& title, const std::string& text, UINT icon) {
  if (quiet_) {
    writeStdErr(title + ": " + withNewlines(text));
    return;
  }
  ::MessageBoxA(nullptr, text.c_str(), title.c_str(), MB_OK | icon | MB_SETFOREGROUND);
}

int StartupUi::askAbortRetryIgnore(const std::string& title, const std::string& text) {
  const HWND owner = startup_.valid() ? startup_.get() : nullptr;
  return ::MessageBoxA(owner, text.c_str(), title.c_str(),
                       MB_ABORTRETRYIGNORE | MB_ICONWARNING | MB_SETFOREGROUND);
}

void StartupUi::pump() {
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

}  // namespace nx::setup::stub
