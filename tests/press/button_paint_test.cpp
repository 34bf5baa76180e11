// NxButton drawing on a simulated surface (15 twips per pixel, 6 x 13 pixel character cells of
// the default font): caption marks, placement, face, light band, cuts, borders, window shape,
// caption outline and shadow, icon placement and the disabled look.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <utility>

#include "platform/sim/sim_objects.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_surface.h"
#include "press/button/button_paint.h"

namespace nx {
namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

constexpr Rgb kWhite = 0xFFFFFF;
constexpr Rgb kFace = 0x306090;
constexpr Rgb kText = 0x0000C0;
constexpr Rgb kEdge = 0x204020;

// A device context that counts the calls a drawing makes and passes them on.
class CountingDc : public DeviceContext {
 public:
  explicit CountingDc(DeviceContext& inner) : inner_(inner) {}
  std::int32_t widthPx() const override { return inner_.widthPx(); }
  std::int32_t heightPx() const override { return inner_.heightPx(); }
  Rgb pixel(std::int32_t x, std::int32_t y) const override {
    ++pixelReads;
    return inner_.pixel(x, y);
  }
  void readRow(std::int32_t y, std::int32_t x0, std::span<Rgb> out) const override {
    ++rowReads;
    inner_.readRow(y, x0, out);
  }
  void setPixel(std::int32_t x, std::int32_t y, Rgb color) override {
    ++pixelWrites;
    inner_.setPixel(x, y, color);
  }
  void readBlock(const Rect& r, std::span<Rgb> pixels) const override {
    ++blockReads;
    inner_.readBlock(r, pixels);
  }
  void writeBlock(const Rect& r, std::span<const Rgb> pixels) override {
    ++blockWrites;
    inner_.writeBlock(r, pixels);
  }
  Rgb selectPen(Rgb color) override { return inner_.selectPen(color); }
  void moveTo(std::int32_t x, std::int32_t y) override { inner_.moveTo(x, y); }
  void lineTo(std::int32_t x, std::int32_t y) override { inner_.lineTo(x, y); }
  void fillRect(const Rect& r, Rgb color) override { inner_.fillRect(r, color); }
  void gradientFill(std::span<const TriVertex> vertices, std::span<const GradientRect> rects,
                    GradientMode mode) override {
    inner_.gradientFill(vertices, rects, mode);
  }

  mutable int pixelReads = 0;
  mutable int rowReads = 0;
  mutable int blockReads = 0;
  int pixelWrites = 0;
  int blockWrites = 0;

 private:
  DeviceContext& inner_;
};

class CountingSurface : public sim::SimSurface {
 public:
  CountingSurface()
      : sim::SimSurface(15, 15, std::make_shared<sim::Switches>(),
                        std::make_shared<sim::SimFont>(FontDesc{})),
        counting_(sim::SimSurface::dc()) {}
  DeviceContext& dc() override { return counting_; }
  CountingDc& counts() { return counting_; }

 private:
  CountingDc counting_;
};

// A button of w x h pixels with a plain face, no effects, no border and no caption; each test
// turns on what it looks at.
ButtonLook plainLook(int w, int h) {
  ButtonLook look;
  look.colorA = look.colorB = look.hoverColorA = look.hoverColorB = kFace;
  look.foreColor = look.hoverForeColor = kText;
  look.borderColor = kEdge;
  look.caption = "";
  look.lightEffect = false;
  look.borderStyle = bsNone;
  look.outline = olNone;
  look.scaleWidth = w * 15.0;
  look.scaleHeight = h * 15.0;
  look.innerWidthPx = look.outerWidthPx = w;
  look.innerHeightPx = look.outerHeightPx = h;
  return look;
}

struct Canvas {
  sim::SimServices services;
  CountingSurface surface;

