#include <gtest/gtest.h>

#include "nxsetup/date_time.h"
#include "nxsetup/paths.h"
#include "nxsetup/versions.h"

namespace nx::setup {
namespace {

TEST(CompareVersions, ComparesFourNumericPartsAsText) {
  EXPECT_EQ(compareVersions("1.2.3.4", "1.2.3.4"), 0);
  EXPECT_EQ(compareVersions("1.1", "1.1.0.0"), 0);  // missing parts read as 0
  EXPECT_EQ(compareVersions("", "0.0.0.0"), 0);
  EXPECT_EQ(compareVersions("1.2.3.4.5", "1.2.3.4.9"), 0);  // parts beyond four dropped
  EXPECT_EQ(compareVersions("01.002.3", "1.2.3"), 0);       // leading zeros vanish
  EXPECT_EQ(compareVersions("1.2b.3", "1.2.3"), 0);         // leading number of each part
  EXPECT_EQ(compareVersions("x.y", "0.0"), 0);
  EXPECT_EQ(compareVersions("1.2.4", "1.2.3"), 1);
  EXPECT_EQ(compareVersions("1.2.3", "1.2.4"), 2);
  EXPECT_EQ(compareVersions("2", "1.9.9.9"), 1);
  // The comparison is textual: 1.10 sorts before 1.9.
  EXPECT_EQ(compareVersions("1.10.0.0", "1.9.0.0"), 2);
  EXPECT_EQ(compareVersions("1.2.11", "1.2.3"), 2);
  EXPECT_EQ(compareVersions("1.2.13", "1.2.11"), 1);
  // Numbers longer than any integer keep their value.
  EXPECT_EQ(compareVersions("99999999999999999999999", "099999999999999999999999"), 0);

  EXPECT_EQ(leadingNumberText(" 12 3abc"), "123");
  EXPECT_EQ(leadingNumberText("-7"), "-7");
  EXPECT_EQ(leadingNumberText("-0"), "0");
  EXPECT_EQ(leadingNumberText("abc"), "0");
  EXPECT_EQ(leadingNumberText("0007"), "7");
}

TEST(NormalizePath, FoldsBackslashesAndSetsTheTrailingOne) {
  EXPECT_EQ(normalizePath("C:\\a\\\\b\\", false), "C:\\a\\b");
  EXPECT_EQ(normalizePath("C:\\a\\\\b\\", true), "C:\\a\\b\\");
  EXPECT_EQ(normalizePath("C:\\a", true), "C:\\a\\");
  EXPECT_EQ(normalizePath("  C:\\a\\\\\\\\b  ", false), "C:\\a\\b");
  EXPECT_EQ(normalizePath("\\\\server\\\\share\\", false), "\\\\server\\share");
  EXPECT_EQ(normalizePath("\\\\\\\\server\\share", true), "\\\\server\\share\\");
  EXPECT_EQ(normalizePath("\\a", false), "\\a");
  EXPECT_EQ(normalizePath("   ", true), "");
  EXPECT_EQ(normalizePath("", false), "");
  EXPECT_EQ(normalizePath("C:", true), "C:\\");
}

TEST(FormatSize, ScalesByPowersOf1024) {
  EXPECT_EQ(formatSize(0), "0 Bytes");
  EXPECT_EQ(formatSize(100), "100 Bytes");
  EXPECT_EQ(formatSize(1023), "1023 Bytes");
  EXPECT_EQ(formatSize(1024), "1 KB");
  EXPECT_EQ(formatSize(1536), "1.5 KB");
  EXPECT_EQ(formatSize(594370), "580.44 KB");
  EXPECT_EQ(formatSize(1048575), "1024 KB");  // 1023.999 rounds up, unit stays
  EXPECT_EQ(formatSize(5.0 * 1024 * 1024), "5 MB");
  EXPECT_EQ(formatSize(3.25 * 1024 * 1024 * 1024), "3.25 GB");
  EXPECT_EQ(formatSize(2.0 * 1024 * 1024 * 1024 * 1024), "2 TB");
  EXPECT_EQ(formatSize(4096.0 * 1024 * 1024 * 1024 * 1024), "4096 TB");  // no unit past TB
}

TEST(DateTime, ParsesOnlyTheInstallInformationForm) {
  const auto d = parseDateTime("2024-02-29 23:59:58");
  ASSERT_TRUE(d);
  EXPECT_EQ(formatDateTime(*d), "2024-02-29 23:59:58");
  EXPECT_TRUE(parseDateTime("2024-02-29"));
  EXPECT_FALSE(parseDateTime("2023-02-29 00:00:00"));
  EXPECT_FALSE(parseDateTime("2024-13-01 00:00:00"));
  EXPECT_FALSE(parseDateTime("2024-01-01 24:00:00"));
  EXPECT_FALSE(parseDateTime("2024/01/01 00:00:00"));
  EXPECT_FALSE(parseDateTime("01.01.2024"));
  EXPECT_FALSE(parseDateTime(""));
}

}  // namespace
}  // namespace nx::setup
