// NxHyperLink: opening its address, hover look with its tooltip, auto-size, alignment of the
// wrapped lines, persistence with its key orders and a load that lets failures reach the host,
// and the drawing rules checked on the pixels of the simulated surface.
#include "widgets/hyperlink/hyper_link.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_objects.h"

namespace nx {
namespace {

// __NxHyperLink
constexpr int kClick = 1;
constexpr int kDblClick = 2;
constexpr int kMouseIn = 3;
constexpr int kMouseOut = 4;

constexpr Rgb kBlue = 0x00FF0000;
constexpr Rgb kButtonFace = 0x00C8D0D4;  // the simulated classic scheme
constexpr Rgb kGrayText = 0x00808080;

sim::SiteOptions linkSite(std::string name = "NxHyperLink1", double width = 3000,
                          double height = 600) {
  sim::SiteOptions o;
  o.name = std::move(name);
  o.width = width;
  o.height = height;
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

// Leftmost and rightmost columns of `color` in rows y0 .. y1 - 1; (-1, -1) when there is none.
std::pair<std::int32_t, std::int32_t> columnsOf(const sim::Bitmap& b, Rgb color, std::int32_t y0,
                                                std::int32_t y1) {
  std::int32_t first = -1;
  std::int32_t last = -1;
  for (std::int32_t x = 0; x < b.width(); ++x)
    for (std::int32_t y = y0; y < y1; ++y)
      if (b.at(x, y) == color) {
        if (first < 0) first = x;
        last = x;
      }
  return {first, last};
}

void savePng(const sim::Bitmap& b, const std::string& name) {
  std::filesystem::create_directories(NX_PNG_DIR);
  EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/" + name + ".png", b));
}

TEST(NxHyperLink, NewControlHasItsDefaultsAndAHandCursor) {
  sim::SimHost host;
  host.services().addResourceCursor("HAND", std::make_shared<sim::SimCursor>("HAND"));
  sim::SiteOptions o = linkSite("HomePage");
  o.ambientFont = FontDesc{"Tahoma", 10, false, false, false};
  auto& link = host.create<NxHyperLink>(o);
  EXPECT_EQ(link.caption(), "HomePage");
  EXPECT_EQ(link.url(), "about:blank");
  EXPECT_EQ(link.foreColor(), 0x00FF0000);
  EXPECT_EQ(link.mouseOverColor(), 0x00FF0000);
  EXPECT_EQ(link.backColor(), static_cast<OleColor>(0x8000000F));
  EXPECT_FALSE(link.useMaskColor());
  ASSERT_TRUE(link.font() && link.mouseOverFont());
  EXPECT_EQ(link.font()->name(), "Tahoma");
  EXPECT_FALSE(link.font()->underline());
  EXPECT_EQ(link.mouseOverFont()->name(), "Tahoma");
  EXPECT_TRUE(link.mouseOverFont()->underline());
  EXPECT_NE(link.font(), link.mouseOverFont());
  EXPECT_EQ(host.window(link).mousePointer(), NxHyperLink::kCustomPointer);
  ASSERT_TRUE(host.window(link).mouseIcon());
  EXPECT_EQ(dynamic_cast<const sim::SimCursor&>(*host.window(link).mouseIcon()).name(), "HAND");
  EXPECT_TRUE(host.site(link).log().empty());
  EXPECT_FALSE(link.loading());

  const ClassInfo& info = NxHyperLink::classTable().info();
  std::vector<std::string_view> names;
  for (const auto& m : info.members) names.push_back(m.name);
  EXPECT_EQ(names, (std::vector<std::string_view>{"hWnd", "ExProp", "Caption", "Alignment", "Font",
                                                  "MouseOverFont", "BackColor", "ForeColor",
                                                  "Maskcolor", "UseMaskColor", "AutoSize",
                                                  "MouseOverColor", "URL", "Enabled", "xtrVar"}));
  EXPECT_EQ(info.find("Caption")->dispid, ClassInfo::kValueDispId);
  EXPECT_TRUE(info.find("ExProp")->hidden);
  EXPECT_EQ(info.defaultEvent, "Click");

  sim::SiteOptions nameless = linkSite();
  nameless.name = std::nullopt;
  EXPECT_EQ(host.create<NxHyperLink>(nameless).caption(), "Caption");
}

TEST(NxHyperLink, ClickOpensTheAddressThenRaisesClick) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite());
  sim::SimSite& site = host.site(link);
  host.click(link);
  EXPECT_EQ(host.services().shellRequests(), std::vector<std::string>{"about:blank"});
  EXPECT_EQ(site.eventCount(kClick), 1);
  // Owned by the control's window, started in the root of drive C.
  ASSERT_EQ(host.services().shellRequestDetails().size(), 1u);
  EXPECT_EQ(host.services().shellRequestDetails()[0].owner, host.window(link).handle());
  EXPECT_EQ(host.services().shellRequestDetails()[0].workingFolder, "C:\\");