  ButtonPaintResult paint(const ButtonLook& look) {
    surface.resizePixels(look.innerWidthPx, look.innerHeightPx);
    return paintButton(surface, look, services);
  }
  const sim::Bitmap& bitmap() const { return surface.bitmap(); }
  PixelSet pixelsOf(Rgb color) const {
    PixelSet out;
    for (int y = 0; y < bitmap().height(); ++y)
      for (int x = 0; x < bitmap().width(); ++x)
        if (bitmap().at(x, y) == color) out.insert({x, y});
    return out;
  }
};

PixelSet shifted(const PixelSet& s, int dx, int dy) {
  PixelSet out;
  for (auto [x, y] : s) out.insert({x + dx, y + dy});
  return out;
}

PixelSet minus(const PixelSet& a, const PixelSet& b) {
  PixelSet out;
  std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::inserter(out, out.end()));
  return out;
}

// The colour the platform gradient fill gives pixel `pos` of a span of `len` from c0 to c1.
Rgb gdi(Rgb c0, Rgb c1, int pos, int len) {
  auto ch = [pos, len](int a, int b) {
    return static_cast<std::uint8_t>((a * 256 * (len - pos) + b * 256 * pos) / len / 256);
  };
  return makeRgb(ch(redOf(c0), redOf(c1)), ch(greenOf(c0), greenOf(c1)),
                 ch(blueOf(c0), blueOf(c1)));
}

std::optional<Rect> boundsOf(const PixelSet& s) {
  if (s.empty()) return std::nullopt;
  Rect r{s.begin()->first, s.begin()->second, s.begin()->first, s.begin()->second};
  for (auto [x, y] : s) {
    r.left = std::min(r.left, x);
    r.right = std::max(r.right, x);
    r.top = std::min(r.top, y);
    r.bottom = std::max(r.bottom, y);
  }
  return r;
}

PictureRef solidPicture(int w, int h, Rgb color) {
  return std::make_shared<sim::SimPicture>(sim::Bitmap(w, h, color));
}

TEST(NxButtonCaption, MarksBecomeTextAndAccessKey) {
  struct Case {
    const char* caption;
    const char* text;
    std::size_t key;
    char accessKey;
  };
  const Case cases[] = {
      {"Save && E&xit", "Save & Exit", 9, 'x'},
      {"Rock &", "Rock", 0, 0},      // a closing mark gives no key
      {"&&", "&", 0, 0},             // a literal ampersand only
      {"a&&&", "a&", 0, 0},          // pairs are taken first: the last mark closes
      {"&&&x", "&x", 2, 'x'},        // ... and here it marks the x
      {"  &Go  ", "Go", 1, 'G'},     // trimmed with the key moving along
      {"&a&b", "ab", 2, 'b'},        // the last mark counts; earlier ones vanish
      {"Plain  ", "Plain  ", 0, 0},  // without marks the text stays as it is
      {"Ok &  ", "Ok", 0, ' '},      // the key character was trimmed: not underlined
      {"", "", 0, 0},
  };
  for (const Case& c : cases) {
    const ButtonCaption parsed = parseButtonCaption(c.caption);
    EXPECT_EQ(parsed.text, c.text) << c.caption;
    EXPECT_EQ(parsed.key, c.key) << c.caption;
    EXPECT_EQ(parsed.accessKey, c.accessKey) << c.caption;
  }
  // A NUL of the caption stays a NUL next to a literal ampersand, and gives no key.
  using namespace std::string_view_literals;
  EXPECT_EQ(parseButtonCaption("A\0&&B&\0"sv).text, "A\0&B\0"sv);
  EXPECT_EQ(parseButtonCaption("A\0&&B&\0"sv).key, 0u);
  EXPECT_EQ(parseButtonCaption("A\0&&B&\0"sv).accessKey, 0);
}

TEST(NxButtonCaption, PaintReportsTheParsedCaption) {
  Canvas canvas;
  ButtonLook look = plainLook(120, 30);
  look.caption = "Save && E&xit";
  const ButtonPaintResult r = canvas.paint(look);
  EXPECT_EQ(r.caption.text, "Save & Exit");
  EXPECT_EQ(r.caption.accessKey, 'x');
}

