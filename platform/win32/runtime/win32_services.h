// System services of the real platform.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/services.h"
#include "platform/win32/runtime/win32_timers.h"

namespace nx::win32 {

class Win32Cursor final : public Cursor {
 public:
  explicit Win32Cursor(HCURSOR cursor) : cursor_(cursor) {}
  HCURSOR handle() const { return cursor_; }

 private:
  HCURSOR cursor_;  // a shared resource cursor: not destroyed
};

class Win32Services final : public SystemServices {
 public:
  std::optional<Rgb> translateOleColor(OleColor color) const override;
  FontRef createFont(const FontDesc& desc) override;
  PictureRef loadResourcePicture(std::string_view name) override;
  CursorRef loadResourceCursor(std::string_view name) override;
  CursorRef systemHandCursor() override;
  std::uintptr_t moduleInstance() const override;
  void initCommonControls() override;
  std::unique_ptr<TooltipWindow> createTooltipWindow(const TooltipWindowParams& desc) override;
  std::optional<Rect> clientRect(WindowHandle window) const override;
  std::optional<Rect> workArea(Point screen) const override;
  bool shellOpen(std::string_view target, WindowHandle owner = 0,
                 std::string_view workingFolder = {}) override;
  TimerService& timers() override { return timers_; }
  Win32Timers& win32Timers() { return timers_; }
  std::unique_ptr<PopupWindow> createPopupWindow(const PopupParams& params,
                                                 PopupCallbacks callbacks) override;
  std::unique_ptr<MouseHook> installMouseHook(MouseHookCallback callback) override;
  // A client's HDC (a 32-bit handle value, sign-extended as the platform does it).
  std::unique_ptr<DeviceContext> deviceContextFor(std::intptr_t handle) override;

 private:
  PictureRef loadPictureResource(const std::wstring& id);

  Win32Timers timers_;  // its state is per thread
};

// The names a picture resource is looked up under on this display: the larger drawing made for
// its resolution first ("FLG_AT_150" at 144 DPI, "_125" from 120 DPI, "_200" from 192 DPI),
// then the name itself.
std::vector<std::wstring> resourceCandidates(std::string_view name);

}  // namespace nx::win32
