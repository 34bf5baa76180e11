// NxVATNumber looks a person checks (one PNG sheet): a new control with a number, the focused
// control, a disabled one, one without the code box, and the open country list. The number box
// is a child window on the platforms; here it is composed onto the control's picture where its
// bounds put it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_text.h"
#include "tests/vatbox/vat_test_support.h"

namespace nx {
namespace {

std::int32_t px(double twips) {
  return static_cast<std::int32_t>(std::lround(twips / 15.0));
}

sim::Bitmap shown(sim::SimHost& host, const NxVATNumber& v) {
  sim::Bitmap out = host.window(v).bitmap();
  const TextBoxPart& d = v.numberBox();
  const PartRect r = d.bounds();
  for (std::int32_t y = px(r.top); y < px(r.top + r.height) && y < out.height(); ++y)
    for (std::int32_t x = px(r.left); x < px(r.left + r.width) && x < out.width(); ++x)
      out.set(x, y, d.backColor());
  sim::drawTextLine(out, d.font()->describe(), px(r.left) + 1, px(r.top) + 1, d.text(),
                    d.foreColor());
  return out;
}

int count(const sim::Bitmap& b, Rgb color) {
  int n = 0;
  for (std::int32_t y = 0; y < b.height(); ++y)
    for (std::int32_t x = 0; x < b.width(); ++x) n += b.at(x, y) == color ? 1 : 0;
  return n;
}

TEST(VatNumberPng, LooksOfTheControlAndTheList) {
  sim::SimHost host;
  vattest::registerPictures(host.services());
  std::vector<sim::Bitmap> looks;

  NxVATNumber& plain = host.create<NxVATNumber>(vattest::vatSite());
  plain.putProperty("vatNr", Value{std::string("U13585627")});
  looks.push_back(shown(host, plain));
  EXPECT_GT(count(looks.back(), vattest::kButtonLooks[0]), 0);  // the button's normal look
  EXPECT_EQ(looks.back().at(0, 0), 0x000000u);                  // the black frame

  NxVATNumber& focused = host.create<NxVATNumber>(vattest::vatSite(0, 600));
  focused.putProperty("VatCountry", Value{std::string("ES")});
  host.focus(&focused);
  vattest::box(focused).typeText("12345678?");
  vattest::box(focused).typeChar(13);
  looks.push_back(shown(host, focused));
  EXPECT_GT(count(looks.back(), vattest::kButtonLooks[1]), 0);
  EXPECT_EQ(looks.back().at(0, 0), 0xB7A49Eu);
  EXPECT_GT(count(looks.back(), 0xFF0000), 0);  // the completed number, in the good colour

  NxVATNumber& off = host.create<NxVATNumber>(vattest::vatSite(0, 1200));
  off.putProperty("vatNr", Value{std::string("123")});
  off.putProperty("Enabled", Value{VBool::False});
  looks.push_back(shown(host, off));
  EXPECT_GT(count(looks.back(), 0xE0E0E0), looks.back().width() * 10);
  EXPECT_EQ(looks.back().at(0, 0), 0x808080u);

  NxVATNumber& bare = host.create<NxVATNumber>(vattest::vatSite(0, 1800));
  bare.putProperty("CountrySelect", Value{VBool::False});
  bare.putProperty("vatNr", Value{std::string("DE123")});
  looks.push_back(shown(host, bare));
  EXPECT_EQ(count(looks.back(), vattest::kButtonLooks[0]), 0);

  // The list, opened from the first control with the mouse over Belgium.
  sim::Bitmap list;
  sim::SimScreen& screen = host.services().screen();
  screen.queueModalStep([&] {
    const Rect b = plain.openList()->bounds();
    screen.sendMouse(mouse_message::kMove, {b.left + 10, b.top + 26});
    list = screen.popups().back()->surface->bitmap();
    screen.sendKey(27);
  });
  host.focus(&plain);
  vattest::box(plain).keyDown(115);
  ASSERT_EQ(list.width(), 70);
  ASSERT_EQ(list.height(), 153);
  for (int row = 0; row < 9; ++row)  // the first nine flags show
    EXPECT_GT(count(list, vattest::flagColor(row)), 0) << row;
  EXPECT_EQ(count(list, vattest::flagColor(9)), 0);  // the tenth starts below the window

  std::int32_t w = list.width(), h = list.height() + 6;
  for (const sim::Bitmap& b : looks) {
    w = std::max(w, b.width());
    h += b.height() + 6;
  }
  sim::Bitmap sheet(w + 12, h + 6, 0x00C8D0D4);
  std::int32_t top = 6;
  looks.push_back(list);
  for (const sim::Bitmap& b : looks) {
    for (std::int32_t y = 0; y < b.height(); ++y)
      for (std::int32_t x = 0; x < b.width(); ++x) sheet.set(6 + x, top + y, b.at(x, y));
    top += b.height() + 6;
  }
  std::filesystem::create_directories(NX_PNG_DIR);
  EXPECT_TRUE(sim::writePng(std::string(NX_PNG_DIR) + "/vatnumber_looks.png", sheet));
}

}  // namespace
}  // namespace nx