TEST(NxButtonLayout, NineAlignmentsPlaceAnItem) {
  // 100 x 40 px area, 20 x 10 px item.
  const double sw = 1500, sh = 600, iw = 300, ih = 150;
  const double left = 15, centre = 600, right = 1170, top = 15, middle = 225, bottom = 420;
  const std::pair<double, double> expected[9] = {{left, top},    {right, top},    {centre, top},
                                                 {left, middle}, {right, middle}, {centre, middle},
                                                 {left, bottom}, {right, bottom}, {centre, bottom}};
  for (int a = 0; a < 9; ++a) {
    const ItemPosition p = alignItem(a, sw, sh, iw, ih, 15, 15);
    EXPECT_EQ(p.x, expected[a].first) << a;
    EXPECT_EQ(p.y, expected[a].second) << a;
  }
  // Halves round to even.
  EXPECT_EQ(alignItem(aaMiddleCenter, 1501, 603, 300, 150, 15, 15).x, 600);
  EXPECT_EQ(alignItem(aaMiddleCenter, 1501, 603, 300, 150, 15, 15).y, 226);
}

TEST(NxButtonLayout, AlignmentClassesStayInRange) {
  EXPECT_EQ(alignmentClasses(aaTopRight).horizontal, 2);
  EXPECT_EQ(alignmentClasses(aaBottomCenter).horizontal, 1);
  EXPECT_EQ(alignmentClasses(aaBottomCenter).vertical, 2);
  EXPECT_EQ(alignmentClasses(aaMiddleLeft).vertical, 1);
  for (int v = -40; v <= 40; ++v) {
    const AlignmentClasses c = alignmentClasses(v);
    EXPECT_GE(c.horizontal, 0) << v;
    EXPECT_LE(c.horizontal, 2) << v;
    EXPECT_GE(c.vertical, 0) << v;
    EXPECT_LE(c.vertical, 2) << v;
  }
  EXPECT_EQ(alignmentClasses(-5).vertical, 0);
  EXPECT_EQ(alignmentClasses(1000).vertical, 2);
}

TEST(NxButtonFace, GelAndPlainFaces) {
  Canvas canvas;
  ButtonLook look = plainLook(30, 20);
  look.gradientStyle = gtGel;
  look.colorA = 0x0000FF;  // red
  look.colorB = 0x00FF00;  // green
  canvas.paint(look);
  for (int y = 0; y < 10; ++y)
    for (int x : {0, 15, 29}) EXPECT_EQ(canvas.bitmap().at(x, y), gdi(kWhite, 0x0000FF, y, 10));
  for (int y = 10; y < 20; ++y)
    for (int x : {0, 15, 29})
      EXPECT_EQ(canvas.bitmap().at(x, y), gdi(0x00FF00, 0x0000FF, y - 10, 10));

  // Plain with two colours: one gradient over the whole face; hover takes the hover pair.
  look.gradientStyle = gtPlain;
  look.hover = true;
  look.hoverColorA = 0x000000;
  look.hoverColorB = 0xFFFFFF;
  canvas.paint(look);
  for (int y = 0; y < 20; ++y) EXPECT_EQ(canvas.bitmap().at(7, y), gdi(0, kWhite, y, 20));

  // Plain with one colour: it becomes the surface's back colour and fills the surface.
  look.hover = false;
  look.colorA = look.colorB = 0x123456;
  canvas.paint(look);
  EXPECT_EQ(canvas.surface.backColor(), 0x123456u);
  EXPECT_EQ(canvas.pixelsOf(0x123456).size(), 600u);
}

TEST(NxButtonFace, LightBandAndRepeatedBottomLine) {
  Canvas canvas;
  ButtonLook look = plainLook(30, 20);
  look.colorA = 0x000000;
  look.colorB = 0xC8C8C8;
  canvas.paint(look);
  const Rgb c1 = canvas.bitmap().at(1, 0);
  const Rgb c2 = canvas.bitmap().at(1, 4);
  ASSERT_NE(c1, c2);

  look.lightEffect = true;
  look.bottomLine = true;
  canvas.paint(look);
  const sim::Bitmap& b = canvas.bitmap();
  EXPECT_EQ(b.at(5, 0), c1);
  EXPECT_EQ(b.at(5, 1), gdi(c1, kWhite, 1, 2));
  EXPECT_EQ(b.at(5, 2), kWhite);
  EXPECT_EQ(b.at(5, 3), gdi(kWhite, c2, 1, 2));
  EXPECT_EQ(b.at(5, 4), c2);  // the face from row 4 on
  for (int x = 0; x < 30; ++x) {
    EXPECT_EQ(b.at(x, 19), b.at(x, 0)) << x;
    EXPECT_EQ(b.at(x, 18), b.at(x, 1)) << x;
  }
  EXPECT_EQ(b.at(5, 17), gdi(0x000000, 0xC8C8C8, 17, 20));
}

