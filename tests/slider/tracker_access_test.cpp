// What NxTracker tells accessibility clients: a read-only graph named by its caption whose value
// is the last Value put, with no action and no focus, and what puts announce.
#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_host.h"
#include "slider/tracker/tracker.h"
#include "tests/support/access_support.h"

namespace nx {
namespace {

using testing::Announcements;

sim::SiteOptions runSite(std::string name = "Tracker1") {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.userMode = true;
  o.width = 1500;
  o.height = 900;
  return o;
}

TEST(TrackerAccess, IsAReadOnlyGraphNamedByItsCaption) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite());
  AccessibleNode n = t.accessible();
  EXPECT_EQ(n.role, AccessRole::Graph);
  EXPECT_EQ(n.name, "Tracker1");  // the caption a new tracker takes from the host
  EXPECT_EQ(n.value, "0");
  EXPECT_EQ(n.states, accstate::kReadOnly) << testing::states(n);  // never focusable
  EXPECT_TRUE(n.actionName.empty());
  EXPECT_FALSE(n.action);
  EXPECT_TRUE(n.children.empty());
  EXPECT_EQ(n.bounds, (PartRect{0, 0, 1500, 900}));

  t.putProperty("Caption", Value{std::string("  CPU & load  ")});
  EXPECT_EQ(t.accessible().name, "CPU & load");
  t.putProperty("Caption", Value{std::string()});
  EXPECT_EQ(t.accessible().name, "Tracker1");      // an empty caption: the host's name
  EXPECT_EQ(t.accessible().keyboardShortcut, "");  // a graph has no access key

  host.focus(&t);
  EXPECT_FALSE(t.accessible().states & accstate::kFocusable);
}

TEST(TrackerAccess, AcceptedValuesAreAnnouncedOnceAndRefusedOnesNot) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite());
  sim::SimWindow& w = host.window(t);
  w.clearAnnouncements();
  t.putProperty("Value", Value{std::int32_t{40}});
  EXPECT_EQ(t.accessible().value, "40");
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::ValueChange, 0}}));

  w.clearAnnouncements();
  t.putProperty("Value", Value{std::int32_t{40}});   // another sample of the same value
  t.putProperty("Value", Value{std::int32_t{101}});  // outside the scale: ignored
  t.putProperty("Value", Value{std::int32_t{-1}});
  EXPECT_EQ(t.samples().added(), 2u);
  EXPECT_EQ(t.accessible().value, "40");
  EXPECT_TRUE(w.announcements().empty());

  t.putProperty("Max", Value{std::int32_t{500}});
  t.putProperty("Value", Value{std::int32_t{450}});
  EXPECT_EQ(t.accessible().value, "450");
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::ValueChange, 0}}));

  w.clearAnnouncements();
  t.putProperty("Caption", Value{std::string("Load")});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::NameChange, 0}}));
}

TEST(TrackerAccess, SamplingByTheTimerChangesNothingAClientReads) {
  sim::SimHost host;
  sim::SimPropertyBag form;
  form.set("interval", Value{std::int16_t{100}});
  form.set("enabled", Value{VBool::True});
  NxTracker& t = host.create<NxTracker>(runSite(), &form);
  ASSERT_TRUE(t.ownsRunningTimer());
  sim::SimWindow& w = host.window(t);
  t.putProperty("Value", Value{std::int32_t{30}});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::ValueChange, 0}}));
  w.clearAnnouncements();
  host.services().clock().advance(350);
  EXPECT_EQ(t.samples().added(), 3u);
  EXPECT_TRUE(w.announcements().empty());
  EXPECT_EQ(t.accessible().value, "30");

  // Stopping the sampling in run mode disables the window.
  t.putProperty("Enabled", Value{VBool::False});
  EXPECT_TRUE(t.accessible().states & accstate::kUnavailable);
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
}

}  // namespace
}  // namespace nx
