// NxCheckBox: value rules per style, input, hover look and tooltip, persistence with its key
// orders and its continue-on-error policy, shared pictures, and the drawing rules checked on the
// pixels of the simulated surface.
#include "widgets/checkbox/check_box.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"
#include "widgets/checkbox/caption_lines.h"
#include "widgets/checkbox/check_box_layout.h"

namespace nx {
namespace {

// __NxCheckBox
constexpr int kClick = 1;
constexpr int kDblClick = 2;
constexpr int kChange = 3;
constexpr int kMouseIn = 4;
constexpr int kMouseOut = 5;

// Solid stand-ins for the six images, one colour each: enabled and disabled sets, by image.
constexpr Rgb kEnabledImage[3] = {0x000000C8, 0x00F0F0F0, 0x0000A000};
constexpr Rgb kDisabledImage[3] = {0x00606060, 0x00E0E0E0, 0x00909090};
constexpr Rgb kButtonFace = 0x00C8D0D4;  // the simulated classic scheme
constexpr Rgb kGrayText = 0x00808080;

void registerPictures(sim::SimServices& services) {
  for (int i = 0; i < 3; ++i) {
    services.addResourcePicture(
        "CHK_IMG1_" + std::to_string(i),
        std::make_shared<sim::SimPicture>(sim::Bitmap(16, 16, kEnabledImage[i])));
    services.addResourcePicture(
        "CHK_IMG0_" + std::to_string(i),
        std::make_shared<sim::SimPicture>(sim::Bitmap(16, 16, kDisabledImage[i])));
  }
  services.addResourceCursor("CHECK", std::make_shared<sim::SimCursor>("CHECK"));
}

sim::SiteOptions boxSite(std::string caption = "NxCheckBox1", double width = 3000) {
  sim::SiteOptions o;
  o.name = std::move(caption);
  o.width = width;
  o.height = 300;
  return o;
}

int countColor(const sim::Bitmap& b, Rgb color, std::int32_t x0 = 0, std::int32_t y0 = 0,
               std::int32_t x1 = -1, std::int32_t y1 = -1) {
  if (x1 < 0) x1 = b.width();
  if (y1 < 0) y1 = b.height();
  int n = 0;
  for (std::int32_t y = y0; y < y1; ++y)
    for (std::int32_t x = x0; x < x1; ++x) n += b.at(x, y) == color ? 1 : 0;
  return n;
}

std::vector<int> eventPositions(const sim::SimSite& site) {
  std::vector<int> out;
  for (const sim::Record& r : site.events()) out.push_back(r.position);
  return out;
}

void savePng(const sim::Bitmap& b, const std::string& name) {
  std::filesystem::create_directories(NX_PNG_DIR);
  EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/" + name + ".png", b));
}

TEST(NxCheckBoxRules, ValueNormalisationAndToggleFollowTheStyle) {
  EXPECT_EQ(normalizeValue(7, csTriState), 1);
  EXPECT_EQ(normalizeValue(-32768, csTriState), -1);
  EXPECT_EQ(normalizeValue(-1, csNormal), 0);
  EXPECT_EQ(normalizeValue(0, csYesNo), -1);
  EXPECT_EQ(normalizeValue(0, csTriState), 0);
  EXPECT_EQ(toggledValue(0, csNormal), 1);
  EXPECT_EQ(toggledValue(1, csNormal), 0);
  EXPECT_EQ(toggledValue(1, csYesNo), -1);
  EXPECT_EQ(toggledValue(-1, csYesNo), 1);
  EXPECT_EQ(toggledValue(0, csTriState), 1);
  EXPECT_EQ(toggledValue(1, csTriState), -1);
  EXPECT_EQ(toggledValue(-1, csTriState), 0);
  EXPECT_EQ(valueAfterStyleChange(0, csYesNo), -1);
  EXPECT_EQ(valueAfterStyleChange(-1, csNormal), 0);
  EXPECT_EQ(valueAfterStyleChange(-1, csTriState), -1);
}

TEST(NxCheckBoxRules, CaptionWrapKeepsLongWordsWholeAndDropsBlankCaptions) {
  const auto chars = [](std::string_view t) { return static_cast<double>(t.size()); };
  EXPECT_TRUE(wrapCaption("    ", 10, chars).empty());
  EXPECT_EQ(wrapCaption("  one two  three ", 8, chars),
            (std::vector<std::string>{"one two", "three"}));
  // A word wider than the width stands alone and is not broken.
  EXPECT_EQ(wrapCaption("a extraordinary b", 5, chars),
            (std::vector<std::string>{"a", "extraordinary", "b"}));
  EXPECT_EQ(wrapCaption("extraordinary", 5, chars), std::vector<std::string>{"extraordinary"});
  EXPECT_EQ(splitAtBlanks("a  b"), (std::vector<std::string>{"a", "", "b"}));
}

TEST(NxCheckBox, NewControlTakesTheHostNameAndNotifiesNothing) {
  sim::SimHost host;
  registerPictures(host.services());
  auto& cb = host.create<NxCheckBox>(boxSite("Agree"));
  EXPECT_EQ(cb.caption(), "Agree");
  EXPECT_EQ(cb.value(), 0);
  EXPECT_TRUE(cb.focusRect());
  EXPECT_FALSE(cb.hoverUnderline());
  EXPECT_EQ(cb.hoverColor(), 0);
  EXPECT_EQ(cb.maskColor(), 0x00C0C0C0);
  EXPECT_EQ(cb.backColor(), static_cast<OleColor>(0x8000000F));
  EXPECT_EQ(cb.foreColor(), static_cast<OleColor>(0x80000012));
  EXPECT_EQ(host.window(cb).mousePointer(), NxCheckBox::kDefaultPointer);
  EXPECT_TRUE(host.site(cb).log().empty());
  std::vector<std::string_view> names;
  for (const auto& m : NxCheckBox::classTable().info().members) names.push_back(m.name);
  EXPECT_EQ(names, (std::vector<std::string_view>{
                       "hWnd", "ExProp", "Style", "Caption", "Alignment", "Font", "BackColor",
                       "ForeColor", "Maskcolor", "UseMaskColor", "AutoSize", "FocusRect", "HoverFX",
                       "HoverBold", "HoverUnderline", "HoverColor", "Value", "Enabled", "xtrVar"}));
  const ClassInfo& info = NxCheckBox::classTable().info();
  EXPECT_TRUE(info.find("ExProp")->hidden);
  EXPECT_EQ(info.find("Value")->dispid, ClassInfo::kValueDispId);
  EXPECT_EQ(info.defaultEvent, "Change");

  sim::SiteOptions nameless = boxSite();
  nameless.name = std::nullopt;
  EXPECT_EQ(host.create<NxCheckBox>(nameless).caption(), "Caption");
  nameless.name = "";
  EXPECT_EQ(host.create<NxCheckBox>(nameless).caption(), "Caption");
  nameless.hasExtender = false;
  EXPECT_EQ(host.create<NxCheckBox>(nameless).caption(), "Caption");
}

TEST(NxCheckBox, NormalStyleClicksAlternateWithChangeBeforeClick) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  sim::SimSite& site = host.site(cb);
  cb.putProperty("Value", Value{std::int16_t{-1}});
  EXPECT_EQ(cb.value(), 0);
  EXPECT_EQ(site.eventCount(kChange), 0);  // still 0: nothing to report
  EXPECT_EQ(site.changes(), std::vector<std::string>{"value"});
  site.clearLog();
  host.click(cb);
  EXPECT_EQ(cb.value(), 1);
  host.click(cb);
  EXPECT_EQ(cb.value(), 0);
  EXPECT_EQ(eventPositions(site), (std::vector<int>{kChange, kClick, kChange, kClick}));
  EXPECT_EQ(site.changes(), (std::vector<std::string>{"value", "value"}));
}

TEST(NxCheckBox, YesNoStyleTurnsZeroIntoCrossSilentlyAndAlternates) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  sim::SimSite& site = host.site(cb);
  EXPECT_EQ(cb.value(), 0);
  cb.setStyle(csYesNo);
  EXPECT_EQ(cb.value(), -1);
  EXPECT_EQ(cb.lastReportedValue(), 0);
  EXPECT_EQ(site.eventCount(kChange), 0);
  EXPECT_EQ(site.changes(), std::vector<std::string>{"ustyle"});
  host.click(cb);
  EXPECT_EQ(cb.value(), 1);
  host.click(cb);
  EXPECT_EQ(cb.value(), -1);
  host.click(cb);
  EXPECT_EQ(cb.value(), 1);
  EXPECT_EQ(site.eventCount(kChange), 3);
  cb.putProperty("Value", Value{std::int16_t{0}});  // no empty box in yes/no
  EXPECT_EQ(cb.value(), -1);
  cb.setStyle(csNormal);
  EXPECT_EQ(cb.value(), 0);
}