TEST(NxButtonCuts, SoftCutsShadeAndLightenEachPixel) {
  Canvas canvas;
  ButtonLook look = plainLook(30, 20);
  look.colorA = look.colorB = 0x808080;
  look.cutStyle = posLeft;
  canvas.paint(look);
  const sim::Bitmap& b = canvas.bitmap();
  for (int y = 0; y < 20; ++y) {
    const bool cut = y >= 4 && y <= 16;                       // rows 60 .. SH - 60 twips
    EXPECT_EQ(b.at(0, y), cut ? 0x737373u : 0x808080u) << y;  // 90 %: 115.2
    EXPECT_EQ(b.at(1, y), cut ? 0xA6A6A6u : 0x808080u) << y;  // 130 %: 166.4
    EXPECT_EQ(b.at(2, y), 0x808080u) << y;
    EXPECT_EQ(b.at(29, y), 0x808080u) << y;
  }

  // Both sides over a gradient: each pixel is scaled from its own colour; the right cut stands
  // at SW - 30 twips.
  ButtonLook plain = plainLook(30, 20);
  plain.colorA = 0x101010;
  plain.colorB = 0xA0A0A0;
  canvas.paint(plain);
  const sim::Bitmap before = canvas.bitmap();
  ButtonLook cut = plain;
  cut.cutStyle = posBoth;
  canvas.paint(cut);
  auto scaled = [](Rgb c, int percent) {
    const int v = std::min(255, (redOf(c) * percent + 50) / 100);
    return makeRgb(static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v),
                   static_cast<std::uint8_t>(v));
  };
  for (int y = 4; y <= 16; ++y) {
    ASSERT_EQ(redOf(before.at(0, y)), blueOf(before.at(0, y)));
    for (int x : {0, 28}) {
      EXPECT_EQ(b.at(x, y), scaled(before.at(x, y), 90)) << x << "," << y;
      EXPECT_EQ(b.at(x + 1, y), scaled(before.at(x + 1, y), 130)) << x << "," << y;
    }
    EXPECT_EQ(b.at(27, y), before.at(27, y));
    EXPECT_EQ(b.at(2, y), before.at(2, y));
  }
}

TEST(NxButtonCuts, HardCutTakesPixelZeroAndDropsTheWhiteColumnARow) {
  Canvas canvas;
  ButtonLook look = plainLook(30, 20);
  look.colorA = 0xC8C8C8;  // pixel (0, 0)
  look.colorB = 0x000000;
  canvas.paint(look);
  const sim::Bitmap before = canvas.bitmap();
  look.cutStyle = posLeft;
  look.cutStrength = stHard;
  canvas.paint(look);
  const sim::Bitmap& b = canvas.bitmap();
  for (int y = 0; y < 20; ++y) {
    EXPECT_EQ(b.at(0, y), y >= 4 && y <= 16 ? 0x969696u : before.at(0, y)) << y;  // 75 %
    EXPECT_EQ(b.at(1, y), y >= 5 && y <= 17 ? kWhite : before.at(1, y)) << y;
  }
}

