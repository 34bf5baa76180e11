// The library's timer module: one running system timer per thread, a slot for the timer object
// it serves, and a callback that reaches only that object.
#include <gtest/gtest.h>

#include <memory>

#include "platform/sim/sim_services.h"
#include "slider/tracker/tracker_timer.h"

namespace nx {
namespace {

class TimerModule : public ::testing::Test {
 protected:
  void TearDown() override { trackertimer::stopTimer(); }
  sim::SimServices services;
};

TEST_F(TimerModule, OneTimerRunsAndOnlyItsObjectIsPulsed) {
  int a = 0, b = 0;
  auto ta = std::make_shared<TrackerTimer>(100, [&] { ++a; });
  auto tb = std::make_shared<TrackerTimer>(30, [&] { ++b; });
  EXPECT_TRUE(trackertimer::startTimer(services.timers(), ta));
  EXPECT_TRUE(trackertimer::timerRunning());
  EXPECT_NE(ta->timerId(), 0u);
  // A second start while one runs changes nothing.
  EXPECT_FALSE(trackertimer::startTimer(services.timers(), tb));
  EXPECT_EQ(tb->timerId(), 0u);
  EXPECT_EQ(trackertimer::slottedTimer(), ta);
  services.clock().advance(350);
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 0);
  // Another identifier reaches nobody.
  trackertimer::timerProc(ta->timerId() + 1);
  EXPECT_EQ(a, 3);

  trackertimer::stopTimer();
  EXPECT_FALSE(trackertimer::timerRunning());
  EXPECT_EQ(trackertimer::slottedTimer(), nullptr);
  EXPECT_EQ(services.clock().running(), 0u);
  services.clock().advance(500);
  EXPECT_EQ(a, 3);
  EXPECT_TRUE(trackertimer::startTimer(services.timers(), tb));
  services.clock().advance(60);
  EXPECT_EQ(b, 2);
}

TEST_F(TimerModule, ALateCallbackForADroppedObjectDoesNothing) {
  int ticks = 0;
  auto t = std::make_shared<TrackerTimer>(50, [&] { ++ticks; });
  ASSERT_TRUE(trackertimer::startTimer(services.timers(), t));
  const std::uint32_t id = t->timerId();
  t.reset();  // the owner is gone while the system timer still runs
  trackertimer::timerProc(id);
  services.clock().advance(200);
  EXPECT_EQ(ticks, 0);
  trackertimer::stopTimer();
  trackertimer::timerProc(id);  // and after the stop
  EXPECT_EQ(ticks, 0);
}

TEST_F(TimerModule, ATimerThatCannotBeCreatedLeavesNoneRunning) {
  services.clock().setCreationFails(true);
  int ticks = 0;
  auto t = std::make_shared<TrackerTimer>(50, [&] { ++ticks; });
  EXPECT_FALSE(trackertimer::startTimer(services.timers(), t));
  EXPECT_FALSE(trackertimer::timerRunning());
  EXPECT_EQ(t->timerId(), 0u);
  trackertimer::timerProc(0);
  EXPECT_EQ(ticks, 0);
  // The next start, with the platform willing again, runs.
  services.clock().setCreationFails(false);
  EXPECT_TRUE(trackertimer::startTimer(services.timers(), t));
  services.clock().advance(50);
  EXPECT_EQ(ticks, 1);
}

}  // namespace
}  // namespace nx