TEST(NxCheckBox, TriStateCyclesAndSpaceWorksLikeAClick) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  sim::SimSite& site = host.site(cb);
  cb.setStyle(csTriState);
  std::vector<std::int16_t> seen;
  for (int i = 0; i < 3; ++i) {
    host.pressKey(cb, 32);
    seen.push_back(cb.value());
  }
  EXPECT_EQ(seen, (std::vector<std::int16_t>{1, -1, 0}));
  EXPECT_EQ(site.eventCount(kClick), 3);
  site.clearLog();
  host.pressKey(cb, 'x');
  host.pressKey(cb, 13);
  EXPECT_TRUE(site.events().empty());
  host.dblClick(cb);  // the first press clicks, the second only raises DblClick
  EXPECT_EQ(cb.value(), 1);
  EXPECT_EQ(site.eventCount(kDblClick), 1);
  EXPECT_EQ(site.eventCount(kClick), 1);
}

TEST(NxCheckBox, SameValueTwiceRaisesChangeOnce) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  sim::SimSite& site = host.site(cb);
  cb.setValue(1);
  cb.setValue(1);
  cb.putProperty("Value", Value{std::int32_t{500}});  // any positive number is 1
  EXPECT_EQ(site.eventCount(kChange), 1);
  EXPECT_EQ(site.changes(), (std::vector<std::string>{"value", "value", "value"}));
  EXPECT_THROW(cb.putProperty("Value", Value{std::int32_t{40000}}), ConversionError);
  EXPECT_EQ(cb.value(), 1);
}

