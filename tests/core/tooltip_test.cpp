#include "core/support/tooltip.h"

#include <gtest/gtest.h>

#include "core/support/tooltip_settings.h"
#include "platform/sim/sim_services.h"

namespace nx {
namespace {

TEST(ExPropParser, ReadsKeysWithoutRegardToCaseAndSkipsMalformedPieces) {
  TooltipSettings s = parseExProp("ttstyle=balloon;tticon=2;tttitle=Hello");
  EXPECT_EQ(s.style, 1);
  EXPECT_EQ(s.icon, 2);
  EXPECT_EQ(s.title, "Hello");

  EXPECT_EQ(parseExProp("TTStyle=Balloon").style, 1);
  EXPECT_EQ(parseExProp("ttstyle = balloon").style, 0);  // blanks are not trimmed
  EXPECT_EQ(parseExProp("tttitle=a=b").title, "");       // two "=" skip the piece
  EXPECT_EQ(parseExProp("tticon").icon, 0);
  EXPECT_EQ(parseExProp("TTTITLE=MiXed Case").title, "MiXed Case");
  EXPECT_EQ(parseExProp("tticon=error").icon, 3);
  EXPECT_EQ(parseExProp("tticon=INFO").icon, 1);
  EXPECT_EQ(parseExProp("tticon=1;tticon=bogus").icon, 1);  // an unknown value changes nothing
  EXPECT_EQ(parseExProp("tticon=1;tticon=3").icon, 3);      // later pieces override
  EXPECT_TRUE(parseExProp("ttalign=CENTER").centered);
  EXPECT_FALSE(parseExProp("ttalign=left").centered);
  EXPECT_FALSE(parseExProp("ttmultiline=no").multiLine);
  EXPECT_FALSE(parseExProp("ttmultiline=False").multiLine);
  EXPECT_TRUE(parseExProp("ttmultiline=yes").multiLine);
  EXPECT_EQ(parseExProp(";;unknown=1;=;ttstyle=balloon;").style, 1);
  EXPECT_EQ(parseExProp(""), TooltipSettings{});
  EXPECT_EQ(parseExProp("garbage"), TooltipSettings{});
}

TEST(ExPropParser, ColoursAreDecimalOrAmpersandHex) {
  EXPECT_EQ(parseExProp("ttbcolor=&hFF").backColor, 0x000000FF);
  EXPECT_EQ(parseExProp("ttbcolor=&h80000018").backColor, syscolor::kTooltipBack);
  EXPECT_EQ(parseExProp("ttbcolor=red").backColor, syscolor::kTooltipBack);
  EXPECT_EQ(parseExProp("ttfcolor=255").foreColor, 255);
  EXPECT_EQ(parseExProp("ttfcolor=&h").foreColor, syscolor::kTooltipText);
  EXPECT_EQ(parseExProp("ttfcolor=&h123456789").foreColor, syscolor::kTooltipText);
  EXPECT_EQ(parseExProp("ttfcolor=99999999999").foreColor, syscolor::kTooltipText);
  EXPECT_EQ(parseExProp("ttbcolor=&h10;ttbcolor=oops").backColor, 0x10);  // keeps the earlier one
  EXPECT_EQ(parseSettingNumber("-12"), -12);
  EXPECT_EQ(parseSettingNumber("&HffFFffFF"), -1);
  EXPECT_EQ(parseSettingNumber("&hxyz"), std::nullopt);
}

TEST(CTooltip, CreateBuildsTheWindowFromItsMembers) {
  sim::SimServices services;
  services.setClientRectLookup([](WindowHandle w) -> std::optional<Rect> {
    if (w == 0x1234) return Rect{0, 0, 80, 20};
    return std::nullopt;
  });
  CTooltip tip(services);
  EXPECT_EQ(services.commonControlsInits(), 1);
  EXPECT_EQ(tip.ForeColor, CTooltip::SystemToolTipForeColor());
  EXPECT_EQ(tip.BackColor, CTooltip::SystemToolTipBackColor());
  EXPECT_TRUE(tip.MultiLine);

  // Without an owner nothing is created, and that counts as finished.
  EXPECT_TRUE(tip.Create());
  EXPECT_EQ(tip.window(), nullptr);
  EXPECT_TRUE(services.tooltips().empty());

  tip.HwndParentControl = 0x1234;
  tip.Style = 1;
  tip.Centered = true;
  tip.Icon = 2;
  tip.Title = "Hello";
  tip.Text = "Line one\r\nLine two";
  ASSERT_TRUE(tip.Create());
  ASSERT_EQ(services.tooltips().size(), 1u);
  const sim::TooltipRecord& rec = *services.tooltips()[0];
  EXPECT_EQ(rec.params.className, "tooltips_class32");
  EXPECT_EQ(rec.params.style, 0x43u);
  EXPECT_EQ(rec.params.exStyle, 0u);
  EXPECT_EQ(rec.params.windowText, "");
  EXPECT_EQ(rec.params.x, static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(rec.params.height, static_cast<std::int32_t>(0x80000000u));
  EXPECT_EQ(rec.params.owner, 0x1234);
  EXPECT_EQ(rec.params.instance, services.moduleInstance());
  ASSERT_EQ(rec.positions.size(), 1u);
  EXPECT_EQ(rec.positions[0].insertAfter, -1);
  EXPECT_EQ(rec.positions[0].flags, 0x13u);
  ASSERT_EQ(rec.messages.size(), 3u);  // add tool, title, max width: default colours not sent
  EXPECT_EQ(rec.messages[0].message, 0x404u);
  const auto& tool = std::get<ToolInfo>(rec.messages[0].lParam);
  EXPECT_EQ(tool.flags, 0x12u);
  EXPECT_EQ(tool.window, 0x1234);
  EXPECT_EQ(tool.id, 0u);
  EXPECT_EQ(tool.rect, (Rect{0, 0, 80, 20}));
  EXPECT_EQ(tool.text, "Line one\r\nLine two");
  EXPECT_EQ(tool.size, 48u);
  EXPECT_EQ(rec.messages[1].message, 0x420u);
  EXPECT_EQ(rec.messages[1].wParam, 2u);
  EXPECT_EQ(std::get<std::string>(rec.messages[1].lParam), "Hello");
  EXPECT_EQ(rec.messages[2].message, 0x418u);
  EXPECT_GT(std::get<std::intptr_t>(rec.messages[2].lParam), 10000);

  // A second Create replaces the window; colours away from the defaults are sent as RGB.
  tip.Style = 0;
  tip.Centered = false;
  tip.Title.clear();
  tip.MultiLine = false;
  tip.ForeColor = 0x000000FF;
  services.setSystemColor(0x0F, 0x00C0C0C0);
  tip.BackColor = syscolor::kButtonFace;
  ASSERT_TRUE(tip.Create());
  ASSERT_EQ(services.tooltips().size(), 2u);
  EXPECT_FALSE(services.tooltips()[0]->alive);
  const sim::TooltipRecord& second = *services.tooltips()[1];
  EXPECT_TRUE(second.alive);
  EXPECT_EQ(second.params.style, 0x03u);
  ASSERT_EQ(second.messages.size(), 3u);
  EXPECT_EQ(std::get<ToolInfo>(second.messages[0].lParam).flags, 0x10u);
  EXPECT_EQ(second.messages[1].message, 0x414u);
  EXPECT_EQ(second.messages[1].wParam, 0x000000FFu);
  EXPECT_EQ(second.messages[2].message, 0x413u);
  EXPECT_EQ(second.messages[2].wParam, 0x00C0C0C0u);
}

TEST(CTooltip, FailuresGiveFalseAndDestroyingRemovesTheWindow) {
  sim::SimServices services;
  {
    CTooltip tip(services);
    tip.HwndParentControl = 0x77;
    tip.Icon = 1;  // an icon without a title sets no title
    ASSERT_TRUE(tip.Create());
    const sim::TooltipRecord& rec = *services.tooltips().back();
    for (const auto& m : rec.messages) EXPECT_NE(m.message, 0x420u);
    EXPECT_TRUE(rec.alive);
  }
  EXPECT_FALSE(services.tooltips().back()->alive);

  services.setTooltipCreationFails(true);
  CTooltip failing(services);
  failing.HwndParentControl = 0x77;
  EXPECT_FALSE(failing.Create());
  EXPECT_EQ(failing.window(), nullptr);
}

}  // namespace
}  // namespace nx
