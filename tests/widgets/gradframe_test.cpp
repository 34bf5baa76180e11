// NxGradFrame: new-control and stored values (default caption, read defaults), every key always
// written, reading on past a failing key, the caption tab in its four corners, the border looks,
// the plain and gradient backgrounds, forwarded mouse events and Resize, all checked on the
// picture pixel by pixel.
#include "widgets/gradframe/grad_frame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_dc.h"
#include "platform/sim/sim_host.h"

namespace nx {
namespace {

using namespace gradframe;

// __NxGradFrame: Click, DblClick, MouseMove, MouseUp, MouseDown, Resize.
constexpr int kClick = 1, kMouseMove = 3, kMouseUp = 4, kMouseDown = 5, kResize = 6;
constexpr Rgb kGrey = 0x00808080;  // grey text of the simulated scheme

// A frame of 200 x 100 pixels.
sim::SiteOptions frameSite(std::optional<std::string> name = "NxGradFrame1") {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = 3000;
  o.height = 1500;
  o.ambientFont = FontDesc{"Arial", 12};
  return o;
}

std::string pngPath(const std::string& name) {
  std::filesystem::create_directories(NX_PNG_DIR);
  return std::string(NX_PNG_DIR) + "/" + name + ".png";
}

TEST(NxGradFrame, NewControlTakesHostNameAndFontAndShowsTheTableValues) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  EXPECT_EQ(f.caption(), "NxGradFrame1");
  EXPECT_EQ(f.font()->name(), "Arial");
  EXPECT_DOUBLE_EQ(f.font()->size(), 12.0);
  EXPECT_FALSE(f.captionTextCentered());
  EXPECT_EQ(f.borderColor(), syscolor::kGrayText);
  EXPECT_EQ(f.state().borderColor.resolved(), kGrey);
  EXPECT_TRUE(f.enabled());
  EXPECT_FLOAT_EQ(f.drawWidthPx(), 200.0f);
  auto& unnamed = host.create<NxGradFrame>(frameSite(std::nullopt));
  EXPECT_EQ(unnamed.caption(), "Caption");
  auto& empty = host.create<NxGradFrame>(frameSite(""));
  EXPECT_EQ(empty.caption(), "Caption");
  // Enabled is the default property, Click the default event.
  const ClassInfo& cls = NxGradFrame::classTable().info();
  EXPECT_EQ(cls.find("Enabled")->dispid, ClassInfo::kValueDispId);
  EXPECT_EQ(cls.defaultEvent, "Click");
}

TEST(NxGradFrame, EveryKeyIsAlwaysWrittenInOrder) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  sim::SimPropertyBag bag = host.save(f);
  std::vector<std::string> keys;
  for (const auto& w : bag.writes()) {
    keys.push_back(w.key);
    EXPECT_TRUE(isEmpty(w.defaultValue)) << w.key;
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"ColorA", "ColorB", "ForeColor", "orient", "appear",
                                            "bstyle", "BorderColor", "xtrVar", "enabled", "caption",
                                            "capW", "capH", "capAlign", "capCentered", "font"}));
  // Values equal to the read defaults are kept all the same.
  EXPECT_TRUE(bag.stored("appear").has_value());
  EXPECT_TRUE(bag.stored("capW").has_value());
  EXPECT_TRUE(bag.stored("capCentered").has_value());
}

TEST(NxGradFrame, StoredControlUsesReadDefaultsAndReadsOnPastFailures) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("caption", Value{std::string("Options")});
  bag.set("capW", Value{std::string("wide")});  // cannot be converted
  bag.failReadsOf("ColorB");
  bag.set("appear", Value{std::int32_t{0}});
  bag.set("enabled", Value{VBool::False});
  auto& f = host.create<NxGradFrame>(frameSite(), &bag);
  EXPECT_EQ(f.caption(), "Options");
  EXPECT_EQ(f.captionWidth(), 0);
  EXPECT_EQ(f.colorB(), 0x00FFFFFF);     // left at its previous value
  EXPECT_TRUE(f.captionTextCentered());  // absent: read default True
  EXPECT_EQ(f.appearance(), apFlat);
  EXPECT_EQ(f.borderStyle(), bsFixedSingle);
  EXPECT_FALSE(f.enabled());
  EXPECT_FALSE(host.window(f).enabled());
  // An absent caption reads as the host's name.
  const sim::SimPropertyBag none;
  auto& named = host.create<NxGradFrame>(frameSite("Frame7"), &none);
  EXPECT_EQ(named.caption(), "Frame7");
}

