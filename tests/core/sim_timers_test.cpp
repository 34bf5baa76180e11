// Timers of the simulated platform: tick order, stopping and starting from inside ticks, and
// the handles' lifetimes.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/sim/sim_services.h"

namespace {

using nx::sim::SimServices;

TEST(SimTimers, TicksComeInDueOrderAndStartOrderOnATie) {
  SimServices services;
  auto& clock = services.clock();
  std::vector<std::string> log;
  auto a = services.timers().start(30, [&] { log.push_back("a@" + std::to_string(clock.now())); });
  auto b = services.timers().start(20, [&] { log.push_back("b@" + std::to_string(clock.now())); });
  ASSERT_TRUE(a && b);
  EXPECT_NE(a->id(), 0u);
  EXPECT_NE(a->id(), b->id());
  EXPECT_EQ(clock.running(), 2u);

  EXPECT_EQ(clock.advance(19), 0);
  EXPECT_EQ(clock.advance(41), 5);  // up to 60: b@20, a@30, b@40, then a and b due at 60
  EXPECT_EQ(log, (std::vector<std::string>{"b@20", "a@30", "b@40", "a@60", "b@60"}));
  EXPECT_EQ(clock.now(), 60u);
  EXPECT_EQ(clock.ticks(), 5);
}

TEST(SimTimers, ShortIntervalsRunAtTheMinimumAndBadRequestsGiveNoTimer) {
  SimServices services;
  int ticks = 0;
  auto t = services.timers().start(0, [&] { ++ticks; });
  ASSERT_TRUE(t);
  EXPECT_EQ(t->interval(), nx::kMinimumTimerInterval);
  services.clock().advance(100);
  EXPECT_EQ(ticks, 10);

  EXPECT_EQ(services.timers().start(50, nullptr), nullptr);
  services.clock().setCreationFails(true);
  EXPECT_EQ(services.timers().start(50, [] {}), nullptr);
  EXPECT_EQ(services.clock().running(), 1u);
}

TEST(SimTimers, StoppingAndDroppingEndTheTicks) {
  SimServices services;
  int ticks = 0;
  auto t = services.timers().start(10, [&] { ++ticks; });
  services.clock().advance(25);
  EXPECT_EQ(ticks, 2);
  t->stop();
  t->stop();  // twice is harmless
  EXPECT_FALSE(t->running());
  services.clock().advance(100);
  EXPECT_EQ(ticks, 2);

  {
    auto dropped = services.timers().start(10, [&] { ++ticks; });
    EXPECT_EQ(services.clock().running(), 1u);
  }
  EXPECT_EQ(services.clock().running(), 0u);
  services.clock().advance(100);
  EXPECT_EQ(ticks, 2);
}

TEST(SimTimers, TicksStopAndStartTimers) {
  SimServices services;
  auto& timers = services.timers();
  std::vector<std::string> log;
  std::unique_ptr<nx::Timer> self, other, late;

  // `self` stops itself on its second tick; on its first it stops `other`, which was due at the
  // same moment but started later, so `other` never ticks; and it starts `late`.
  self = timers.start(10, [&] {
    log.push_back("self@" + std::to_string(services.clock().now()));
    if (other) other->stop();
    if (!late)
      late = timers.start(15,
                          [&] { log.push_back("late@" + std::to_string(services.clock().now())); });
    else
      self->stop();
  });
  other = timers.start(10, [&] { log.push_back("other"); });
  services.clock().advance(40);
  EXPECT_EQ(log, (std::vector<std::string>{"self@10", "self@20", "late@25", "late@40"}));
  EXPECT_FALSE(self->running());
  EXPECT_FALSE(other->running());
  EXPECT_EQ(services.clock().running(), 1u);
}

TEST(SimTimers, ATickMayDropItsOwnHandle) {
  SimServices services;
  int ticks = 0;
  std::unique_ptr<nx::Timer> t;
  t = services.timers().start(10, [&] {
    ++ticks;
    t.reset();  // destroys the handle whose tick is running
  });
  services.clock().advance(50);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(services.clock().running(), 0u);
}

TEST(SimTimers, AThrowingTickIsCountedAndKeepsRunning) {
  SimServices services;
  int ticks = 0;
  auto t = services.timers().start(10, [&] {
    ++ticks;
    throw std::runtime_error("tick failed");
  });
  EXPECT_EQ(services.clock().advance(30), 3);
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(services.clock().tickErrors(), 3);
  EXPECT_TRUE(t->running());
}

TEST(SimTimers, AHandleMayOutliveTheServices) {
  std::unique_ptr<nx::Timer> t;
  {
    SimServices services;
    t = services.timers().start(10, [] {});
  }
  EXPECT_TRUE(t->running());
  t.reset();  // must not touch freed state
}

}  // namespace
