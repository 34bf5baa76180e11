// What ControlBase tells assistive technology: the element built from the class's access entry
// (name fallbacks, access key, states, default action) and the announcements made when an entry
// point ends.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/control/control.h"
#include "core/runtime/text.h"
#include "platform/sim/sim_host.h"
#include "tests/support/access_support.h"

namespace nx {
namespace {

using Anns = testing::Announcements;

// A control whose element has a caption, a value, a default action and as many children as
// its Kids property says; it counts how often its element is worked out.
class AccessProbe : public Control<AccessProbe> {
 public:
  static constexpr int kClickEvent = 1;

  explicit AccessProbe(ControlSite& site) : Control(site) {}

  static const ClassTable<AccessProbe>& classTable() {
    using P = Property<AccessProbe>;
    using M = Method<AccessProbe>;
    static const ClassTable<AccessProbe> table(ClassSpec<AccessProbe>{
        .name = "AccessProbe",
        .members =
            {
                P{.name = "Caption",
                  .type = types::String,
                  .key = "text",
                  .storeDefault = std::string(),
                  .newValue = std::string(),
                  .get = [](const AccessProbe& c) { return Value{c.caption}; },
                  .put = [](AccessProbe& c, const Value& v) { c.caption = toText(v); }},
                P{.name = "Count",
                  .type = types::Long,
                  .key = "cnt",
                  .storeDefault = 0,
                  .newValue = 0,
                  .get = [](const AccessProbe& c) { return Value{c.count}; },
                  .put = [](AccessProbe& c, const Value& v) { c.count = toInt32(v); }},
                P{.name = "Kids",
                  .type = types::Long,
                  .key = "kids",
                  .storeDefault = 0,
                  .newValue = 0,
                  .get = [](const AccessProbe& c) { return Value{c.kids}; },
                  .put = [](AccessProbe& c, const Value& v) { c.kids = toInt32(v); }},
                P{.name = "KidText",
                  .type = types::String,
                  .key = "kidText",
                  .storeDefault = std::string(),
                  .newValue = std::string(),
                  .get = [](const AccessProbe& c) { return Value{c.kidText}; },
                  .put = [](AccessProbe& c, const Value& v) { c.kidText = toText(v); }},
                M{.name = "Retype",
                  .call =
                      [](AccessProbe& c, std::span<Value>) {
                        // An intermediate value the host's handler sees, then the final one.
                        HoldAnnouncements hold(c);
                        c.count = -1;
                        c.raiseEvent(kClickEvent);
                        c.count = 77;
                        return Value{};
                      }},
                M{.name = "Bump",
                  .call =
                      [](AccessProbe& c, std::span<Value>) {
                        ++c.count;
                        ++c.count;  // two steps, one announcement
                        return Value{};
                      }},
            },
        .events = {{"Click"}},
        .access = {.role = AccessRole::CheckBox,
                   .nameProperty = "Caption",
                   .captionMarks = true,
                   .valueProperty = "Count",
                   .actionName = "Do"},
    });
    return table;
  }

  char accessKey() const override { return accessKeyOf(caption); }

  std::string caption;
  std::int32_t count = 0;
  std::int32_t kids = 0;
  std::string kidText;
  bool failDescribing = false;
  mutable int described = 0;

 protected:
  void onMouseMove(std::int16_t, std::int16_t, double, double) override { trackHover(); }
  void onClick() override {
    ++count;
    raiseEvent(kClickEvent);
  }
  void describeAccessible(AccessibleNode& node) const override {
    ++described;
    if (failDescribing) throw std::runtime_error("cannot describe");
    for (int i = 0; i < kids; ++i) {
      AccessibleNode kid;
      kid.role = AccessRole::StaticText;
      kid.name = "kid " + std::to_string(i + 1);
      kid.value = i == 0 ? kidText : std::string();
      node.children.push_back(std::move(kid));
    }
  }
};

sim::SiteOptions site(std::optional<std::string> name = "Probe1",
                      std::optional<std::string> tip = std::nullopt) {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.toolTipText = std::move(tip);
  o.width = 1500;
  o.height = 450;
  return o;
}

void put(AccessProbe& c, std::string_view name, Value v) {
  c.putProperty(name, v);
}

TEST(ControlAccess, NameComesFromTheCaptionThenTheTooltipThenTheHostName) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site("Probe1", "Tip text"));
  put(c, "Caption", std::string("Save && &Quit"));
  AccessibleNode n = c.accessible();
  EXPECT_EQ(n.role, AccessRole::CheckBox);
  EXPECT_EQ(n.name, "Save & Quit");
  EXPECT_EQ(n.keyboardShortcut, "Alt+Q");