TEST(NxButtonCuts, EachCutReadsAndWritesItsPixelsInOneBlock) {
  Canvas canvas;
  ButtonLook look = plainLook(40, 60);
  look.colorB = 0x404040;
  canvas.paint(look);
  CountingDc& n = canvas.surface.counts();
  for (std::int32_t strength : {stSoft, stHard}) {
    n.pixelReads = n.pixelWrites = n.rowReads = n.blockReads = n.blockWrites = 0;
    look.cutStyle = posBoth;
    look.cutStrength = strength;
    canvas.paint(look);
    EXPECT_EQ(n.blockReads, 2) << strength;
    EXPECT_EQ(n.blockWrites, 2) << strength;
    EXPECT_EQ(n.pixelWrites, 0) << strength;
    EXPECT_EQ(n.rowReads, 0) << strength;
    // A hard cut reads pixel (0, 0) once; nothing else goes pixel by pixel.
    EXPECT_EQ(n.pixelReads, strength == stHard ? 2 : 0) << strength;
  }
}

// The pixels of the outline of the box (l, t)-(r, b), both corners included.
PixelSet ring(int l, int t, int r, int b) {
  PixelSet out;
  for (int x = l; x <= r; ++x) out.insert({x, t}), out.insert({x, b});
  for (int y = t; y <= b; ++y) out.insert({l, y}), out.insert({r, y});
  return out;
}

ButtonLook borderedLook(std::int32_t appearance) {
  ButtonLook look = plainLook(30, 20);
  look.borderStyle = bsFixedSingle;
  look.borderAppearance = appearance;
  return look;
}

TEST(NxButtonBorder, PressedThreeDIsOneInsetRectangle) {
  Canvas canvas;
  ButtonLook look = borderedLook(ap3D);
  look.pressed = true;
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(kEdge), ring(1, 1, 28, 18));
  EXPECT_EQ(canvas.pixelsOf(kFace).size(), 600u - ring(1, 1, 28, 18).size());

  // With the focus the black outline comes around it.
  look.focus = true;
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(kEdge), ring(1, 1, 28, 18));
  EXPECT_EQ(canvas.pixelsOf(0x000000), ring(0, 0, 29, 19));
}

TEST(NxButtonBorder, RaisedThreeDLinesMoveInWithTheFocus) {
  Canvas canvas;
  ButtonLook look = borderedLook(ap3D);
  const Rgb bright = 0x408040;  // the border colour at 200 %
  canvas.paint(look);
  const sim::Bitmap& b = canvas.bitmap();
  EXPECT_EQ(b.at(0, 0), kWhite);
  EXPECT_EQ(b.at(28, 0), kWhite);
  EXPECT_EQ(b.at(0, 18), kWhite);
  EXPECT_EQ(b.at(5, 18), bright);
  EXPECT_EQ(b.at(28, 5), bright);
  EXPECT_EQ(b.at(0, 19), kEdge);
  EXPECT_EQ(b.at(29, 19), kEdge);
  EXPECT_EQ(b.at(29, 0), kEdge);
  EXPECT_EQ(b.at(1, 1), kFace);
  EXPECT_EQ(b.at(27, 17), kFace);
  EXPECT_TRUE(canvas.pixelsOf(0x000000).empty());

  for (bool defaultButton : {false, true}) {
    look.focus = !defaultButton;
    look.isDefault = defaultButton;
    canvas.paint(look);
    EXPECT_EQ(canvas.pixelsOf(0x000000), ring(0, 0, 29, 19)) << defaultButton;
    EXPECT_EQ(b.at(1, 1), kWhite);
    EXPECT_EQ(b.at(1, 17), kWhite);
    EXPECT_EQ(b.at(10, 17), bright);
    EXPECT_EQ(b.at(27, 10), bright);
    EXPECT_EQ(b.at(28, 10), kEdge);
    EXPECT_EQ(b.at(27, 1), kWhite);
    EXPECT_EQ(b.at(10, 18), kEdge);
    EXPECT_EQ(b.at(2, 2), kFace);
  }
}