  link.setUrl("  https://example.org/a b  ");
  host.services().setShellOpenResult(false);  // the shell's refusal is no error
  EXPECT_NO_THROW(host.click(link));
  EXPECT_EQ(host.services().shellRequests().back(), "  https://example.org/a b  ");
  EXPECT_EQ(site.eventCount(kClick), 2);

  link.setUrl("   ");
  host.click(link);
  link.setUrl("");
  host.click(link);
  EXPECT_EQ(host.services().shellRequests().size(), 2u);
  EXPECT_EQ(site.eventCount(kClick), 4);

  site.clearLog();
  host.dblClick(link);
  EXPECT_EQ(site.eventCount(kDblClick), 1);
  host.pressKey(link, 13);
  host.pressKey(link, 32);
  EXPECT_EQ(site.eventCount(kClick), 1);  // only the first press of the double click
}

TEST(NxHyperLink, PutsNotifyTheirKeys) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite());
  sim::SimSite& site = host.site(link);
  link.setCaption("x");
  link.setAlignment(alignCenter);
  link.setFont(host.services().createFont(FontDesc{}));
  link.setMouseOverFont(host.services().createFont(FontDesc{}));
  link.setBackColor(0x00FFFFFF);
  link.setForeColor(0x00000080);
  link.setMaskColor(0x00FF00FF);
  link.setUseMaskColor(true);
  link.setAutoSize(false);
  link.setMouseOverColor(0x000000FF);
  link.setUrl("x");
  link.setEnabled(false);
  link.setXtrVar(Value{std::int32_t{3}});
  link.setExProp("ttstyle=balloon");
  EXPECT_EQ(site.changes(), (std::vector<std::string>{
                                "prop.pCaption", "prop.pAlignment", "prop.pFont", "prop.pMOverFont",
                                "prop.pBackColor", "prop.pForeColor", "prop.pMaskColor",
                                "prop.pUseMask", "prop.pAutoSize", "prop.pMOverColor", "prop.pURL",
                                "enabled", "prop.pXtrVar", "ExProp"}));
  EXPECT_EQ(host.window(link).backColor(), 0x00FFFFFF);
  EXPECT_EQ(link.state().tooltip.style, 1);
  EXPECT_FALSE(host.window(link).enabled());
  EXPECT_THROW(link.putProperty("Font", Value{FontRef{}}), HostError);
  link.setBackColor(syscolor::kButtonFace);  // kept as set, drawn resolved
  EXPECT_EQ(link.backColor(), syscolor::kButtonFace);
  EXPECT_EQ(host.window(link).bitmap().at(0, 0), kButtonFace);
}

TEST(NxHyperLink, SavesAndReadsInItsOrders) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite());
  link.setUrl("https://example.org");
  link.setAlignment(alignRight);
  sim::SimPropertyBag bag = host.save(link);
  const std::vector<std::string> order = {
      "prop.pFont",    "prop.pMOverFont", "prop.pAlignment", "prop.pAutoSize",   "prop.pBackColor",
      "prop.pCaption", "prop.pForeColor", "prop.pMaskColor", "prop.pMOverColor", "prop.pURL",
      "prop.pUseMask", "prop.pXtrVar",    "ExProp"};
  std::vector<std::string> written;
  for (const auto& w : bag.writes()) written.push_back(w.key);
  EXPECT_EQ(written, order);
  // Fonts and the caption have no store default: always stored.
  EXPECT_TRUE(bag.stored("prop.pFont").has_value());
  EXPECT_TRUE(bag.stored("prop.pMOverFont").has_value());
  EXPECT_TRUE(bag.stored("prop.pCaption").has_value());
  // UseMaskColor False differs from its store default True, so it is stored.
  ASSERT_TRUE(bag.stored("prop.pUseMask").has_value());

  auto& loaded = host.create<NxHyperLink>(linkSite("Other"));
  host.site(loaded).clearLog();
  loaded.ReadProperties(bag);
  EXPECT_EQ(bag.reads(), order);
  EXPECT_EQ(loaded.url(), "https://example.org");
  EXPECT_EQ(loaded.alignment(), alignRight);
  EXPECT_EQ(loaded.caption(), "NxHyperLink1");
  EXPECT_TRUE(loaded.mouseOverFont()->underline());
  EXPECT_FALSE(loaded.loading());
}

