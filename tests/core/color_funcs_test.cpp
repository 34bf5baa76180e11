#include "core/support/color_funcs.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_services.h"

namespace nx {
namespace {

TEST(ColorFuncs, TranslateColorResolvesSystemColoursAndKeepsRgb) {
  sim::SimServices services;
  services.setSystemColor(0x0F, 0x00D8E9EC);
  EXPECT_EQ(translateColor(syscolor::kButtonFace, services), 0x00D8E9ECu);
  EXPECT_EQ(translateColor(0x00BBAD9C, services), 0x00BBAD9Cu);
  EXPECT_EQ(translateColor(0, services), 0u);
  // An index the platform does not know and a negative value that names no system colour fail
  // to translate, which gives black.
  EXPECT_EQ(translateColor(systemColor(0xFE), services), 0u);
  EXPECT_EQ(translateColor(static_cast<OleColor>(0xC0000005u), services), 0u);
  EXPECT_EQ(translateColor(-1, services), 0u);
}

TEST(ColorFuncs, ColorChannelPicksBytesByNameInAnyCase) {
  EXPECT_EQ(colorChannel(0x00123456, "g"), 0x34);
  EXPECT_EQ(colorChannel(0x00123456, "G"), 0x34);
  EXPECT_EQ(colorChannel(0x00123456, "r"), 0x56);
  EXPECT_EQ(colorChannel(0x00123456, "B"), 0x12);
  EXPECT_EQ(colorChannel(0x00123456, "x"), 0);
  EXPECT_EQ(colorChannel(0x00123456, ""), 0);
  EXPECT_EQ(colorChannel(0x00123456, "rg"), 0);
  EXPECT_EQ(colorChannel(0xFF123456u, "b"), 0x12);  // the high byte is never a channel
}

TEST(ColorFuncs, ScaleColorBoundsCapsAndRoundsHalfToEven) {
  sim::SimServices services;
  EXPECT_EQ(scaleColor(0x00C0C0C0, 201, services), 0u);
  EXPECT_EQ(scaleColor(0x00C0C0C0, -1, services), 0u);
  EXPECT_EQ(scaleColor(0x00C0C0C0, 150, services), 0x00FFFFFFu);
  EXPECT_EQ(scaleColor(0x00010101, 50, services), 0u);           // 0.5 goes to the even 0
  EXPECT_EQ(scaleColor(0x00030303, 50, services), 0x00020202u);  // 1.5 goes to 2
  EXPECT_EQ(scaleColor(0x00123456, 100, services), 0x00123456u);
  EXPECT_EQ(scaleColor(0x00123456, 0, services), 0u);
  EXPECT_EQ(scaleColor(0x00402010, 200, services), 0x00804020u);
  EXPECT_EQ(scaleColor(0x00402010, 150, services), 0x00603018u);
  services.setSystemColor(0x0F, 0x00646464);
  EXPECT_EQ(scaleColor(syscolor::kButtonFace, 50, services), 0x00323232u);
}

TEST(ColorFuncs, ColorPairResolvesAtPutTimeOnly) {
  sim::SimServices services;
  services.setSystemColor(0x18, 0x00E1FFFF);
  ColorProperty pair;
  pair.set(syscolor::kTooltipBack, services);
  EXPECT_EQ(pair.value(), syscolor::kTooltipBack);
  EXPECT_EQ(pair.resolved(), 0x00E1FFFFu);
  services.setSystemColor(0x18, 0x00000080);
  EXPECT_EQ(pair.resolved(), 0x00E1FFFFu);  // a later scheme change does not reach it
  pair.set(0x00112233, services);
  EXPECT_EQ(pair.value(), 0x00112233);
  EXPECT_EQ(pair.resolved(), 0x00112233u);
}

}  // namespace
}  // namespace nx