TEST(NxButtonBorder, FlatOutlineGivesWayToTheBlackOne) {
  Canvas canvas;
  ButtonLook look = borderedLook(apFlat);
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(kEdge), ring(0, 0, 29, 19));
  look.pressed = true;  // no pressed look without 3D
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(kEdge), ring(0, 0, 29, 19));

  look.pressed = false;
  look.focus = true;
  canvas.paint(look);
  EXPECT_TRUE(canvas.pixelsOf(kEdge).empty());
  EXPECT_EQ(canvas.pixelsOf(0x000000), ring(0, 0, 29, 19));

  // Round corners add the chamfer diagonals in the colour of the outline.
  look.cornerStyle = csRound;
  look.focus = false;
  canvas.paint(look);
  PixelSet chamfered = ring(0, 0, 29, 19);
  chamfered.insert({{1, 1}, {28, 1}, {1, 18}, {28, 18}});
  EXPECT_EQ(canvas.pixelsOf(kEdge), chamfered);
  look.isDefault = true;
  canvas.paint(look);
  EXPECT_TRUE(canvas.pixelsOf(kEdge).empty());
  EXPECT_EQ(canvas.pixelsOf(0x000000), chamfered);
}

TEST(NxButtonBorder, WindowShapeCutsRoundCornersOnly) {
  Canvas canvas;
  ButtonLook look = borderedLook(apFlat);
  look.cornerStyle = csRound;
  ButtonPaintResult r = canvas.paint(look);
  ASSERT_NE(r.region, nullptr);
  const PixelSet lost = {{0, 0},  {1, 0},  {0, 1},  {28, 0},  {29, 0},  {29, 1},
                         {0, 19}, {1, 19}, {0, 18}, {28, 19}, {29, 19}, {29, 18}};
  int count = 0;
  for (int y = -1; y <= 20; ++y)
    for (int x = -1; x <= 30; ++x) {
      const bool in = r.region->contains(x, y);
      count += in ? 1 : 0;
      if (x >= 0 && y >= 0 && x < 30 && y < 20) {
        EXPECT_EQ(in, lost.count({x, y}) == 0) << x << "," << y;
      } else {
        EXPECT_FALSE(in) << x << "," << y;
      }
    }
  EXPECT_EQ(count, 600 - 12);

  look.cornerStyle = csSquare;
  r = canvas.paint(look);
  ASSERT_NE(r.region, nullptr);
  EXPECT_EQ(*r.region, Region(Rect{0, 0, 30, 20}));

  for (std::int32_t corners : {csSquare, csRound}) {
    look.borderStyle = bsNone;
    look.cornerStyle = corners;
    look.focus = true;
    r = canvas.paint(look);
    EXPECT_EQ(r.region, nullptr);
    EXPECT_EQ(canvas.pixelsOf(kFace).size(), 600u);  // and no border at all
  }
}

ButtonLook captionLook(const char* caption, std::int32_t outline) {
  ButtonLook look = plainLook(100, 40);
  look.caption = caption;
  look.outline = outline;
  look.outlineColor = 0x00FFFF;
  look.hoverForeColor = 0x800080;
  look.hoverOutline = 0xFFFF00;
  return look;
}

TEST(NxButtonCaptionLook, OutlineAtTheDiagonalsAndShadowWithItsShift) {
  Canvas canvas;
  canvas.paint(captionLook("Hi", olNone));
  const PixelSet g = canvas.pixelsOf(kText);
  ASSERT_FALSE(g.empty());
  EXPECT_TRUE(canvas.pixelsOf(0x00FFFF).empty());

  canvas.paint(captionLook("Hi", olRegular));
  PixelSet around;
  for (int dx : {-1, 1})
    for (int dy : {-1, 1}) around.merge(shifted(g, dx, dy));
  EXPECT_EQ(canvas.pixelsOf(kText), g);
  EXPECT_EQ(canvas.pixelsOf(0x00FFFF), minus(around, g));

  canvas.paint(captionLook("Hi", olShadow));
  const PixelSet raised = shifted(g, -1, -1);
  EXPECT_EQ(canvas.pixelsOf(kText), raised);
  EXPECT_EQ(canvas.pixelsOf(0x00FFFF), minus(g, raised));

  // Hover styles act only while hovering, with the hover colours.
  ButtonLook look = captionLook("Hi", olHoverShadow);
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(kText), g);
  EXPECT_TRUE(canvas.pixelsOf(0x00FFFF).empty());
  look.hover = true;
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(0x800080), raised);
  EXPECT_EQ(canvas.pixelsOf(0xFFFF00), minus(g, raised));
  look.outline = olHoverRegular;
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(0x800080), g);
  EXPECT_EQ(canvas.pixelsOf(0xFFFF00), minus(around, g));
}

