#include "platform/win32/runtime/win32_popup.h"

#include <windows.h>
#include <windowsx.h>

#include <exception>
#include <utility>

#include "core/runtime/errors.h"
#include "platform/win32/com/module.h"
#include "platform/win32/runtime/win32_accessible.h"
#include "platform/win32/runtime/win32_parts.h"
#include "platform/win32/runtime/win32_surface.h"
#include "platform/win32/runtime/win32_window.h"

namespace nx::win32 {

namespace {

constexpr wchar_t kClassName[] = L"nxPopupWindow";

void registerClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;  // replaced per window after creation
    wc.hInstance = Module::instance();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc);
  }();
  (void)atom;
}

// What the window procedure and the modal loop share. It outlives the pop-up object while a
// callback or the loop still runs, so either may drop the object.
struct PopupState : std::enable_shared_from_this<PopupState> {
  PopupState(const PopupParams& p, PopupCallbacks c)
      : params(p),
        callbacks(std::move(c)),
        // The owner's resolution: in a host aware of each monitor's DPI the list is drawn at
        // the DPI of the monitor its control is on.
        surface(
            p.owner ? 1440.0 / windowDpi(reinterpret_cast<HWND>(p.owner)) : screenTwipsPerPixelX(),
            p.owner ? 1440.0 / windowDpi(reinterpret_cast<HWND>(p.owner))
                    : screenTwipsPerPixelY()) {
    surface.resizePixels(params.bounds.width(), params.bounds.height());
  }

  PopupParams params;
  PopupCallbacks callbacks;
  Win32Surface surface;
  Win32PartFactory parts{surface};
  HWND hwnd = nullptr;
  AccessibleServer access;
  bool modal = false;
  bool closing = false;
  std::exception_ptr error;

  // Runs a callback; while modal, an exception ends the run and is kept for runModal.
  template <class F>
  void deliver(F&& call) {
    if (!modal || closing) return;
    try {
      call();
    } catch (...) {
      if (!error) error = std::current_exception();
      close();
    }
  }

  void close() {
    closing = true;
    if (hwnd) {
      ShowWindow(hwnd, SW_HIDE);
      PostMessageW(hwnd, WM_NULL, 0, 0);  // wakes a loop that waits for messages
    }
  }

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* raw = reinterpret_cast<PopupState*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!raw) return DefWindowProcW(hwnd, message, wParam, lParam);
    const std::shared_ptr<PopupState> self = raw->shared_from_this();
    LRESULT partResult = 0;
    if (self->parts.parentMessage(message, wParam, lParam, partResult)) return partResult;
    if (message == WM_NCDESTROY) {
      self->access.detach();
      self->parts.detach();
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd = nullptr;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(hwnd, message, wParam, lParam);
  }

  void mouse(PopupMouseEvent::Kind kind, MouseButton button, LPARAM lParam) {
    const PopupMouseEvent event{kind, button, Point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}};
    deliver([&] {
      if (callbacks.mouse) callbacks.mouse(event);
    });
  }

  void deactivated() {
    deliver([&] {
      if (callbacks.deactivated) callbacks.deactivated();
    });
  }

  LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    using Kind = PopupMouseEvent::Kind;
    switch (message) {
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT client;
        GetClientRect(window, &client);
        surface.paintTo(dc, client);
        EndPaint(window, &ps);
        return 0;
      }
      case WM_MOUSEMOVE:
        mouse(Kind::Move, MouseButton::None, lParam);
        return 0;
      case WM_LBUTTONDOWN:
        mouse(Kind::Down, MouseButton::Left, lParam);
        return 0;
      case WM_LBUTTONUP:
        mouse(Kind::Up, MouseButton::Left, lParam);
        return 0;
      case WM_RBUTTONDOWN:
        mouse(Kind::Down, MouseButton::Right, lParam);
        return 0;
      case WM_RBUTTONUP:
        mouse(Kind::Up, MouseButton::Right, lParam);
        return 0;
      case WM_MBUTTONDOWN:
        mouse(Kind::Down, MouseButton::Middle, lParam);
        return 0;
      case WM_MBUTTONUP:
        mouse(Kind::Up, MouseButton::Middle, lParam);
        return 0;
      case WM_KEYDOWN:
        deliver([&] {
          if (callbacks.key) callbacks.key(static_cast<std::uint16_t>(wParam));
        });
        return 0;
      case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS;
      case WM_GETOBJECT: {
        LRESULT answer = 0;
        if (access.answer(wParam, lParam, answer)) return answer;
        break;
      }
      case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
          deactivated();
          return 0;
        }
        break;  // the default takes the focus
      case WM_KILLFOCUS:
        // The pop-up's own parts (its scroll bar) may take the focus without closing it.
        if (!wParam || !IsChild(window, reinterpret_cast<HWND>(wParam))) deactivated();
        return 0;
      default:
        if (access.runPosted(message, wParam)) return 0;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
};