  put(c, "Caption", std::string("&&&"));  // a literal "&" and a stray mark: no access key
  n = c.accessible();
  EXPECT_EQ(n.name, "&");
  EXPECT_EQ(n.keyboardShortcut, "");

  put(c, "Caption", std::string("&"));  // only a mark: an empty caption
  EXPECT_EQ(c.accessible().name, "Tip text");
  put(c, "Caption", std::string());
  EXPECT_EQ(c.accessible().name, "Tip text");
  EXPECT_EQ(c.accessible().keyboardShortcut, "");

  auto& untipped = host.create<AccessProbe>(site("Probe2", ""));  // an empty tip is no tip
  EXPECT_EQ(untipped.accessible().name, "Probe2");
  auto& nameless = host.create<AccessProbe>(site(std::nullopt));
  EXPECT_EQ(nameless.accessible().name, "");
  sim::SiteOptions bare = site("Ignored", "Ignored");
  bare.hasExtender = false;
  auto& hostless = host.create<AccessProbe>(bare);
  EXPECT_EQ(hostless.accessible().name, "");
}

TEST(ControlAccess, StatesBoundsValueAndActionFollowTheWindow) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  put(c, "Count", std::int32_t{42});
  AccessibleNode n = c.accessible();
  EXPECT_EQ(n.value, "42");
  EXPECT_EQ(n.bounds, (PartRect{0, 0, 1500, 450}));
  EXPECT_EQ(n.states, accstate::kFocusable) << accessStateNames(n.states);
  EXPECT_EQ(n.actionName, "Do");
  EXPECT_TRUE(n.action);
  EXPECT_TRUE(n.children.empty());

  host.focus(&c);
  host.moveMouse(host.screenPoint(c, 10, 10));
  n = c.accessible();
  EXPECT_EQ(n.states, accstate::kFocusable | accstate::kFocused | accstate::kHotTracked)
      << accessStateNames(n.states);

  host.focus(nullptr);
  host.window(c).setEnabled(false);
  n = c.accessible();
  EXPECT_TRUE(n.states & accstate::kUnavailable);
  EXPECT_FALSE(n.states & accstate::kFocusable);
  EXPECT_TRUE(n.actionName.empty());
  EXPECT_FALSE(n.action);
}

TEST(ControlAccess, DefaultActionDoesWhatAClickDoes) {
  sim::SimHost host;
  auto& clicked = host.create<AccessProbe>(site("A"));
  auto& acted = host.create<AccessProbe>(site("B"));
  host.click(clicked);
  AccessibleNode n = acted.accessible();
  ASSERT_TRUE(n.action);
  n.action();
  EXPECT_EQ(acted.count, 1);
  EXPECT_EQ(acted.count, clicked.count);
  EXPECT_EQ(host.site(acted).events().size(), 1u);
  EXPECT_EQ(host.site(acted).eventCount(AccessProbe::kClickEvent), 1);
  // What it changed is announced like any other input.
  EXPECT_EQ(host.window(acted).announcements(), (Anns{{AccessEvent::ValueChange, 0}}));
}

TEST(ControlAccess, AnnouncesEachDifferenceOnceWhenAnEntryPointEnds) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  sim::SimWindow& w = host.window(c);
  w.clearAnnouncements();

  put(c, "Count", std::int32_t{0});  // the same value: nothing to tell
  put(c, "Kids", std::int32_t{0});
  EXPECT_TRUE(w.announcements().empty());

  put(c, "Count", std::int32_t{7});
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 0}}));
  w.clearAnnouncements();
  c.invokeMethod("Bump", {});  // two changes inside one call
  EXPECT_EQ(c.count, 9);
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 0}}));
  w.clearAnnouncements();
  put(c, "Caption", std::string("&Go"));
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::NameChange, 0}}));
  w.clearAnnouncements();
  put(c, "Caption", std::string("G&o"));  // only the access key moved: the name is the same
  EXPECT_TRUE(w.announcements().empty());

  // A failed put changes nothing and announces nothing.
  EXPECT_THROW(put(c, "Count", std::string("not a number")), ConversionError);
  EXPECT_TRUE(w.announcements().empty());
}

TEST(ControlAccess, ChildrenThatAppearOrGoAreShownOrHidden) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  sim::SimWindow& w = host.window(c);
  w.clearAnnouncements();
  put(c, "Kids", std::int32_t{2});
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::Show, 1}, {AccessEvent::Show, 2}}));
  w.clearAnnouncements();
  put(c, "KidText", std::string("x"));  // a child's own change names that child
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 1}}));
  w.clearAnnouncements();
  put(c, "Kids", std::int32_t{1});
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::Hide, 2}}));
  w.clearAnnouncements();
  put(c, "Kids", std::int32_t{0});
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::Hide, 1}}));
}

