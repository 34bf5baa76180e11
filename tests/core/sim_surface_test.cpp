#include "platform/sim/sim_surface.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/sim/png_writer.h"
#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_text.h"

namespace nx::sim {
namespace {

SimSurface makeSurface(int w, int h, FontDesc font = {}) {
  SimSurface s(15, 15, std::make_shared<Switches>(), std::make_shared<SimFont>(font));
  s.setBackColor(0x00FFFFFF);
  s.resizePixels(w, h);
  s.clear();
  return s;
}

TEST(SimSurface, LinesBoxesAndPixelsFollowThePlatformRules) {
  SimSurface s = makeSurface(10, 10);
  s.line(0, 0, 75, 0, 0x000000FF);  // pixels 0..4; the end point (5, 0) is not painted
  EXPECT_EQ(s.bitmap().at(4, 0), 0x000000FFu);
  EXPECT_EQ(s.bitmap().at(5, 0), 0x00FFFFFFu);
  EXPECT_EQ(s.currentX(), 75);
  s.line(30, 120, 30, 30, 0x0000FF00);  // upward: from row 8 to row 3, row 2 excluded
  EXPECT_EQ(s.bitmap().at(2, 8), 0x0000FF00u);
  EXPECT_EQ(s.bitmap().at(2, 3), 0x0000FF00u);
  EXPECT_EQ(s.bitmap().at(2, 2), 0x00FFFFFFu);
  s.line(0, 0, 45, 45, 0x00FF0000);  // diagonal
  EXPECT_EQ(s.bitmap().at(1, 1), 0x00FF0000u);
  EXPECT_EQ(s.bitmap().at(3, 3), 0x00FFFFFFu);

  s.clear();
  EXPECT_EQ(s.currentX(), 0);
  s.box(15, 15, 60, 45, 0x00000000, false);  // both corners belong to the outline
  EXPECT_EQ(s.bitmap().at(1, 1), 0u);
  EXPECT_EQ(s.bitmap().at(4, 3), 0u);
  EXPECT_EQ(s.bitmap().at(4, 1), 0u);
  EXPECT_EQ(s.bitmap().at(1, 3), 0u);
  EXPECT_EQ(s.bitmap().at(2, 2), 0x00FFFFFFu);
  EXPECT_EQ(s.bitmap().at(5, 3), 0x00FFFFFFu);
  s.box(60, 60, 90, 90, 0x00123456, true);
  EXPECT_EQ(s.bitmap().at(5, 5), 0x00123456u);
  EXPECT_EQ(s.bitmap().at(6, 6), 0x00123456u);
  EXPECT_EQ(s.bitmap().at(7, 6), 0x00FFFFFFu);

  s.setPixel(135, 135, 0x00ABCDEF);
  EXPECT_EQ(s.pixel(135, 135), 0x00ABCDEFu);
  EXPECT_EQ(s.currentY(), 135);
  EXPECT_EQ(s.pixel(-15, 0), kInvalidColor);
  EXPECT_EQ(s.pixel(150, 0), kInvalidColor);
  s.line(0, 0, 1e12, 0, 0);  // absurd coordinates are clipped, not followed
  EXPECT_EQ(s.bitmap().at(9, 0), 0u);
}

TEST(SimSurface, TextMetricsAndCurrentPosition) {
  FontDesc f{"Any", 12, false, false, false};
  SimSurface s = makeSurface(200, 60, f);
  EXPECT_EQ(charWidthPx(f), 9);
  EXPECT_EQ(lineHeightPx(f), 18);
  f.bold = true;
  EXPECT_EQ(charWidthPx(f), 10);
  EXPECT_EQ(s.textWidth("abcd"), 4 * 9 * 15);
  EXPECT_EQ(s.textHeight("abcd"), 18 * 15);
  EXPECT_EQ(s.textHeight("a\r\nb\nc"), 3 * 18 * 15);
  EXPECT_EQ(s.textWidth("ab\r\nabcde"), 5 * 9 * 15);
  EXPECT_EQ(s.textHeight(""), 18 * 15);

  s.setForeColor(0x00000000);
  s.setCurrentPosition(30, 15);
  s.print("ab", false);  // stays on the line, X advances
  EXPECT_EQ(s.currentX(), 30 + 2 * 9 * 15);
  EXPECT_EQ(s.currentY(), 15);
  // The first glyph's outline: cell at (2, 1), box (3, 3)-(9, 16).
  EXPECT_EQ(s.bitmap().at(3, 3), 0u);
  EXPECT_EQ(s.bitmap().at(9, 16), 0u);
  EXPECT_EQ(s.bitmap().at(5, 8), 0x00FFFFFFu);
  s.print("c", true);  // next line starts at X 0
  EXPECT_EQ(s.currentX(), 0);
  EXPECT_EQ(s.currentY(), 15 + 18 * 15);
  s.print(" ", true);  // blanks draw nothing but move on
  EXPECT_EQ(s.currentY(), 15 + 2 * 18 * 15);
}

TEST(SimSurface, PicturesStretchAndSnapshotTheImage) {
  Bitmap src(2, 1);
  src.set(0, 0, 0x000000FF);
  src.set(1, 0, 0x0000FF00);
  SimPicture pic(src);
  EXPECT_EQ(pic.widthHimetric(), 53);  // 2 px at 96 per inch
  SimSurface s = makeSurface(8, 4);
  s.paintPicture(pic, 0, 0, 8 * 15, 2 * 15);
  EXPECT_EQ(s.bitmap().at(0, 0), 0x000000FFu);
  EXPECT_EQ(s.bitmap().at(3, 1), 0x000000FFu);
  EXPECT_EQ(s.bitmap().at(4, 0), 0x0000FF00u);
  EXPECT_EQ(s.bitmap().at(7, 1), 0x0000FF00u);
  EXPECT_EQ(s.bitmap().at(7, 2), 0x00FFFFFFu);
  PictureRef img = s.image();
  EXPECT_EQ(img->widthPixels(), 8);
  EXPECT_EQ(img->heightPixels(), 4);
  EXPECT_EQ(img->heightHimetric(), 106);
  s.clear();  // the snapshot keeps what was drawn
  EXPECT_EQ(dynamic_cast<const SimPicture&>(*img).pixels().at(0, 0), 0x000000FFu);
  s.resizePixels(10, 5);  // growing keeps the old pixels, new ones get the back colour
  EXPECT_EQ(s.bitmap().at(9, 4), 0x00FFFFFFu);
}

TEST(SimSurface, PngOutputWritesFilesAndReportsFailure) {
  std::filesystem::create_directories(NX_PNG_DIR);
  const std::string path = std::string(NX_PNG_DIR) + "/sim_surface_check.png";
  Bitmap b(3, 2, 0x000080FF);
  ASSERT_TRUE(writePng(path, b));
  EXPECT_GT(std::filesystem::file_size(path), 8u);
  EXPECT_FALSE(writePng(std::string(NX_PNG_DIR) + "/no/such/dir/x.png", b));
  EXPECT_FALSE(writePng(path, Bitmap()));
}

}  // namespace
}  // namespace nx::sim
