// NxMeter: segment layout and length snapping, the lit count and its zones, puts that are
// ignored or overflow, Change without a redraw, loading and saving, drawApiRect, and the picture
// checked pixel by pixel against the segment rules.
#include "widgets/meter/meter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_host.h"
#include "widgets/meter/meter_layout.h"

namespace nx {
namespace {

using namespace meter;

constexpr int kClick = 1;
constexpr int kChange = 3;  // __NxMeter: Click, DblClick, Change
constexpr Rgb kOff = 0x00404040, kL0 = 0x0000C000, kL1 = 0x0000C0C0, kL2 = 0x000000C0;

// A vertical meter 20 x 200 pixels as the host first sizes it.
sim::SiteOptions meterSite(double width = 300, double height = 3000) {
  sim::SiteOptions o;
  o.name = "NxMeter1";
  o.width = width;
  o.height = height;
  return o;
}

// The colour in the middle of segment i (0-based) as the window shows it.
Rgb segmentPixel(sim::SimHost& host, const NxMeter& m, std::size_t i) {
  const Rect& r = m.segments().at(i);
  return host.window(m).bitmap().at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

TEST(NxMeterLayout, SegmentSizeRoundsHalvesToEvenAndGrowsTooShortMeters) {
  EXPECT_EQ(segmentSize(200, 12), 15);  // 185 / 12 = 15.42
  EXPECT_EQ(segmentSize(34, 10), 2);    // 21 / 10 = 2.1
  EXPECT_EQ(segmentSize(38, 10), 2);    // 25 / 10 = 2.5: halves go to the even neighbour
  EXPECT_EQ(segmentSize(48, 10), 4);    // 35 / 10 = 3.5
  EXPECT_EQ(segmentSize(5, 12), 1);     // too short: at least one pixel
  EXPECT_EQ(segmentSize(100, 0), 0);
  EXPECT_DOUBLE_EQ(snappedLengthTwips(12, 15, apFlat, bsNone, 15), 2925.0);
  EXPECT_DOUBLE_EQ(snappedLengthTwips(12, 15, apFlat, bsFixedSingle, 15), 2955.0);
  EXPECT_DOUBLE_EQ(snappedLengthTwips(12, 15, ap3D, bsFixedSingle, 15), 2985.0);
  EXPECT_DOUBLE_EQ(snappedLengthTwips(12, 15, ap3D, bsNone, 15), 2925.0);
}

TEST(NxMeterLayout, SegmentsStackUpwardOrRunRightOnePixelApart) {
  const std::vector<Rect> v = segmentRects(orVertical, 3, 5, 20, 23);
  ASSERT_EQ(v.size(), 3u);
  EXPECT_EQ(v[0], (Rect{2, 16, 18, 21}));  // bottom segment first
  EXPECT_EQ(v[1], (Rect{2, 10, 18, 15}));
  EXPECT_EQ(v[2], (Rect{2, 4, 18, 9}));
  const std::vector<Rect> h = segmentRects(orHorizontal, 3, 5, 23, 20);
  EXPECT_EQ(h[0], (Rect{2, 2, 7, 18}));
  EXPECT_EQ(h[1], (Rect{8, 2, 13, 18}));
  EXPECT_EQ(h[2], (Rect{14, 2, 19, 18}));
  EXPECT_TRUE(segmentRects(orVertical, 0, 5, 20, 23).empty());
}

TEST(NxMeterModel, LitCountAndZones) {
  EXPECT_EQ(litCount(12, 50, 0, 100), 6);
  EXPECT_EQ(litCount(12, 100, 0, 100), 12);
  EXPECT_EQ(litCount(10, 25, 0, 100), 2);      // 2.5 goes to the even 2
  EXPECT_EQ(litCount(10, 35, 0, 100), 4);      // 3.5 goes to the even 4
  EXPECT_EQ(litCount(10, -50, -100, 100), 2);  // 50 / 200 x 10 = 2.5
  EXPECT_EQ(litCount(12, 5, 5, 5), 0);         // an empty stored range lights nothing
  EXPECT_EQ(litCount(12, INT32_MAX, INT32_MIN, INT32_MAX), 12);
  // 12 steps: p = 8 17 25 33 42 50 58 67 75 83 92 100.
  const Zone expected[] = {Zone::L0, Zone::L0, Zone::L0, Zone::L0, Zone::L0, Zone::L0,
                           Zone::L0, Zone::L0, Zone::L1, Zone::L1, Zone::L2, Zone::L2};
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(segmentZone(i, 12, 12, 70, 90), expected[i - 1]) << i;
  EXPECT_EQ(segmentZone(7, 12, 6, 70, 90), Zone::Off);
  EXPECT_EQ(segmentZone(6, 12, 6, 70, 90), Zone::L0);
  // p equal to a level start stays in the lower zone.
  EXPECT_EQ(segmentZone(7, 10, 10, 70, 90), Zone::L0);
  EXPECT_EQ(segmentZone(9, 10, 10, 70, 90), Zone::L1);
}

TEST(NxMeter, NewControlSnapsTwoHundredPixelsToTwentyNineTwentyFiveTwips) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  EXPECT_EQ(m.orientation(), orVertical);
  EXPECT_EQ(m.steps(), 12);
  EXPECT_EQ(m.level1StartPc(), 70);
  EXPECT_EQ(m.level2StartPc(), 90);
  EXPECT_EQ(m.segmentSizePx(), 15);
  EXPECT_DOUBLE_EQ(host.window(m).height(), 2925.0);
  EXPECT_DOUBLE_EQ(host.window(m).width(), 300.0);  // the other dimension is left alone
  // Top segment begins at the gap: the segments fill the snapped length exactly.
  EXPECT_EQ(m.segments().back().top, kBorderGap);
  EXPECT_EQ(m.segments().front().bottom, 195 - kBorderGap);
  EXPECT_EQ(m.hWnd(), host.window(m).handle());
}

TEST(NxMeter, BorderAllowanceFollowsAppearance) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  host.site(m).clearLog();
  m.setBorderStyle(bsFixedSingle);  // flat border: one pixel per side, 193 pixels inside
  EXPECT_EQ(host.window(m).borderStyle(), bsFixedSingle);
  EXPECT_EQ(m.segmentSizePx(), 15);
  EXPECT_DOUBLE_EQ(host.window(m).height(), 2955.0);
  m.setAppearance(ap3D);  // 3D border: two pixels per side
  EXPECT_EQ(host.window(m).appearance(), ap3D);
  EXPECT_DOUBLE_EQ(host.window(m).height(), 2985.0);
  EXPECT_EQ(m.segments().back().top, kBorderGap);
  EXPECT_EQ((std::vector<std::string>{"uborder", "uappear"}), host.site(m).changes());
  // A host resize snaps again.
  host.resize(m, 300, 1500);
  EXPECT_EQ(m.segmentSizePx(), 7);  // (96 - 4 - 11) / 12 = 6.75
  EXPECT_DOUBLE_EQ(host.window(m).height(), 15.0 * (84 + 4 + 11) + 60.0);
}

TEST(NxMeter, FiftyOfHundredLightsSixOfTwelveInZoneColours) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  m.setValue(50);
  EXPECT_FLOAT_EQ(m.percentage(), 50.0f);
  EXPECT_EQ(m.state().lit, 6);
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_EQ(segmentPixel(host, m, i), i < 6 ? kL0 : kOff) << "segment " << i;
  m.setValue(100);
  const Rgb full[] = {kL0, kL0, kL0, kL0, kL0, kL0, kL0, kL0, kL1, kL1, kL2, kL2};
  for (std::size_t i = 0; i < 12; ++i)
    EXPECT_EQ(segmentPixel(host, m, i), full[i]) << "segment " << i;
  // Moving the zones repaints with the same lit count.
  m.setLevel1StartPc(40);
  EXPECT_EQ(segmentPixel(host, m, 3), kL0);  // p 33
  EXPECT_EQ(segmentPixel(host, m, 4), kL1);  // p 42
}

