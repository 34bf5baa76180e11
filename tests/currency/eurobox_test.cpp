// NxEuroBox on the simulated host: a new and a stored box, the amount and its rounding, typing
// through the digits box, focus in and out, colours, symbol, layout and the group sums.
#include "currency/eurobox/eurobox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/sim/sim_host.h"
#include "platform/sim/sim_parts.h"

namespace nx {
namespace {

// __NxEuroBox
constexpr int kChange = 1;
constexpr int kMouseDown = 2;
constexpr int kMouseUp = 3;
constexpr int kClick = 5;

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

void leave(sim::SimHost& host, NxEuroBox& b) {
  static_cast<sim::SimPartFactory&>(host.window(b).parts()).focusLeaves();
}

TEST(EuroBoxNew, StartsWithTheInitialLookAndAnEmptyGroup) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  EXPECT_EQ(b.digits().text(), "0,00");
  EXPECT_EQ(b.text(), "0,00 \xE2\x82\xAC");
  EXPECT_EQ(b.digits().font()->name(), "Tahoma");
  EXPECT_EQ(b.symbolLabel().font()->name(), "Tahoma");
  EXPECT_EQ(b.group(), "");
  EXPECT_TRUE(host.site(b).log().empty());  // placing a box notifies and raises nothing
  // An empty group is stored as such and comes back empty.
  sim::SimPropertyBag bag = host.save(b);
  ASSERT_TRUE(bag.stored("group"));
  EXPECT_EQ(toText(*bag.stored("group")), "");
  NxEuroBox& copy = host.create<NxEuroBox>(boxSite(), &bag);
  EXPECT_EQ(copy.group(), "");
}

TEST(EuroBoxStored, MissingKeysGiveTheStoreDefaults) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("value", Value{Currency{-123456}});
  NxEuroBox& b = host.create<NxEuroBox>(boxSite(), &bag);
  EXPECT_EQ(b.group(), "NONE");
  EXPECT_EQ(b.decimalPlaces(), 2);
  EXPECT_EQ(b.maxLeftDigits(), 9);
  EXPECT_EQ(b.borderStyle(), bs3D);
  EXPECT_EQ(b.amount().units, -123500);  // rounded to the two decimals shown
  EXPECT_EQ(b.digits().text(), "-12,35");
  EXPECT_TRUE(host.site(b).log().empty());  // loading notifies and raises nothing
}

TEST(EuroBoxStored, AmountIsStoredAsCurrencyInTheWriteOrder) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("DecimalPlaces", Value{std::int16_t{4}});
  b.putProperty("Value", Value{0.1234});
  sim::SimPropertyBag bag = host.save(b);
  ASSERT_TRUE(bag.stored("value"));
  EXPECT_TRUE(sameValue(*bag.stored("value"), Value{Currency{1234}}));
  std::vector<std::string> keys;
  for (const auto& w : bag.writes()) keys.push_back(w.key);
  const std::vector<std::string> order = {
      "decpl",   "ldigs", "symb", "ivar",     "bcolor", "fcolor", "scolor", "rednegs",
      "enabled", "group", "role", "brdColor", "bstyle", "ifont",  "value",  "ExProp"};
  EXPECT_EQ(keys, order);
}

TEST(EuroBoxValue, RoundsHalvesAwayFromZeroAndFormats) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("Value", Value{1234.565});
  EXPECT_EQ(b.digits().text(), "1.234,57");
  EXPECT_EQ(toDouble(b.getProperty("Value")), 1234.57);
  b.putProperty("Value", Value{-1234.565});
  EXPECT_EQ(b.digits().text(), "-1.234,57");
  EXPECT_EQ(b.amount().units, -12345700);
  EXPECT_EQ(b.text(), "-1.234,57 \xE2\x82\xAC");
}

TEST(EuroBoxValue, ValuesOutsideTheCurrencyRangeAreRefusedAndChangeNothing) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("Value", Value{7.5});
  host.site(b).clearLog();
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(), 1e16, -1e300})
    EXPECT_THROW(b.putProperty("Value", Value{bad}), OverflowError) << bad;
  EXPECT_THROW(b.putProperty("Value", Value{std::string("abc")}), ConversionError);
  EXPECT_EQ(b.value(), 7.5);
  EXPECT_EQ(b.digits().text(), "7,50");
  EXPECT_TRUE(host.site(b).log().empty());
}

