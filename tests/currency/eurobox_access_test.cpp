// What NxEuroBox tells accessibility clients: an editable amount whose value is the text with
// its symbol, with the digits box (a part of its own that takes the focus) and the symbol as
// children, and what typing, puts and the focus announce.
#include <gtest/gtest.h>

#include <string>

#include "currency/eurobox/eurobox.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_parts.h"
#include "tests/support/access_support.h"

namespace nx {
namespace {

using testing::Announcements;
using testing::countOf;

const std::string kEuro = "\xE2\x82\xAC";

sim::SiteOptions boxSite(std::string name = "EuroBox1") {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = 1800;
  o.height = 315;
  return o;
}

sim::SimTextBox& digits(NxEuroBox& b) {
  return static_cast<sim::SimTextBox&>(b.digits());
}

TEST(EuroBoxAccess, IsEditableTextWithTheDigitsAndTheSymbolAsChildren) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("Value", Value{12.5});
  const AccessibleNode n = b.accessible();
  EXPECT_EQ(n.role, AccessRole::EditableText);
  EXPECT_EQ(n.name, "EuroBox1");  // no caption: the host's name
  EXPECT_EQ(n.value, "12,50 " + kEuro);
  EXPECT_EQ(n.states, accstate::kFocusable) << testing::states(n);
  EXPECT_TRUE(n.actionName.empty());
  ASSERT_EQ(n.children.size(), 2u);

  const AccessibleNode& d = n.children[0];
  EXPECT_EQ(d.role, AccessRole::EditableText);
  EXPECT_EQ(d.name, "EuroBox1");
  EXPECT_EQ(d.value, "12,50");
  EXPECT_EQ(d.part, NxEuroBox::kDigitsPart);
  EXPECT_EQ(d.bounds, b.digits().bounds());
  EXPECT_EQ(d.states, accstate::kFocusable) << testing::states(d);

  const AccessibleNode& s = n.children[1];
  EXPECT_EQ(s.role, AccessRole::StaticText);
  EXPECT_EQ(s.name, kEuro);
  EXPECT_TRUE(s.part.empty());
  EXPECT_EQ(s.bounds, b.symbolLabel().bounds());
  EXPECT_EQ(s.states, accstate::kReadOnly) << testing::states(s);
  // Every child lies inside the control.
  for (const AccessibleNode& c : n.children) {
    EXPECT_GE(c.bounds.left, 0);
    EXPECT_GE(c.bounds.top, 0);
    EXPECT_LE(c.bounds.left + c.bounds.width, n.bounds.width);
    EXPECT_LE(c.bounds.top + c.bounds.height, n.bounds.height);
  }

  sim::SiteOptions tipped = boxSite("EuroBox2");
  tipped.toolTipText = "Net amount";
  EXPECT_EQ(host.create<NxEuroBox>(tipped).accessible().name, "Net amount");
}

TEST(EuroBoxAccess, ASymbolThatGoesIsHiddenAndOneThatComesIsShown) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  b.putProperty("Symbol", Value{std::string()});
  EXPECT_EQ(b.accessible().children.size(), 1u);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::Hide, 2), 1);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::ValueChange, 0), 1);  // "0,00"
  w.clearAnnouncements();
  b.putProperty("Symbol", Value{std::string("EUR")});
  ASSERT_EQ(b.accessible().children.size(), 2u);
  EXPECT_EQ(b.accessible().children[1].name, "EUR");
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::Show, 2), 1);
  w.clearAnnouncements();
  b.putProperty("Symbol", Value{std::string("USD")});
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::NameChange, 2), 1);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::ValueChange, 0), 1);
}

TEST(EuroBoxAccess, ValuePutAnnouncesTheControlAndTheDigitsOnce) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  b.putProperty("Value", Value{3.0});
  EXPECT_EQ(w.announcements(),
            (Announcements{{AccessEvent::ValueChange, 0}, {AccessEvent::ValueChange, 1}}));
  w.clearAnnouncements();
  b.putProperty("Value", Value{3.001});  // rounds to what is shown already
  EXPECT_TRUE(w.announcements().empty());
  b.putProperty("Value", Value{4.0});
  w.clearAnnouncements();
  EXPECT_THROW(b.putProperty("Value", Value{1e300}), OverflowError);
  EXPECT_TRUE(w.announcements().empty());
}

TEST(EuroBoxAccess, TypingInTheDigitsIsAnnouncedPerChange) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimTextBox& d = digits(b);
  ASSERT_TRUE(d.setFocus());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  ASSERT_TRUE(d.typeText("42"));
  EXPECT_EQ(b.accessible().children[0].value, "42");
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::ValueChange, 1), 2);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::ValueChange, 0), 2);
  w.clearAnnouncements();
  d.typeChar(U'x');  // refused: nothing changes
  EXPECT_TRUE(w.announcements().empty());
  // Leaving reformats the text.
  static_cast<sim::SimPartFactory&>(w.parts()).focusLeaves();
  EXPECT_EQ(b.accessible().children[0].value, "42,00");
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::ValueChange, 1), 1);
  EXPECT_FALSE(b.accessible().children[0].states & accstate::kFocused);
}

TEST(EuroBoxAccess, TheDigitsBoxHoldsTheFocus) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  host.focus(&b);
  ASSERT_TRUE(b.digits().hasFocus());
  const AccessibleNode n = b.accessible();
  EXPECT_FALSE(n.states & accstate::kFocused) << testing::states(n);
  EXPECT_TRUE(n.children[0].states & accstate::kFocused) << testing::states(n.children[0]);
  // The part has a window of its own: the platform announces its focus, the control does not
  // claim it for itself.
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::Focus, 0), 0);
  EXPECT_EQ(countOf(w.announcements(), AccessEvent::StateChange, 1), 1);
}

TEST(EuroBoxAccess, DisablingMakesTheControlAndItsChildrenUnavailable) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimWindow& w = host.window(b);
  w.clearAnnouncements();
  b.putProperty("Enabled", Value{VBool::False});
  const AccessibleNode n = b.accessible();
  EXPECT_EQ(n.states, accstate::kUnavailable) << testing::states(n);
  ASSERT_EQ(n.children.size(), 2u);
  EXPECT_EQ(n.children[0].states, accstate::kUnavailable) << testing::states(n.children[0]);
  EXPECT_EQ(n.children[1].states, accstate::kUnavailable | accstate::kReadOnly);
  EXPECT_EQ(w.announcements(), (Announcements{{AccessEvent::StateChange, 0},
                                              {AccessEvent::StateChange, 1},
                                              {AccessEvent::StateChange, 2}}));
}

}  // namespace
}  // namespace nx
