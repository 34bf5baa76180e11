#include "widgets/progressbar/progress_bar.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_host.h"

namespace nx {
namespace {

constexpr int kChange = 3;  // __NxProgressBar: Click, DblClick, Change

sim::SiteOptions barSite(double width = 3000, double height = 300) {
  sim::SiteOptions o;
  o.name = "NxProgressBar1";
  o.width = width;
  o.height = height;
  return o;
}

TEST(NxProgressBar, NewControlShowsThemeOneAndTheTableValues) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite());
  for (const auto& def : NxProgressBar::classTable().info().members) {
    if (!def.newValue) continue;
    EXPECT_TRUE(sameValue(bar.getProperty(def.name), *def.newValue)) << def.name;
  }
  EXPECT_EQ(bar.theme(), thmCorporate);
  EXPECT_EQ(bar.barColor(), 0x00873A00);
  EXPECT_EQ(bar.borderStyle(), bsFixedSingle);
  EXPECT_TRUE(bar.designMode());
  EXPECT_FALSE(bar.busy());
  EXPECT_EQ(bar.hWnd(), host.window(bar).handle());
  EXPECT_EQ(bar.drawWidthPx(), 200);
  EXPECT_EQ(bar.drawHeightPx(), 20);
  // The flat look draws its own border, so the window has none.
  EXPECT_EQ(host.window(bar).appearance(), 0);
  EXPECT_EQ(host.window(bar).borderStyle(), 0);
  PictureRef image = std::get<PictureRef>(bar.getProperty("Image"));
  EXPECT_EQ(image->widthPixels(), 200);
  EXPECT_EQ(image->heightPixels(), 20);
  EXPECT_THROW(bar.putProperty("Percentage", Value{1.0f}), HostError);
  EXPECT_THROW(bar.putProperty("hWnd", Value{std::int32_t{1}}), HostError);
  // The interface order of the table.
  std::vector<std::string_view> names;
  for (const auto& def : NxProgressBar::classTable().info().members) names.push_back(def.name);
  EXPECT_EQ(names, (std::vector<std::string_view>{
                       "hWnd", "Theme", "Image", "Appearance", "BorderStyle", "BorderColor",
                       "BarColor", "BackColor", "LightColor", "LightStyle", "Orientation", "Min",
                       "Max", "Value", "Percentage", "xtrVar"}));
  EXPECT_TRUE(host.site(bar).log().empty());  // InitProperties and the first draw notify nothing
}

TEST(NxProgressBar, ValueMinMaxRulesAndChangeEvents) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite());
  sim::SimSite& site = host.site(bar);

  bar.setValue(50);
  EXPECT_EQ(bar.value(), 50);
  EXPECT_FLOAT_EQ(bar.percentage(), 50.0f);
  EXPECT_EQ(site.eventCount(kChange), 1);
  bar.putProperty("Value", Value{std::int32_t{150}});
  EXPECT_EQ(bar.value(), 100);
  EXPECT_EQ(site.eventCount(kChange), 2);
  bar.setValue(100);
  bar.setValue(1000);
  EXPECT_EQ(site.eventCount(kChange), 2);
  EXPECT_FLOAT_EQ(bar.percentage(), 100.0f);

  site.clearLog();
  bar.setMaxValue(40);  // pulls Value down without Change
  EXPECT_EQ(bar.maxValue(), 40);
  EXPECT_EQ(bar.value(), 40);
  EXPECT_EQ(site.eventCount(kChange), 0);
  EXPECT_EQ(site.changes(), std::vector<std::string>{"maxv"});
  bar.setMaxValue(0);  // equal to Min: ignored
  bar.setMaxValue(-5);
  EXPECT_EQ(bar.maxValue(), 40);
  bar.setMinValue(40);  // equal to Max: ignored
  bar.setMinValue(41);
  EXPECT_EQ(bar.minValue(), 0);
  bar.setValue(10);
  site.clearLog();
  bar.setMinValue(30);  // pushes Value up without Change
  EXPECT_EQ(bar.value(), 30);
  EXPECT_EQ(site.eventCount(kChange), 0);
  EXPECT_FLOAT_EQ(bar.percentage(), 0.0f);
  bar.setValue(-100);
  EXPECT_EQ(bar.value(), 30);
  bar.setValue(35);
  EXPECT_FLOAT_EQ(bar.percentage(), 50.0f);
  EXPECT_EQ(site.changes(), (std::vector<std::string>{"minv", "vl"}));
  // Change comes after the store and the redraw.
  ASSERT_FALSE(site.log().empty());
  EXPECT_EQ(site.log().back().kind, sim::Record::Kind::Event);
  EXPECT_EQ(site.log().back().position, kChange);

  // Extreme ranges neither overflow nor lose the percentage.
  bar.setMinValue(INT32_MIN);
  bar.setMaxValue(INT32_MAX);
  bar.setValue(0);
  EXPECT_NEAR(bar.percentage(), 50.0f, 1e-4f);
  bar.setValue(INT32_MAX);
  EXPECT_FLOAT_EQ(bar.percentage(), 100.0f);
}

