// One control shown in a plain Win32 window, without COM: the host owns the control's child
// window and its property store, gives the control a bare site (user mode, no extender, no
// events) and shows what the control drew after each call made through it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "core/control/control_base.h"
#include "core/persist/stream_codec.h"
#include "platform/win32/runtime/win32_services.h"
#include "platform/win32/runtime/win32_window.h"

namespace nx::win32 {

class StaticControlHost final : private ControlSite, private WindowOwner {
 public:
  using Factory = std::function<std::unique_ptr<ControlBase>(ControlSite&)>;

  StaticControlHost();
  ~StaticControlHost() override;
  StaticControlHost(const StaticControlHost&) = delete;
  StaticControlHost& operator=(const StaticControlHost&) = delete;

  // The values the control is loaded from. Keys match without regard to letter case, so a value
  // kept under "barcolor" is what a read of "BarColor" finds.
  persist::StreamBag& store() { return store_; }

  // Creates the control with `make`, its window in `parent` at `position` (parent pixels), then
  // loads it: from the store when it holds any value, else as a new control; then the first
  // Resize. False (and no control) when the window cannot be created or loading fails.
  bool place(const Factory& make, HWND parent, const RECT& position);
  template <class C>
  C* place(HWND parent, const RECT& position) {
    const bool ok =
        place([](ControlSite& site) { return std::make_unique<C>(site); }, parent, position);
    return ok ? static_cast<C*>(control_.get()) : nullptr;
  }

  // Runs `call` on the control and shows what it drew. An error of the control is kept inside;
  // false when there is no control or the call failed.
  bool call(const std::function<void(ControlBase&)>& call);
  // Moves and sizes the window (parent pixels); the control gets its Resize.
  bool setPosition(const RECT& position);

  ControlBase* control() const { return control_.get(); }
  HWND hwnd() const { return window_.hwnd(); }
  // Drops the control (Terminate) and destroys its window.
  void destroy();

 private:
  class BareAmbient final : public Ambient {
   public:
    std::optional<FontRef> font() const override { return std::nullopt; }
    std::optional<bool> userMode() const override { return true; }
    std::optional<bool> displayAsDefault() const override { return false; }
  };

  // ControlSite
  ControlWindow& window() override { return window_; }
  SystemServices& services() override { return services_; }
  const Extender* extender() const override { return nullptr; }
  Extender* extender() override { return nullptr; }
  const Ambient* ambient() const override { return &ambient_; }
  void raiseEvent(int, std::span<Value>) override {}
  void propertyChanged(std::string_view) override {}

  // WindowOwner: the control is shown only; input is not passed on.
  void windowInput(UINT, WPARAM, LPARAM) override {}
  void windowFocus(bool) override {}
  LRESULT windowDialogCode(const MSG*) override { return 0; }
  void windowResizedItself(int, int) override {}

  Win32Services services_;
  BareAmbient ambient_;
  persist::StreamBag store_;
  Win32Window window_;
  std::unique_ptr<ControlBase> control_;
};

}  // namespace nx::win32
