// NxTracker on the simulated host: buffer length from the width, acceptance rules, which puts
// redraw and notify, the shared timer, layout and the stored form.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/sim/sim_host.h"
#include "slider/tracker/tracker.h"

namespace nx {
namespace {

sim::SiteOptions runSite(double width = 1500, double height = 900) {
  sim::SiteOptions o;
  o.name = "Tracker1";
  o.userMode = true;
  o.width = width;
  o.height = height;
  return o;
}

int count(const std::vector<std::string>& v, const std::string& key) {
  return static_cast<int>(std::count(v.begin(), v.end(), key));
}

TEST(TrackerBuffer, OneSamplePerPixelColumnOfTheWidth) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite(1500));
  EXPECT_EQ(t.bufferLength(), 100);
  EXPECT_EQ(count(host.site(t).changes(), "arraylen"), 1);
  for (std::int32_t v = 1; v <= 100; ++v) t.setValue(v % 101);
  EXPECT_EQ(t.samples().sample(0), 1);
  t.setValue(42);
  EXPECT_EQ(t.samples().sample(0), 2);
  EXPECT_EQ(t.samples().sample(99), 42);

  // At 120 and 144 dpi a pixel is 12 and 10 twips: still one sample per column.
  sim::SimHost dpi120(12, 12);
  EXPECT_EQ(dpi120.create<NxTracker>(runSite(1500)).bufferLength(), 125);
  sim::SimHost dpi144(10, 10);
  EXPECT_EQ(dpi144.create<NxTracker>(runSite(1500)).bufferLength(), 150);
}

TEST(TrackerBuffer, DesignModeKeepsNoSamples) {
  sim::SimHost host;
  sim::SiteOptions o = runSite();
  o.userMode = false;
  NxTracker& t = host.create<NxTracker>(o);
  EXPECT_EQ(t.bufferLength(), 0);
  t.setValue(30);
  EXPECT_EQ(t.value(), 30);
  EXPECT_EQ(t.samples().added(), 0u);
  EXPECT_EQ(count(host.site(t).changes(), "arraylen"), 0);
  EXPECT_EQ(host.services().clock().running(), 0u);
}

TEST(TrackerBuffer, AWidthOffThePixelGridResetsAtEveryLayout) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite(1500));
  t.setInitValue(20);
  t.setValue(70);
  ASSERT_EQ(t.samples().sample(99), 70);
  // The same width again keeps the samples.
  host.resize(t, 1500, 900);
  EXPECT_EQ(t.samples().sample(99), 70);
  EXPECT_EQ(t.value(), 70);

  host.resize(t, 1507, 900);  // 100.47 columns
  EXPECT_EQ(t.bufferLength(), 100);
  EXPECT_EQ(t.value(), 20);
  EXPECT_EQ(t.samples().sample(99), 20);
  EXPECT_EQ(t.samples().average(0), 20);
  t.setValue(60);
  host.resize(t, 1507, 900);  // same width, still not a whole number of columns
  EXPECT_EQ(t.samples().sample(99), 20);
  EXPECT_EQ(t.value(), 20);
  EXPECT_EQ(count(host.site(t).changes(), "arraylen"), 3);
}

TEST(TrackerLayout, EnlargesToTheMinimumSize) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite(120, 60));
  EXPECT_EQ(host.window(t).width(), NxTracker::kMinimumWidth);
  EXPECT_EQ(host.window(t).height(), NxTracker::kMinimumHeight);
  EXPECT_EQ(t.bufferLength(), 20);
  host.resize(t, 299, 500);
  EXPECT_EQ(host.window(t).width(), 300);
  EXPECT_EQ(host.window(t).height(), 500);
}

