#include "platform/sim/sim_timers.h"

#include <algorithm>
#include <vector>

namespace nx::sim {

struct SimClock::State {
  struct Slot {
    std::uint32_t id = 0;
    std::uint32_t interval = 0;
    std::uint64_t due = 0;
    std::function<void()> tick;
    bool running = true;
  };

  std::uint64_t now = 0;
  std::uint32_t nextId = 1;
  // Running timers in start order.
  std::vector<std::shared_ptr<Slot>> slots;
  int ticks = 0;
  int errors = 0;
  bool creationFails = false;

  void stop(const std::shared_ptr<Slot>& slot) {
    if (!slot->running) return;
    slot->running = false;
    slots.erase(std::remove(slots.begin(), slots.end(), slot), slots.end());
  }

  // The running timer due first at or before `limit`; the earliest started one on a tie.
  std::shared_ptr<Slot> nextDue(std::uint64_t limit) const {
    std::shared_ptr<Slot> best;
    for (const auto& slot : slots)
      if (slot->due <= limit && (!best || slot->due < best->due)) best = slot;
    return best;
  }
};

namespace {

class SimTimer final : public Timer {
 public:
  SimTimer(std::shared_ptr<SimClock::State> state, std::shared_ptr<SimClock::State::Slot> slot)
      : state_(std::move(state)), slot_(std::move(slot)) {}
  ~SimTimer() override { stop(); }
  SimTimer(const SimTimer&) = delete;
  SimTimer& operator=(const SimTimer&) = delete;

  void stop() override { state_->stop(slot_); }
  bool running() const override { return slot_->running; }
  std::uint32_t id() const override { return slot_->id; }
  std::uint32_t interval() const override { return slot_->interval; }

 private:
  std::shared_ptr<SimClock::State> state_;
  std::shared_ptr<SimClock::State::Slot> slot_;
};

}  // namespace

SimClock::SimClock() : state_(std::make_shared<State>()) {}

std::unique_ptr<Timer> SimClock::start(std::uint32_t intervalMs, std::function<void()> tick) {
  if (!tick || state_->creationFails) return nullptr;
  auto slot = std::make_shared<State::Slot>();
  slot->id = state_->nextId++;
  slot->interval = std::max(intervalMs, kMinimumTimerInterval);
  slot->due = state_->now + slot->interval;
  slot->tick = std::move(tick);
  state_->slots.push_back(slot);
  return std::make_unique<SimTimer>(state_, std::move(slot));
}

int SimClock::advance(std::uint32_t ms) {
  const std::shared_ptr<State> state = state_;
  const std::uint64_t target = state->now + ms;
  int fired = 0;
  while (std::shared_ptr<State::Slot> slot = state->nextDue(target)) {
    state->now = slot->due;
    slot->due += slot->interval;
    ++fired;
    ++state->ticks;
    try {
      slot->tick();  // the slot stays alive while its tick runs, even if the tick stops it
    } catch (...) {
      ++state->errors;
    }
  }
  state->now = target;
  return fired;
}

std::uint64_t SimClock::now() const {
  return state_->now;
}
std::size_t SimClock::running() const {
  return state_->slots.size();
}
int SimClock::ticks() const {
  return state_->ticks;
}
int SimClock::tickErrors() const {
  return state_->errors;
}
void SimClock::setCreationFails(bool fails) {
  state_->creationFails = fails;
}

}  // namespace nx::sim
