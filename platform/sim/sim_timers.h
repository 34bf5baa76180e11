// Timers of the simulated platform on a clock that only moves when a test advances it, so that
// ticks come in a fixed order: by due time, and by start order among timers due together.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/runtime/timer.h"

namespace nx::sim {

class SimClock final : public TimerService {
 public:
  SimClock();

  std::unique_ptr<Timer> start(std::uint32_t intervalMs, std::function<void()> tick) override;

  // Moves the clock forward by `ms`, firing every tick that falls due on the way at its own
  // time (a timer due several times fires several times). Returns the number of ticks fired.
  int advance(std::uint32_t ms);
  // Milliseconds since the clock was made.
  std::uint64_t now() const;
  // Timers running now.
  std::size_t running() const;
  // Ticks fired since the clock was made, and exceptions that left them.
  int ticks() const;
  int tickErrors() const;
  // Makes start() fail as when the platform has no timer left.
  void setCreationFails(bool fails);

  struct State;  // shared with the timers, which may outlive the clock

 private:
  std::shared_ptr<State> state_;
};

}  // namespace nx::sim