TEST(TrackerRules, ValuesOutsideTheScaleAreIgnored) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite());
  t.setValue(101);
  EXPECT_EQ(t.value(), 0);
  EXPECT_EQ(t.samples().added(), 0u);
  t.setValue(100);
  EXPECT_EQ(t.value(), 100);
  t.setValue(-1);
  EXPECT_EQ(t.value(), 100);
  t.setInitValue(101);
  t.setInitValue(-1);
  EXPECT_EQ(t.initValue(), 0);
  t.setInitValue(100);
  EXPECT_EQ(t.initValue(), 100);

  // MarkerValue must lie strictly inside.
  t.setMarkerValue(0);
  t.setMarkerValue(100);
  EXPECT_EQ(t.markerValue(), 50);
  t.setMarkerValue(99);
  EXPECT_EQ(t.markerValue(), 99);

  // Min stays below Max.
  t.setMin(100);
  t.setMax(0);
  EXPECT_EQ(t.min(), 0);
  EXPECT_EQ(t.max(), 100);
  t.setMax(1);
  t.setMin(1);
  EXPECT_EQ(t.min(), 0);
  EXPECT_EQ(t.max(), 1);

  for (std::int16_t bad : {std::int16_t{4}, std::int16_t{51}, std::int16_t{-5}}) {
    t.setGridBlockSize(bad);
    EXPECT_EQ(t.gridBlockSize(), 20) << bad;
  }
  t.setGridBlockSize(5);
  EXPECT_EQ(t.gridBlockSize(), 5);
  t.setGridBlockSize(50);
  EXPECT_EQ(t.gridBlockSize(), 50);

  t.setRefreshInterval(-20);
  EXPECT_EQ(t.refreshInterval(), 0);  // -20 differs from 0 and is stored as 0
  t.setCaption("  Load  ");
  EXPECT_EQ(t.caption(), "Load");
}

TEST(TrackerRules, PutsRedrawAndNotifyAsTheirRulesSay) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite());
  sim::SimSite& site = host.site(t);
  const auto drawings = [&] { return t.canvas().completeDrawings(); };
  struct Case {
    const char* name;
    std::function<void()> setup;  // runs before the put is watched
    std::function<void()> put;
    const char* key;
    bool redraws;
  };
  const auto none = [] {};
  const std::vector<Case> cases = {
      {"Style", none, [&] { t.setStyle(gsPoint); }, "style", false},
      {"Average", none, [&] { t.setAverage(true); }, "average", false},
      {"Alignment", none, [&] { t.setAlignment(aaBottomRight); }, "align", true},
      {"GridStyle", none, [&] { t.setGridStyle(gdsBoth); }, "gridstyle", true},
      {"GridBlockSize", none, [&] { t.setGridBlockSize(25); }, "gridbsize", true},
      {"LineColor", none, [&] { t.setLineColor(0x123456); }, "linecolor", true},
      {"Caption", none, [&] { t.setCaption("Load"); }, "caption", true},
      {"Min", none, [&] { t.setMin(-10); }, "minvalue", false},
      {"Max", none, [&] { t.setMax(90); }, "maxvalue", false},
      {"InitValue", none, [&] { t.setInitValue(5); }, "initvalue", false},
      {"MarkerValue, no marker", none, [&] { t.setMarkerValue(40); }, "markervalue", false},
      {"MarkerLabel, no marker", none, [&] { t.setMarkerLabel("x"); }, "markerlabel", false},
      {"MarkerFont, plain line", [&] { t.setMarkerStyle(msLine); },
       [&] {
         t.setMarkerFont(host.services().createFont(FontDesc{"Arial", 7}));
       },
       "markerfont", false},
      {"MarkerStyle", none, [&] { t.setMarkerStyle(msLabeledLine); }, "markerstyle", true},
      {"MarkerLabel, labelled line", none, [&] { t.setMarkerLabel("limit"); }, "markerlabel", true},
      {"MarkerFont, labelled line", none,
       [&] {
         t.setMarkerFont(host.services().createFont(FontDesc{"Arial", 8}));
       },
       "markerfont", true},
      {"MarkerValue, labelled line", none, [&] { t.setMarkerValue(45); }, "markervalue", false},
      {"MarkerValue, value label", [&] { t.setMarkerStyle(msValueLabeledLine); },
       [&] { t.setMarkerValue(41); }, "markervalue", true},
      {"xtrVar", none, [&] { t.setXtrVar(Value{std::string("tag")}); }, "xtrVar", false},
  };
  for (const Case& c : cases) {
    c.setup();
    site.clearLog();
    const int before = drawings();
    c.put();
    EXPECT_EQ(site.changes(), std::vector<std::string>{c.key}) << c.name;
    EXPECT_EQ(drawings() > before, c.redraws) << c.name;
  }
}