TEST(NxMeter, ChangeWithoutRedrawWhenNoSegmentChanges) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  m.setValue(50);
  host.site(m).clearLog();
  // A mark the meter would paint over if it redrew.
  Surface& surface = host.window(m).surface();
  surface.dc().setPixel(0, 0, 0x00ABCDEF);
  m.setValue(52);  // 6.24 segments: still six
  EXPECT_EQ(host.site(m).eventCount(kChange), 1);
  EXPECT_EQ(host.site(m).changes(), std::vector<std::string>{"vl"});
  EXPECT_EQ(host.window(m).bitmap().at(0, 0), 0x00ABCDEFu);
  m.setValue(52);  // the same value: nothing at all
  EXPECT_EQ(host.site(m).eventCount(kChange), 1);
  m.setValue(55);  // 6.6: seven segments, redrawn
  EXPECT_EQ(host.site(m).eventCount(kChange), 2);
  EXPECT_EQ(host.window(m).bitmap().at(0, 0), 0x00000000u);
  EXPECT_EQ(segmentPixel(host, m, 6), kL0);
  // Clamped into the range; Click is forwarded.
  m.setValue(1000);
  EXPECT_EQ(m.value(), 100);
  host.click(m);
  EXPECT_EQ(host.site(m).eventCount(kClick), 1);
}