class Win32Popup final : public PopupWindow {
 public:
  explicit Win32Popup(std::shared_ptr<PopupState> state) : state_(std::move(state)) {}
  ~Win32Popup() override {
    if (state_->hwnd) DestroyWindow(state_->hwnd);  // WM_NCDESTROY lets go of the state
  }
  Win32Popup(const Win32Popup&) = delete;
  Win32Popup& operator=(const Win32Popup&) = delete;

  WindowHandle handle() const override { return reinterpret_cast<WindowHandle>(state_->hwnd); }
  Rect bounds() const override { return state_->params.bounds; }
  Surface& surface() override { return state_->surface; }
  PartFactory& parts() override { return state_->parts; }
  void refresh() override {
    if (state_->hwnd) InvalidateRect(state_->hwnd, nullptr, FALSE);
  }
  bool visible() const override { return state_->hwnd && IsWindowVisible(state_->hwnd); }

  ModalEnd runModal() override {
    const std::shared_ptr<PopupState> state = state_;  // this object may go during the run
    if (!state->hwnd) throw HostError("the pop-up window is gone");
    if (state->modal) throw HostError("the pop-up window is already shown modally");
    state->modal = true;
    state->closing = false;
    state->error = nullptr;
    ShowWindow(state->hwnd, SW_SHOW);
    SetActiveWindow(state->hwnd);
    SetFocus(state->hwnd);
    ModalEnd end = ModalEnd::Closed;
    for (;;) {
      if (state->closing) break;
      if (!state->hwnd) {
        end = ModalEnd::WindowGone;
        break;
      }
      MSG msg;
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
        end = ModalEnd::Quit;
        break;
      }
      if (got == -1) {
        end = ModalEnd::WindowGone;
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    state->modal = false;
    state->closing = true;  // no callbacks until the next run
    if (state->hwnd) ShowWindow(state->hwnd, SW_HIDE);
    if (state->error) std::rethrow_exception(std::exchange(state->error, nullptr));
    return end;
  }

  void close() override { state_->close(); }
  void announce(AccessEvent event, int child) override { state_->access.announce(event, child); }

 private:
  std::shared_ptr<PopupState> state_;
};

}  // namespace

std::unique_ptr<PopupWindow> createPopupWindow(const PopupParams& params,
                                               PopupCallbacks callbacks) {
  const Rect& b = params.bounds;
  if (b.width() < 0 || b.height() < 0)
    throw HostError("a pop-up window cannot have a negative size");
  registerClass();
  auto state = std::make_shared<PopupState>(params, std::move(callbacks));
  HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP | WS_CLIPCHILDREN, b.left,
                              b.top, b.width(), b.height(), reinterpret_cast<HWND>(params.owner),
                              nullptr, Module::instance(), nullptr);
  if (!hwnd) throw HostError("the system refused the pop-up window");
  state->hwnd = hwnd;
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.get()));
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PopupState::windowProc));
  state->parts.attach(hwnd);
  if (state->callbacks.accessible) {
    PopupState* raw = state.get();  // the server is the state's own: it goes first
    state->access.attach(hwnd, [raw] { return raw->callbacks.accessible(); });
    state->access.setScale(state->surface.twipsPerPixelX(), state->surface.twipsPerPixelY());
  }
  return std::make_unique<Win32Popup>(std::move(state));
}

}  // namespace nx::win32