TEST(EuroBoxValue, DecimalPlacesAreClampedAndOnlyReformat) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("Value", Value{2.5});
  b.putProperty("DecimalPlaces", Value{std::int16_t{9}});
  EXPECT_EQ(b.decimalPlaces(), 4);
  EXPECT_EQ(b.digits().text(), "2,5000");
  b.putProperty("DecimalPlaces", Value{std::int16_t{-3}});
  EXPECT_EQ(b.decimalPlaces(), 0);
  EXPECT_EQ(b.digits().text(), "3");
  EXPECT_EQ(b.value(), 2.5);  // the stored amount stays
  b.putProperty("MaxLeftDigits", Value{std::int16_t{0}});
  EXPECT_EQ(b.maxLeftDigits(), 1);
  b.putProperty("MaxLeftDigits", Value{std::int16_t{15}});
  EXPECT_EQ(b.maxLeftDigits(), 14);
}

TEST(EuroBoxEditing, TypingLeavingAndEnteringAgain) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimTextBox& d = digits(b);
  host.focus(&b);  // the control hands its focus to the digits box
  ASSERT_TRUE(d.hasFocus());
  EXPECT_EQ(d.selLength(), 4);  // the whole "0,00" is selected
  ASSERT_TRUE(d.typeText("1234.5"));
  EXPECT_EQ(d.text(), "1234,5");
  EXPECT_EQ(b.amount().units, 12345000);
  host.site(b).clearLog();
  leave(host, b);
  EXPECT_EQ(d.text(), "1.234,50");
  EXPECT_EQ(host.site(b).eventCount(kChange), 0);
  ASSERT_TRUE(d.setFocus());
  EXPECT_EQ(d.text(), "1234,50");
  EXPECT_EQ(d.selStart(), 0);
  EXPECT_EQ(d.selLength(), 7);
  EXPECT_EQ(host.site(b).eventCount(kChange), 1);
  // A further decimal is refused, unless part of the text is selected.
  d.setSelStart(7);
  d.typeChar(U'9');
  EXPECT_EQ(d.text(), "1234,50");
  d.setSelection(6, 1);
  d.typeChar(U'9');
  EXPECT_EQ(d.text(), "1234,59");
}

TEST(EuroBoxEditing, LeavingAnEmptyBoxShowsZeroAndRaisesChange) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  sim::SimTextBox& d = digits(b);
  ASSERT_TRUE(d.setFocus());
  d.typeChar(8);  // deletes the selected text
  EXPECT_EQ(d.text(), "");
  EXPECT_EQ(b.value(), 0.0);
  host.site(b).clearLog();
  leave(host, b);
  EXPECT_EQ(d.text(), "0,00");
  EXPECT_EQ(host.site(b).eventCount(kChange), 1);
}

TEST(EuroBoxEditing, SignTogglesAndNegativesTurnRed) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("ForeColor", Value{std::int32_t{0x00112233}});
  b.putProperty("Value", Value{12.5});
  sim::SimTextBox& d = digits(b);
  ASSERT_TRUE(d.setFocus());
  d.setSelStart(3);
  d.typeChar(U'-');
  EXPECT_EQ(d.text(), "-12,50");
  EXPECT_EQ(d.caret(), 4);
  EXPECT_EQ(b.value(), -12.5);
  EXPECT_EQ(d.foreColor(), eurobox::kNegativeColor);
  d.typeChar(U'-');
  EXPECT_EQ(d.text(), "12,50");
  EXPECT_EQ(d.foreColor(), 0x00112233u);
  b.putProperty("RedNegatives", Value{VBool::False});
  d.typeChar(U'-');
  EXPECT_EQ(d.foreColor(), 0x00112233u);
  // Nothing goes in front of the sign.
  d.setSelStart(0);
  d.typeChar(U'7');
  EXPECT_EQ(d.text(), "-12,50");
}

TEST(EuroBoxEditing, IntegerDigitLimitCountsTheSign) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("MaxLeftDigits", Value{std::int16_t{3}});
  sim::SimTextBox& d = digits(b);
  ASSERT_TRUE(d.setFocus());
  d.typeText("12345");
  EXPECT_EQ(d.text(), "123");
  d.typeChar(U'-');
  d.setSelection(1, 0);
  d.typeText("9");  // "-123" already has four characters in its integer part
  EXPECT_EQ(d.text(), "-123");
}