TEST(NxHyperLink, StoredControlWithoutKeysShowsNoCaptionAndUsesTheMask) {
  sim::SimHost host;
  sim::SimPropertyBag empty;
  auto& link = host.create<NxHyperLink>(linkSite("Named"), &empty);
  EXPECT_EQ(link.caption(), "");
  EXPECT_TRUE(link.useMaskColor());
  EXPECT_EQ(link.url(), "about:blank");
  // Absent fonts read as the window's current font.
  EXPECT_EQ(link.font(), host.window(link).font());
  EXPECT_EQ(link.mouseOverFont(), host.window(link).font());
  // No caption: only background, which is not the mask colour, so the whole window stays.
  EXPECT_EQ(countColor(host.window(link).bitmap(), kButtonFace),
            host.window(link).bitmap().width() * host.window(link).bitmap().height());
  const Region* shape = host.window(link).region();
  if (shape != nullptr) {
    EXPECT_EQ(shape->rects().size(), 1u);
    EXPECT_TRUE(shape->contains(0, 0));
    EXPECT_TRUE(shape->contains(199, 39));
  }
}

TEST(NxHyperLink, ABadStoredValueReachesTheHost) {
  sim::SimHost host;
  sim::SimPropertyBag bag;
  bag.set("prop.pAlignment", Value{std::string("centre")});
  auto& link = host.create<NxHyperLink>(linkSite());
  EXPECT_THROW(link.ReadProperties(bag), ConversionError);
  EXPECT_FALSE(link.loading());  // the flag does not stay set after a failed load
  sim::SimPropertyBag failing;
  failing.failReadsOf("prop.pURL");
  EXPECT_THROW(link.ReadProperties(failing), HostError);
  // Keys before the failing one were read; none after it.
  EXPECT_EQ(failing.reads().back(), "prop.pURL");
}

TEST(NxHyperLink, HoverSwitchesFontAndColourAndLeavesOnce) {
  sim::SimHost host;
  sim::SiteOptions o = linkSite("Visit us");
  o.toolTipText = "Opens the site";
  auto& link = host.create<NxHyperLink>(o);
  link.setMouseOverColor(0x000000FF);
  link.setExProp("tttitle=Link;tticon=info");
  sim::SimSite& site = host.site(link);
  sim::SimWindow& w = host.window(link);
  site.clearLog();
  EXPECT_GT(countColor(w.bitmap(), kBlue), 0);

  host.moveMouse(host.screenPoint(link, 5, 5));
  host.moveMouse(host.screenPoint(link, 6, 5));
  EXPECT_TRUE(link.hovering());
  EXPECT_EQ(site.eventCount(kMouseIn), 1);
  EXPECT_EQ(w.font(), link.mouseOverFont());
  savePng(w.bitmap(), "hyperlink_hover");
  EXPECT_EQ(countColor(w.bitmap(), kBlue), 0);
  EXPECT_GT(countColor(w.bitmap(), 0x000000FF), 0);
  // The underline of the hover font: a full run on the cell's second-to-last row (11 of 13).
  const std::int32_t chars = static_cast<std::int32_t>(std::string("Visit us").size());
  EXPECT_EQ(countColor(w.bitmap(), 0x000000FF, 0, 11, chars * 6, 12), chars * 6);
  ASSERT_EQ(host.services().tooltips().size(), 1u);
  const auto& tip = *host.services().tooltips()[0];
  bool titled = false;
  for (const auto& m : tip.messages) titled = titled || (m.message == 0x420 && m.wParam == 1);
  EXPECT_TRUE(titled);

  host.moveMouse(host.screenPoint(link, 500, 5));
  EXPECT_FALSE(link.hovering());
  EXPECT_EQ(site.eventCount(kMouseOut), 1);
  EXPECT_EQ(w.font(), link.font());
  EXPECT_FALSE(tip.alive);
  EXPECT_GT(countColor(w.bitmap(), kBlue), 0);
  EXPECT_EQ(countColor(w.bitmap(), 0x000000FF), 0);
  host.moveMouse(host.screenPoint(link, 600, 5));
  EXPECT_EQ(site.eventCount(kMouseOut), 1);
}