TEST(TrackerRules, ValueSamplesOnlyWithoutInterval) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite());
  t.setValue(10);
  EXPECT_EQ(t.samples().added(), 1u);
  EXPECT_TRUE(host.site(t).changes().size() == 1);  // arraylen only: Value never notifies
  t.setEnabled(false);
  t.setRefreshInterval(100);
  t.setValue(20);
  EXPECT_EQ(t.samples().added(), 1u);
  EXPECT_EQ(t.value(), 20);
}

// ---- the shared timer ----

sim::SiteOptions timedSite(const char* name) {
  sim::SiteOptions o = runSite();
  o.name = name;
  return o;
}

sim::SimPropertyBag timedForm(std::int16_t interval) {
  sim::SimPropertyBag bag;
  bag.set("interval", Value{interval});
  bag.set("enabled", Value{VBool::True});
  return bag;
}

TEST(TrackerTimer, TheFirstLayoutInRunModeStartsSampling) {
  sim::SimHost host;
  const sim::SimPropertyBag form = timedForm(100);
  NxTracker& t = host.create<NxTracker>(runSite(), &form);
  EXPECT_TRUE(t.ownsRunningTimer());
  t.setValue(30);
  EXPECT_EQ(t.samples().added(), 0u);  // the timer samples, not the put
  host.services().clock().advance(250);
  EXPECT_EQ(t.samples().added(), 2u);
  EXPECT_EQ(t.samples().sample(99), 30);
  t.setValue(60);
  host.services().clock().advance(100);
  EXPECT_EQ(t.samples().sample(99), 60);
  EXPECT_EQ(t.samples().sample(98), 30);
  // While the timer runs the interval cannot change.
  t.setRefreshInterval(50);
  EXPECT_EQ(t.refreshInterval(), 100);
}

TEST(TrackerTimer, TwoTrackersShareTheLibrarysTimer) {
  sim::SimHost host;
  const sim::SimPropertyBag fast = timedForm(50);
  const sim::SimPropertyBag slow = timedForm(100);
  NxTracker& a = host.create<NxTracker>(timedSite("A"), &fast);
  NxTracker& b = host.create<NxTracker>(timedSite("B"), &slow);
  EXPECT_TRUE(a.ownsRunningTimer());
  EXPECT_FALSE(b.ownsRunningTimer());
  host.services().clock().advance(200);
  EXPECT_EQ(a.samples().added(), 4u);
  EXPECT_EQ(b.samples().added(), 0u);
  // B cannot change its interval while A's timer runs.
  b.setRefreshInterval(70);
  EXPECT_EQ(b.refreshInterval(), 100);

  // Disabling B stops A's timer.
  b.setEnabled(false);
  EXPECT_EQ(host.services().clock().running(), 0u);
  host.services().clock().advance(200);
  EXPECT_EQ(a.samples().added(), 4u);
  EXPECT_FALSE(host.window(b).enabled());

  // Now B may start its own; ending A stops it.
  b.setEnabled(true);
  EXPECT_TRUE(b.ownsRunningTimer());
  host.services().clock().advance(100);
  EXPECT_EQ(b.samples().added(), 1u);
  host.destroy(a);
  EXPECT_EQ(host.services().clock().running(), 0u);
  host.services().clock().advance(300);
  EXPECT_EQ(b.samples().added(), 1u);
  // Enabling again with its own timer running keeps that timer.
  b.setEnabled(true);
  const std::shared_ptr<TrackerTimer> own = trackertimer::slottedTimer();
  ASSERT_NE(own, nullptr);
  b.setEnabled(true);
  EXPECT_EQ(trackertimer::slottedTimer(), own);
  host.services().clock().advance(100);
  EXPECT_EQ(b.samples().added(), 2u);
}

