#include "slider/tracker/tracker_timer.h"

namespace nx::trackertimer {

namespace {

struct ThreadTimer {
  std::weak_ptr<TrackerTimer> slot;
  bool slotted = false;
  bool running = false;
  std::unique_ptr<Timer> system;
};

ThreadTimer& state() {
  thread_local ThreadTimer t;
  return t;
}

}  // namespace

bool startTimer(TimerService& service, const std::shared_ptr<TrackerTimer>& timer) {
  ThreadTimer& t = state();
  if (t.running || !timer) return false;
  t.system.reset();
  t.slot = timer;
  t.slotted = true;
  // The callback learns its timer's identifier once the platform has given it.
  auto id = std::make_shared<std::uint32_t>(0);
  t.system = service.start(timer->interval(), [id] { timerProc(*id); });
  *id = t.system ? t.system->id() : 0;
  timer->setTimerId(*id);
  t.running = *id != 0;
  if (!t.running) t.system.reset();
  return t.running;
}

void stopTimer() {
  ThreadTimer& t = state();
  if (!t.slotted) return;
  if (t.system) t.system->stop();
  t.system.reset();
  t.slot.reset();
  t.slotted = false;
  t.running = false;
}

bool timerRunning() {
  return state().running;
}

std::shared_ptr<TrackerTimer> slottedTimer() {
  return state().slot.lock();
}

void timerProc(std::uint32_t eventId) {
  std::shared_ptr<TrackerTimer> timer = state().slot.lock();
  if (!timer) return;
  if (eventId != 0 && eventId == timer->timerId()) timer->pulse();
}

}  // namespace nx::trackertimer
