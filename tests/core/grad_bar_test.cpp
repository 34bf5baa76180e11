#include "core/support/grad_bar.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/runtime/errors.h"
#include "platform/sim/sim_dc.h"
#include "thread_helper.h"

namespace nx {
namespace {

using nx::testing::onFreshThread;

std::shared_ptr<sim::Switches> fillMissing() {
  auto s = std::make_shared<sim::Switches>();
  s->gradientFillAvailable = false;
  return s;
}

// Keeps what the platform fill was asked to do.
class RecordingDC : public sim::DC {
 public:
  RecordingDC() : sim::DC(bitmap_, std::make_shared<sim::Switches>()) {}
  void gradientFill(std::span<const TriVertex> v, std::span<const GradientRect> r,
                    GradientMode m) override {
    vertices.assign(v.begin(), v.end());
    rects.assign(r.begin(), r.end());
    mode = m;
  }
  std::vector<TriVertex> vertices;
  std::vector<GradientRect> rects;
  GradientMode mode = GradientMode::RectH;

 private:
  sim::Bitmap bitmap_{4, 4};
};

TEST(GradBar, ToColor16ReadsTheBitsAsSigned) {
  EXPECT_EQ(toColor16(0), 0);
  EXPECT_EQ(toColor16(0x7F00), 0x7F00);
  EXPECT_EQ(toColor16(0x8000), -32768);
  EXPECT_EQ(toColor16(0xFF00), -256);
  EXPECT_EQ(toColor16(0x80 * 256), static_cast<std::int16_t>(0x8000));
}

TEST(GradBar, FillRequestCarriesVerticesRectEntryAndMode) {
  RecordingDC dc;
  gradientByFill(dc, 1, 2, 30, 40, 0x00FF8001, 0x0000FF7F, 1);
  ASSERT_EQ(dc.vertices.size(), 2u);
  EXPECT_EQ(dc.vertices[0].x, 1);
  EXPECT_EQ(dc.vertices[0].y, 2);
  EXPECT_EQ(dc.vertices[0].red, 0x0100);
  EXPECT_EQ(dc.vertices[0].green, toColor16(0x80 * 256));
  EXPECT_EQ(dc.vertices[0].blue, -256);
  EXPECT_EQ(dc.vertices[0].alpha, 0);
  EXPECT_EQ(dc.vertices[1].x, 30);
  EXPECT_EQ(dc.vertices[1].y, 40);
  EXPECT_EQ(dc.vertices[1].red, 0x7F00);
  EXPECT_EQ(dc.vertices[1].green, -256);
  EXPECT_EQ(dc.vertices[1].blue, 0);
  ASSERT_EQ(dc.rects.size(), 1u);
  EXPECT_EQ(dc.rects[0].upperLeft, 1u);
  EXPECT_EQ(dc.rects[0].lowerRight, 0u);
  EXPECT_EQ(dc.mode, GradientMode::RectV);
  gradientByFill(dc, 0, 0, 5, 5, 0, 0, 0);
  EXPECT_EQ(dc.mode, GradientMode::RectH);
  gradientByFill(dc, 0, 0, 5, 5, 0, 0, 7);
  EXPECT_EQ(dc.mode, GradientMode::RectV);  // any positive direction fills vertically

  sim::MemoryDC missing(4, 4, 0, fillMissing());
  EXPECT_THROW(gradientByFill(missing.dc(), 0, 0, 4, 4, 0, 0, 0), PlatformCallMissing);
}

TEST(GradBar, PlatformFillSpreadsColoursAsTheGdiDoes) {
  onFreshThread([] {
    sim::MemoryDC m(100, 10, 0x00123456);
    drawGradient(m.dc(), 0, 0, 100, 10, 0x000000FF, 0x00FF0000, 0);
    EXPECT_TRUE(gradientStrategy().probed);
    EXPECT_TRUE(gradientStrategy().fillAvailable);
    EXPECT_EQ(m.dc().gradientFillCalls(), 1);
    EXPECT_EQ(m.dc().lineCount(), 0);
    EXPECT_EQ(m.bitmap().at(0, 0), 0x000000FFu);  // pure red at the left
    EXPECT_EQ(m.bitmap().at(0, 9), 0x000000FFu);
    // The last column is 99/100 of the way: (0xFF00 * 99) / 100 / 256 = 252 blue, 2 red.
    EXPECT_EQ(m.bitmap().at(99, 5), makeRgb(2, 0, 252));
    EXPECT_EQ(m.bitmap().at(50, 5), makeRgb(127, 0, 127));
    for (int x = 1; x < 100; ++x)
      EXPECT_LE(redOf(m.bitmap().at(x, 0)), redOf(m.bitmap().at(x - 1, 0)));

    // Vertical: the rows change, the columns do not; the rectangle's right/bottom stay unpainted.
    sim::MemoryDC v(12, 12, 0x00ABCDEF);
    drawGradient(v.dc(), 1, 1, 11, 11, 0x00000000, 0x00FFFFFF, 1);
    EXPECT_EQ(v.bitmap().at(1, 1), 0u);
    EXPECT_EQ(v.bitmap().at(10, 1), 0u);
    EXPECT_EQ(v.bitmap().at(5, 10), makeRgb(229, 229, 229));  // 9/10 of 0xFF00, / 256
    EXPECT_EQ(v.bitmap().at(11, 5), 0x00ABCDEFu);
    EXPECT_EQ(v.bitmap().at(5, 11), 0x00ABCDEFu);
    EXPECT_EQ(v.bitmap().at(0, 0), 0x00ABCDEFu);
    EXPECT_EQ(v.dc().lineCount(), 0);
  });
}

TEST(GradBar, MissingFillFallsBackToLinesOnceAndForGood) {
  onFreshThread([] {
    auto switches = fillMissing();
    sim::MemoryDC m(10, 10, 0x00111111, switches);
    drawGradient(m.dc(), 0, 2, 10, 6, 0x00000000, 0x00404040, 1);
    EXPECT_TRUE(gradientStrategy().probed);
    EXPECT_FALSE(gradientStrategy().fillAvailable);
    // The first request is still drawn: rows top..bottom inclusive, columns left..right-1.
    EXPECT_EQ(m.bitmap().at(0, 1), 0x00111111u);
    EXPECT_EQ(m.bitmap().at(0, 2), 0x00000000u);
    EXPECT_EQ(m.bitmap().at(9, 2), 0x00000000u);
    EXPECT_EQ(m.bitmap().at(3, 4), 0x00202020u);
    EXPECT_EQ(m.bitmap().at(3, 6), 0x00404040u);  // the far edge has the second colour
    EXPECT_EQ(m.bitmap().at(3, 7), 0x00111111u);
    EXPECT_EQ(m.dc().lineCount(), 5);

    // Every later request draws with lines too, even if the fill came back.
    switches->gradientFillAvailable = true;
    sim::MemoryDC later(10, 10, 0, switches);
    drawGradient(later.dc(), 0, 0, 4, 10, 0x000000FF, 0x00FF0000, 0);
    EXPECT_EQ(later.dc().gradientFillCalls(), 0);
    EXPECT_EQ(later.dc().lineCount(), 5);  // columns 0..4
    EXPECT_EQ(later.bitmap().at(0, 3), 0x000000FFu);
    EXPECT_EQ(later.bitmap().at(4, 3), 0x00FF0000u);
    EXPECT_EQ(later.bitmap().at(2, 9), makeRgb(128, 0, 128));  // 127.5 rounds to the even 128
    EXPECT_EQ(later.bitmap().at(2, 10), kInvalidColor);
  });
  // Another thread makes its own choice.
  onFreshThread([] {
    EXPECT_FALSE(gradientStrategy().probed);
    sim::MemoryDC m(4, 4);
    drawGradient(m.dc(), 0, 0, 4, 4, 0, 0x00FFFFFF, 0);
    EXPECT_TRUE(gradientStrategy().fillAvailable);
  });
}

TEST(GradBar, LinesHandleZeroSpanOtherDirectionsAndRestoreThePen) {
  sim::MemoryDC m(10, 10, 0x00111111, fillMissing());
  m.dc().selectPen(0x00ABCDEF);
  gradientByLines(m.dc(), Rect{2, 3, 8, 3}, 0x00000080, 0x00FFFFFF, 1);
  for (int x = 2; x < 8; ++x) EXPECT_EQ(m.bitmap().at(x, 3), 0x00000080u) << x;
  EXPECT_EQ(m.bitmap().at(8, 3), 0x00111111u);
  EXPECT_EQ(m.bitmap().at(2, 4), 0x00111111u);
  EXPECT_EQ(m.dc().lineCount(), 1);
  EXPECT_EQ(m.dc().penColor(), 0x00ABCDEFu);

  gradientByLines(m.dc(), Rect{0, 0, 10, 10}, 0x00FFFFFF, 0x00FFFFFF, 2);
  EXPECT_EQ(m.dc().lineCount(), 1);
  EXPECT_EQ(m.bitmap().at(0, 0), 0x00111111u);
  EXPECT_EQ(m.dc().penColor(), 0x00ABCDEFu);

  // A solid gradient keeps one pen for all its lines; a changing one switches pens only when
  // the rounded colour changes.
  int before = m.dc().penSelections();
  gradientByLines(m.dc(), Rect{0, 0, 10, 9}, 0x00202020, 0x00202020, 1);
  EXPECT_EQ(m.dc().penSelections() - before, 2);  // select and put back
  before = m.dc().penSelections();
  gradientByLines(m.dc(), Rect{0, 0, 10, 9}, 0x00000000, 0x00090909, 1);
  EXPECT_EQ(m.dc().penSelections() - before, 11);  // 10 colours + put back
  EXPECT_EQ(m.dc().penColor(), 0x00ABCDEFu);

  // Requests far outside the surface end without painting anything or running away.
  sim::MemoryDC far(4, 4, 0x00111111, fillMissing());
  gradientByLines(far.dc(), Rect{0, 10, 4, 2000000000}, 0, 0x00FFFFFF, 1);
  gradientByLines(far.dc(), Rect{10, 0, 2000000000, 4}, 0, 0x00FFFFFF, 0);
  EXPECT_EQ(far.bitmap().at(3, 3), 0x00111111u);
}

}  // namespace
}  // namespace nx
