#include "platform/win32/runtime/win32_timers.h"

#include <windows.h>

#include <algorithm>
#include <map>

namespace nx::win32 {

namespace {

struct Slot {
  UINT_PTR id = 0;
  std::uint32_t interval = 0;
  std::function<void()> tick;
  bool running = true;
};

// The timers of one thread. Timer handles share it, so a handle destroyed after the thread's
// own storage still finds it.
struct ThreadTimers {
  std::map<UINT_PTR, std::shared_ptr<Slot>> slots;

  void stop(const std::shared_ptr<Slot>& slot) {
    if (!slot->running) return;
    slot->running = false;
    KillTimer(nullptr, slot->id);
    slots.erase(slot->id);
  }
};

const std::shared_ptr<ThreadTimers>& threadTimers() {
  thread_local const std::shared_ptr<ThreadTimers> timers = std::make_shared<ThreadTimers>();
  return timers;
}

void CALLBACK timerProc(HWND, UINT, UINT_PTR id, DWORD) {
  const std::shared_ptr<ThreadTimers> timers = threadTimers();
  const auto it = timers->slots.find(id);
  if (it == timers->slots.end()) return;          // stopped while its message waited
  const std::shared_ptr<Slot> slot = it->second;  // alive while the tick runs
  try {
    slot->tick();
  } catch (...) {
    // Nothing may unwind through the system's message dispatch.
  }
}

class Win32Timer final : public Timer {
 public:
  Win32Timer(std::shared_ptr<ThreadTimers> timers, std::shared_ptr<Slot> slot)
      : timers_(std::move(timers)), slot_(std::move(slot)) {}
  ~Win32Timer() override { stop(); }
  Win32Timer(const Win32Timer&) = delete;
  Win32Timer& operator=(const Win32Timer&) = delete;

  void stop() override { timers_->stop(slot_); }
  bool running() const override { return slot_->running; }
  std::uint32_t id() const override { return static_cast<std::uint32_t>(slot_->id); }
  std::uint32_t interval() const override { return slot_->interval; }

 private:
  std::shared_ptr<ThreadTimers> timers_;
  std::shared_ptr<Slot> slot_;
};

}  // namespace

void Win32Timers::setAfterTick(std::function<void()> after) {
  afterTick_ = after ? std::make_shared<std::function<void()>>(std::move(after)) : nullptr;
}

std::unique_ptr<Timer> Win32Timers::start(std::uint32_t intervalMs, std::function<void()> tick) {
  if (!tick) return nullptr;
  const std::uint32_t interval = std::max(intervalMs, kMinimumTimerInterval);
  const UINT_PTR id = SetTimer(nullptr, 0, interval, &timerProc);
  if (id == 0) return nullptr;
  auto slot = std::make_shared<Slot>();
  slot->id = id;
  slot->interval = interval;
  if (afterTick_) {
    slot->tick = [tick = std::move(tick), after = std::weak_ptr(afterTick_)] {
      tick();
      if (const auto a = after.lock()) (*a)();
    };
  } else {
    slot->tick = std::move(tick);
  }
  const std::shared_ptr<ThreadTimers>& timers = threadTimers();
  timers->slots[id] = slot;
  return std::make_unique<Win32Timer>(timers, std::move(slot));
}

std::size_t Win32Timers::runningOnThisThread() {
  return threadTimers()->slots.size();
}

}  // namespace nx::win32
