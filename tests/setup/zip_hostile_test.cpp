// Archives made to attack the extractor: names leaving the folder, size bombs, damaged records.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "nxsetup/member_name.h"
#include "nxsetup/zip_extraction.h"
#include "nxsetup/zip_writer.h"
#include "test_support.h"
#include "zip_events.h"

namespace fs = std::filesystem;

namespace nx::setup {
namespace {

using test::RecordingEvents;
using test::TempDir;

const DateTime kWhen{2024, 1, 1, 0, 0, 0};

std::vector<std::uint8_t> archiveOf(const std::vector<std::string>& names, bool deflate = true) {
  ZipWriter w;
  for (const std::string& name : names) {
    EXPECT_TRUE(w.add(name, test::toBytes("payload of " + name), deflate, kWhen));
  }
  return w.finish();
}

TEST(ZipHostile, MemberNamesCannotLeaveTheFolder) {
  const std::vector<std::string> bad = {
      "../evil1.txt",     "..\\evil2.txt", "ok/../../evil3.txt", "/abs.txt",
      "\\abs2.txt",       "C:/drive.txt",  "C:drive2.txt",       "//server/share/unc.txt",
      "\\\\?\\C:\\x.txt", "CON",           "sub/NUL.txt",        "lpt1",
      "com9.log",         "aux .txt",      "good.txt:stream",    "...",
      "a/.. /b.txt",      "bad\x01name",   "what?.txt",          "dir/",
  };
  TempDir dir;
  const fs::path target = dir / "inner" / "target";
  std::vector<std::string> names = bad;
  names.insert(names.begin() + 3, "good.txt");
  names.push_back("sub/fine.txt");
  RecordingEvents events;
  ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZipImage(archiveOf(names), "hostile.zip"));
  EXPECT_TRUE(zip.Extract(target.string(), true, true));
  // One refusal per bad name except the plain folder entry "dir/", which is made.
  std::size_t refused = 0;
  for (const auto& [number, text] : events.errors) {
    EXPECT_EQ(number, kZipErrUnsafeName) << text;
    EXPECT_NE(text.find("would leave the folder"), std::string::npos);
    ++refused;
  }
  EXPECT_EQ(refused, bad.size() - 1);
  EXPECT_EQ(test::listTree(dir.path()),
            (std::vector<std::string>{"inner/", "inner/target/", "inner/target/dir/",
                                      "inner/target/good.txt", "inner/target/sub/",
                                      "inner/target/sub/fine.txt"}));

