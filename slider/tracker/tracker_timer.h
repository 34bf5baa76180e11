// The tracker library's timer: one system timer per thread, shared by every tracker on it. A
// tracker owns a TrackerTimer (its interval, the identifier of the system timer it got, and the
// Timer event it pulses); the module keeps the one slot of the thread, starts a system timer
// for the slotted object and routes the system timer's callback to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "core/runtime/timer.h"

namespace nx {

class TrackerTimer {
 public:
  TrackerTimer(std::uint32_t intervalMs, std::function<void()> onTimer)
      : interval_(intervalMs), onTimer_(std::move(onTimer)) {}

  std::uint32_t interval() const { return interval_; }
  std::uint32_t timerId() const { return timerId_; }
  void setTimerId(std::uint32_t id) { timerId_ = id; }

  // Raises the Timer event.
  void pulse() {
    if (onTimer_) onTimer_();
  }

 private:
  std::uint32_t interval_;
  std::uint32_t timerId_ = 0;
  std::function<void()> onTimer_;
};

namespace trackertimer {

// When no timer runs on this thread: slots `timer`, starts a system timer with its interval and
// stores the system timer's identifier in it. Returns whether `timer` now runs; false, and
// nothing changes, when a timer already runs. A system timer that cannot be created leaves
// `timer` slotted and no timer running.
bool startTimer(TimerService& service, const std::shared_ptr<TrackerTimer>& timer);
// Stops the running system timer, whoever's it is, and empties the slot.
void stopTimer();
bool timerRunning();
// The slotted timer object; nullptr when the slot is empty or its owner dropped it.
std::shared_ptr<TrackerTimer> slottedTimer();
// The system timer's callback: pulses the slotted timer when `eventId` is its identifier.
// Does nothing when the slot is empty or its owner is gone.
void timerProc(std::uint32_t eventId);

}  // namespace trackertimer

}  // namespace nx
