// What the widgets tell accessibility clients: roles, names, values, states and default actions
// of the check box, the link, the progress bar, the meter and the frame, and what their changes
// announce.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_host.h"
#include "tests/support/access_support.h"
#include "widgets/checkbox/check_box.h"
#include "widgets/gradframe/grad_frame.h"
#include "widgets/hyperlink/hyper_link.h"
#include "widgets/meter/meter.h"
#include "widgets/progressbar/progress_bar.h"

namespace nx {
namespace {

using testing::Announcements;
using testing::countOf;

sim::SiteOptions named(std::string name, double width = 3000, double height = 300) {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = width;
  o.height = height;
  return o;
}

std::vector<int> eventPositions(const sim::SimSite& site) {
  std::vector<int> out;
  for (const sim::Record& r : site.events()) out.push_back(r.position);
  return out;
}

// ---- check box ----

TEST(WidgetsAccessCheckBox, DescribesItsValueInEachStyle) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(named("Agree"));
  // The check box draws its caption as it is: an "&" is read as it shows.
  cb.setCaption("I agree & sign");
  AccessibleNode n = cb.accessible();
  EXPECT_EQ(n.role, AccessRole::CheckBox);
  EXPECT_EQ(n.name, "I agree & sign");
  EXPECT_EQ(n.keyboardShortcut, "");
  EXPECT_EQ(n.value, "unchecked");
  EXPECT_EQ(n.states, accstate::kFocusable) << testing::states(n);
  EXPECT_EQ(n.actionName, "Check");

  cb.setValue(1);
  n = cb.accessible();
  EXPECT_EQ(n.value, "checked");
  EXPECT_EQ(n.states, accstate::kFocusable | accstate::kChecked) << testing::states(n);
  EXPECT_EQ(n.actionName, "Uncheck");

  cb.setStyle(csTriState);
  cb.setValue(-1);
  n = cb.accessible();
  EXPECT_EQ(n.value, "mixed");
  EXPECT_EQ(n.states, accstate::kFocusable | accstate::kMixed) << testing::states(n);
  EXPECT_EQ(n.actionName, "Check");

  cb.setStyle(csYesNo);  // keeps the cross: "no", which is a value and not a mixed state
  n = cb.accessible();
  EXPECT_EQ(n.value, "no");
  EXPECT_EQ(n.states, accstate::kFocusable) << testing::states(n);
  cb.setValue(1);
  EXPECT_EQ(cb.accessible().value, "yes");
  EXPECT_TRUE(cb.accessible().states & accstate::kChecked);

  cb.setEnabled(false);
  n = cb.accessible();
  EXPECT_EQ(n.states, accstate::kUnavailable | accstate::kChecked) << testing::states(n);
  EXPECT_TRUE(n.actionName.empty());
  EXPECT_FALSE(n.action);
}

TEST(WidgetsAccessCheckBox, DefaultActionTogglesWithTheEventsOfAClick) {
  for (std::int32_t style : {csNormal, csYesNo, csTriState}) {
    SCOPED_TRACE(style);
    sim::SimHost host;
    auto& clicked = host.create<NxCheckBox>(named("A"));
    auto& acted = host.create<NxCheckBox>(named("B"));
    clicked.setStyle(style);
    acted.setStyle(style);
    host.site(clicked).clearLog();
    host.site(acted).clearLog();
    for (int i = 0; i < 3; ++i) {
      host.click(clicked);
      const AccessibleNode n = acted.accessible();
      ASSERT_TRUE(n.action);
      n.action();
      EXPECT_EQ(acted.value(), clicked.value());
    }
    EXPECT_EQ(eventPositions(host.site(acted)), eventPositions(host.site(clicked)));
    EXPECT_EQ(host.site(acted).changes(), host.site(clicked).changes());
    EXPECT_FALSE(host.site(acted).events().empty());
  }
}

TEST(WidgetsAccessCheckBox, ValuePutAnnouncesValueAndStateOnce) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(named("Agree"));
  sim::SimWindow& w = host.window(cb);
  w.clearAnnouncements();
  cb.putProperty("Value", Value{std::int16_t{1}});
  EXPECT_EQ(w.announcements(),
            (Announcements{{AccessEvent::ValueChange, 0}, {AccessEvent::StateChange, 0}}));
  w.clearAnnouncements();
  cb.putProperty("Value", Value{std::int16_t{1}});    // the same value again
  cb.putProperty("Value", Value{std::int32_t{500}});  // any positive number is 1
  EXPECT_TRUE(w.announcements().empty());
  cb.putProperty("Caption", Value{std::string("Other")});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::NameChange, 0}}));

  // A click is announced as well, once, although it raises two events.
  w.clearAnnouncements();
  host.click(cb);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::ValueChange, 0), 1);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::StateChange, 0), 1);
  EXPECT_EQ(cb.accessible().value, "unchecked");
}

TEST(WidgetsAccessCheckBox, FocusIsAnnounced) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(named("Agree"));
  sim::SimWindow& w = host.window(cb);
  w.clearAnnouncements();
  host.focus(&cb);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::Focus, 0), 1);
  EXPECT_TRUE(cb.accessible().states & accstate::kFocused);
  w.clearAnnouncements();
  host.focus(nullptr);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::Focus, 0), 0);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::StateChange, 0), 1);
  EXPECT_FALSE(cb.accessible().states & accstate::kFocused);
}

// ---- link ----