TEST(EuroBoxEditing, TextThatIsNoAmountIsCleared) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("Value", Value{5.0});
  host.site(b).clearLog();
  b.digits().setText("12abc");  // pasted or set by other means
  EXPECT_EQ(b.digits().text(), "");
  EXPECT_EQ(b.value(), 0.0);
  EXPECT_GE(host.site(b).eventCount(kChange), 1);
  b.digits().setText("99999999999999999999");  // beyond the currency range
  EXPECT_EQ(b.digits().text(), "");
  b.digits().setText("1.234,5");
  EXPECT_EQ(b.amount().units, 12345000);
}

TEST(EuroBoxLook, SymbolOfUpToThreeCharacters) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("Symbol", Value{std::string("EUR")});
  EXPECT_EQ(b.symbol(), "EUR");
  EXPECT_EQ(b.text(), "0,00 EUR");
  host.site(b).clearLog();
  b.putProperty("Symbol", Value{std::string("EURO")});
  EXPECT_EQ(b.symbol(), "EUR");
  EXPECT_TRUE(host.site(b).changes().empty());
  b.putProperty("Symbol", Value{std::string()});
  EXPECT_EQ(b.text(), "0,00");
}

TEST(EuroBoxLook, DisabledColoursAndBack) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  b.putProperty("BackColor", Value{std::int32_t{0x00CCFFFF}});
  b.putProperty("Symbolcolor", Value{std::int32_t{0x00008000}});
  b.putProperty("Enabled", Value{VBool::False});
  EXPECT_FALSE(b.digits().enabled());
  EXPECT_EQ(b.digits().backColor(), 0xE0E0E0u);
  EXPECT_EQ(b.symbolLabel().backColor(), 0xE0E0E0u);
  EXPECT_EQ(b.symbolLabel().foreColor(), 0x808080u);
  EXPECT_EQ(host.window(b).bitmap().at(1, 1), 0xE0E0E0u);
  b.putProperty("Enabled", Value{VBool::True});
  EXPECT_TRUE(b.digits().enabled());
  EXPECT_EQ(b.digits().backColor(), 0x00CCFFFFu);
  EXPECT_EQ(b.symbolLabel().foreColor(), 0x00008000u);
  EXPECT_EQ(host.window(b).bitmap().at(1, 1), 0x00CCFFFFu);
}

TEST(EuroBoxLayout, MinimumSizeMarginsAndGap) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  host.resize(b, 300, 100);
  EXPECT_EQ(host.window(b).width(), 600);
  EXPECT_EQ(host.window(b).height(), 255);
  host.resize(b, 1800, 315);
  b.putProperty("BorderStyle", Value{std::int32_t{bsFLAT}});
  const double sw = host.window(b).scaleWidth();
  const double sh = host.window(b).scaleHeight();
  EXPECT_TRUE(b.flatBorder().visible());
  EXPECT_EQ(b.flatBorder().bounds(), (PartRect{0, 0, sw, sh}));
  const PartRect label = b.symbolLabel().bounds();
  const PartRect box = b.digits().bounds();
  EXPECT_EQ(label.top, 30);
  EXPECT_EQ(label.left + label.width, sw - 60);  // margin and gap to the right
  EXPECT_EQ(box, (PartRect{30, 30, label.left - 60, sh - 60}));
  b.putProperty("Symbol", Value{std::string()});
  b.putProperty("BorderStyle", Value{std::int32_t{bsNone}});
  EXPECT_FALSE(b.flatBorder().visible());
  EXPECT_EQ(b.digits().bounds(), (PartRect{0, 0, sw, sh}));
  EXPECT_EQ(host.window(b).borderStyle(), 0);
  b.putProperty("BorderStyle", Value{std::int32_t{bs3D}});
  EXPECT_EQ(host.window(b).borderStyle(), 1);
}

TEST(EuroBoxInput, MouseArgumentsComeByReferenceFromTheDigitsBox) {
  sim::SimHost host;
  NxEuroBox& b = host.create<NxEuroBox>(boxSite());
  host.site(b).setEventHandler([](int position, std::span<Value> args) {
    if (position == kMouseDown) args[2] = Value{99.0f};
  });
  digits(b).mouseDown(kLeftButton, 45, 60, 1);
  digits(b).mouseUp(kLeftButton, 45, 60, 1);
  const auto events = host.site(b).events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].position, kMouseDown);
  EXPECT_TRUE(sameValue(events[0].args[2], Value{99.0f}));  // the host's change came back
  EXPECT_TRUE(sameValue(events[0].args[1], Value{std::int16_t{1}}));
  EXPECT_EQ(events[1].position, kMouseUp);
  EXPECT_EQ(events[2].position, kClick);
}