TEST(NxProgressBar, ThemesApplyAndOwnPutsResetToCustom) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite());
  sim::SimSite& site = host.site(bar);
  bar.setTheme(thmOffice);
  EXPECT_EQ(bar.barColor(), 0x008D918E);
  EXPECT_EQ(bar.backColor(), 0x00EBF2ED);
  EXPECT_EQ(bar.lightColor(), 0x00FFFFFF);
  EXPECT_EQ(bar.borderColor(), 0x00979F8F);
  EXPECT_EQ(bar.lightStyle(), lsSoft);
  // The colour puts of the theme neither notify nor reset the theme.
  EXPECT_EQ(site.changes(), std::vector<std::string>{"thm"});
  EXPECT_EQ(bar.theme(), thmOffice);

  bar.setBarColor(0x00112233);
  EXPECT_EQ(bar.theme(), thmCUSTOM);
  EXPECT_EQ(bar.state().barColor.resolved(), 0x00112233u);

  bar.setTheme(thmMercury3D);
  EXPECT_EQ(bar.appearance(), ap3D);
  EXPECT_EQ(bar.lightStyle(), lsTube);
  EXPECT_EQ(host.window(bar).appearance(), 1);
  EXPECT_EQ(host.window(bar).borderStyle(), 1);  // the window draws the 3D border
  EXPECT_EQ(bar.drawWidthPx(), 196);             // two border pixels per side
  EXPECT_EQ(bar.drawHeightPx(), 16);

  bar.setTheme(thmNature3D);
  EXPECT_EQ(bar.barColor(), 0x00509929);
  EXPECT_EQ(bar.lightStyle(), lsSoft);
  for (auto put : {&NxProgressBar::setAppearance, &NxProgressBar::setBorderStyle,
                   &NxProgressBar::setLightStyle}) {
    bar.setTheme(thmVitamin);
    EXPECT_EQ(bar.barColor(), 0x0000AAFF);
    (bar.*put)(1);
    EXPECT_EQ(bar.theme(), thmCUSTOM);
  }
  bar.setTheme(thmVitamin);
  bar.setLightColor(0x00000001);
  EXPECT_EQ(bar.theme(), thmCUSTOM);

  // A number outside 1..5 is stored but applies nothing.
  bar.setTheme(9);
  EXPECT_EQ(bar.theme(), 9);
  EXPECT_EQ(bar.lightColor(), 0x00000001);
  bar.setTheme(thmCUSTOM);
  EXPECT_EQ(bar.lightColor(), 0x00000001);
  // Putting Theme 0 never resets to anything else; a colour put on Theme 0 leaves it at 0.
  bar.setBackColor(0x00ABCDEF);
  EXPECT_EQ(bar.theme(), thmCUSTOM);
}

