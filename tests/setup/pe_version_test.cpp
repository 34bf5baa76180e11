#include "nxsetup/pe_version.h"

#include <gtest/gtest.h>

#include "nxsetup/pe_image.h"
#include "test_support.h"

namespace nx::setup {
namespace {

TEST(PeVersion, ReadsTheFixedFileVersion) {
  const auto image = test::buildPeImage({FileVersion{1, 2, 3, 4}, 2048});
  const auto res = readVersionResource(image);
  ASSERT_TRUE(res);
  EXPECT_EQ(res->file.major, 1);
  EXPECT_EQ(res->file.minor, 2);
  EXPECT_EQ(res->file.build, 3);
  EXPECT_EQ(res->file.revision, 4);
  EXPECT_EQ(formatFileVersion(res->file), "1.2.3.4");
  EXPECT_EQ(formatFileVersion(res->product), "1.2.3.4");

  EXPECT_FALSE(readVersionResource(test::buildPeImage({std::nullopt, 2048})));
  EXPECT_FALSE(readVersionResource(test::toBytes("not a PE file at all")));
  EXPECT_FALSE(readVersionResource({}));
}

TEST(PeVersion, FormatDropsOnlyTrailingZeroParts) {
  EXPECT_EQ(formatFileVersion({1, 1, 0, 0}), "1.1");
  EXPECT_EQ(formatFileVersion({0, 1, 27, 0}), "0.1.27");
  EXPECT_EQ(formatFileVersion({1, 1, 0, 5}), "1.1.0.5");
  EXPECT_EQ(formatFileVersion({0, 0, 0, 0}), "0.0");
  EXPECT_EQ(formatFileVersion({65535, 65535, 65535, 65535}), "65535.65535.65535.65535");
}

TEST(PeVersion, SurvivesDamagedImages) {
  const auto good = test::buildPeImage({FileVersion{5, 6, 7, 8}, 2048});
  // Every truncation and every single-byte corruption of the headers and resource tree is
  // either read or refused, never read out of bounds.
  for (std::size_t cut = 0; cut < good.size(); cut += 7) {
    std::vector<std::uint8_t> part(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
    (void)readVersionResource(part);
  }
  int refused = 0;
  for (std::size_t at = 0; at < 0x300; ++at) {
    auto bad = good;
    bad[at] = 0xFF;
    if (!readVersionResource(bad)) ++refused;
  }
  EXPECT_GT(refused, 0);
  auto noSections = good;
  test::poke16(noSections, 0x40 + 6, 0);
  EXPECT_FALSE(readVersionResource(noSections));
}

}  // namespace
}  // namespace nx::setup

namespace nx::setup {
namespace {

TEST(PeImageBits, ReadsTheOptionalHeaderMagic) {
  auto image = test::buildPeImage({std::nullopt, 1024});
  EXPECT_EQ(peImageBits(image), 32);
  test::poke16(image, 0x40 + 24, 0x20B);
  EXPECT_EQ(peImageBits(image), 64);
  test::poke16(image, 0x40 + 24, 0x107);  // a ROM image is neither
  EXPECT_FALSE(peImageBits(image));

  EXPECT_FALSE(peImageBits(test::toBytes("MZ but nothing else")));
  EXPECT_FALSE(peImageBits({}));
  auto farAway = test::buildPeImage({std::nullopt, 1024});
  test::poke32(farAway, 0x3C, 0xFFFFFFF0U);  // PE header offset beyond the file
  EXPECT_FALSE(peImageBits(farAway));
  // Cut inside the optional header's magic.
  const auto whole = test::buildPeImage({std::nullopt, 1024});
  EXPECT_FALSE(peImageBits(Bytes(whole.data(), 0x40 + 25)));
  EXPECT_EQ(peImageBits(Bytes(whole.data(), 0x40 + 26)), 32);
}

}  // namespace
}  // namespace nx::setup
