// Per-thread system timers with a callback and no window. Ticks arrive on the thread that
// started the timer, through its message loop (on the simulated platform, when a test advances
// the clock).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace nx {

// Intervals below this many milliseconds run at this interval, as the platform does.
inline constexpr std::uint32_t kMinimumTimerInterval = 10;

// A running timer. Destroying the object stops it.
class Timer {
 public:
  virtual ~Timer() = default;

  // Stops the timer: no tick arrives afterwards, not even one that was already due. Safe to
  // call more than once, and from any tick (its own included).
  virtual void stop() = 0;
  virtual bool running() const = 0;
  // The platform's identifier of the timer; never 0.
  virtual std::uint32_t id() const = 0;
  // The interval in milliseconds as the timer runs it.
  virtual std::uint32_t interval() const = 0;
};

class TimerService {
 public:
  virtual ~TimerService() = default;

  // Starts a timer that calls `tick` every `intervalMs` milliseconds on this thread. Returns
  // nullptr when the platform cannot create a timer or `tick` is empty. A tick may stop its own
  // timer or any other and start new ones; a timer started in a tick first fires one interval
  // later. An exception that leaves a tick is caught at the platform boundary and dropped; the
  // timer goes on running.
  virtual std::unique_ptr<Timer> start(std::uint32_t intervalMs, std::function<void()> tick) = 0;
};

}  // namespace nx