TEST(NxCheckBox, PutsNotifyTheirOwnKeys) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  sim::SimSite& site = host.site(cb);
  cb.setCaption("x");
  cb.setAlignment(baRight);
  cb.setBackColor(0x00FFFFFF);
  cb.setForeColor(0x000000FF);
  cb.setMaskColor(0x00FF00FF);
  cb.setUseMaskColor(true);
  cb.setAutoSize(false);
  cb.setFocusRect(false);
  cb.setHoverFX(true);
  cb.setHoverBold(true);
  cb.setHoverUnderline(true);
  cb.setHoverColor(syscolor::kGrayText);
  cb.setEnabled(false);
  cb.setXtrVar(Value{std::int32_t{1}});
  cb.setExProp("tttitle=T");
  EXPECT_EQ(site.changes(),
            (std::vector<std::string>{"text", "ualign", "bcolor", "fcolor", "mcolor", "umask",
                                      "uasize", "ufocus", "uhover", "uhoverbold", "uhoverunder",
                                      "uhovercolor", "enabled", "xtrVar", "ExProp"}));
  EXPECT_EQ(cb.hoverColor(), syscolor::kGrayText);  // kept as set
  EXPECT_EQ(cb.state().hoverColor.resolved(), kGrayText);
  EXPECT_EQ(cb.state().tooltip.title, "T");
  EXPECT_FALSE(host.window(cb).enabled());
  EXPECT_THROW(cb.putProperty("Font", Value{FontRef{}}), HostError);
}

