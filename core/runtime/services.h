// System services the shared control support calls.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "core/runtime/color.h"
#include "core/runtime/device_context.h"
#include "core/runtime/font.h"
#include "core/runtime/geometry.h"
#include "core/runtime/mouse_hook.h"
#include "core/runtime/picture.h"
#include "core/runtime/popup.h"
#include "core/runtime/timer.h"
#include "core/runtime/tooltip_types.h"

namespace nx {

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  // The platform's colour translation (system colours to RGB); nullopt when it cannot
  // translate the value.
  virtual std::optional<Rgb> translateOleColor(OleColor color) const = 0;

  virtual FontRef createFont(const FontDesc& desc) = 0;
  // Pictures and cursors from the library's own resources; nullptr when there is none.
  virtual PictureRef loadResourcePicture(std::string_view name) = 0;
  virtual CursorRef loadResourceCursor(std::string_view name) = 0;
  // The system's hand cursor (links); nullptr when the platform has none.
  virtual CursorRef systemHandCursor() = 0;

  virtual std::uintptr_t moduleInstance() const = 0;
  virtual void initCommonControls() = 0;
  // Creates a tooltip window; raises HostError when the platform refuses.
  virtual std::unique_ptr<TooltipWindow> createTooltipWindow(const TooltipWindowParams& params) = 0;
  // Client rectangle of a window in its own pixels; nullopt for an unknown window.
  virtual std::optional<Rect> clientRect(WindowHandle window) const = 0;
  // The work area (the screen less task bars) of the display nearest to a point on the screen,
  // in screen pixels; nullopt when the platform cannot tell.
  virtual std::optional<Rect> workArea(Point screen) const {
    static_cast<void>(screen);
    return std::nullopt;
  }

  // Opens a document or address with the shell; returns whether the shell accepted it.
  // `owner` is the window the shell's messages belong to (0: none), `workingFolder` the folder
  // the opened program starts in (empty: the shell's choice).
  virtual bool shellOpen(std::string_view target, WindowHandle owner = 0,
                         std::string_view workingFolder = {}) = 0;

  // System timers of the calling thread.
  virtual TimerService& timers() = 0;
  // Creates a hidden pop-up window; raises HostError when the platform refuses.
  virtual std::unique_ptr<PopupWindow> createPopupWindow(const PopupParams& params,
                                                         PopupCallbacks callbacks) = 0;
  // Installs a mouse hook on the calling thread; raises HostError when the platform refuses.
  virtual std::unique_ptr<MouseHook> installMouseHook(MouseHookCallback callback) = 0;
  // A drawing context over a device context handle that a client passed in (an HDC on
  // Windows). It draws on that device context without owning it; nullptr when the handle names
  // no device context.
  virtual std::unique_ptr<DeviceContext> deviceContextFor(std::intptr_t handle) {
    static_cast<void>(handle);
    return nullptr;
  }
};

}  // namespace nx