TEST(ControlAccess, FocusIsAnnouncedAfterTheStateItChanges) {
  sim::SimHost host;
  auto& a = host.create<AccessProbe>(site("A"));
  auto& b = host.create<AccessProbe>(site("B"));
  host.window(a).clearAnnouncements();
  host.window(b).clearAnnouncements();
  host.focus(&a);
  EXPECT_EQ(host.window(a).announcements(),
            (Anns{{AccessEvent::StateChange, 0}, {AccessEvent::Focus, 0}}));
  host.window(a).clearAnnouncements();
  host.focus(&b);
  EXPECT_EQ(host.window(a).announcements(), (Anns{{AccessEvent::StateChange, 0}}));
  EXPECT_EQ(host.window(b).announcements(),
            (Anns{{AccessEvent::StateChange, 0}, {AccessEvent::Focus, 0}}));
}

TEST(ControlAccess, EventHandlersSeeTheChangeAlreadyAnnounced) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  sim::SimWindow& w = host.window(c);
  w.clearAnnouncements();
  Anns seenInHandler;
  host.site(c).setEventHandler([&](int, std::span<Value>) { seenInHandler = w.announcements(); });
  host.click(c);
  EXPECT_EQ(seenInHandler, (Anns{{AccessEvent::ValueChange, 0}}));
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 0}}));  // not told twice
}

TEST(ControlAccess, AHeldChangeIsAnnouncedOnlyWithItsResult) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  sim::SimWindow& w = host.window(c);
  w.clearAnnouncements();
  Anns seenInHandler{{AccessEvent::Show, 99}};
  host.site(c).setEventHandler([&](int, std::span<Value>) { seenInHandler = w.announcements(); });
  c.invokeMethod("Retype", {});
  EXPECT_EQ(host.site(c).eventCount(AccessProbe::kClickEvent), 1);
  EXPECT_TRUE(seenInHandler.empty());
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 0}}));
  EXPECT_EQ(c.accessible().value, "77");
  // The hold ends with the call: the next event is announced before its handler again.
  w.clearAnnouncements();
  host.click(c);
  EXPECT_EQ(seenInHandler, (Anns{{AccessEvent::ValueChange, 0}}));
}

TEST(ControlAccess, NothingIsWorkedOutWhileNoClientListens) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  sim::SimWindow& w = host.window(c);
  w.setAccessibilityListening(false);
  w.clearAnnouncements();
  c.described = 0;
  put(c, "Count", std::int32_t{3});
  put(c, "Kids", std::int32_t{2});
  host.click(c);
  host.focus(&c);
  EXPECT_EQ(c.described, 0);
  EXPECT_TRUE(w.announcements().empty());

  // A client that starts listening hears only what changes from then on.
  w.setAccessibilityListening(true);
  put(c, "Count", std::int32_t{10});
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 0}}));
}

TEST(ControlAccess, AControlThatCannotDescribeItselfStillWorks) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  sim::SimWindow& w = host.window(c);
  w.clearAnnouncements();
  c.failDescribing = true;
  EXPECT_NO_THROW(put(c, "Count", std::int32_t{5}));
  EXPECT_NO_THROW(host.focus(&c));
  EXPECT_NO_THROW(host.click(c));
  EXPECT_EQ(c.count, 6);
  EXPECT_EQ(host.site(c).eventCount(AccessProbe::kClickEvent), 1);
  EXPECT_TRUE(w.announcements().empty());
  // Once it can again, it starts over from what it is then.
  c.failDescribing = false;
  put(c, "Count", std::int32_t{8});
  EXPECT_EQ(w.announcements(), (Anns{{AccessEvent::ValueChange, 0}}));
}

TEST(ControlAccess, ATerminatedControlAnnouncesNothingAndItsActionDoesNothing) {
  sim::SimHost host;
  auto& c = host.create<AccessProbe>(site());
  AccessibleNode n = c.accessible();
  c.Terminate();
  host.window(c).clearAnnouncements();
  ASSERT_TRUE(n.action);
  n.action();
  EXPECT_EQ(c.count, 0);
  EXPECT_EQ(host.site(c).eventCount(AccessProbe::kClickEvent), 0);
  c.announceChanges();
  EXPECT_TRUE(host.window(c).announcements().empty());
}

}  // namespace
}  // namespace nx