TEST(NxButtonCaptionLook, DisabledTextIsGreyOverAWhiteShadow) {
  Canvas canvas;
  canvas.paint(captionLook("Hi", olNone));
  const PixelSet g = canvas.pixelsOf(kText);
  const Rgb grey = 0x808080;

  ButtonLook look = captionLook("Hi", olNone);
  look.enabled = false;
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(grey), g);
  EXPECT_TRUE(canvas.pixelsOf(kWhite).empty());

  look.outline = olRegular;  // drawn as a shadow, without the shadow's shift
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(grey), g);
  EXPECT_EQ(canvas.pixelsOf(kWhite), minus(shifted(g, 1, 1), g));
  EXPECT_TRUE(canvas.pixelsOf(0x00FFFF).empty());

  look.outline = olShadow;  // the shadow style keeps its shift
  canvas.paint(look);
  const PixelSet raised = shifted(g, -1, -1);
  EXPECT_EQ(canvas.pixelsOf(grey), raised);
  EXPECT_EQ(canvas.pixelsOf(kWhite), minus(g, raised));
}

TEST(NxButtonCaptionLook, AccessKeyUnderline) {
  Canvas canvas;
  ButtonLook look = captionLook("&Go", olNone);
  look.alignment = aaTopLeft;  // text cell at (1, 1), 13 rows high: underline on row 13
  canvas.paint(look);
  auto rowOf = [&](int y, Rgb color) {
    PixelSet out;
    for (auto p : canvas.pixelsOf(color))
      if (p.second == y) out.insert(p);
    return out;
  };
  EXPECT_EQ(rowOf(13, kText), (PixelSet{{1, 13}, {2, 13}, {3, 13}, {4, 13}, {5, 13}}));

  look.caption = "Save && E&xit";  // under the tenth cell of "Save & Exit"
  canvas.paint(look);
  EXPECT_EQ(rowOf(13, kText), (PixelSet{{49, 13}, {50, 13}, {51, 13}, {52, 13}, {53, 13}}));

  // The outline copies carry their underline along.
  look.caption = "&Go";
  look.outline = olRegular;
  canvas.paint(look);
  EXPECT_EQ(rowOf(14, 0x00FFFF).size(), 7u);  // columns 0..6

  look.caption = "Rock &";
  look.outline = olNone;
  canvas.paint(look);
  EXPECT_TRUE(rowOf(13, kText).empty());
}

TEST(NxButtonIcon, PlacedByAlignmentAdjustAndPressedOffset) {
  Canvas canvas;
  ButtonLook look = plainLook(100, 40);
  look.icon = solidPicture(16, 16, 0x00A000);
  look.iconWidth = look.iconHeight = 240;
  look.iconAlignment = aaMiddleLeft;  // (15, 180) twips
  look.iconAdjustX = 2;
  look.iconAdjustY = -1;
  canvas.paint(look);
  EXPECT_EQ(boundsOf(canvas.pixelsOf(0x00A000)), (Rect{3, 11, 18, 26}));

  look.borderAppearance = ap3D;
  look.pressed = true;
  canvas.paint(look);
  EXPECT_EQ(boundsOf(canvas.pixelsOf(0x00A000)), (Rect{4, 12, 19, 27}));
  look.borderAppearance = apFlat;
  canvas.paint(look);
  EXPECT_EQ(boundsOf(canvas.pixelsOf(0x00A000)), (Rect{3, 11, 18, 26}));
}

