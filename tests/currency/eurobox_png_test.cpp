// NxEuroBox looks a person checks (one PNG sheet): new box, flat border with "EUR", a red
// negative amount, a disabled box. The digits box is a child window on the platforms; here it
// is composed onto the control's picture where its bounds put it.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "currency/eurobox/eurobox.h"
#include "platform/sim/png_writer.h"
#include "platform/sim/sim_host.h"
#include "platform/sim/sim_text.h"

namespace nx {
namespace {

std::int32_t px(double twips) {
  return static_cast<std::int32_t>(std::lround(twips / 15.0));
}

sim::Bitmap shown(sim::SimHost& host, NxEuroBox& b) {
  sim::Bitmap out = host.window(b).bitmap();
  const TextBoxPart& d = b.digits();
  const PartRect r = d.bounds();
  for (std::int32_t y = px(r.top); y < px(r.top + r.height) && y < out.height(); ++y)
    for (std::int32_t x = px(r.left); x < px(r.left + r.width) && x < out.width(); ++x)
      out.set(x, y, d.backColor());
  const FontDesc font = d.font()->describe();
  const std::int32_t right = px(r.left + r.width) - 2;
  sim::drawTextLine(out, font, right - sim::textWidthPx(font, d.text()), px(r.top) + 1, d.text(),
                    d.foreColor());
  return out;
}

TEST(EuroBoxPng, LooksOfTheBox) {
  sim::SimHost host;
  sim::SiteOptions o;
  o.width = 1800;
  o.height = 330;
  std::vector<sim::Bitmap> looks;

  NxEuroBox& plain = host.create<NxEuroBox>(o);
  plain.putProperty("Value", Value{1234.5});
  looks.push_back(shown(host, plain));

  NxEuroBox& flat = host.create<NxEuroBox>(o);
  flat.putProperty("BorderStyle", Value{std::int32_t{bsFLAT}});
  flat.putProperty("BorderColor", Value{std::int32_t{0x00FF0000}});
  flat.putProperty("Symbol", Value{std::string("EUR")});
  flat.putProperty("Value", Value{20.5});
  looks.push_back(shown(host, flat));
  // The flat border is the outermost pixel ring; the digits box starts two pixels inside.
  const sim::Bitmap& f = looks.back();
  EXPECT_EQ(f.at(0, 0), 0x00FF0000u);
  EXPECT_EQ(f.at(f.width() - 1, f.height() - 1), 0x00FF0000u);
  EXPECT_EQ(f.at(1, 1), 0x00FFFFFFu);

  NxEuroBox& red = host.create<NxEuroBox>(o);
  red.putProperty("Value", Value{-75.25});
  looks.push_back(shown(host, red));
  bool redInk = false;
  for (std::int32_t y = 0; y < looks.back().height(); ++y)
    for (std::int32_t x = 0; x < looks.back().width(); ++x)
      redInk = redInk || looks.back().at(x, y) == eurobox::kNegativeColor;
  EXPECT_TRUE(redInk);

  NxEuroBox& off = host.create<NxEuroBox>(o);
  off.putProperty("Enabled", Value{VBool::False});
  looks.push_back(shown(host, off));
  EXPECT_EQ(looks.back().at(1, 1), eurobox::kDisabledBack);

  std::int32_t w = 0, h = 0;
  for (const sim::Bitmap& b : looks) {
    w = std::max(w, b.width());
    h += b.height() + 6;
  }
  sim::Bitmap sheet(w + 12, h + 6, 0x00C8D0D4);
  std::int32_t top = 6;
  for (const sim::Bitmap& b : looks) {
    for (std::int32_t y = 0; y < b.height(); ++y)
      for (std::int32_t x = 0; x < b.width(); ++x) sheet.set(6 + x, top + y, b.at(x, y));
    top += b.height() + 6;
  }
  std::filesystem::create_directories(NX_PNG_DIR);
  EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/eurobox_looks.png", sheet));
}

}  // namespace
}  // namespace nx