TEST(NxCheckBox, SavesInItsWriteOrderAndReadsInItsReadOrder) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  cb.setStyle(csTriState);
  cb.setValue(-1);
  sim::SimPropertyBag bag = host.save(cb);
  std::vector<std::string> written;
  for (const auto& w : bag.writes()) written.push_back(w.key);
  EXPECT_EQ(written, (std::vector<std::string>{"value", "text", "enabled", "font", "bcolor",
                                               "fcolor", "mcolor", "umask", "ustyle", "ufocus",
                                               "uasize", "uhover", "ualign", "uhoverbold",
                                               "uhoverunder", "uhovercolor", "xtrVar", "ExProp"}));
  // The font has no default, so it is always stored; the caption's default is the host name.
  EXPECT_TRUE(bag.stored("font").has_value());
  EXPECT_FALSE(bag.stored("text").has_value());

  auto& loaded = host.create<NxCheckBox>(boxSite());
  loaded.ReadProperties(bag);
  EXPECT_EQ(bag.reads(), (std::vector<std::string>{
                             "value", "text", "enabled", "font", "bcolor", "fcolor", "mcolor",
                             "umask", "ustyle", "uhover", "ualign", "ufocus", "uasize",
                             "uhoverbold", "uhoverunder", "uhovercolor", "xtrVar", "ExProp"}));
  EXPECT_EQ(loaded.value(), -1);
  EXPECT_EQ(loaded.lastReportedValue(), -1);
  EXPECT_EQ(loaded.style(), csTriState);
}

TEST(NxCheckBox, StoredControlUsesTheStoreDefaultsAndTakesValueUnnormalised) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("value", Value{std::int16_t{-1}});  // crossed, although the style is csNormal
  auto& cb = host.create<NxCheckBox>(boxSite("Stored"), &bag);
  EXPECT_EQ(cb.value(), -1);
  EXPECT_EQ(cb.style(), csNormal);
  EXPECT_EQ(cb.caption(), "Stored");
  EXPECT_TRUE(cb.hoverUnderline());
  EXPECT_EQ(cb.hoverColor(), static_cast<OleColor>(0x80000012));
  EXPECT_TRUE(cb.focusRect());
  EXPECT_EQ(host.site(cb).eventCount(kChange), 0);
  host.click(cb);  // -1 + 1 = 0
  EXPECT_EQ(cb.value(), 0);
  EXPECT_EQ(host.site(cb).eventCount(kChange), 1);
}

TEST(NxCheckBox, ReadingAndWritingGoOnPastAFailingKey) {
  sim::SimHost host;
  auto& source = host.create<NxCheckBox>(boxSite());
  source.setCaption("kept");
  source.setMaskColor(0x00123456);
  source.setHoverBold(true);
  sim::SimPropertyBag bag = host.save(source);
  bag.set("fcolor", Value{std::string("not a colour")});
  bag.failReadsOf("text");
  bag.remove("font");  // no default: the font stays what it was
  auto& cb = host.create<NxCheckBox>(boxSite("Fallback"), &bag);
  EXPECT_EQ(cb.foreColor(), static_cast<OleColor>(0x80000012));
  EXPECT_EQ(cb.maskColor(), 0x00123456);
  EXPECT_TRUE(cb.hoverBold());
  EXPECT_TRUE(cb.font() != nullptr);

  sim::SimPropertyBag out;
  out.failWritesOf("text");
  out.failWritesOf("font");
  EXPECT_NO_THROW(cb.WriteProperties(out));
  EXPECT_EQ(out.writes().size(), 16u);
  EXPECT_EQ(out.writes().back().key, "ExProp");
}

