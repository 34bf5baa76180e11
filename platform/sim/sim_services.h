// System services of the simulated platform: a fixed system colour scheme, resource pictures and
// cursors that tests register, tooltip windows and shell requests that are recorded, the switch
// that takes the platform gradient fill away, timers on a clock that tests advance, and pop-up
// windows and mouse hooks on a scripted screen.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/runtime/services.h"
#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_screen.h"
#include "platform/sim/sim_timers.h"

namespace nx::sim {

// Everything one tooltip window received, kept after the window is destroyed.
struct TooltipRecord {
  struct Message {
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    TooltipParam lParam;
  };
  struct WindowPos {
    WindowHandle insertAfter = 0;
    std::uint32_t flags = 0;
  };
  TooltipWindowParams params;
  WindowHandle handle = 0;
  bool alive = true;
  std::vector<WindowPos> positions;
  std::vector<Message> messages;
};

class SimServices : public SystemServices {
 public:
  SimServices();

  std::optional<Rgb> translateOleColor(OleColor color) const override;
  FontRef createFont(const FontDesc& desc) override;
  PictureRef loadResourcePicture(std::string_view name) override;
  CursorRef loadResourceCursor(std::string_view name) override;
  // A cursor named "system:hand", the same object on every call.
  CursorRef systemHandCursor() override;
  std::uintptr_t moduleInstance() const override { return 0x10000000u; }
  void initCommonControls() override { ++commonControlsInits_; }
  std::unique_ptr<TooltipWindow> createTooltipWindow(const TooltipWindowParams& params) override;
  std::optional<Rect> clientRect(WindowHandle window) const override;
  // One display of 1024 x 768 pixels with no task bar unless a test sets another.
  std::optional<Rect> workArea(Point) const override { return workArea_; }
  void setWorkArea(std::optional<Rect> area) { workArea_ = area; }
  bool shellOpen(std::string_view target, WindowHandle owner = 0,
                 std::string_view workingFolder = {}) override;
  struct ShellRequest {
    std::string target;
    WindowHandle owner = 0;
    std::string workingFolder;
  };
  const std::vector<ShellRequest>& shellRequestDetails() const { return shellDetails_; }
  TimerService& timers() override { return clock_; }
  std::unique_ptr<PopupWindow> createPopupWindow(const PopupParams& params,
                                                 PopupCallbacks callbacks) override;
  std::unique_ptr<MouseHook> installMouseHook(MouseHookCallback callback) override;
  // Contexts of the handles registered below; nullptr for any other handle.
  std::unique_ptr<DeviceContext> deviceContextFor(std::intptr_t handle) override;

  // Simulation controls.
  SimClock& clock() { return clock_; }
  SimScreen& screen() { return screen_; }
  const std::shared_ptr<Switches>& switches() const { return switches_; }
  void setGradientFillAvailable(bool available) { switches_->gradientFillAvailable = available; }
  void setSystemColor(std::uint8_t index, Rgb color) { sysColors_[index] = color; }
  void addResourcePicture(const std::string& name, PictureRef picture);
  void addResourceCursor(const std::string& name, CursorRef cursor);
  void setTooltipCreationFails(bool fails) { tooltipFails_ = fails; }
  void setShellOpenResult(bool result) { shellResult_ = result; }
  // Lets `handle` stand for `dc` (which must outlive the registration) as a client's device
  // context handle; nullptr removes it.
  void registerDeviceContext(std::intptr_t handle, DeviceContext* dc);
  void setClientRectLookup(std::function<std::optional<Rect>(WindowHandle)> lookup) {
    clientRectLookup_ = std::move(lookup);
  }

  int commonControlsInits() const { return commonControlsInits_; }
  int pictureLoads() const { return pictureLoads_; }
  const std::vector<std::shared_ptr<TooltipRecord>>& tooltips() const { return tooltips_; }
  const std::vector<std::string>& shellRequests() const { return shellRequests_; }

 private:
  std::shared_ptr<Switches> switches_ = std::make_shared<Switches>();
  SimClock clock_;
  SimScreen screen_{switches_};
  std::map<std::uint8_t, Rgb> sysColors_;
  std::map<std::string, PictureRef> pictures_;
  std::map<std::string, CursorRef> cursors_;
  CursorRef hand_;
  std::function<std::optional<Rect>(WindowHandle)> clientRectLookup_;
  std::optional<Rect> workArea_ = Rect{0, 0, 1024, 768};
  std::map<std::intptr_t, DeviceContext*> deviceContexts_;
  std::vector<std::shared_ptr<TooltipRecord>> tooltips_;
  std::vector<std::string> shellRequests_;
  std::vector<ShellRequest> shellDetails_;
  WindowHandle nextTooltip_ = 0x9000;
  int commonControlsInits_ = 0;
  int pictureLoads_ = 0;
  bool tooltipFails_ = false;
  bool shellResult_ = true;
};

}  // namespace nx::sim