TEST(NxMeter, OutOfRangePutsAreIgnoredAndStepsOverflow) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  host.site(m).clearLog();
  m.setSteps(60);  // more than (100 - 0) / 2
  m.setSteps(0);
  m.setSteps(-3);
  m.setLevel2StartPc(100);
  m.setLevel2StartPc(70);  // not above level 1
  m.setLevel1StartPc(0);
  m.setLevel1StartPc(90);  // not below level 2
  m.setMinValue(100);
  m.setMaxValue(0);
  EXPECT_TRUE(host.site(m).log().empty());
  EXPECT_EQ(m.steps(), 12);
  EXPECT_EQ(m.level1StartPc(), 70);
  EXPECT_EQ(m.level2StartPc(), 90);
  EXPECT_EQ(m.minValue(), 0);
  EXPECT_EQ(m.maxValue(), 100);
  m.setSteps(50);
  EXPECT_EQ(m.steps(), 50);
  m.setLevel2StartPc(99);
  EXPECT_EQ(m.level2StartPc(), 99);
  // Accepted by the range but beyond 16 bits: an overflow error, nothing changes.
  m.setMaxValue(200000);
  host.site(m).clearLog();
  EXPECT_THROW(m.putProperty("Steps", Value{std::int32_t{40000}}), ConversionError);
  EXPECT_EQ(m.steps(), 50);
  EXPECT_TRUE(host.site(m).changes().empty());
  m.putProperty("Steps", Value{std::int32_t{32767}});
  EXPECT_EQ(m.steps(), 32767);
}

TEST(NxMeter, MinAndMaxMoveValueWithoutChangeOrNewLitCount) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  m.setValue(50);
  host.site(m).clearLog();
  m.setMaxValue(40);
  EXPECT_EQ(m.value(), 40);
  EXPECT_EQ(m.state().lit, 6);  // recomputed only by the next Value change
  m.setMinValue(45);
  EXPECT_EQ(m.minValue(), 0);  // not below Max 40: ignored
  m.setMinValue(30);
  EXPECT_EQ(m.value(), 40);
  EXPECT_EQ(host.site(m).eventCount(kChange), 0);
  EXPECT_EQ(host.site(m).changes(), (std::vector<std::string>{"maxv", "minv"}));
  m.setValue(35);
  EXPECT_EQ(m.state().lit, 6);  // 12 x 5 / 10
  EXPECT_FLOAT_EQ(m.percentage(), 50.0f);
}

TEST(NxMeter, OrientationSwapsTheSizeAndRunsSegmentsFromTheLeft) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  m.setValue(25);  // three lit
  m.setOrientation(orHorizontal);
  EXPECT_DOUBLE_EQ(host.window(m).height(), 300.0);
  EXPECT_DOUBLE_EQ(host.window(m).width(), 2925.0);
  EXPECT_EQ(m.segments().front().left, kBorderGap);
  EXPECT_EQ(m.segments().back().right, 195 - kBorderGap);
  EXPECT_EQ(segmentPixel(host, m, 2), kL0);
  EXPECT_EQ(segmentPixel(host, m, 3), kOff);
}