TEST(NxCheckBox, HoverEntersAndLeavesOnceWithLookAndTooltip) {
  sim::SimHost host;
  registerPictures(host.services());
  sim::SiteOptions o = boxSite();
  o.toolTipText = "Tick to agree";
  auto& cb = host.create<NxCheckBox>(o);
  sim::SimSite& site = host.site(cb);
  sim::SimWindow& w = host.window(cb);
  host.moveMouse(host.screenPoint(cb, 10, 10));
  EXPECT_TRUE(site.events().empty());  // no hover effect without HoverFX
  EXPECT_EQ(host.capture(), 0);

  cb.setHoverFX(true);
  EXPECT_EQ(w.mousePointer(), NxCheckBox::kCustomPointer);
  ASSERT_TRUE(w.mouseIcon());
  EXPECT_EQ(dynamic_cast<const sim::SimCursor&>(*w.mouseIcon()).name(), "CHECK");
  cb.setHoverBold(true);
  cb.setHoverUnderline(true);
  cb.setHoverColor(0x000000FF);
  cb.setExProp("ttstyle=balloon;tticon=2;tttitle=Hello");
  site.clearLog();

  host.moveMouse(host.screenPoint(cb, 10, 10));
  host.moveMouse(host.screenPoint(cb, 12, 11));
  EXPECT_EQ(eventPositions(site), std::vector<int>{kMouseIn});
  EXPECT_TRUE(cb.hovering());
  EXPECT_EQ(host.capture(), w.handle());
  EXPECT_TRUE(cb.font()->underline());
  EXPECT_TRUE(cb.font()->bold());
  EXPECT_EQ(cb.foreColor(), 0x000000FF);
  EXPECT_GT(countColor(w.bitmap(), 0x000000FF), 0);  // caption in the hover colour
  ASSERT_EQ(host.services().tooltips().size(), 1u);
  const auto& tip = *host.services().tooltips()[0];
  EXPECT_TRUE(tip.alive);
  EXPECT_EQ(tip.params.style & 0x40u, 0x40u);  // balloon
  bool titled = false;
  for (const auto& m : tip.messages) titled = titled || (m.message == 0x420 && m.wParam == 2);
  EXPECT_TRUE(titled);

  host.moveMouse(host.screenPoint(cb, 400, 10));  // outside, still captured
  EXPECT_EQ(eventPositions(site), (std::vector<int>{kMouseIn, kMouseOut}));
  EXPECT_FALSE(cb.hovering());
  EXPECT_EQ(host.capture(), 0);
  EXPECT_FALSE(tip.alive);
  EXPECT_FALSE(cb.font()->underline());
  EXPECT_FALSE(cb.font()->bold());
  EXPECT_EQ(cb.foreColor(), static_cast<OleColor>(0x80000012));
  host.moveMouse(host.screenPoint(cb, 500, 10));
  EXPECT_EQ(site.eventCount(kMouseOut), 1);

  // Entering again makes a fresh tooltip.
  host.moveMouse(host.screenPoint(cb, 10, 10));
  EXPECT_EQ(site.eventCount(kMouseIn), 2);
  EXPECT_EQ(host.services().tooltips().size(), 2u);

  cb.setHoverFX(false);
  EXPECT_EQ(w.mousePointer(), NxCheckBox::kDefaultPointer);
}

TEST(NxCheckBox, FirstColumnCountsAsOutside) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite());
  cb.setHoverFX(true);
  host.moveMouse(host.screenPoint(cb, 0, 10));
  EXPECT_FALSE(cb.hovering());
  EXPECT_EQ(host.site(cb).eventCount(kMouseIn), 0);
  host.moveMouse(host.screenPoint(cb, 5, 0));
  EXPECT_EQ(host.site(cb).eventCount(kMouseIn), 0);
  host.moveMouse(host.screenPoint(cb, 1, 1));
  EXPECT_TRUE(cb.hovering());
}

TEST(NxCheckBox, SharedPicturesLoadOncePerThreadAndGoWithTheLastInstance) {
  sim::SimHost host;
  registerPictures(host.services());
  const int before = host.services().pictureLoads();
  auto& a = host.create<NxCheckBox>(boxSite());
  auto& b = host.create<NxCheckBox>(boxSite());
  EXPECT_EQ(host.services().pictureLoads() - before, 6);
  EXPECT_EQ(NxCheckBox::Shared::instanceCount(), 2);
  ASSERT_TRUE(NxCheckBox::Shared::objects());
  EXPECT_TRUE(NxCheckBox::Shared::objects()->enabled[2]);
  host.destroy(a);
  EXPECT_TRUE(NxCheckBox::Shared::objects());
  host.destroy(b);
  EXPECT_FALSE(NxCheckBox::Shared::objects());
  EXPECT_EQ(NxCheckBox::Shared::instanceCount(), 0);
  host.create<NxCheckBox>(boxSite());
  EXPECT_EQ(host.services().pictureLoads() - before, 12);
}

// ---- pictures ----