TEST(NxProgressBar, OrientationSwapsTheSizeAndResizeKeepsTheMinimum) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite(3000, 300));
  sim::SimWindow& w = host.window(bar);
  bar.setOrientation(orVertical);
  EXPECT_EQ(w.width(), 300);
  EXPECT_EQ(w.height(), 3000);
  EXPECT_EQ(bar.drawWidthPx(), 20);
  EXPECT_EQ(bar.drawHeightPx(), 200);
  EXPECT_EQ(w.bitmap().width(), 20);
  bar.setOrientation(orVertical);  // same value: no swap
  EXPECT_EQ(w.width(), 300);
  bar.setOrientation(orHorizontal);
  EXPECT_EQ(w.width(), 3000);
  EXPECT_EQ(w.height(), 300);
  EXPECT_EQ(host.site(bar).changes(), (std::vector<std::string>{"orient", "orient", "orient"}));

  host.resize(bar, 30, 45);
  EXPECT_EQ(w.width(), 60);
  EXPECT_EQ(w.height(), 60);
  EXPECT_EQ(bar.drawWidthPx(), 4);
  EXPECT_EQ(bar.drawHeightPx(), 4);
  host.resize(bar, 0, 0);
  EXPECT_EQ(w.width(), 60);
  host.resize(bar, 1507, 300);  // twips not on a pixel still give whole pixels
  EXPECT_EQ(bar.drawWidthPx(), 100);
  EXPECT_EQ(bar.drawHeightPx(), 20);
  EXPECT_FALSE(bar.busy());
}

TEST(NxProgressBar, NotifiesTheHostOnlyAtDesignTime) {
  sim::SimHost host;
  auto& design = host.create<NxProgressBar>(barSite());
  sim::SimPropertyBag bag = host.save(design);

  sim::SiteOptions run = barSite();
  run.userMode = true;
  auto& running = host.create<NxProgressBar>(run, &bag);
  EXPECT_FALSE(running.designMode());
  running.setValue(20);
  running.setBarColor(0x00FF0000);
  running.setTheme(thmOffice);
  running.setXtrVar(Value{std::string("data")});
  EXPECT_TRUE(host.site(running).changes().empty());
  EXPECT_EQ(host.site(running).eventCount(kChange), 1);  // events still go

  sim::SiteOptions noAmbient = barSite();
  noAmbient.hasAmbient = false;
  auto& unknown = host.create<NxProgressBar>(noAmbient, &bag);
  EXPECT_FALSE(unknown.designMode());
  unknown.setValue(5);
  EXPECT_TRUE(host.site(unknown).changes().empty());

  sim::SiteOptions designer = barSite();
  designer.userMode = false;
  auto& stored = host.create<NxProgressBar>(designer, &bag);
  EXPECT_TRUE(stored.designMode());
  stored.setValue(20);
  stored.setBarColor(0x00FF0000);
  stored.setAppearance(ap3D);
  stored.setBorderStyle(bsNone);
  stored.setLightStyle(lsSoft);
  stored.setXtrVar(Value{std::int32_t{3}});
  stored.setTheme(thmOffice);
  stored.setBorderColor(1);
  stored.setBackColor(2);
  stored.setLightColor(3);
  EXPECT_EQ(host.site(stored).changes(),
            (std::vector<std::string>{"vl", "BarColor", "uappear", "uborder", "lstyle", "xtrVar",
                                      "thm", "BorderColor", "BackColor", "LightColor"}));
  // Every notified key names its property, so a host can be told which one changed.
  for (const std::string& key : host.site(stored).changes())
    EXPECT_TRUE(stored.propertyForKey(key));
  EXPECT_EQ(stored.propertyForKey("VL"), "Value");
  EXPECT_EQ(stored.propertyForKey("orient"), "Orientation");
  EXPECT_EQ(stored.propertyForKey("thm"), "Theme");
  EXPECT_FALSE(stored.propertyForKey("nosuchkey"));
}

TEST(NxProgressBar, InputRaisesClickAndDblClick) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite());
  host.click(bar);
  host.dblClick(bar);
  std::vector<int> positions;
  for (const sim::Record& r : host.site(bar).events()) positions.push_back(r.position);
  EXPECT_EQ(positions, (std::vector<int>{1, 1, 2}));
  for (const sim::Record& r : host.site(bar).events()) EXPECT_TRUE(r.args.empty());
}