TEST(NxHyperLink, HoverWithoutTooltipTextCreatesNone) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite());
  host.moveMouse(host.screenPoint(link, 5, 5));
  EXPECT_TRUE(link.hovering());
  EXPECT_TRUE(host.services().tooltips().empty());
}

// ---- pictures ----

TEST(NxHyperLinkPictures, AutoSizeMakesOneWordPerLine) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite("one three fives", 3000, 300));
  link.setAutoSize(true);
  const sim::SimWindow& w = host.window(link);
  // Widest word "fives": 5 characters of 6 pixels; three lines of 13 pixels.
  EXPECT_DOUBLE_EQ(w.width(), 5 * 6 * 15);
  EXPECT_DOUBLE_EQ(w.height(), 3 * 13 * 15);
  const sim::Bitmap& bmp = w.bitmap();
  savePng(bmp, "hyperlink_autosize");
  EXPECT_EQ(columnsOf(bmp, kBlue, 0, 13), (std::pair<std::int32_t, std::int32_t>{1, 16}));
  EXPECT_EQ(columnsOf(bmp, kBlue, 13, 26), (std::pair<std::int32_t, std::int32_t>{1, 28}));
  EXPECT_EQ(columnsOf(bmp, kBlue, 26, 39), (std::pair<std::int32_t, std::int32_t>{1, 28}));
  // Auto-size moves nothing into the host's change log and does not redraw from Resize.
  EXPECT_TRUE(host.site(link).changes() == std::vector<std::string>{"prop.pAutoSize"});
}

TEST(NxHyperLinkPictures, AlignmentPlacesEveryLine) {
  sim::SimHost host;
  // 100 pixels wide: "aaaa", a word of 15 letters (90 pixels) and "cc" stand on three lines.
  auto& link = host.create<NxHyperLink>(linkSite("aaaa bbbbbbbbbbbbbbb cc", 1500, 600));
  const sim::Bitmap& bmp = host.window(link).bitmap();
  EXPECT_EQ(columnsOf(bmp, kBlue, 0, 13).first, 1);
  EXPECT_EQ(columnsOf(bmp, kBlue, 26, 39).first, 1);

  link.setAlignment(alignRight);
  savePng(bmp, "hyperlink_right");
  // Every line ends at the right edge: its last cell's outline is 2 pixels in.
  EXPECT_EQ(columnsOf(bmp, kBlue, 0, 13).second, 98);
  EXPECT_EQ(columnsOf(bmp, kBlue, 13, 26).second, 98);
  EXPECT_EQ(columnsOf(bmp, kBlue, 26, 39).second, 98);
  EXPECT_EQ(columnsOf(bmp, kBlue, 0, 13).first, 100 - 24 + 1);

  link.setAlignment(alignCenter);
  savePng(bmp, "hyperlink_center");
  // "aaaa" is 24 pixels: it starts at 50 - 12 = 38; "cc" (12) at 44; the long word (90) at 5.
  EXPECT_EQ(columnsOf(bmp, kBlue, 0, 13), (std::pair<std::int32_t, std::int32_t>{39, 60}));
  EXPECT_EQ(columnsOf(bmp, kBlue, 26, 39), (std::pair<std::int32_t, std::int32_t>{45, 54}));
  EXPECT_EQ(columnsOf(bmp, kBlue, 13, 26).first, 6);
}

TEST(NxHyperLinkPictures, DisabledDrawsGreyText) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite("Off"));
  link.setEnabled(false);
  const sim::Bitmap& bmp = host.window(link).bitmap();
  EXPECT_EQ(countColor(bmp, kBlue), 0);
  EXPECT_GT(countColor(bmp, kGrayText), 0);
  link.setEnabled(true);
  EXPECT_EQ(countColor(bmp, kGrayText), 0);
}

TEST(NxHyperLinkPictures, MaskColourCutsTheBackgroundAway) {
  sim::SimHost host;
  auto& link = host.create<NxHyperLink>(linkSite("Shape", 1500, 300));
  link.setBackColor(0x00C0C0C0);
  link.setUseMaskColor(true);
  const sim::SimWindow& w = host.window(link);
  ASSERT_NE(w.region(), nullptr);
  const sim::Bitmap& bmp = w.bitmap();
  savePng(bmp, "hyperlink_mask");
  for (std::int32_t y = 0; y < bmp.height(); ++y)
    for (std::int32_t x = 0; x < bmp.width(); ++x)
      ASSERT_EQ(w.region()->contains(x, y), bmp.at(x, y) == kBlue) << x << "," << y;
  EXPECT_TRUE(link.maskApplied());
}

}  // namespace
}  // namespace nx