TEST(NxCheckBoxPictures, BoxShowsTheImageOfTheValueAndCaptionInTheTextColour) {
  sim::SimHost host;
  registerPictures(host.services());
  auto& cb = host.create<NxCheckBox>(boxSite("Accept terms"));
  cb.setStyle(csTriState);
  const sim::Bitmap& bmp = host.window(cb).bitmap();
  for (std::int16_t v : {std::int16_t{-1}, std::int16_t{0}, std::int16_t{1}}) {
    cb.setValue(v);
    const Rgb img = kEnabledImage[v + 1];
    EXPECT_EQ(countColor(bmp, img, 0, 0, 16, 16), 256) << v;  // 240 twips = 16 pixels
    EXPECT_EQ(countColor(bmp, img), 256) << v;
  }
  savePng(bmp, "checkbox_ticked");
  // The caption starts 270 twips (18 pixels) in, in black button text, below the box's top.
  EXPECT_EQ(countColor(bmp, 0x00000000, 0, 0, 18, 20), 0);
  EXPECT_GT(countColor(bmp, 0x00000000, 18, 0, 200, 20), 0);
  EXPECT_EQ(bmp.at(100, 18), kButtonFace);
  // No focus rectangle without focus.
  EXPECT_EQ(countColor(bmp, kGrayText), 0);
}

TEST(NxCheckBoxPictures, DisabledUsesTheGreySetAndGreyText) {
  sim::SimHost host;
  registerPictures(host.services());
  auto& cb = host.create<NxCheckBox>(boxSite("Disabled"));
  cb.setForeColor(0x000000FF);
  cb.setValue(1);
  cb.setEnabled(false);
  const sim::Bitmap& bmp = host.window(cb).bitmap();
  savePng(bmp, "checkbox_disabled");
  EXPECT_EQ(countColor(bmp, kDisabledImage[2], 0, 0, 16, 16), 256);
  EXPECT_EQ(countColor(bmp, kEnabledImage[2]), 0);
  EXPECT_EQ(countColor(bmp, 0x000000FF), 0);
  EXPECT_GT(countColor(bmp, kGrayText, 18, 0, 200, 20), 0);
}

TEST(NxCheckBoxPictures, FocusRectangleSurroundsTheCaptionOnlyWithFocusRectOn) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite("Focus me"));
  const sim::Bitmap& bmp = host.window(cb).bitmap();
  host.focus(&cb);
  EXPECT_TRUE(cb.focusShown());
  savePng(bmp, "checkbox_focus");
  // Left edge at 270 - 30 = 240 twips (pixel 16); right edge at the caption's end.
  const std::int32_t right =
      18 + static_cast<std::int32_t>(host.window(cb).surface().textWidth("Focus me") / 15);
  EXPECT_EQ(bmp.at(16, 8), kGrayText);
  EXPECT_EQ(bmp.at(right, 8), kGrayText);
  EXPECT_EQ(bmp.at(right + 2, 8), kButtonFace);
  host.focus(nullptr);
  EXPECT_EQ(countColor(bmp, kGrayText), 0);

  cb.setFocusRect(false);
  host.focus(&cb);
  EXPECT_FALSE(cb.focusShown());
  EXPECT_EQ(countColor(bmp, kGrayText), 0);

  // A caption of blanks draws neither text nor rectangle.
  cb.setFocusRect(true);
  host.focus(nullptr);
  host.focus(&cb);
  cb.setCaption("    ");
  EXPECT_EQ(countColor(bmp, kGrayText), 0);
  EXPECT_EQ(countColor(bmp, 0x00000000), 0);
}

TEST(NxCheckBoxPictures, RightAlignmentPutsTheBoxRightAndEndsTheCaptionBeforeIt) {
  sim::SimHost host;
  registerPictures(host.services());
  auto& cb = host.create<NxCheckBox>(boxSite("Right"));
  cb.setAlignment(baRight);
  const sim::Bitmap& bmp = host.window(cb).bitmap();
  savePng(bmp, "checkbox_right");
  // Box at 3000 - 195 = 2805 twips: pixels 187 .. 202 (cut at the 200-pixel edge).
  EXPECT_EQ(countColor(bmp, kEnabledImage[1], 187, 0, 200, 16), 13 * 16);
  EXPECT_EQ(bmp.at(186, 8), kButtonFace);
  // The caption ends at 3000 - 255 = 2745 twips (pixel 183).
  EXPECT_GT(countColor(bmp, 0x00000000, 150, 0, 183, 20), 0);
  EXPECT_EQ(countColor(bmp, 0x00000000, 183, 0, 200, 20), 0);
  EXPECT_EQ(countColor(bmp, 0x00000000, 0, 0, 140, 20), 0);
}