TEST(TrackerTimer, ACallbackAfterTheEndDrawsNothing) {
  sim::SimHost host;
  const sim::SimPropertyBag form = timedForm(40);
  NxTracker& t = host.create<NxTracker>(runSite(), &form);
  const std::shared_ptr<TrackerTimer> timer = trackertimer::slottedTimer();
  ASSERT_NE(timer, nullptr);
  const std::uint32_t id = timer->timerId();
  const int drawn = t.canvas().completeDrawings() + t.canvas().scrolledDrawings();
  t.Terminate();
  trackertimer::timerProc(id);
  timer->pulse();  // even a pulse straight to the dropped timer object
  EXPECT_EQ(t.samples().added(), 0u);
  EXPECT_EQ(t.canvas().completeDrawings() + t.canvas().scrolledDrawings(), drawn);
}

// ---- the stored form ----

TEST(TrackerStore, AFormWithoutEnabledLoadsDisabled) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("interval", Value{std::int16_t{100}});
  NxTracker& t = host.create<NxTracker>(runSite(), &bag);
  EXPECT_FALSE(t.enabled());
  EXPECT_FALSE(host.window(t).enabled());
  EXPECT_EQ(host.services().clock().running(), 0u);
  EXPECT_FALSE(t.look().showSeries);
}

TEST(TrackerStore, DirectKeysSkipTheChecksAndBadKeysAreSkipped) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("gridbsize", Value{std::int16_t{70}});
  bag.set("minvalue", Value{std::int32_t{500}});
  bag.set("markervalue", Value{std::int32_t{-3}});
  bag.set("gridcolor", Value{std::string("not a colour")});
  bag.set("caption", Value{std::string("  padded ")});
  bag.failReadsOf("linecolor");
  sim::SiteOptions design = runSite();
  design.userMode = false;
  NxTracker& t = host.create<NxTracker>(design, &bag);
  EXPECT_EQ(t.gridBlockSize(), 70);
  EXPECT_EQ(t.min(), 500);
  EXPECT_EQ(t.max(), 100);
  EXPECT_EQ(t.markerValue(), -3);
  EXPECT_EQ(t.caption(), "  padded ");
  EXPECT_EQ(t.gridColor(), 0x003300);  // keeps its previous value
  EXPECT_EQ(t.lineColor(), 0x00FF00);
  EXPECT_EQ(t.refreshInterval(), 250);
  EXPECT_TRUE(host.site(t).changes().empty() ||
              host.site(t).changes() == std::vector<std::string>{"font"});
  // An upside-down scale draws without failing.
  host.setUserMode(true);
  host.resize(t, 1500, 900);
  t.setValue(0);
  EXPECT_GT(t.canvas().completeDrawings(), 0);
}

TEST(TrackerStore, WritesTheKeysInOrderAndNeverTheBufferLength) {
  sim::SimHost host;
  NxTracker& t = host.create<NxTracker>(runSite());
  sim::SimPropertyBag bag = host.save(t);
  std::vector<std::string> keys;
  for (const auto& w : bag.writes()) keys.push_back(w.key);
  const std::vector<std::string> expected = {
      "markerlabel",  "markerstyle",     "markervalue", "gridstyle",    "gridbsize",
      "average",      "align",           "caption",     "enabled",      "font",
      "markerfont",   "initvalue",       "interval",    "maxvalue",     "minvalue",
      "style",        "appearence",      "borderstyle", "averagecolor", "gridcolor",
      "backcolortop", "backcolorbottom", "forecolor",   "linecolor",    "markercolor",
      "xtrVar"};
  EXPECT_EQ(keys, expected);
  EXPECT_FALSE(bag.stored("arraylen").has_value());
  // A new control's interval (0) differs from the stored default (250), so it is stored.
  ASSERT_TRUE(bag.stored("interval").has_value());
  EXPECT_EQ(toInt32(*bag.stored("interval")), 0);
  // The caption equals its default, the control's name, and is left out.
  EXPECT_EQ(t.caption(), "Tracker1");
  EXPECT_FALSE(bag.stored("caption").has_value());
}

}  // namespace
}  // namespace nx