TEST(NxProgressBar, PersistsWithTheExactKeysAndDefaults) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite());
  sim::SimPropertyBag bag = host.save(bar);
  // A new control is horizontal while the store default is vertical: "orient" is written.
  EXPECT_EQ(bag.stored("orient"), Value{std::int32_t{0}});
  EXPECT_EQ(bag.stored("BarColor"), Value{std::int32_t{0x00873A00}});
  EXPECT_EQ(bag.stored("BackColor"), Value{std::int32_t{0x00DED9D8}});
  EXPECT_EQ(bag.stored("BorderColor"), Value{std::int32_t{0x00C9A08D}});
  EXPECT_EQ(bag.stored("lstyle"), Value{std::int32_t{1}});
  EXPECT_EQ(bag.stored("uborder"), Value{std::int32_t{1}});
  EXPECT_FALSE(bag.stored("LightColor").has_value());  // equals its default
  EXPECT_FALSE(bag.stored("uappear").has_value());
  EXPECT_FALSE(bag.stored("minv").has_value());
  EXPECT_FALSE(bag.stored("maxv").has_value());
  EXPECT_FALSE(bag.stored("vl").has_value());
  EXPECT_FALSE(bag.stored("thm").has_value());
  EXPECT_FALSE(bag.stored("Theme").has_value());
  EXPECT_TRUE(bag.stored("xtrVar").has_value());  // written without a default: always stored
  std::vector<std::string> keys;
  for (const auto& w : bag.writes()) keys.push_back(w.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"BarColor", "BackColor", "LightColor", "BorderColor",
                                            "orient", "lstyle", "uappear", "uborder", "minv",
                                            "maxv", "vl", "xtrVar"}));
  for (const auto& w : bag.writes()) {
    if (w.key == "orient") {
      EXPECT_EQ(w.defaultValue, Value{std::int32_t{1}});
    }
    if (w.key == "BarColor") {
      EXPECT_EQ(w.defaultValue, Value{std::int32_t{0x00BBAD9C}});
    }
    if (w.key == "maxv") {
      EXPECT_EQ(w.defaultValue, Value{std::int32_t{100}});
    }
  }

  // Reading goes colours first (through their puts), then the rest, then the variant.
  NxProgressBar& reader = host.create<NxProgressBar>(barSite());
  sim::SimPropertyBag recorded = bag;
  reader.ReadProperties(recorded);
  EXPECT_EQ(recorded.reads(), (std::vector<std::string>{
                                  "BarColor", "BackColor", "LightColor", "BorderColor", "lstyle",
                                  "orient", "uappear", "uborder", "minv", "maxv", "vl", "xtrVar"}));

  // Reloaded: Theme reads 0, the colours and styles stay; nothing is notified while loading.
  auto& again = host.create<NxProgressBar>(barSite(), &bag);
  EXPECT_EQ(again.theme(), thmCUSTOM);
  EXPECT_EQ(again.barColor(), 0x00873A00);
  EXPECT_EQ(again.orientation(), orHorizontal);
  EXPECT_EQ(again.lightStyle(), lsTube);
  EXPECT_TRUE(host.site(again).log().empty());

  // An empty store gives the store defaults (vertical, soft, no border).
  sim::SimPropertyBag empty;
  auto& plain = host.create<NxProgressBar>(barSite(), &empty);
  EXPECT_EQ(plain.orientation(), orVertical);
  EXPECT_EQ(plain.barColor(), 0x00BBAD9C);
  EXPECT_EQ(plain.borderColor(), 0);
  EXPECT_EQ(plain.borderStyle(), bsNone);
  EXPECT_EQ(plain.maxValue(), 100);
}