TEST(NxCheckBoxPictures, AutoSizeFitsTheWidthToTheCaptionAndKeepsTheHeight) {
  sim::SimHost host;
  auto& cb = host.create<NxCheckBox>(boxSite("Hello world", 600));
  const double textWidth = host.window(cb).surface().textWidth("Hello world");
  cb.setAutoSize(true);
  EXPECT_DOUBLE_EQ(host.window(cb).width(), textWidth + 285);
  EXPECT_DOUBLE_EQ(host.window(cb).height(), 300);
  cb.setCaption("Hello wide world");
  EXPECT_DOUBLE_EQ(host.window(cb).width(),
                   host.window(cb).surface().textWidth("Hello wide world") + 285);
  // One line: nothing below the first text row.
  EXPECT_EQ(countColor(host.window(cb).bitmap(), 0x00000000, 0, 17, -1, -1), 0);
  savePng(host.window(cb).bitmap(), "checkbox_autosize");

  // Without auto-size a narrow box wraps at its width, and a long word stands alone.
  sim::SiteOptions tall = boxSite("a extraordinarily b", 900);
  tall.height = 900;
  auto& narrow = host.create<NxCheckBox>(tall);
  const sim::Bitmap& bmp = host.window(narrow).bitmap();
  savePng(bmp, "checkbox_wrapped");
  // Three lines of 13 pixels from y = 38 twips (pixel 3): the third line holds "b".
  EXPECT_GT(countColor(bmp, 0x00000000, 18, 29, 24, 42), 0);
  EXPECT_EQ(countColor(bmp, 0x00000000, 24, 29, 60, 42), 0);
}

TEST(NxCheckBoxPictures, MaskColourKeepsOnlyBoxAndCaptionPixels) {
  sim::SimHost host;
  registerPictures(host.services());
  auto& cb = host.create<NxCheckBox>(boxSite("Masked"));
  cb.setBackColor(0x00C0C0C0);
  cb.setUseMaskColor(true);
  EXPECT_TRUE(cb.maskApplied());
  const sim::SimWindow& w = host.window(cb);
  ASSERT_NE(w.region(), nullptr);
  const sim::Bitmap& bmp = w.bitmap();
  for (std::int32_t y = 0; y < bmp.height(); ++y)
    for (std::int32_t x = 0; x < bmp.width(); ++x)
      ASSERT_EQ(w.region()->contains(x, y), bmp.at(x, y) != 0x00C0C0C0) << x << "," << y;
  EXPECT_TRUE(w.region()->contains(5, 5));
  EXPECT_FALSE(w.region()->contains(150, 10));
  // Every redraw gives the window its whole rectangle back first, then shapes it again.
  const int changes = w.regionChanges();
  cb.setValue(1);
  EXPECT_EQ(w.regionChanges(), changes + 2);
  cb.setUseMaskColor(false);
  EXPECT_FALSE(cb.maskApplied());
  EXPECT_TRUE(w.region()->contains(150, 10));
}

}  // namespace
}  // namespace nx

namespace nx {
namespace {

TEST(NxCheckBox, RightAlignedAutoSizeKeepsTheRightEdge) {
  sim::SimHost host;
  sim::SiteOptions o;
  o.name = "Agree to the terms";
  o.left = 3000;
  o.width = 900;
  auto& cb = host.create<NxCheckBox>(o);
  cb.setAlignment(baRight);
  const double rightEdge = host.window(cb).left() + host.window(cb).width();
  cb.setAutoSize(true);
  const double width = host.window(cb).width();
  EXPECT_DOUBLE_EQ(width, host.window(cb).surface().textWidth("Agree to the terms") + 285);
  EXPECT_DOUBLE_EQ(host.window(cb).left() + width, rightEdge);

  // A host that cannot move the control: only the width changes.
  sim::SiteOptions fixed = o;
  fixed.hostMoves = false;
  auto& still = host.create<NxCheckBox>(fixed);
  still.setAlignment(baRight);
  still.setAutoSize(true);
  EXPECT_DOUBLE_EQ(host.window(still).left(), 3000);
  EXPECT_DOUBLE_EQ(host.window(still).width(), width);
}

}  // namespace
}  // namespace nx
