// The pop-up window on the real platform: a borderless WS_POPUP tool window owned by the
// control's window, showing its own persistent surface, with a modal message loop of its own.
#pragma once

#include <memory>

#include "core/runtime/popup.h"

namespace nx::win32 {

// Creates the pop-up hidden; raises HostError when the system refuses the window.
std::unique_ptr<PopupWindow> createPopupWindow(const PopupParams& params, PopupCallbacks callbacks);

}  // namespace nx::win32
