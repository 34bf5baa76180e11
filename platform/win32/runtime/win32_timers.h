// System timers without a window: SetTimer with a callback on the calling thread, ticks
// delivered by its message loop. Each thread keeps a map from timer identifier to tick.
#pragma once

#include <functional>
#include <memory>

#include "core/runtime/timer.h"

namespace nx::win32 {

class Win32Timers final : public TimerService {
 public:
  std::unique_ptr<Timer> start(std::uint32_t intervalMs, std::function<void()> tick) override;
  // Runs after every tick of the timers this service started, while this service exists (a
  // control shows what its tick drew).
  void setAfterTick(std::function<void()> after);
  // Timers running on the calling thread.
  static std::size_t runningOnThisThread();

 private:
  std::shared_ptr<std::function<void()>> afterTick_;
};

}  // namespace nx::win32