TEST(NxProgressBar, RoundTripAwayFromEveryDefaultAndBack) {
  sim::SimHost host;
  auto& bar = host.create<NxProgressBar>(barSite());
  bar.setAppearance(ap3D);
  bar.setBorderStyle(bsNone);
  bar.setBorderColor(0x00010203);
  bar.setBarColor(systemColor(0x0D));  // a system colour is kept as set and resolved
  bar.setBackColor(0x00040506);
  bar.setLightColor(0x00070809);
  bar.setLightStyle(lsTube);
  bar.setOrientation(orHorizontal);
  bar.setMaxValue(500);
  bar.setMinValue(-20);
  bar.setValue(321);
  bar.setXtrVar(Value{std::string("payload")});
  sim::SimPropertyBag bag = host.save(bar);

  auto& copy = host.create<NxProgressBar>(barSite(), &bag);
  for (const auto& def : NxProgressBar::classTable().info().members) {
    if (!def.persisted()) continue;
    EXPECT_TRUE(sameValue(copy.getProperty(def.name), bar.getProperty(def.name))) << def.name;
  }
  EXPECT_EQ(copy.barColor(), systemColor(0x0D));
  EXPECT_EQ(copy.state().barColor.resolved(), host.services().translateOleColor(systemColor(0x0D)));
  EXPECT_FLOAT_EQ(copy.percentage(), bar.percentage());

  // Every persisted property back at its store default: the store keeps only what must be kept.
  bar.setAppearance(apFlat);
  bar.setBorderStyle(bsNone);
  bar.setBorderColor(0);
  bar.setBarColor(0x00BBAD9C);
  bar.setBackColor(0x00FFFFFF);
  bar.setLightColor(0x00FFFFFF);
  bar.setLightStyle(lsSoft);
  bar.setOrientation(orVertical);
  bar.setValue(0);
  bar.setMinValue(0);
  bar.setMaxValue(100);
  bar.setXtrVar(Value{});
  sim::SimPropertyBag defaults = host.save(bar);
  EXPECT_EQ(defaults.size(), 1u);  // only "xtrVar", which has no default
  auto& back = host.create<NxProgressBar>(barSite(), &defaults);
  for (const auto& def : NxProgressBar::classTable().info().members) {
    if (!def.persisted()) continue;
    EXPECT_TRUE(sameValue(back.getProperty(def.name), def.storeDefault)) << def.name;
  }
}

TEST(NxProgressBar, StoredRangeProblemsAndReadFailures) {
  sim::SimHost host;
  sim::SimPropertyBag inverted;
  inverted.set("minv", Value{std::int32_t{50}});
  inverted.set("maxv", Value{std::int32_t{50}});
  inverted.set("vl", Value{std::int32_t{70}});
  inverted.set("orient", Value{std::int32_t{0}});
  auto& bar = host.create<NxProgressBar>(barSite(), &inverted);
  EXPECT_EQ(bar.percentage(), 0.0f);  // an empty bar, no division by zero
  const sim::Bitmap& bmp = host.window(bar).bitmap();
  // Soft style over white: the whole bar is the background gradient, no bar colour anywhere.
  for (int x = 0; x < 200; x += 20) EXPECT_EQ(bmp.at(x, 0), 0x00FFFFFFu);
  bar.setValue(10);  // clamping with an inverted range never fails
  EXPECT_EQ(bar.value(), 50);
  bar.setMaxValue(60);  // a valid range again
  bar.setValue(55);
  EXPECT_FLOAT_EQ(bar.percentage(), 50.0f);

  sim::SimPropertyBag reversed;
  reversed.set("minv", Value{std::int32_t{100}});
  reversed.set("maxv", Value{std::int32_t{0}});
  auto& rev = host.create<NxProgressBar>(barSite(), &reversed);
  EXPECT_EQ(rev.percentage(), 0.0f);

  sim::SimPropertyBag failing;
  failing.failReadsOf("MINV");
  NxProgressBar& target = host.create<NxProgressBar>(barSite());
  EXPECT_THROW(target.ReadProperties(failing), HostError);
  EXPECT_FALSE(target.busy());
  sim::SimPropertyBag bad;
  bad.set("BarColor", Value{std::string("blue")});
  EXPECT_THROW(target.ReadProperties(bad), ConversionError);
  EXPECT_FALSE(target.busy());  // the busy flag does not stay set after a failed read
  // Values the store returns in other numeric types convert.
  sim::SimPropertyBag loose;
  loose.set("vl", Value{std::int16_t{7}});
  loose.set("BarColor", Value{std::string("255")});
  target.ReadProperties(loose);
  EXPECT_EQ(target.value(), 7);
  EXPECT_EQ(target.barColor(), 255);
}

}  // namespace
}  // namespace nx