// A form with boxes in groups.
struct Form {
  sim::SimHost host;
  NxEuroBox& add(const char* name, const char* group, std::int32_t role) {
    NxEuroBox& b = host.create<NxEuroBox>(boxSite(name));
    b.putProperty("Group", Value{std::string(group)});
    b.putProperty("GroupRole", Value{role});
    return b;
  }
};

TEST(EuroBoxGroup, MembersAddUpIntoEveryResultOfTheirGroup) {
  Form f;
  NxEuroBox& a = f.add("A1", "a", grSumMember);
  NxEuroBox& b = f.add("A2", "A", grSumMember);
  NxEuroBox& sum = f.add("ASum", "A", grSumResult);
  NxEuroBox& sum2 = f.add("ASum2", "A", grSumResult);
  NxEuroBox& other = f.add("B1", "B", grSumResult);
  NxEuroBox& none = f.add("N1", "A", grNone);
  none.putProperty("Value", Value{100.0});
  EXPECT_EQ(a.group(), "A");
  a.putProperty("Value", Value{10.0});
  f.host.site(sum).clearLog();
  digits(b).setFocus();
  digits(b).typeText("20.5");
  EXPECT_EQ(sum.digits().text(), "30,50");
  EXPECT_EQ(sum2.digits().text(), "30,50");
  EXPECT_EQ(sum.value(), 30.5);
  // The result box saw a change each time the member changed ("2", "20", "20,", "20,5").
  EXPECT_EQ(f.host.site(sum).eventCount(kChange), 4);
  EXPECT_EQ(other.digits().text(), "0,00");
  EXPECT_EQ(none.value(), 100.0);
  // A result box never recomputes.
  sum.putProperty("Value", Value{1.0});
  EXPECT_EQ(sum2.value(), 30.5);
}

TEST(EuroBoxGroup, ChangeHandlerThatChangesAMemberDoesNotRecurseWithoutEnd) {
  Form f;
  NxEuroBox& a = f.add("A1", "G", grSumMember);
  NxEuroBox& b = f.add("A2", "G", grSumMember);
  NxEuroBox& sum = f.add("Sum", "G", grSumResult);
  int handled = 0;
  f.host.site(sum).setEventHandler([&](int position, std::span<Value>) {
    if (position != kChange) return;
    ++handled;
    b.setValue(Value{sum.value() + 1});  // grows on every change
  });
  a.putProperty("Value", Value{5.0});
  EXPECT_LT(handled, 100);
  EXPECT_GT(sum.value(), 5.0);
}

TEST(EuroBoxGroup, HostWithoutControlsSumsWhatItCan) {
  sim::SimHost host;
  sim::SiteOptions o = boxSite();
  o.hasExtender = false;
  NxEuroBox& a = host.create<NxEuroBox>(o);
  a.putProperty("Group", Value{std::string("X")});
  a.putProperty("GroupRole", Value{std::int32_t{grSumMember}});
  a.putProperty("Value", Value{3.0});
  EXPECT_EQ(a.value(), 3.0);
}

TEST(EuroBoxTooltip, PlainTipsOrTheStyledTooltipObject) {
  sim::SimHost host;
  sim::SiteOptions o = boxSite();
  o.toolTipText = "Amount due";
  NxEuroBox& b = host.create<NxEuroBox>(o);
  EXPECT_EQ(b.digitsToolTip(), "Amount due");
  EXPECT_EQ(b.symbolLabel().toolTip(), "Amount due");
  EXPECT_EQ(b.boxTooltip(), nullptr);
  b.putProperty("ExProp", Value{std::string("ttstyle=balloon;tticon=2;tttitle=Hello")});
  host.resize(b, 1900, 315);  // a repaint
  ASSERT_NE(b.boxTooltip(), nullptr);
  EXPECT_EQ(b.boxTooltip()->Style, 1);
  EXPECT_EQ(b.boxTooltip()->Icon, 2);
  EXPECT_EQ(b.boxTooltip()->Title, "Hello");
  EXPECT_EQ(b.boxTooltip()->Text, "Amount due");
}

}  // namespace
}  // namespace nx
