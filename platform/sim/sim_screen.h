// The simulated screen: pop-up windows, the thread's mouse hooks and scripted input. A modal
// run does not block: it runs the steps a test queued, one per turn of its loop, until the
// pop-up closes, goes away or a quit request arrives. Mouse messages sent at a screen point go
// to the hooks first (newest first); a message no hook swallowed reaches the visible pop-up
// under the point, and a button press anywhere else takes the activation from the active one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/runtime/mouse_hook.h"
#include "core/runtime/popup.h"
#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_parts.h"
#include "platform/sim/sim_surface.h"

namespace nx::sim {

// Everything about one pop-up window, kept after the window is destroyed.
struct PopupRecord {
  PopupParams params;
  WindowHandle handle = 0;
  bool alive = true;
  bool visible = false;
  bool active = false;
  bool modal = false;
  bool closeRequested = false;
  int modalRuns = 0;
  int refreshes = 0;
  int deactivations = 0;
  int callbackErrors = 0;
  std::vector<ModalEnd> ends;  // how each modal run ended
  PopupCallbacks callbacks;
  std::unique_ptr<SimSurface> surface;
  std::unique_ptr<SimPartFactory> parts;
  std::exception_ptr error;  // left a callback during the modal run in progress
  // Accessibility announcements of the pop-up: event and child, in order.
  std::vector<std::pair<AccessEvent, int>> announced;
};

class SimScreen {
 public:
  explicit SimScreen(std::shared_ptr<const Switches> switches);

  // Twips per pixel of pop-up surfaces (15 unless set).
  void setTwipsPerPixel(double x, double y);
  void setPopupCreationFails(bool fails);
  void setHookInstallFails(bool fails);

  std::unique_ptr<PopupWindow> createPopup(const PopupParams& params, PopupCallbacks callbacks);
  std::unique_ptr<MouseHook> installHook(MouseHookCallback callback);

  // A step for the next modal run to take (runs in the order queued).
  void queueModalStep(std::function<void()> step);
  std::size_t pendingModalSteps() const;

  // Sends a mouse message at a screen point for `window` (the pop-up under the point when there
  // is one). `hitTest` defaults to the client area (1) for client messages and the caption (2)
  // for frame messages. Returns whether a hook swallowed it.
  bool sendMouse(std::uint32_t message, Point screen, WindowHandle window = 0,
                 std::optional<std::uint32_t> hitTest = std::nullopt);
  // Left button down and up at a point.
  void click(Point screen);
  // A key for the active pop-up.
  void sendKey(std::uint16_t virtualKey);
  // Asks the application to quit: a modal run ends with Quit and leaves the request pending.
  void postQuit(int exitCode);
  // The pending quit request, taken away.
  std::optional<int> takeQuit();

  const std::vector<std::shared_ptr<PopupRecord>>& popups() const;
  // The record of a pop-up window.
  std::shared_ptr<PopupRecord> popup(WindowHandle handle) const;
  std::size_t hooksInstalled() const;
  int hookInstalls() const;
  int hookErrors() const;

  struct State;  // shared with the windows and hooks, which may outlive the screen

 private:
  std::shared_ptr<State> state_;
};

}  // namespace nx::sim
