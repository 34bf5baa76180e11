#include "core/control/control_base.h"

#include <gtest/gtest.h>

#include "core/control/control.h"
#include "core/control/thread_shared.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "thread_helper.h"

namespace nx {
namespace {

struct ProbeShared {
  PictureRef mark;
};

// A small control that uses every part of the base: caption default, ambient font, a property
// table with continue-on-error reading, shared objects and hover tracking with a tooltip.
class ProbeControl : public Control<ProbeControl> {
 public:
  static constexpr int kMouseIn = 1;
  static constexpr int kMouseOut = 2;
  static constexpr int kKeyPress = 3;

  explicit ProbeControl(ControlSite& site) : Control(site) {}

  static const ClassTable<ProbeControl>& classTable() {
    using P = Property<ProbeControl>;
    static const ClassTable<ProbeControl> table(ClassSpec<ProbeControl>{
        .name = "ProbeControl",
        .members =
            {
                P{.name = "Caption",
                  .type = types::String,
                  .key = "text",
                  .dynamicDefault =
                      [](const ProbeControl& c) { return Value{c.defaultCaption("Caption")}; },
                  .get = [](const ProbeControl& c) { return Value{c.caption}; },
                  .put = [](ProbeControl& c, const Value& v) { c.caption = toText(v); }},
                P{.name = "Count",
                  .type = types::Long,
                  .key = "cnt",
                  .storeDefault = 5,
                  .newValue = 5,
                  .get = [](const ProbeControl& c) { return Value{c.count}; },
                  .put = [](ProbeControl& c, const Value& v) { c.count = toInt32(v); }},
                P{.name = "Flag",
                  .type = types::Bool,
                  .key = "flag",
                  .storeDefault = VBool::True,
                  .newValue = VBool::True,
                  .get = [](const ProbeControl& c) { return Value{toVBool(c.flag)}; },
                  .put = [](ProbeControl& c, const Value& v) { c.flag = toBool(v); }},
                P{.name = "Font",
                  .type = types::Font,
                  .key = "font",
                  .dynamicDefault = [](const ProbeControl& c) { return Value{c.font}; },
                  .byRef = true,
                  .get = [](const ProbeControl& c) { return Value{c.font}; },
                  .put = [](ProbeControl& c, const Value& v) { c.font = toFont(v); }},
                P{.name = "ExProp",
                  .type = types::String,
                  .key = "ExProp",
                  .storeDefault = std::string(),
                  .newValue = std::string(),
                  .hidden = true,
                  .get = [](const ProbeControl& c) { return Value{c.exProp}; },
                  .put =
                      [](ProbeControl& c, const Value& v) {
                        c.exProp = toText(v);
                        c.settings = parseExProp(c.exProp);
                      }},
            },
        .events = {{"MouseIn"}, {"MouseOut"}, {"KeyPress", {{"KeyAscii", types::Short, true}}}},
        .readPolicy = ReadPolicy::ContinueOnError,
        .writePolicy = ReadPolicy::ContinueOnError,
    });
    return table;
  }

  std::string caption;
  std::int32_t count = 0;
  bool flag = false;
  FontRef font;
  std::string exProp;
  TooltipSettings settings;
  ReadPolicy policy = ReadPolicy::ContinueOnError;
  int hoverLooks = 0;
  int redraws = 0;
  std::optional<ThreadSharedLease<ProbeControl, ProbeShared>> shared;