  // Without PreservePath only the last part counts, so "../evil1.txt" lands as evil1.txt, but a
  // device or stream name is still refused.
  TempDir flatDir;
  RecordingEvents flatEvents;
  ZipExtractionClass flat(&flatEvents);
  ASSERT_TRUE(flat.OpenZipImage(archiveOf({"../x.txt", "a/CON", "b/y.txt:s"}), "f.zip"));
  EXPECT_TRUE(flat.Extract(flatDir.str(), false, true));
  EXPECT_EQ(flatEvents.errorNumbers(), (std::vector<std::int32_t>{14, 14}));
  EXPECT_EQ(test::listTree(flatDir.path()), std::vector<std::string>{"x.txt"});
}

TEST(ZipHostile, MemberNameRules) {
  EXPECT_EQ(safeMemberParts("a\\b\\c.txt"), (std::vector<std::string>{"a", "b", "c.txt"}));
  EXPECT_EQ(safeMemberParts("a\\\\.\\b"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(safeMemberParts("console.txt"), std::vector<std::string>{"console.txt"});
  EXPECT_EQ(safeMemberParts("com10"), std::vector<std::string>{"com10"});
  EXPECT_EQ(safeMemberParts(".hidden"), std::vector<std::string>{".hidden"});
  EXPECT_FALSE(safeMemberParts(""));
  EXPECT_FALSE(safeMemberParts("."));
  EXPECT_FALSE(safeMemberParts(".."));
  EXPECT_FALSE(safeMemberParts("a\\..\\b"));
  EXPECT_FALSE(safeMemberParts("Con.txt"));
  EXPECT_FALSE(safeMemberParts("prn"));
  EXPECT_FALSE(safeMemberParts("x\\LPT3.dat"));
  EXPECT_FALSE(safeMemberParts("a|b"));
  // Names Windows would map onto another file in the folder.
  EXPECT_FALSE(safeMemberParts("A.OCX."));
  EXPECT_FALSE(safeMemberParts("dir \\a.txt"));
  EXPECT_FALSE(safeMemberParts("NXINST~1.INF"));
  EXPECT_EQ(safeMemberParts("tilde~x.txt"), std::vector<std::string>{"tilde~x.txt"});
  EXPECT_FALSE(safeMemberParts("COM\xB9"));
  EXPECT_FALSE(safeMemberParts("lpt\xC2\xB2.log"));
}

TEST(ZipHostile, SizeBombsFailCleanly) {
  // A member of 8 MiB of zeros deflates to a few KiB.
  const std::vector<std::uint8_t> zeros(8u << 20, 0);
  ZipWriter w;
  ASSERT_TRUE(w.add("zeros.bin", zeros, true, kWhen));
  const auto archive = w.finish();
  {
    TempDir dir;
    RecordingEvents events;
    ZipExtractionClass zip(&events);
    zip.setMemberLimit(1u << 20);
    ASSERT_TRUE(zip.OpenZipImage(archive, "bomb.zip"));
    EXPECT_TRUE(zip.Extract(dir.str(), true, true));
    EXPECT_EQ(events.errorNumbers(), std::vector<std::int32_t>{kZipErrTooLarge});
    EXPECT_FALSE(fs::exists(dir / "zeros.bin"));
  }
  {
    // Within the default ceiling the same member extracts.
    TempDir dir;
    ZipExtractionClass zip;
    ASSERT_TRUE(zip.OpenZipImage(archive, "ok.zip"));
    EXPECT_TRUE(zip.Extract(dir.str(), true, true));
    EXPECT_EQ(fs::file_size(dir / "zeros.bin"), zeros.size());
  }
  // A declared size that the compressed data cannot reach is refused before anything is
  // allocated: patch the central directory's uncompressed size to almost 4 GiB.
  auto patched = archiveOf({"small.txt"});
  const std::size_t central = patched.size() - 22 - (46 + 9);
  ASSERT_EQ(patched[central], 0x50);
  test::poke32(patched, central + 24, 0xFFFFFFF0U);
  TempDir dir;
  RecordingEvents events;
  ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZipImage(patched, "declared.zip"));
  EXPECT_TRUE(zip.Extract(dir.str(), true, true));
  EXPECT_EQ(events.errorNumbers(), std::vector<std::int32_t>{kZipErrTooLarge});
  EXPECT_FALSE(fs::exists(dir / "small.txt"));
}

TEST(ZipHostile, DamagedRecordsAreRefused) {
  const auto good = archiveOf({"one.txt", "two.txt"});
  const std::size_t end = good.size() - 22;
  auto extractWith = [](std::vector<std::uint8_t> bytes, RecordingEvents& events) {
    TempDir dir;
    ZipExtractionClass zip(&events);
    if (!zip.OpenZipImage(std::move(bytes), "damaged.zip")) return false;
    return zip.Extract(dir.str(), true, true);
  };
  {
    RecordingEvents ev;
    EXPECT_TRUE(extractWith(good, ev));
    EXPECT_TRUE(ev.errors.empty());
  }
  {
    // Central directory offset beyond the archive.
    auto bad = good;
    test::poke32(bad, end + 16, 0x7FFFFFF0U);
    RecordingEvents ev;
    EXPECT_FALSE(extractWith(bad, ev));
    EXPECT_EQ(ev.errorNumbers(), std::vector<std::int32_t>{kZipErrDamagedDirectory});
  }
  {
    // More entries than the directory holds: the first two extract, then it is damaged.
    auto bad = good;
    test::poke16(bad, end + 10, 500);
    RecordingEvents ev;
    EXPECT_FALSE(extractWith(bad, ev));
    EXPECT_EQ(ev.errorNumbers(), std::vector<std::int32_t>{kZipErrDamagedDirectory});
  }
  {
    // A name length running into the end record.
    auto bad = good;
    const std::size_t second = end - (46 + 7);
    test::poke16(bad, second + 28, 0xFFFF);
    RecordingEvents ev;
    EXPECT_FALSE(extractWith(bad, ev));
  }
  {
    // Local header offset out of range, and a compressed size beyond the archive.
    auto bad = good;
    const std::size_t second = end - (46 + 7);
    test::poke32(bad, second + 42, 0x00FFFFFFU);
    test::poke32(bad, 18, 0x7FFFFFFFU);
    RecordingEvents ev;
    EXPECT_TRUE(extractWith(bad, ev));
    EXPECT_EQ(ev.errorNumbers(),
              (std::vector<std::int32_t>{kZipErrDamagedMember, kZipErrDamagedMember}));
  }
  {
    // Another disk: the result is false without a message.
    auto bad = good;
    test::poke16(bad, end + 4, 1);
    RecordingEvents ev;
    EXPECT_FALSE(extractWith(bad, ev));
    EXPECT_TRUE(ev.errors.empty());
    EXPECT_NE(std::find(ev.status.begin(), ev.status.end(), "Extraction Complete"),
              ev.status.end());
  }
  {
    // An unsupported method names the member of the local header.
    auto bad = good;
    test::poke16(bad, end - 2 * (46 + 7) + 10, 12);
    RecordingEvents ev;
    EXPECT_TRUE(extractWith(bad, ev));
    ASSERT_EQ(ev.errorNumbers(), std::vector<std::int32_t>{kZipErrMethod});
    EXPECT_EQ(ev.errors[0].second, "The compression Method for one.txt is unsupported");
  }
  {
    // An end record cut short is not found; a truncated archive is not a ZIP file.
    RecordingEvents ev;
    EXPECT_FALSE(extractWith(std::vector<std::uint8_t>(good.begin(), good.end() - 1), ev));
    EXPECT_EQ(ev.errorNumbers(), std::vector<std::int32_t>{kZipErrNotZip});
  }
  // Every truncation and every single corrupted byte ends cleanly.
  for (std::size_t cut = 0; cut < good.size(); ++cut) {
    RecordingEvents ev;
    (void)extractWith(
        std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut)),
        ev);
  }
  for (std::size_t at = 0; at < good.size(); ++at) {
    auto bad = good;
    bad[at] ^= 0xFF;
    ZipExtractionClass zip;
    if (zip.OpenZipImage(bad, "x.zip")) (void)zip.Verify();
  }
}

}  // namespace
}  // namespace nx::setup
