// The thread mouse hook: one WH_MOUSE hook per thread, registered while at least one handle
// wants it, that hands each message to the handles' callbacks, newest first.
#pragma once

#include <memory>

#include "core/runtime/mouse_hook.h"

namespace nx::win32 {

// Raises HostError when the system refuses the hook.
std::unique_ptr<MouseHook> installThreadMouseHook(MouseHookCallback callback);

// Whether the calling thread has its system hook registered now.
bool threadMouseHookRegistered();

}  // namespace nx::win32