 protected:
  void onInitialize() override {
    shared.emplace([this] { return ProbeShared{services().loadResourcePicture("MARK")}; });
  }
  void onInitProperties() override {
    caption = defaultCaption("Caption");
    count = 5;
    flag = true;
    font = services().createFont(FontDesc{});
    takeAmbientFontName(*font);
  }
  void onReadProperties(PropertyBag& bag) override {
    font = services().createFont(FontDesc{});
    readStored(bag, policy);
  }
  void onWriteProperties(PropertyBag& bag) const override { writeStored(bag, policy); }
  void onMouseMove(std::int16_t, std::int16_t, double, double) override { trackHover(); }
  // Passes the key to the host by reference and takes back what the host left in it.
  void onKeyPress(std::int16_t& keyAscii) override {
    Value args[] = {Value{keyAscii}};
    raiseEvent(kKeyPress, args);
    keyAscii = toInt16(args[0]);
  }
  void onTerminate() override { shared.reset(); }
  void applyHoverLook() override { ++hoverLooks; }
  void undoHoverLook() override { --hoverLooks; }
  void redrawForHover() override { ++redraws; }
  void raiseMouseIn() override { raiseEvent(kMouseIn); }
  void raiseMouseOut() override { raiseEvent(kMouseOut); }
  TooltipSettings hoverTooltipSettings() const override { return settings; }
};

using Shared = ThreadShared<ProbeControl, ProbeShared>;

sim::SiteOptions named(std::string name) {
  sim::SiteOptions o;
  o.name = std::move(name);
  return o;
}

class AmbientProbe : public ProbeControl {
 public:
  using ProbeControl::ProbeControl;
  std::optional<bool> userMode() const { return ambientUserMode(); }
  std::optional<bool> displayAsDefault() const { return ambientDisplayAsDefault(); }
};

TEST(ControlBase, AmbientPropertiesTheHostLacksStayUnknown) {
  sim::SimHost host;
  sim::SiteOptions o = named("A");
  o.userMode = true;
  o.displayAsDefault = true;
  auto& a = host.create<AmbientProbe>(o);
  EXPECT_EQ(a.userMode(), true);
  EXPECT_EQ(a.displayAsDefault(), true);
  sim::SiteOptions partial = named("B");
  partial.userMode.reset();
  auto& b = host.create<AmbientProbe>(partial);
  EXPECT_EQ(b.userMode(), std::nullopt);
  EXPECT_EQ(b.displayAsDefault(), std::nullopt);
  sim::SiteOptions none = named("C");
  none.hasAmbient = false;
  auto& c = host.create<AmbientProbe>(none);
  EXPECT_EQ(c.userMode(), std::nullopt);
}

TEST(ControlBase, NewControlTakesHostNameAndAmbientFontWithFallbacks) {
  sim::SimHost host;
  sim::SiteOptions o = named("NxProbe1");
  o.ambientFont = FontDesc{"Tahoma", 12, true, false, false};
  auto& a = host.create<ProbeControl>(o);
  EXPECT_EQ(a.caption, "NxProbe1");
  EXPECT_EQ(a.font->name(), "Tahoma");
  EXPECT_EQ(a.font->size(), FontDesc{}.size);  // only the face name is taken
  EXPECT_FALSE(a.font->bold());

  auto& b = host.create<ProbeControl>(sim::SiteOptions{});  // no name, no ambient font
  EXPECT_EQ(b.caption, "Caption");
  EXPECT_EQ(b.font->name(), FontDesc{}.name);
  auto& c = host.create<ProbeControl>(named(""));
  EXPECT_EQ(c.caption, "Caption");
  sim::SiteOptions bare;
  bare.hasExtender = false;
  bare.hasAmbient = false;
  auto& d = host.create<ProbeControl>(bare);
  EXPECT_EQ(d.caption, "Caption");
  EXPECT_EQ(d.font->name(), FontDesc{}.name);
}

TEST(ControlBase, TableDrivesSaveAndLoadWithDefaultsLeftOut) {
  sim::SimHost host;
  auto& a = host.create<ProbeControl>(named("Probe1"));
  sim::SimPropertyBag fresh = host.save(a);
  // Values equal to their defaults are left out; the caption default is the host name.
  EXPECT_FALSE(fresh.stored("text").has_value());
  EXPECT_FALSE(fresh.stored("cnt").has_value());
  EXPECT_FALSE(fresh.stored("flag").has_value());
  EXPECT_FALSE(fresh.stored("ExProp").has_value());

  a.putProperty("caption", Value{std::string("Other")});
  a.putProperty("COUNT", Value{std::string("17")});  // names and values convert as the host does
  a.putProperty("Flag", Value{std::int32_t{0}});
  a.putProperty("ExProp", Value{std::string("ttstyle=balloon")});
  EXPECT_THROW(a.putProperty("Nope", Value{}), HostError);
  EXPECT_THROW(a.putProperty("Count", Value{std::string("x")}), ConversionError);
  sim::SimPropertyBag bag = host.save(a);
  EXPECT_EQ(bag.stored("TEXT"), Value{std::string("Other")});
  EXPECT_EQ(bag.stored("cnt"), Value{std::int32_t{17}});
  EXPECT_EQ(bag.stored("flag"), Value{VBool::False});

  auto& b = host.create<ProbeControl>(named("Probe2"), &bag);
  EXPECT_EQ(b.caption, "Other");
  EXPECT_EQ(b.count, 17);
  EXPECT_FALSE(b.flag);
  EXPECT_EQ(b.settings.style, 1);

  // Back to the defaults: the store leaves the keys out and reloading restores them.
  b.putProperty("Caption", Value{std::string("Probe2")});
  b.putProperty("Count", Value{std::int32_t{5}});
  b.putProperty("Flag", Value{VBool::True});
  b.putProperty("ExProp", Value{std::string()});
  sim::SimPropertyBag back = host.save(b);
  EXPECT_EQ(back.size(), 0u);
  auto& c = host.create<ProbeControl>(named("Probe2"), &back);
  EXPECT_EQ(c.caption, "Probe2");
  EXPECT_EQ(c.count, 5);
  EXPECT_TRUE(c.flag);
  EXPECT_EQ(c.settings, TooltipSettings{});
}

TEST(ControlBase, ReadPoliciesContinueOrPropagate) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("cnt", Value{std::string("not a number")});
  bag.set("FLAG", Value{VBool::False});
  bag.set("text", Value{std::string("Stored")});
  auto& a = host.create<ProbeControl>(named("P"), &bag);
  EXPECT_EQ(a.caption, "Stored");
  EXPECT_EQ(a.count, 0);  // the bad key left the previous value, reading went on
  EXPECT_FALSE(a.flag);