TEST(WidgetsAccessLink, IsALinkToItsAddressThatJumpsLikeAClick) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(named("Home", 3000, 600));
  link.setUrl("https://example.org/");
  AccessibleNode n = link.accessible();
  EXPECT_EQ(n.role, AccessRole::Link);
  EXPECT_EQ(n.name, "Home");
  EXPECT_EQ(n.value, "https://example.org/");
  EXPECT_EQ(n.states, accstate::kFocusable | accstate::kLinked) << testing::states(n);
  EXPECT_EQ(n.actionName, "Jump");
  ASSERT_TRUE(n.action);

  host.click(link);
  n.action();
  EXPECT_EQ(host.services().shellRequests(),
            (std::vector<std::string>{"https://example.org/", "https://example.org/"}));
  ASSERT_EQ(host.services().shellRequestDetails().size(), 2u);
  EXPECT_EQ(host.services().shellRequestDetails()[1].owner, host.window(link).handle());
  EXPECT_EQ(host.services().shellRequestDetails()[1].workingFolder,
            host.services().shellRequestDetails()[0].workingFolder);
  EXPECT_EQ(host.site(link).eventCount(1), 2);  // Click, once for each

  link.setEnabled(false);
  n = link.accessible();
  EXPECT_TRUE(n.states & accstate::kUnavailable);
  EXPECT_FALSE(n.action);
}

TEST(WidgetsAccessLink, AddressAndCaptionPutsAnnounceTheirChange) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(named("Home", 3000, 600));
  sim::SimWindow& w = host.window(link);
  w.clearAnnouncements();
  link.putProperty("URL", Value{std::string("https://example.org/")});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::ValueChange, 0}}));
  w.clearAnnouncements();
  link.putProperty("URL", Value{std::string("https://example.org/")});
  EXPECT_TRUE(w.announcements().empty());
  link.putProperty("Caption", Value{std::string("Away")});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::NameChange, 0}}));
  EXPECT_EQ(link.accessible().name, "Away");
}

// ---- progress bar and meter ----

TEST(WidgetsAccessProgressBar, ReadsOutTheWholePercentage) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(named("Bar"));
  AccessibleNode n = bar.accessible();
  EXPECT_EQ(n.role, AccessRole::ProgressBar);
  EXPECT_EQ(n.name, "Bar");  // no caption: the host's name
  EXPECT_EQ(n.value, "0%");
  EXPECT_EQ(n.states, accstate::kReadOnly) << testing::states(n);  // never focusable
  EXPECT_TRUE(n.actionName.empty());
  EXPECT_FALSE(n.action);

  bar.setMaxValue(200);
  sim::SimWindow& w = host.window(bar);
  w.clearAnnouncements();
  bar.putProperty("Value", Value{std::int32_t{99}});
  EXPECT_EQ(bar.accessible().value, "50%");  // 49.5 rounds to the nearest whole
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::ValueChange, 0}}));
  w.clearAnnouncements();
  bar.putProperty("Value", Value{std::int32_t{500}});  // clamped to the maximum
  EXPECT_EQ(bar.accessible().value, "100%");
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::ValueChange, 0}}));
  w.clearAnnouncements();
  bar.putProperty("Value", Value{std::int32_t{200}});  // the same after clamping
  EXPECT_TRUE(w.announcements().empty());
}

TEST(WidgetsAccessMeter, ValueIsTheLevelAndDescriptionItsPercentage) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(named("Level", 300, 3000));
  AccessibleNode n = m.accessible();
  EXPECT_EQ(n.role, AccessRole::LevelIndicator);
  EXPECT_EQ(n.name, "Level");
  EXPECT_EQ(n.value, "0");
  EXPECT_EQ(n.description, "0%");
  EXPECT_EQ(n.states, accstate::kReadOnly) << testing::states(n);
  EXPECT_FALSE(n.action);

  m.setMaxValue(400);
  sim::SimWindow& w = host.window(m);
  w.clearAnnouncements();
  Announcements seenInChange;
  host.site(m).setEventHandler([&](int, std::span<Value>) { seenInChange = w.announcements(); });
  m.putProperty("Value", Value{std::int32_t{100}});
  n = m.accessible();
  EXPECT_EQ(n.value, "100");
  EXPECT_EQ(n.description, "25%");
  const Announcements both{{AccessEvent::ValueChange, 0}, {AccessEvent::DescriptionChange, 0}};
  EXPECT_EQ(w.announcements(), both);
  EXPECT_EQ(seenInChange, both);  // told before the host's Change handler ran
}

// ---- frame ----

TEST(WidgetsAccessFrame, IsAGroupingNamedByItsCaption) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(named("Frame1", 3000, 2000));
  sim::SimWindow& w = host.window(f);
  w.clearAnnouncements();
  f.putProperty("Caption", Value{std::string("Options & more")});
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::NameChange, 0}}));
  AccessibleNode n = f.accessible();
  EXPECT_EQ(n.role, AccessRole::Grouping);
  EXPECT_EQ(n.name, "Options & more");  // drawn as it is, read as it is
  EXPECT_TRUE(n.value.empty());
  EXPECT_EQ(n.states, 0u) << testing::states(n);  // a frame takes no focus
  EXPECT_FALSE(n.action);

  w.clearAnnouncements();
  f.putProperty("Caption", Value{std::string()});
  EXPECT_EQ(f.accessible().name, "Frame1");  // an empty caption: the host's name
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::NameChange, 0}}));
  w.clearAnnouncements();
  f.putProperty("Enabled", Value{VBool::False});
  EXPECT_EQ(f.accessible().states, accstate::kUnavailable);
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0}}));
}

}  // namespace
}  // namespace nx