TEST(NxButtonIcon, CaptionMovesOutOfTheIconsWay) {
  struct Case {
    std::int32_t icon;
    std::int32_t caption;
    int dx;
    int dy;
  };
  // A 16 x 16 pixel icon.
  const Case cases[] = {
      {aaMiddleLeft, aaMiddleLeft, 20, 0},      {aaMiddleLeft, aaMiddleCenter, 8, 0},
      {aaMiddleRight, aaMiddleRight, -18, 0},   {aaMiddleRight, aaMiddleCenter, -8, 0},
      {aaTopCenter, aaTopCenter, 0, 16},        {aaTopLeft, aaMiddleCenter, 0, 8},
      {aaBottomCenter, aaBottomCenter, 0, -18}, {aaBottomLeft, aaMiddleLeft, 0, -8},
      {aaMiddleLeft, aaTopLeft, 0, 0},          {aaTopLeft, aaTopLeft, 20, 0},
  };
  for (const Case& c : cases) {
    Canvas canvas;
    ButtonLook look = captionLook("Hi", olNone);
    look.alignment = c.caption;
    canvas.paint(look);
    const auto alone = boundsOf(canvas.pixelsOf(kText));
    look.icon = solidPicture(16, 16, 0x00A000);
    look.iconWidth = look.iconHeight = 240;
    look.iconAlignment = c.icon;
    canvas.paint(look);
    const auto moved = boundsOf(canvas.pixelsOf(kText));
    ASSERT_TRUE(alone && moved);
    EXPECT_EQ(moved->left - alone->left, c.dx) << c.icon << " " << c.caption;
    EXPECT_EQ(moved->top - alone->top, c.dy) << c.icon << " " << c.caption;
  }
}

TEST(NxButtonCaptionLook, PressedThreeDCaptionMovesOnePixel) {
  Canvas canvas;
  ButtonLook look = captionLook("Go", olRegular);
  canvas.paint(look);
  const PixelSet g = canvas.pixelsOf(kText);
  const PixelSet o = canvas.pixelsOf(0x00FFFF);
  look.pressed = true;
  canvas.paint(look);
  EXPECT_EQ(canvas.pixelsOf(kText), shifted(g, 1, 1));
  EXPECT_EQ(canvas.pixelsOf(0x00FFFF), shifted(o, 1, 1));
}

TEST(NxButtonRobustness, TinySizesAndOversizedIconsDrawWhatFits) {
  for (int size : {0, 1, 2, 3, 5}) {
    for (std::int32_t appearance : {apFlat, ap3D}) {
      Canvas canvas;
      ButtonLook look = plainLook(size, size);
      look.gradientStyle = gtGel;
      look.colorB = 0x00FF00;
      look.lightEffect = look.bottomLine = true;
      look.cutStyle = posBoth;
      look.cutStrength = size % 2 == 0 ? stHard : stSoft;
      look.borderStyle = bsFixedSingle;
      look.borderAppearance = appearance;
      look.cornerStyle = csRound;
      look.focus = look.pressed = size > 2;
      look.caption = "&Wide caption";
      look.outline = olRegular;
      look.icon = solidPicture(64, 64, 0x00A000);
      look.iconWidth = look.iconHeight = 960;
      canvas.surface.setForeColor(0x111111);
      ButtonPaintResult r;
      ASSERT_NO_THROW(r = canvas.paint(look)) << size;
      ASSERT_NE(r.region, nullptr);
      if (!r.region->empty()) {
        const Rect bounds = r.region->bounds();
        EXPECT_GE(bounds.left, 0);
        EXPECT_GE(bounds.top, 0);
        EXPECT_LE(bounds.right, size);
        EXPECT_LE(bounds.bottom, size);
      }
      EXPECT_EQ(canvas.surface.foreColor(), 0x111111u);
      EXPECT_EQ(r.caption.accessKey, 'W');
    }
  }

  // A 64 x 64 icon on a 20 x 10 button covers what it can: columns 1 to 19 of every row.
  Canvas canvas;
  ButtonLook look = plainLook(20, 10);
  look.icon = solidPicture(64, 64, 0x00A000);
  look.iconWidth = look.iconHeight = 960;
  ASSERT_NO_THROW(canvas.paint(look));
  EXPECT_EQ(canvas.pixelsOf(0x00A000).size(), 190u);
  EXPECT_EQ(canvas.bitmap().at(0, 5), kFace);
}

}  // namespace
}  // namespace nx