  ProbeControl& b = host.create<ProbeControl>(named("Q"));
  b.policy = ReadPolicy::Propagate;
  sim::SimPropertyBag failing;
  failing.failReadsOf("CNT");
  EXPECT_THROW(b.ReadProperties(failing), HostError);
  b.policy = ReadPolicy::ContinueOnError;
  EXPECT_NO_THROW(b.ReadProperties(failing));

  // Writing: a refused key stops the save, or is skipped and the rest is written.
  b.count = 9;
  b.flag = false;
  sim::SimPropertyBag refusing;
  refusing.failWritesOf("cnt");
  EXPECT_NO_THROW(b.WriteProperties(refusing));
  EXPECT_FALSE(refusing.stored("cnt").has_value());
  EXPECT_EQ(refusing.stored("flag"), Value{VBool::False});
  b.policy = ReadPolicy::Propagate;
  sim::SimPropertyBag stopping;
  stopping.failWritesOf("cnt");
  EXPECT_THROW(b.WriteProperties(stopping), HostError);
  EXPECT_FALSE(stopping.stored("flag").has_value());
}

TEST(ControlBase, HoverUsesTheStrictInsideTestAndOwnsTheTooltip) {
  sim::SimHost host;
  sim::SiteOptions o = named("P");
  o.toolTipText = "Tip text";
  o.width = 1500;  // 100 x 20 pixels at 15 twips per pixel
  o.height = 300;
  auto& c = host.create<ProbeControl>(o);
  c.putProperty("ExProp", Value{std::string("ttstyle=balloon;tttitle=T")});
  sim::SimSite& site = host.site(c);
  const WindowHandle hwnd = host.window(c).handle();

  // The left column and the top row count as outside.
  host.moveMouse(host.screenPoint(c, 0, 5));
  host.moveMouse(host.screenPoint(c, 5, 0));
  EXPECT_FALSE(c.hovering());
  EXPECT_EQ(site.eventCount(ProbeControl::kMouseIn), 0);
  EXPECT_EQ(host.capture(), 0);
  site.clearLog();

  host.moveMouse(host.screenPoint(c, 1, 1));
  EXPECT_TRUE(c.hovering());
  EXPECT_EQ(host.capture(), hwnd);
  EXPECT_EQ(c.hoverLooks, 1);
  EXPECT_EQ(site.eventCount(ProbeControl::kMouseIn), 1);
  ASSERT_NE(c.tooltip(), nullptr);
  ASSERT_EQ(host.services().tooltips().size(), 1u);
  const sim::TooltipRecord& tip = *host.services().tooltips()[0];
  EXPECT_EQ(tip.params.owner, hwnd);
  EXPECT_EQ(tip.params.style, 0x43u);
  EXPECT_EQ(std::get<ToolInfo>(tip.messages[0].lParam).text, "Tip text");
  EXPECT_EQ(std::get<ToolInfo>(tip.messages[0].lParam).rect, (Rect{0, 0, 100, 20}));

  host.moveMouse(host.screenPoint(c, 50, 10));  // still inside: nothing new
  EXPECT_EQ(site.eventCount(ProbeControl::kMouseIn), 1);
  EXPECT_EQ(host.services().tooltips().size(), 1u);

  // Leaving through the right edge (x == Width) raises exactly one MouseOut.
  host.moveMouse(host.screenPoint(c, 100, 10));
  host.moveMouse(host.screenPoint(c, 300, 300));
  host.moveMouse(host.screenPoint(c, 400, 300));
  EXPECT_FALSE(c.hovering());
  EXPECT_EQ(c.hoverLooks, 0);
  EXPECT_EQ(site.eventCount(ProbeControl::kMouseOut), 1);
  EXPECT_EQ(c.tooltip(), nullptr);
  EXPECT_FALSE(tip.alive);
  EXPECT_EQ(host.capture(), 0);

  // Coming back raises MouseIn again with a fresh tooltip.
  host.moveMouse(host.screenPoint(c, 20, 5));
  EXPECT_EQ(site.eventCount(ProbeControl::kMouseIn), 2);
  ASSERT_EQ(host.services().tooltips().size(), 2u);
  EXPECT_TRUE(host.services().tooltips()[1]->alive);
  host.destroy(c);
  EXPECT_FALSE(host.services().tooltips()[1]->alive);
}

TEST(ControlBase, TooltipProblemsNeverFailTheMouseEvent) {
  sim::SimHost host;
  auto& silent = host.create<ProbeControl>(named("NoTip"));  // no ToolTipText
  host.moveMouse(host.screenPoint(silent, 3, 3));
  EXPECT_TRUE(silent.hovering());
  EXPECT_EQ(silent.tooltip(), nullptr);
  EXPECT_TRUE(host.services().tooltips().empty());
  host.moveMouse(Point{0, 0});

  sim::SiteOptions o = named("Failing");
  o.toolTipText = "Tip";
  o.top = 2000;
  auto& failing = host.create<ProbeControl>(o);
  host.services().setTooltipCreationFails(true);
  EXPECT_NO_THROW(host.moveMouse(host.screenPoint(failing, 3, 3)));
  EXPECT_TRUE(failing.hovering());
  EXPECT_EQ(host.site(failing).eventCount(ProbeControl::kMouseIn), 1);
}

TEST(ControlBase, SharedObjectsLiveFromTheFirstToTheLastInstanceOnAThread) {
  nx::testing::onFreshThread([] {
    sim::SimHost host;
    host.services().addResourcePicture("MARK",
                                       std::make_shared<sim::SimPicture>(sim::Bitmap(16, 16)));
    auto& a = host.create<ProbeControl>(named("A"));
    auto& b = host.create<ProbeControl>(named("B"));
    EXPECT_EQ(Shared::instanceCount(), 2);
    EXPECT_EQ(host.services().pictureLoads(), 1);
    ASSERT_NE(Shared::objects(), nullptr);
    EXPECT_EQ(Shared::objects()->mark->widthPixels(), 16);
    host.destroy(a);
    EXPECT_NE(Shared::objects(), nullptr);
    host.destroy(b);
    EXPECT_EQ(Shared::instanceCount(), 0);
    EXPECT_EQ(Shared::objects(), nullptr);
    auto& c = host.create<ProbeControl>(named("C"));
    EXPECT_EQ(host.services().pictureLoads(), 2);  // loaded again
    EXPECT_NE(c.shared->objects(), nullptr);
    Shared::release();
    Shared::release();  // more releases than instances do not go below zero
    EXPECT_EQ(Shared::instanceCount(), 0);
  });
  // Another thread has its own slot.
  nx::testing::onFreshThread([] { EXPECT_EQ(Shared::objects(), nullptr); });
}

TEST(ControlBase, ScriptedHostDeliversFocusKeysAndRecordsInOrder) {
  sim::SimHost host;
  auto& a = host.create<ProbeControl>(named("A"));
  auto& b = host.create<ProbeControl>(named("B"));
  host.focus(&a);
  EXPECT_TRUE(a.hasFocus());
  host.focus(&b);
  EXPECT_FALSE(a.hasFocus());
  EXPECT_TRUE(b.hasFocus());
  host.focus(nullptr);
  EXPECT_FALSE(b.hasFocus());
  EXPECT_EQ(host.pressKey(a, 'x'), 'x');
  host.site(a).setEventHandler([](int position, std::span<Value> args) {
    if (position == ProbeControl::kKeyPress && args[0] == Value{std::int16_t{'y'}})
      args[0] = std::int16_t{0};
  });
  EXPECT_EQ(host.pressKey(a, 'y'), 0);  // the host swallowed the key
  EXPECT_EQ(host.pressKey(a, 'z'), 'z');
  const std::vector<sim::Record> events = host.site(a).events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[1].args, std::vector<Value>{Value{std::int16_t{0}}});  // as the control saw it
  EXPECT_EQ(events[2].args, std::vector<Value>{Value{std::int16_t{'z'}}});
  auto parents = host.site(a).extender()->parentControls();
  ASSERT_TRUE(parents.has_value());
  EXPECT_EQ(parents->size(), 2u);
}

}  // namespace
}  // namespace nx