TEST(NxGradFrame, PutsNormaliseNotifyAndKeepBusyLoadsQuiet) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  host.site(f).clearLog();
  f.setCaptionWidth(-5);
  EXPECT_EQ(f.captionWidth(), 0);
  f.setCaptionHeight(-1);
  EXPECT_EQ(f.captionHeight(), 0);
  f.setCaptionAlignment(caBottomRight);
  f.setEnabled(false);
  f.setCaptionAlignment(7);  // outside the enumeration: kept as it is
  EXPECT_EQ(f.captionAlignment(), 7);
  EXPECT_EQ(host.site(f).changes(),
            (std::vector<std::string>{"capW", "capH", "capalign", "enabled", "capalign"}));
}

TEST(NxGradFrame, CaptionTabInEachCorner) {
  // A frame of 3000 x 1500 twips, a text of 600 x 195 twips: bw = 660, bh = 255.
  const CaptionTab tl = captionTab(caTopLeft, false, 3000, 1500, 600, 195, 0, 0, 15, 15);
  EXPECT_EQ(tl.width, 660);
  EXPECT_EQ(tl.height, 255);
  EXPECT_EQ(tl.straightFrom, (TwipsPoint{15, 255}));
  EXPECT_EQ(tl.straightTo, (TwipsPoint{675, 255}));
  EXPECT_EQ(tl.slantTo, (TwipsPoint{930, 0}));
  EXPECT_EQ(tl.highlightFrom, (TwipsPoint{30, 270}));
  EXPECT_EQ(tl.highlightSlantTo, (TwipsPoint{945, 15}));
  EXPECT_EQ(tl.text, (TwipsPoint{30, 30}));
  const CaptionTab tr = captionTab(caTopRight, true, 3000, 1500, 600, 195, 0, 0, 15, 15);
  EXPECT_EQ(tr.straightFrom, (TwipsPoint{2970, 255}));
  EXPECT_EQ(tr.slantTo, (TwipsPoint{2970 - 660 - 255, 0}));
  EXPECT_EQ(tr.highlightTo, (TwipsPoint{2955 - 660, 270}));
  EXPECT_EQ(tr.text, (TwipsPoint{3000 - 660 + 330 - 300 - 15, 30}));
  const CaptionTab bl = captionTab(caBottomLeft, false, 3000, 1500, 600, 195, 0, 0, 15, 15);
  EXPECT_EQ(bl.straightFrom, (TwipsPoint{15, 1500 - 15 - 255}));
  EXPECT_EQ(bl.slantTo, (TwipsPoint{15 + 660 + 255, 1485}));
  EXPECT_EQ(bl.highlightFrom, (TwipsPoint{30, 1245}));
  EXPECT_EQ(bl.highlightTo, (TwipsPoint{660, 1245}));  // 30 twips shorter along the bottom
  EXPECT_EQ(bl.highlightSlantTo, (TwipsPoint{915, 1500}));
  EXPECT_EQ(bl.text, (TwipsPoint{30, 1500 - 255 + 127.5 - 97.5 - 15}));
  const CaptionTab br = captionTab(caBottomRight, false, 3000, 1500, 600, 195, 0, 0, 15, 15);
  EXPECT_EQ(br.straightTo, (TwipsPoint{2970 - 660, 1230}));
  EXPECT_EQ(br.highlightTo, (TwipsPoint{2955 - 630, 1245}));
  EXPECT_EQ(br.highlightSlantTo, (TwipsPoint{2955 - 630 - 255, 1500}));
  EXPECT_EQ(br.text, (TwipsPoint{3000 - 600 - 30, 1260}));
  // "Options" with CaptionWidth 2000: the tab is 2000 wide and the text centred in it.
  const CaptionTab wide = captionTab(caTopLeft, true, 3000, 1500, 630, 195, 2000, 0, 15, 15);
  EXPECT_EQ(wide.width, 2000);
  EXPECT_EQ(wide.text.x, 1000 - 315 + 30);
  // A caption height larger than the text makes the tab taller.
  EXPECT_EQ(captionTab(caTopLeft, false, 3000, 1500, 600, 195, 0, 600, 15, 15).height, 600);
}