TEST(NxMeter, SavesInWriteOrderAndLoadsWithoutEvents) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  m.setColorL2(0x00112233);
  m.setBackColor(syscolor::kButtonFace);
  m.setSteps(10);
  m.setValue(35);
  sim::SimPropertyBag bag = host.save(m);
  std::vector<std::string> keys;
  for (const auto& w : bag.writes()) keys.push_back(w.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"cl0", "cl1", "cl2", "coff", "bcolor", "orient",
                                            "uappear", "uborder", "minv", "maxv", "vl", "stps",
                                            "l1pc", "l2pc", "xtrVar"}));
  auto& copy = host.create<NxMeter>(meterSite(), &bag);
  EXPECT_TRUE(host.site(copy).log().empty());  // no Change, no notification while loading
  EXPECT_EQ(copy.value(), 35);
  EXPECT_EQ(copy.state().lit, 4);  // 3.5 to the even 4
  EXPECT_EQ(copy.backColor(), syscolor::kButtonFace);
  // The first drawing follows the Resize: the back colour resolved, four segments lit.
  EXPECT_EQ(host.window(copy).bitmap().at(0, 0), 0x00C8D0D4u);
  EXPECT_EQ(segmentPixel(host, copy, 3), kL0);
  EXPECT_EQ(segmentPixel(host, copy, 4), kOff);
}

TEST(NxMeter, ReadFailuresReachTheHost) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("stps", Value{std::string("many")});
  EXPECT_THROW(host.create<NxMeter>(meterSite(), &bag), ConversionError);
  sim::SimPropertyBag big;
  big.set("stps", Value{std::int32_t{70000}});  // held as 16 bits
  EXPECT_THROW(host.create<NxMeter>(meterSite(), &big), ConversionError);
  sim::SimPropertyBag failing;
  failing.failReadsOf("l1pc");
  EXPECT_THROW(host.create<NxMeter>(meterSite(), &failing), NxError);
}

TEST(NxMeter, StoredStepsBelowOneDrawOnlyTheBackground) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("stps", Value{std::int32_t{0}});
  bag.set("vl", Value{std::int32_t{50}});
  auto& m = host.create<NxMeter>(meterSite(), &bag);
  EXPECT_TRUE(m.segments().empty());
  EXPECT_EQ(m.state().lit, 0);
  EXPECT_DOUBLE_EQ(host.window(m).height(), 3000.0);  // nothing to snap to
  EXPECT_EQ(host.window(m).bitmap().at(10, 100), 0x00000000u);
}

class DrawApiRect : public ::testing::Test {
 protected:
  static constexpr std::int32_t kHandle = 0x4D0;
  void SetUp() override { host.services().registerDeviceContext(kHandle, &target.dc()); }
  void TearDown() override { host.services().registerDeviceContext(kHandle, nullptr); }
  Value call(std::vector<Value>& args) { return m->invokeMethod("drawApiRect", args); }

  sim::SimHost host;
  NxMeter* m = &host.create<NxMeter>(meterSite());
  sim::MemoryDC target{16, 12, 0x00FFFFFF};
};

TEST_F(DrawApiRect, OutlineAndFillWithRightAndBottomExclusive) {
  std::vector<Value> args = {Value{kHandle}, Value{2},          Value{3},         Value{10},
                             Value{8},       Value{0x000000FF}, Value{0x00FF0000}};
  call(args);
  const sim::Bitmap& b = target.bitmap();
  EXPECT_EQ(b.at(2, 3), 0x000000FFu);
  EXPECT_EQ(b.at(9, 3), 0x000000FFu);
  EXPECT_EQ(b.at(9, 7), 0x000000FFu);
  EXPECT_EQ(b.at(2, 7), 0x000000FFu);
  EXPECT_EQ(b.at(3, 4), 0x00FF0000u);
  EXPECT_EQ(b.at(8, 6), 0x00FF0000u);
  EXPECT_EQ(b.at(10, 5), 0x00FFFFFFu);  // right edge exclusive
  EXPECT_EQ(b.at(5, 8), 0x00FFFFFFu);   // bottom edge exclusive
  EXPECT_EQ(b.at(1, 3), 0x00FFFFFFu);
  // By-reference corners come back as they went.
  EXPECT_EQ(toInt32(args[3]), 10);
  EXPECT_EQ(toInt32(args[4]), 8);
}

