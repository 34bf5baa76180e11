#include "core/persist/stream_codec.h"

#include <gtest/gtest.h>
#include <algorithm>

#include <atomic>
#include <bit>
#include <cstdlib>
#include <limits>
#include <new>

#include "core/persist/font_parts.h"
#include "core/runtime/errors.h"

// The largest single allocation while `gTrackAllocations` is set, so that tests can check that
// hostile lengths are not allocated.
namespace {
std::atomic<bool> gTrackAllocations{false};
std::atomic<std::size_t> gLargestAllocation{0};
}  // namespace

[[gnu::noinline]] void* operator new(std::size_t n) {
  if (gTrackAllocations && n > gLargestAllocation) gLargestAllocation = n;
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
// Out of line, so that the compiler does not pair an inlined free() with operator new.
[[gnu::noinline]] void operator delete(void* p) noexcept {
  std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}

namespace nx::persist {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A font that is its description.
class PlainFont final : public Font {
 public:
  explicit PlainFont(FontDesc d) : d_(std::move(d)) {}
  std::string name() const override { return d_.name; }
  void setName(const std::string& name) override { d_.name = name; }
  double size() const override { return d_.size; }
  void setSize(double points) override { d_.size = points; }
  bool bold() const override { return d_.bold; }
  void setBold(bool on) override { d_.bold = on; }
  bool italic() const override { return d_.italic; }
  void setItalic(bool on) override { d_.italic = on; }
  bool underline() const override { return d_.underline; }
  void setUnderline(bool on) override { d_.underline = on; }

 private:
  FontDesc d_;
};

FontFactory plainFonts() {
  return [](const FontDesc& d) -> FontRef { return std::make_shared<PlainFont>(d); };
}

StreamBag roundTrip(const StreamBag& in) {
  StreamBag out(plainFonts());
  const Bytes bytes = in.encode();
  EXPECT_EQ(bytes.size(), in.encodedSize());
  std::size_t used = 0;
  EXPECT_EQ(out.decode(bytes, &used), DecodeStatus::Ok);
  EXPECT_EQ(used, bytes.size());
  return out;
}

Bytes le32(std::uint32_t n) {
  return {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
          static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)};
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes frame(const Bytes& body) {
  return le32(static_cast<std::uint32_t>(body.size())) + body;
}

// A body with the given count and value bytes after the header.
Bytes body(std::uint32_t count, const Bytes& values) {
  return Bytes{'N', 'X', 'P', 'S', 1, 0} + le32(count) + values;
}

// A store with one value of every kind; its encoding as the format defines it, written out by
// hand. Forms saved by earlier builds hold exactly these bytes.
StreamBag goldenStore() {
  StreamBag s(plainFonts());
  s.write("Value", std::int32_t{77}, {});
  s.write("Caption", std::string("H\xC3\xA9"), {});
  s.write("Flag", VBool::True, {});
  s.write("font", FontRef(std::make_shared<PlainFont>(FontDesc{"Arial", 9.75, true, false, true})),
          {});
  s.write("Small", std::int16_t{-2}, {});
  s.write("Ratio", 1.5f, {});
  s.write("Width", -0.5, {});
  s.write("Pic", PictureRef{}, {});
  s.write("None", Value{}, {});
  return s;
}

const Bytes kGolden = {
    0x7C, 0x00, 0x00, 0x00,                                  // body length 124
    'N', 'X', 'P', 'S', 0x01, 0x00, 0x09, 0x00, 0x00, 0x00,  // magic, version 1, 9 values
    // Keys in case-insensitive order.
    0x07, 0x00, 'C', 'a', 'p', 't', 'i', 'o', 'n', 0x06, 0x03, 0x00, 0x00, 0x00, 'H', 0xC3, 0xA9,
    0x04, 0x00, 'F', 'l', 'a', 'g', 0x03, 0xFF, 0xFF,                                       //
    0x04, 0x00, 'f', 'o', 'n', 't', 0x07, 0x05, 0x00, 0x00, 0x00, 'A', 'r', 'i', 'a', 'l',  //
    0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x23, 0x40, 0x05,                                   //
    0x04, 0x00, 'N', 'o', 'n', 'e', 0x00,                                                   //
    0x03, 0x00, 'P', 'i', 'c', 0x08,                                                        //
    0x05, 0x00, 'R', 'a', 't', 'i', 'o', 0x04, 0x00, 0x00, 0xC0, 0x3F,                      //
    0x05, 0x00, 'S', 'm', 'a', 'l', 'l', 0x01, 0xFE, 0xFF,                                  //
    0x05, 0x00, 'V', 'a', 'l', 'u', 'e', 0x02, 0x4D, 0x00, 0x00, 0x00,                      //
    0x05, 0x00, 'W', 'i', 'd', 't', 'h', 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE0, 0xBF};

// A store that already holds a value, to see that failed decoding leaves it alone.
StreamBag storeWithSentinel(FontFactory fonts = plainFonts()) {
  StreamBag s(std::move(fonts));
  s.write("Sentinel", std::int32_t{1234}, {});
  return s;
}

void expectOnlySentinel(StreamBag& s) {
  ASSERT_EQ(s.values().size(), 1u);
  EXPECT_EQ(s.read("sentinel", {}), Value{std::int32_t{1234}});
}

// The golden store as this build writes it: version 2, whose pictures carry their bytes (none
// for a null picture).
Bytes golden2() {
  Bytes b = kGolden;
  b[0] = 0x80;  // body length 128
  b[8] = 0x02;
  const Bytes pic = {0x03, 0x00, 'P', 'i', 'c', 0x08};
  auto at = std::search(b.begin(), b.end(), pic.begin(), pic.end()) + pic.size();
  b.insert(at, {0x00, 0x00, 0x00, 0x00});
  return b;
}

TEST(StreamCodec, EncodesTheFixedLayoutByteForByte) {
  EXPECT_EQ(goldenStore().encode(), golden2());
  EXPECT_EQ(goldenStore().encodedSize(), golden2().size());
  StreamBag again(plainFonts());
  ASSERT_EQ(again.decode(golden2()), DecodeStatus::Ok);
  EXPECT_EQ(again.values().size(), 9u);
}

// A picture that is its bytes.
class BytesPicture final : public Picture {
 public:
  explicit BytesPicture(Bytes b) : bytes(std::move(b)) {}
  std::int32_t widthHimetric() const override { return 0; }
  std::int32_t heightHimetric() const override { return 0; }
  std::int32_t widthPixels() const override { return static_cast<std::int32_t>(bytes.size()); }
  std::int32_t heightPixels() const override { return 1; }
  Bytes bytes;
};

PictureCodec bytesPictures() {
  return {[](const Picture& p) {
            const auto* b = dynamic_cast<const BytesPicture*>(&p);
            return b ? b->bytes : Bytes{};
          },
          [](std::span<const std::uint8_t> in) -> PictureRef {
            if (in.size() < 2 || in[0] != 'P') return nullptr;  // not a picture
            return std::make_shared<BytesPicture>(Bytes(in.begin(), in.end()));
          }};
}

TEST(StreamCodec, PicturesKeepTheirBytesThroughTheCodec) {
  StreamBag s(plainFonts(), bytesPictures());
  s.write("icon", PictureRef(std::make_shared<BytesPicture>(Bytes{'P', 1, 2, 3})), {});
  s.write("none", PictureRef{}, {});
  s.write("notOurs", PictureRef(std::make_shared<BytesPicture>(Bytes{'X', 9})), {});
  const Bytes bytes = s.encode();
  EXPECT_EQ(bytes.size(), s.encodedSize());
  StreamBag r(plainFonts(), bytesPictures());
  ASSERT_EQ(r.decode(bytes), DecodeStatus::Ok);
  const PictureRef icon = toPicture(r.read("icon", {}));
  ASSERT_TRUE(icon);
  EXPECT_EQ(dynamic_cast<const BytesPicture&>(*icon).bytes, (Bytes{'P', 1, 2, 3}));
  EXPECT_TRUE(isEmpty(r.read("none", std::int32_t{5})));
  EXPECT_TRUE(isEmpty(r.read("notOurs", std::int32_t{5}))) << "bytes the codec refuses";
  // A store without a codec skips the bytes and keeps reading.
  StreamBag plain(plainFonts());
  ASSERT_EQ(plain.decode(bytes), DecodeStatus::Ok);
  EXPECT_TRUE(isEmpty(plain.read("icon", std::int32_t{5})));
  EXPECT_EQ(plain.values().size(), 3u);
  // Picture bytes cut short, or longer than the data.
  const Bytes v2 = {'N', 'X', 'P', 'S', 2, 0};
  EXPECT_EQ(plain.decode(
                frame(v2 + le32(1) + Bytes{0x01, 0x00, 'p', 0x08, 0x05, 0x00, 0x00, 0x00, 'P', 1})),
            DecodeStatus::Truncated);
  EXPECT_EQ(
      plain.decode(frame(v2 + le32(1) + Bytes{0x01, 0x00, 'p', 0x08, 0xFF, 0xFF, 0xFF, 0xFF})),
      DecodeStatus::Truncated);
  EXPECT_EQ(plain.values().size(), 3u) << "a failed load keeps the values";
}

TEST(StreamCodec, DecodesTheFixedLayout) {
  StreamBag s(plainFonts());
  ASSERT_EQ(s.decode(kGolden), DecodeStatus::Ok);
  EXPECT_EQ(s.values().size(), 9u);
  EXPECT_EQ(s.read("Value", {}), Value{std::int32_t{77}});
  EXPECT_EQ(s.read("Caption", {}), Value{std::string("H\xC3\xA9")});
  EXPECT_EQ(s.read("Flag", {}), Value{VBool::True});
  EXPECT_EQ(s.read("Small", {}), Value{std::int16_t{-2}});
  EXPECT_EQ(s.read("Ratio", {}), Value{1.5f});
  EXPECT_EQ(s.read("Width", {}), Value{-0.5});
  // Pictures are not kept: the key is there with an empty value.
  EXPECT_TRUE(isEmpty(s.read("Pic", std::int32_t{5})));
  EXPECT_TRUE(isEmpty(s.read("None", std::int32_t{5})));
  const FontRef font = toFont(s.read("Font", {}));
  ASSERT_TRUE(font);
  EXPECT_EQ(font->describe(), (FontDesc{"Arial", 9.75, true, false, true}));
}

TEST(StreamCodec, RoundTripsIntegersBooleansAndEmpty) {
  StreamBag s;
  s.write("i16min", std::numeric_limits<std::int16_t>::min(), {});
  s.write("i16max", std::numeric_limits<std::int16_t>::max(), {});
  s.write("i32min", std::numeric_limits<std::int32_t>::min(), {});
  s.write("i32max", std::numeric_limits<std::int32_t>::max(), {});
  // Colours: system colours have the top bit set and are negative as signed values.
  s.write("sysColour", static_cast<std::int32_t>(0x8000000F), {});
  s.write("minusOne", std::int32_t{-1}, {});
  s.write("true", VBool::True, {});
  s.write("false", VBool::False, {});
  s.write("empty", Value{}, {});
  StreamBag r = roundTrip(s);
  EXPECT_EQ(r.values().size(), 9u);
  EXPECT_EQ(r.read("i16min", {}), Value{std::int16_t{-32768}});
  EXPECT_EQ(r.read("i16max", {}), Value{std::int16_t{32767}});
  EXPECT_EQ(r.read("i32min", {}), Value{std::numeric_limits<std::int32_t>::min()});
  EXPECT_EQ(r.read("i32max", {}), Value{std::numeric_limits<std::int32_t>::max()});
  EXPECT_EQ(r.read("sysColour", {}), Value{static_cast<std::int32_t>(0x8000000F)});
  EXPECT_EQ(r.read("minusOne", {}), Value{std::int32_t{-1}});
  EXPECT_EQ(r.read("true", {}), Value{VBool::True});
  EXPECT_EQ(r.read("false", {}), Value{VBool::False});
  EXPECT_TRUE(isEmpty(r.read("empty", std::int32_t{3})));
  // An Int16 stays an Int16: numbers keep their own kind.
  EXPECT_EQ(kindOf(r.read("i16max", {})), ValueKind::Int16);
}

TEST(StreamCodec, CurrencyIsItsUnitsAsEightBytesLittleEndian) {
  StreamBag bag(plainFonts());
  bag.write("c", Value{Currency{-2}}, {});
  bag.write("max", Value{Currency{std::numeric_limits<std::int64_t>::max()}}, {});
  const Bytes bytes = bag.encode();
  // "c": kind 9, then -2 as i64.
  const Bytes expect = {9, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  EXPECT_NE(std::search(bytes.begin(), bytes.end(), expect.begin(), expect.end()), bytes.end());
  StreamBag back(plainFonts());
  ASSERT_EQ(back.decode(bytes), DecodeStatus::Ok);
  EXPECT_TRUE(sameValue(back.read("c", {}), Value{Currency{-2}}));
  EXPECT_TRUE(
      sameValue(back.read("max", {}), Value{Currency{std::numeric_limits<std::int64_t>::max()}}));
  // Cut inside the payload: refused, not read past the end.
  StreamBag cut(plainFonts());
  EXPECT_NE(cut.decode(Bytes(bytes.begin(), bytes.end() - 3)), DecodeStatus::Ok);
}

TEST(StreamCodec, RoundTripsFloatingPointExactly) {
  const float floats[] = {0.1f,
                          -0.0f,
                          std::numeric_limits<float>::max(),
                          std::numeric_limits<float>::denorm_min(),
                          std::numeric_limits<float>::infinity(),
                          std::bit_cast<float>(0x7FC01234u)};
  const double doubles[] = {0.1,
                            -0.0,
                            std::numeric_limits<double>::lowest(),
                            std::numeric_limits<double>::denorm_min(),
                            -std::numeric_limits<double>::infinity(),
                            std::bit_cast<double>(0x7FF8000000ABCDEFull)};
  StreamBag s;
  for (std::size_t i = 0; i < std::size(floats); ++i) {
    s.write("f" + std::to_string(i), floats[i], {});
    s.write("d" + std::to_string(i), doubles[i], {});
  }
  StreamBag r = roundTrip(s);
  for (std::size_t i = 0; i < std::size(floats); ++i) {
    const Value f = r.read("f" + std::to_string(i), {});
    const Value d = r.read("d" + std::to_string(i), {});
    ASSERT_EQ(kindOf(f), ValueKind::Single) << i;
    ASSERT_EQ(kindOf(d), ValueKind::Double) << i;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(std::get<float>(f)),
              std::bit_cast<std::uint32_t>(floats[i]))
        << i;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(std::get<double>(d)),
              std::bit_cast<std::uint64_t>(doubles[i]))
        << i;
  }
}

TEST(StreamCodec, RoundTripsStrings) {
  const std::string utf8 =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x80\x94 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x99\x82";
  std::string longText(200000, 'x');
  for (std::size_t i = 0; i < longText.size(); i += 7)
    longText[i] = static_cast<char>('a' + i % 26);
  const std::string withNul("a\0b", 3);
  StreamBag s;
  s.write("empty", std::string(), {});
  s.write("utf8", utf8, {});
  s.write("long", longText, {});
  s.write("nul", withNul, {});
  s.write("\xC3\x84nderung", std::string("key in UTF-8"), {});
  StreamBag r = roundTrip(s);
  EXPECT_EQ(r.read("empty", std::int32_t{1}), Value{std::string()});
  EXPECT_EQ(r.read("utf8", {}), Value{utf8});
  EXPECT_EQ(r.read("long", {}), Value{longText});
  EXPECT_EQ(r.read("nul", {}), Value{withNul});
  EXPECT_EQ(r.read("\xC3\x84nderung", {}), Value{std::string("key in UTF-8")});
}

TEST(StreamCodec, RoundTripsFontsThroughTheFactory) {
  StreamBag s;
  const FontDesc styled{"Segoe UI \xE2\x80\x93 Semibold", 11.5, false, true, false};
  s.write("Font", FontRef(std::make_shared<PlainFont>(styled)), {});
  s.write("AllStyles", FontRef(std::make_shared<PlainFont>(FontDesc{"T", 0, true, true, true})),
          {});
  // A null font is kept as the default description.
  s.write("NoFont", FontRef{}, {});
  StreamBag r = roundTrip(s);
  const FontRef a = toFont(r.read("font", {}));
  const FontRef b = toFont(r.read("allstyles", {}));
  const FontRef c = toFont(r.read("nofont", {}));
  ASSERT_TRUE(a && b && c);
  EXPECT_EQ(a->describe(), styled);
  EXPECT_EQ(b->describe(), (FontDesc{"T", 0, true, true, true}));
  EXPECT_EQ(c->describe(), FontDesc{});

  // Each decoded font is its own object from the factory.
  int made = 0;
  StreamBag counting([&](const FontDesc& d) -> FontRef {
    ++made;
    return std::make_shared<PlainFont>(d);
  });
  ASSERT_EQ(counting.decode(s.encode()), DecodeStatus::Ok);
  EXPECT_EQ(made, 3);
  // A factory that cannot make the font gives a null font, not a failure.
  StreamBag failing([](const FontDesc&) -> FontRef { return nullptr; });
  ASSERT_EQ(failing.decode(s.encode()), DecodeStatus::Ok);
  EXPECT_EQ(failing.read("Font", std::int32_t{1}), Value{FontRef{}});
}

TEST(StreamCodec, KeysMatchWithoutRegardToCase) {
  StreamBag s;
  s.write("BarColor", std::int32_t{1}, {});
  EXPECT_EQ(s.read("barcolor", {}), Value{std::int32_t{1}});
  EXPECT_EQ(s.read("BARCOLOR", {}), Value{std::int32_t{1}});
  s.write("BARCOLOR", std::int32_t{2}, std::int32_t{2});  // kept although equal to the default
  ASSERT_EQ(s.values().size(), 1u);
  EXPECT_EQ(s.values().begin()->first, "BarColor");  // the first spelling stays
  EXPECT_EQ(s.read("barColor", {}), Value{std::int32_t{2}});
  EXPECT_EQ(s.read("BarColour", std::int16_t{9}), Value{std::int16_t{9}});
  // Only ASCII letters fold; other bytes must match as they are.
  s.write("\xC3\x84", std::int32_t{3}, {});
  EXPECT_TRUE(isEmpty(s.read("\xC3\xA4", {})));

  // Stored data naming a key twice: the first spelling with the last value.
  const Bytes twice = frame(body(2, {0x01, 0x00, 'K', 0x02, 0x01, 0x00, 0x00, 0x00,  //
                                     0x01, 0x00, 'k', 0x02, 0x02, 0x00, 0x00, 0x00}));
  StreamBag r;
  ASSERT_EQ(r.decode(twice), DecodeStatus::Ok);
  ASSERT_EQ(r.values().size(), 1u);
  EXPECT_EQ(r.values().begin()->first, "K");
  EXPECT_EQ(r.read("k", {}), Value{std::int32_t{2}});
}

TEST(StreamCodec, EveryTruncationIsRefusedAndLeavesTheStoreAlone) {
  // Cut inside the frame.
  for (std::size_t n = 0; n < kGolden.size(); ++n) {
    StreamBag s = storeWithSentinel();
    const Bytes cut(kGolden.begin(), kGolden.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(s.decode(cut), DecodeStatus::Truncated) << n;
    expectOnlySentinel(s);
  }
  // A frame that agrees with a cut body: the cut is found inside the values.
  const Bytes full(kGolden.begin() + 4, kGolden.end());
  for (std::size_t n = 0; n < full.size(); ++n) {
    StreamBag s = storeWithSentinel();
    const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_EQ(s.decode(frame(cut)), DecodeStatus::Truncated) << n;
    EXPECT_EQ(s.decodeBody(cut), DecodeStatus::Truncated) << n;
    expectOnlySentinel(s);
  }
}

TEST(StreamCodec, ForeignOrDamagedDataIsRefused) {
  struct Case {
    const char* what;
    Bytes bytes;
    DecodeStatus status;
  };
  Bytes badMagic = kGolden;
  badMagic[7] = 'Q';
  Bytes badVersion = kGolden;
  badVersion[8] = 3;
  Bytes version0 = kGolden;
  version0[8] = 0;
  Bytes trailing = kGolden;
  trailing.push_back(0);
  trailing[0] += 1;
  const Case cases[] = {
      {"magic", badMagic, DecodeStatus::BadMagic},
      {"version 3", badVersion, DecodeStatus::BadVersion},
      {"version 0", version0, DecodeStatus::BadVersion},
      {"kind 10", frame(body(1, {0x01, 0x00, 'k', 0x0A})), DecodeStatus::BadKind},
      {"kind 255", frame(body(1, {0x01, 0x00, 'k', 0xFF})), DecodeStatus::BadKind},
      {"bytes after the last value", trailing, DecodeStatus::TrailingData},
      {"font size NaN",
       frame(body(1, {0x01, 0x00, 'f', 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x00, 0xF8, 0x7F, 0x00})),
       DecodeStatus::BadValue},
      {"font size negative",
       frame(body(1, {0x01, 0x00, 'f', 0x07, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x00, 0xF0, 0xBF, 0x00})),
       DecodeStatus::BadValue},
      {"empty frame", frame({}), DecodeStatus::Truncated},
  };
  for (const Case& c : cases) {
    StreamBag s = storeWithSentinel();
    EXPECT_EQ(s.decode(c.bytes), c.status) << c.what;
    expectOnlySentinel(s);
    EXPECT_STRNE(describe(c.status), describe(DecodeStatus::Ok));
  }
  // A store without a font factory cannot hold stored fonts; other data still loads.
  StreamBag noFonts = storeWithSentinel(nullptr);
  EXPECT_EQ(noFonts.decode(kGolden), DecodeStatus::NoFontFactory);
  expectOnlySentinel(noFonts);
  ASSERT_EQ(noFonts.decode(frame(body(1, {0x01, 0x00, 'k', 0x01, 0x05, 0x00}))), DecodeStatus::Ok);
  EXPECT_EQ(noFonts.read("K", {}), Value{std::int16_t{5}});
}

TEST(StreamCodec, DataAfterTheFrameIsLeftToTheCaller) {
  Bytes withTail = kGolden;
  withTail.insert(withTail.end(), {0xDE, 0xAD});
  StreamBag s(plainFonts());
  std::size_t used = 0;
  ASSERT_EQ(s.decode(withTail, &used), DecodeStatus::Ok);
  EXPECT_EQ(used, kGolden.size());
  EXPECT_EQ(s.values().size(), 9u);
  // An empty store is a header alone, and loading it empties a store.
  const Bytes none = StreamBag().encode();
  EXPECT_EQ(none, frame(Bytes{'N', 'X', 'P', 'S', 2, 0} + le32(0)));
  ASSERT_EQ(s.decode(none), DecodeStatus::Ok);
  EXPECT_TRUE(s.values().empty());
}

TEST(StreamCodec, HugeDeclaredSizesAreRefusedWithoutAllocating) {
  struct Case {
    const char* what;
    Bytes bytes;
    DecodeStatus status;
  };
  const Case cases[] = {
      {"frame length 4 GiB", {0xFF, 0xFF, 0xFF, 0xFF, 'N', 'X', 'P', 'S'}, DecodeStatus::TooLarge},
      {"frame length beyond the data", {0x00, 0x00, 0x10, 0x00, 'N', 'X'}, DecodeStatus::Truncated},
      {"count 4 G", frame(body(0xFFFFFFFF, {0x01, 0x00, 'k', 0x00})), DecodeStatus::Truncated},
      {"key length 64 K", frame(body(1, {0xFF, 0xFF, 'k', 0x00})), DecodeStatus::Truncated},
      {"string length 4 G", frame(body(1, {0x01, 0x00, 'k', 0x06, 0xFF, 0xFF, 0xFF, 0xFF, 'a'})),
       DecodeStatus::Truncated},
      {"font name length 2 G", frame(body(1, {0x01, 0x00, 'k', 0x07, 0xFF, 0xFF, 0xFF, 0x7F, 'a'})),
       DecodeStatus::Truncated},
  };
  for (const Case& c : cases) {
    StreamBag s = storeWithSentinel();
    gLargestAllocation = 0;
    gTrackAllocations = true;
    const DecodeStatus status = s.decode(c.bytes);
    gTrackAllocations = false;
    EXPECT_EQ(status, c.status) << c.what;
    EXPECT_LT(gLargestAllocation.load(), 1024u) << c.what;
    expectOnlySentinel(s);
  }
}

TEST(StreamCodec, KeysTooLongForTheFormatAreRefusedWhenWritten) {
  StreamBag s;
  EXPECT_NO_THROW(s.write(std::string(StreamBag::kMaxKeyBytes, 'k'), std::int32_t{1}, {}));
  EXPECT_THROW(s.write(std::string(StreamBag::kMaxKeyBytes + 1, 'k'), std::int32_t{1}, {}),
               HostError);
  StreamBag r = roundTrip(s);
  EXPECT_EQ(r.read(std::string(StreamBag::kMaxKeyBytes, 'K'), {}), Value{std::int32_t{1}});
}

TEST(FontParts, SplitsAFontIntoSimpleValues) {
  EXPECT_EQ(fontPartKey("Font", 0), "Font.Name");
  EXPECT_EQ(fontPartKey("Font", 4), "Font.Underline");
  EXPECT_THROW(fontPartKey("Font", kFontPartCount), std::out_of_range);
  const auto parts = fontToParts(FontDesc{"Arial", 12.0, true, false, true});
  EXPECT_EQ(parts[0], Value{std::string("Arial")});
  EXPECT_EQ(parts[1], Value{12.0});
  EXPECT_EQ(parts[2], Value{VBool::True});
  EXPECT_EQ(parts[3], Value{VBool::False});
  EXPECT_EQ(parts[4], Value{VBool::True});
}

TEST(FontParts, AssemblesAFontFromStoredValues) {
  const FontDesc fallback{"Tahoma", 8.0, false, true, false};
  // Nothing stored: the fallback as it is.
  EXPECT_EQ(fontFromParts({}, fallback), fallback);
  // Parts come back through the platform's bag as whatever types it keeps.
  const FontDesc d = fontFromParts({Value{std::string("Courier New")}, Value{std::string("10.5")},
                                    Value{std::int16_t{-1}}, Value{}, Value{std::string("True")}},
                                   fallback);
  EXPECT_EQ(d, (FontDesc{"Courier New", 10.5, true, true, true}));
  // Round trip through the parts.
  const FontDesc styled{"Verdana", 9.75, true, false, true};
  const auto parts = fontToParts(styled);
  EXPECT_EQ(fontFromParts({parts[0], parts[1], parts[2], parts[3], parts[4]}, fallback), styled);
  // Parts that do not convert, and sizes no font has.
  EXPECT_THROW(
      fontFromParts({Value{}, Value{std::string("big")}, Value{}, Value{}, Value{}}, fallback),
      ConversionError);
  EXPECT_THROW(
      fontFromParts({Value{}, Value{}, Value{std::string("maybe")}, Value{}, Value{}}, fallback),
      ConversionError);
  EXPECT_THROW(fontFromParts({Value{}, Value{-1.0}, Value{}, Value{}, Value{}}, fallback),
               ConversionError);
  EXPECT_THROW(fontFromParts({Value{}, Value{std::numeric_limits<double>::quiet_NaN()}, Value{},
                              Value{}, Value{}},
                             fallback),
               ConversionError);
}

}  // namespace
}  // namespace nx::persist