TEST(NxGradFramePicture, EtchedBorderAndTopLeftTab) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  f.setColorA(0x00102030);
  f.setColorB(0x00102030);  // plain background
  f.setCaption("Options");
  const sim::Bitmap& b = host.window(f).bitmap();
  EXPECT_TRUE(sim::writePng(pngPath("gradframe_etched_topleft"), b));
  const Rgb back = 0x00102030, white = 0x00FFFFFF;
  Surface& s = host.window(f).surface();
  const int bw = static_cast<int>(s.textWidth("Options") + 60) / 15;
  const int bh = static_cast<int>(s.textHeight("Options") + 60) / 15;
  // Etched border: BorderColor at (0..198, 0) and (0, 0..98); white at (1, 1..99) and
  // (1..199, 99); the white points at the two outer corners.
  EXPECT_EQ(b.at(100, 0), kGrey);
  EXPECT_EQ(b.at(198, 50), kGrey);
  EXPECT_EQ(b.at(100, 98), kGrey);
  EXPECT_EQ(b.at(199, 50), white);
  EXPECT_EQ(b.at(100, 99), white);
  EXPECT_EQ(b.at(0, 99), white);
  EXPECT_EQ(b.at(199, 0), white);
  EXPECT_EQ(b.at(100, 50), back);
  // Tab: the straight edge at y = bh from x = 1, the slant rising to the top; the highlight one
  // pixel inside.
  EXPECT_EQ(b.at(1 + bw / 2, bh), kGrey);
  EXPECT_EQ(b.at(1 + bw - 1, bh), kGrey);
  EXPECT_EQ(b.at(1 + bw + bh / 2, bh - bh / 2), kGrey);
  EXPECT_EQ(b.at(2 + bw / 2, bh + 1), white);
  EXPECT_EQ(b.at(2 + bw / 2, bh + 2), back);
  // The text starts at (30, bh / 2 - height / 2) twips, in ForeColor (black).
  bool ink = false;
  for (int x = 2; x < 2 + bw - 4; ++x)
    for (int y = 1; y < bh; ++y) ink = ink || b.at(x, y) == 0u;
  EXPECT_TRUE(ink);
  EXPECT_EQ(f.getProperty("hWnd"), Value{static_cast<std::int32_t>(host.window(f).handle())});
}

TEST(NxGradFramePicture, BottomRightTabFlatBorderAndNoOutlineWithoutBorder) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  f.setColorB(f.colorA());
  f.setAppearance(apFlat);
  f.setCaptionAlignment(caBottomRight);
  f.setCaption("Sum");
  const sim::Bitmap& b = host.window(f).bitmap();
  EXPECT_TRUE(sim::writePng(pngPath("gradframe_flat_bottomright"), b));
  const Rgb back = 0x00BBAD9C;
  Surface& s = host.window(f).surface();
  const int bw = static_cast<int>(s.textWidth("Sum") + 60) / 15;
  const int bh = static_cast<int>(s.textHeight("Sum") + 60) / 15;
  EXPECT_EQ(b.at(199, 50), kGrey);  // flat border on the last column and row
  EXPECT_EQ(b.at(100, 99), kGrey);
  const int y = 99 - bh;
  EXPECT_EQ(b.at(198 - bw / 2, y), kGrey);                // straight edge
  EXPECT_EQ(b.at(198 - bw - bh / 2, y + bh / 2), kGrey);  // slant
  EXPECT_NE(b.at(198 - bw / 2, y + 1), 0x00FFFFFFu);      // no highlight in the flat look
  f.setBorderStyle(bsNone);
  EXPECT_TRUE(sim::writePng(pngPath("gradframe_noborder_bottomright"), b));
  EXPECT_EQ(b.at(199, 50), back);
  EXPECT_EQ(b.at(198 - bw / 2, y), back);
  bool ink = false;
  for (int x = 199 - bw; x < 199; ++x)
    for (int yy = y; yy < 99; ++yy) ink = ink || b.at(x, yy) == 0u;
  EXPECT_TRUE(ink) << "the caption is printed without a tab";
}