TEST_F(DrawApiRect, FillLeftOutKeepsTheInsideAndCornersMayBeSwapped) {
  const auto info = NxMeter::classTable().info().find("drawApiRect");
  ASSERT_NE(info, nullptr);
  ASSERT_TRUE(info->params[6].defaultValue.has_value());
  EXPECT_TRUE(sameValue(*info->params[6].defaultValue, Value{std::int32_t{-1}}));
  EXPECT_TRUE(info->params[3].byRef && info->params[4].byRef);
  std::vector<Value> args = {Value{kHandle},
                             Value{12},
                             Value{9},
                             Value{4},
                             Value{1},
                             Value{syscolor::kGrayText},
                             *info->params[6].defaultValue};
  call(args);
  const sim::Bitmap& b = target.bitmap();
  EXPECT_EQ(b.at(4, 1), 0x00808080u);  // the system colour, translated
  EXPECT_EQ(b.at(11, 8), 0x00808080u);
  EXPECT_EQ(b.at(7, 5), 0x00FFFFFFu);  // inside untouched
  EXPECT_EQ(b.at(12, 5), 0x00FFFFFFu);
}

TEST_F(DrawApiRect, UnknownHandlesAndEmptyRectangles) {
  std::vector<Value> bad = {Value{0x999}, Value{0}, Value{0}, Value{5},
                            Value{5},     Value{0}, Value{0}};
  EXPECT_THROW(call(bad), HostError);
  std::vector<Value> empty = {Value{kHandle}, Value{3}, Value{3}, Value{3},
                              Value{9},       Value{0}, Value{0}};
  call(empty);
  for (std::int32_t y = 0; y < 12; ++y) EXPECT_EQ(target.bitmap().at(3, y), 0x00FFFFFFu);
  std::vector<Value> thin = {Value{kHandle}, Value{5}, Value{2},         Value{6},
                             Value{4},       Value{0}, Value{0x00FF0000}};
  call(thin);  // one pixel wide: all outline
  EXPECT_EQ(target.bitmap().at(5, 2), 0u);
  EXPECT_EQ(target.bitmap().at(5, 3), 0u);
  EXPECT_EQ(target.bitmap().at(5, 4), 0x00FFFFFFu);
  std::vector<Value> tooFew = {Value{kHandle}, Value{5}};
  EXPECT_THROW(call(tooFew), HostError);
}

TEST(NxMeterPicture, SegmentsGapsAndBackgroundFollowTheRules) {
  sim::SimHost host;
  auto& m = host.create<NxMeter>(meterSite());
  m.setBackColor(0x00201008);
  m.setValue(100);
  const sim::Bitmap& b = host.window(m).bitmap();
  std::filesystem::create_directories(NX_PNG_DIR);
  EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/meter_vertical_full.png", b));
  ASSERT_EQ(b.height(), 195);
  const Rgb back = 0x00201008;
  // Per row: the gap rows and the one-pixel rows between segments show the background; every
  // segment row is its zone colour from x = 2 to x = 17 and background outside.
  std::vector<Rgb> rowColor(195, back);
  const Rgb zones[] = {kL0, kL0, kL0, kL0, kL0, kL0, kL0, kL0, kL1, kL1, kL2, kL2};
  for (int i = 0; i < 12; ++i) {
    const int top = 195 - 2 - 15 - i * 16;
    for (int y = top; y < top + 15; ++y) rowColor[static_cast<std::size_t>(y)] = zones[i];
  }
  for (int y = 0; y < 195; ++y) {
    SCOPED_TRACE("row " + std::to_string(y));
    EXPECT_EQ(b.at(0, y), back);
    EXPECT_EQ(b.at(1, y), back);
    EXPECT_EQ(b.at(2, y), rowColor[static_cast<std::size_t>(y)]);
    EXPECT_EQ(b.at(10, y), rowColor[static_cast<std::size_t>(y)]);
    EXPECT_EQ(b.at(17, y), rowColor[static_cast<std::size_t>(y)]);
    EXPECT_EQ(b.at(18, y), back);
  }
  m.setOrientation(orHorizontal);
  m.setValue(40);  // 4.8: five lit
  EXPECT_TRUE(
      sim::writePng(std::string(NX_PNG_DIR) + "/meter_horizontal_40.png", host.window(m).bitmap()));
  const sim::Bitmap& h = host.window(m).bitmap();
  for (int i = 0; i < 12; ++i) {
    const int left = 2 + i * 16;
    EXPECT_EQ(h.at(left, 10), i < 5 ? kL0 : kOff) << i;
    EXPECT_EQ(h.at(left + 14, 10), i < 5 ? kL0 : kOff) << i;
    EXPECT_EQ(h.at(left + 15, 10), back) << i;
  }
}

}  // namespace
}  // namespace nx
