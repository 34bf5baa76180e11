// What NxButton tells accessibility clients: a push button named by its caption with its access
// key, pressed, hot and default states, and a "Press" action that does what a click does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_host.h"
#include "press/button/button.h"
#include "tests/support/access_support.h"

namespace nx {
namespace {

using testing::Announcements;
using testing::countOf;

// __NxButton
constexpr int kClick = 1;

sim::SiteOptions buttonSite(std::string name = "Command1") {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = 1500;
  o.height = 450;
  return o;
}

std::vector<int> eventPositions(const sim::SimSite& site) {
  std::vector<int> out;
  for (const sim::Record& r : site.events()) out.push_back(r.position);
  return out;
}

TEST(NxButtonAccess, IsAPushButtonNamedByItsCaptionWithItsAccessKey) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  b.putProperty("Caption", Value{std::string("Save && E&xit")});
  AccessibleNode n = b.accessible();
  EXPECT_EQ(n.role, AccessRole::PushButton);
  EXPECT_EQ(n.name, "Save & Exit");
  EXPECT_EQ(n.keyboardShortcut, "Alt+X");
  EXPECT_TRUE(n.value.empty());
  EXPECT_EQ(n.states, accstate::kFocusable) << testing::states(n);
  EXPECT_EQ(n.actionName, "Press");
  EXPECT_TRUE(n.action);
  EXPECT_TRUE(n.children.empty());

  b.putProperty("Caption", Value{std::string("Fish && Chips")});
  EXPECT_EQ(b.accessible().keyboardShortcut, "");
  b.putProperty("Caption", Value{std::string()});
  EXPECT_EQ(b.accessible().name, "Command1");  // no caption: the host's name
}

TEST(NxButtonAccess, PressActionRaisesWhatAClickRaises) {
  sim::SimHost host;
  auto& clicked = host.create<NxButton>(buttonSite("A"));
  auto& pressed = host.create<NxButton>(buttonSite("B"));
  host.site(clicked).clearLog();
  host.site(pressed).clearLog();
  host.click(clicked);
  const AccessibleNode n = pressed.accessible();
  ASSERT_TRUE(n.action);
  n.action();
  EXPECT_EQ(host.site(pressed).eventCount(kClick), 1);
  EXPECT_EQ(eventPositions(host.site(pressed)), eventPositions(host.site(clicked)));
  // It leaves the button as a click does: not pressed, the pointer still elsewhere.
  EXPECT_FALSE(pressed.state().pressed);
  EXPECT_FALSE(pressed.accessible().states & accstate::kPressed);
  EXPECT_EQ(host.capture(), 0);
}

TEST(NxButtonAccess, ADisabledButtonHasNoActionAndIsUnavailable) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  const AccessibleNode before = b.accessible();
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  b.putProperty("Enabled", Value{VBool::False});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
  const AccessibleNode n = b.accessible();
  EXPECT_EQ(n.states, accstate::kUnavailable) << testing::states(n);
  EXPECT_TRUE(n.actionName.empty());
  EXPECT_FALSE(n.action);
  // An action taken before the button was disabled raises nothing either, as a click would not.
  host.site(b).clearLog();
  ASSERT_TRUE(before.action);
  before.action();
  EXPECT_EQ(host.site(b).eventCount(kClick), 0);
}

TEST(NxButtonAccess, PressedHotDefaultAndFocusedStatesAreAnnounced) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();

  host.moveMouse(host.screenPoint(b, 3, 3));
  EXPECT_TRUE(b.accessible().states & accstate::kHotTracked) << testing::states(b.accessible());
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
  w.clearAnnouncements();

  host.mouseDown(b, kLeftButton);
  EXPECT_TRUE(b.accessible().states & accstate::kPressed);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::StateChange, 0), 1);
  w.clearAnnouncements();
  host.mouseUp(b, kLeftButton);
  EXPECT_FALSE(b.accessible().states & accstate::kPressed);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::StateChange, 0), 1);
  w.clearAnnouncements();

  host.setDisplayAsDefault(b, true);
  EXPECT_TRUE(b.accessible().states & accstate::kDefault);
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
  w.clearAnnouncements();
  host.setDisplayAsDefault(b, true);  // told again without a change
  EXPECT_TRUE(w.announcements().empty());

  host.focus(&b);
  EXPECT_TRUE(b.accessible().states & accstate::kFocused);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::Focus, 0), 1);
}

TEST(NxButtonAccess, TheKeyboardPressIsAnnouncedAsPressedThenReleased) {
  sim::SimHost host;
  auto& b = host.create<NxButton>(buttonSite());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  std::int16_t key = 32;
  b.KeyDown(key, 0);
  EXPECT_TRUE(b.accessible().states & accstate::kPressed);
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
  w.clearAnnouncements();
  b.KeyUp(key, 0);
  EXPECT_FALSE(b.accessible().states & accstate::kPressed);
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
  EXPECT_EQ(host.site(b).eventCount(kClick), 1);
}

}  // namespace
}  // namespace nx