namespace nx {
namespace {

// Records the callbacks the input routine makes.
class InputProbe : public Control<InputProbe> {
 public:
  explicit InputProbe(ControlSite& site) : Control(site) {}
  static const ClassTable<InputProbe>& classTable() {
    static const ClassTable<InputProbe> table(ClassSpec<InputProbe>{.name = "InputProbe"});
    return table;
  }
  std::vector<std::string> calls;

 protected:
  void onClick() override { calls.push_back("Click"); }
  void onDblClick() override { calls.push_back("DblClick"); }
  void onMouseDown(std::int16_t b, std::int16_t, double, double) override {
    calls.push_back("Down" + std::to_string(b));
  }
  void onMouseUp(std::int16_t b, std::int16_t, double, double) override {
    calls.push_back("Up" + std::to_string(b));
  }
};

TEST(ControlInput, ClicksAsPlatformControlsDo) {
  sim::SimHost host;
  auto& c = host.create<InputProbe>();
  using V = std::vector<std::string>;
  host.dblClick(c);
  EXPECT_EQ(c.calls, (V{"Down1", "Up1", "Click", "DblClick", "Up1"}));

  // Pressed on the control, released after sliding off it: no Click.
  c.calls.clear();
  host.moveMouse(host.screenPoint(c, 5, 5));
  host.mouseDown(c, kLeftButton);
  host.moveMouse(host.screenPoint(c, 500, 5));
  host.mouseUp(c, kLeftButton);
  EXPECT_EQ(c.calls, (V{"Down1", "Up1"}));

  // Other buttons never click; a release without a press does not either.
  c.calls.clear();
  host.moveMouse(host.screenPoint(c, 5, 5));
  host.mouseDown(c, kRightButton);
  host.mouseUp(c, kRightButton);
  host.mouseUp(c, kLeftButton);
  EXPECT_EQ(c.calls, (V{"Down2", "Up2", "Up1"}));
}

}  // namespace
}  // namespace nx