TEST(NxGradFramePicture, GradientOrPlainBackground) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  f.setBorderStyle(bsNone);
  f.setCaption("");
  f.setColorA(0x000000FF);
  f.setColorB(0x00FF0000);
  auto& dc = dynamic_cast<sim::DC&>(host.window(f).surface().dc());
  const sim::Bitmap& b = host.window(f).bitmap();
  EXPECT_TRUE(sim::writePng(pngPath("gradframe_vertical_gradient"), b));
  EXPECT_EQ(b.at(100, 0), 0x000000FFu);  // red at the top
  // Nearly blue at the bottom (the fill reaches the second colour one row further down).
  EXPECT_GE(blueOf(b.at(100, 99)), 0xFB);
  EXPECT_LE(redOf(b.at(100, 99)), 4);
  EXPECT_GT(blueOf(b.at(100, 50)), 0x70);
  EXPECT_LT(blueOf(b.at(100, 50)), 0x90);
  EXPECT_EQ(b.at(0, 50), b.at(199, 50));  // rows are even
  f.setOrientation(orHorizontal);
  EXPECT_EQ(b.at(0, 50), 0x000000FFu);  // red at the left
  EXPECT_EQ(b.at(0, 0), b.at(0, 99));
  EXPECT_NE(b.at(0, 50), b.at(199, 50));
  const int fills = dc.gradientFillCalls();
  f.setColorB(0x000000FF);  // equal colours: the window's own colour, no gradient
  EXPECT_EQ(dc.gradientFillCalls(), fills);
  EXPECT_EQ(host.window(f).backColor(), 0x000000FF);
  EXPECT_EQ(b.at(0, 0), 0x000000FFu);
  EXPECT_EQ(b.at(199, 99), 0x000000FFu);
}

TEST(NxGradFrame, ForwardsMouseEventsByReferenceAndResize) {
  sim::SimHost host;
  auto& f = host.create<NxGradFrame>(frameSite());
  host.site(f).clearLog();
  host.site(f).setEventHandler([](int position, std::span<Value> args) {
    if (position == kMouseDown) args[0] = Value{std::int16_t{9}};  // the host changes Button
  });
  host.moveMouse(host.screenPoint(f, 10, 20));
  host.mouseDown(f, kLeftButton, 1);
  host.mouseUp(f, kLeftButton, 1);
  const std::vector<sim::Record> events = host.site(f).events();
  ASSERT_GE(events.size(), 4u);
  EXPECT_EQ(events[0].position, kMouseMove);
  EXPECT_EQ(events[1].position, kMouseDown);
  const std::vector<Value>& down = events[1].args;
  ASSERT_EQ(down.size(), 4u);
  EXPECT_EQ(down[0], Value{std::int16_t{9}});
  EXPECT_EQ(down[1], Value{std::int16_t{1}});
  EXPECT_EQ(down[2], Value{150.0f});  // client twips as singles
  EXPECT_EQ(down[3], Value{300.0f});
  EXPECT_EQ(events[2].position, kMouseUp);
  EXPECT_EQ(events[2].args[0], Value{std::int16_t{kLeftButton}});
  EXPECT_EQ(events[3].position, kClick);
  host.site(f).clearLog();
  host.resize(f, 1500, 900);
  EXPECT_EQ(host.site(f).eventCount(kResize), 1);
  EXPECT_FLOAT_EQ(f.drawHeightPx(), 60.0f);
  EXPECT_EQ(host.window(f).bitmap().at(98, 59), 0x00FFFFFFu);  // etched border redrawn
}

}  // namespace
}  // namespace nx
