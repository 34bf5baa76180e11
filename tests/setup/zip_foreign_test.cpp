// Archives written by other producers (Info-ZIP zip, Python's zipfile) at test time, extracted
// by ZipExtractionClass and compared with what Info-ZIP unzip extracts.
#include <gtest/gtest.h>

#include <filesystem>

#include "nxsetup/zip_extraction.h"
#include "nxsetup/zip_writer.h"
#include "test_support.h"
#include "zip_events.h"

namespace fs = std::filesystem;

namespace nx::setup {
namespace {

using test::quoted;
using test::RecordingEvents;
using test::run;
using test::TempDir;

void makeSourceTree(const fs::path& root) {
  fs::create_directories(root / "sub" / "dir");
  fs::create_directories(root / "emptydir");
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + " of a text member\n";
  test::writeText(root / "a.txt", text);
  test::writeBytes(root / "random.bin", test::randomBytes(50000, 1));
  test::writeText(root / "sub" / "dir" / "c.txt", "third member\n");
  test::writeText(root / "sub" / "name with spaces.txt", std::string(3000, 'z'));
  test::writeText(root / "empty.txt", "");
}

void expectSameTrees(const fs::path& expected, const fs::path& actual) {
  const auto want = test::listTree(expected);
  ASSERT_EQ(test::listTree(actual), want);
  for (const std::string& rel : want) {
    if (rel.back() == '/') continue;
    EXPECT_EQ(test::readBytes(actual / rel), test::readBytes(expected / rel)) << rel;
  }
}

bool haveInfoZip() {
  return test::haveTool("zip") && test::haveTool("unzip");
}

const char* kPythonScript = R"PY(
import sys, zipfile
out = sys.argv[1]
with zipfile.ZipFile(out, "w") as z:
    z.writestr(zipfile.ZipInfo("folder/"), b"")
    z.writestr("folder/stored.txt", b"stored member\n" * 100, compress_type=zipfile.ZIP_STORED)
    z.writestr("folder/deep/deflated.txt", b"deflated member " * 1000,
               compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("top.bin", bytes(range(256)) * 40, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("empty.dat", b"", compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("empty-stored.dat", b"", compress_type=zipfile.ZIP_STORED)
if len(sys.argv) > 2:
    with open(out, "ab") as f:
        f.write(b"TRAILING BYTES AFTER THE END RECORD" * 10)
)PY";

TEST(ZipForeign, InfoZipArchivesMatchUnzip) {
  if (!haveInfoZip()) GTEST_SKIP() << "Info-ZIP zip/unzip not installed";
  for (const std::string level : {"-6", "-0", "-9"}) {
    TempDir dir;
    makeSourceTree(dir / "src");
    ASSERT_EQ(
        run("cd " + quoted((dir / "src").string()) + " && zip -q -r " + level + " ../a.zip ."), 0);
    ASSERT_EQ(run("unzip -qq -o " + quoted((dir / "a.zip").string()) + " -d " +
                  quoted((dir / "ref").string())),
              0);
    RecordingEvents events;
    ZipExtractionClass zip(&events);
    ASSERT_TRUE(zip.OpenZip((dir / "a.zip").string()));
    ASSERT_TRUE(zip.Extract((dir / "ours").string(), true, true)) << level;
    EXPECT_TRUE(events.errors.empty()) << events.errors.front().second;
    expectSameTrees(dir / "ref", dir / "ours");
    expectSameTrees(dir / "src", dir / "ours");
    EXPECT_EQ(events.progress.back(), 100);
  }
}

TEST(ZipForeign, PythonArchivesMatchUnzip) {
  if (!test::haveTool("python3") || !test::haveTool("unzip")) GTEST_SKIP() << "tools missing";
  TempDir dir;
  test::writeText(dir / "make.py", kPythonScript);
  const std::string py = "python3 " + quoted((dir / "make.py").string()) + " ";
  ASSERT_EQ(run(py + quoted((dir / "p.zip").string())), 0);
  ASSERT_EQ(run(py + quoted((dir / "trailing.zip").string()) + " trailing"), 0);
  ASSERT_EQ(run("unzip -qq -o " + quoted((dir / "p.zip").string()) + " -d " +
                quoted((dir / "ref").string())),
            0);

  for (const std::string name : {"p.zip", "trailing.zip"}) {
    RecordingEvents events;
    ZipExtractionClass zip(&events);
    ASSERT_TRUE(zip.OpenZip((dir / name).string())) << name;
    ASSERT_TRUE(zip.Extract((dir / ("out-" + name)).string(), true, false));
    EXPECT_TRUE(events.errors.empty());
    expectSameTrees(dir / "ref", dir / ("out-" + name));
  }
  EXPECT_TRUE(fs::is_directory(dir / "out-p.zip" / "folder" / "deep"));
  EXPECT_EQ(fs::file_size(dir / "out-p.zip" / "empty.dat"), 0u);

  // Without PreservePath every member lands in the folder itself; folders are not made.
  RecordingEvents flatEvents;
  ZipExtractionClass flat(&flatEvents);
  ASSERT_TRUE(flat.OpenZip((dir / "p.zip").string()));
  ASSERT_TRUE(flat.Extract((dir / "flat").string(), false, true));
  EXPECT_EQ(test::listTree(dir / "flat"),
            (std::vector<std::string>{"deflated.txt", "empty-stored.dat", "empty.dat", "stored.txt",
                                      "top.bin"}));
  EXPECT_EQ(test::readBytes(dir / "flat" / "deflated.txt"),
            test::readBytes(dir / "ref" / "folder" / "deep" / "deflated.txt"));
}

// Patches the CRC-32 of the member at `localAt` in its local header and central header.
void breakCrc(std::vector<std::uint8_t>& zip, std::size_t localAt) {
  zip[localAt + 14] ^= 0x5A;
  for (std::size_t at = 0; at + 46 <= zip.size(); ++at) {
    if (zip[at] == 0x50 && zip[at + 1] == 0x4B && zip[at + 2] == 1 && zip[at + 3] == 2) {
      const std::size_t offset = zip[at + 42] | (zip[at + 43] << 8) | (zip[at + 44] << 16) |
                                 (std::size_t{zip[at + 45]} << 24);
      if (offset == localAt) zip[at + 16] ^= 0x5A;
    }
  }
}

// Members bad.txt (deflated, CRC broken), good.txt (deflated) and stored.txt (stored): a wrong
// CRC-32 and existing targets are reported per member while Extract still succeeds.
void checkChecksumAndExistingTargets(std::vector<std::uint8_t> bytes, const TempDir& dir) {
  breakCrc(bytes, 0);
  test::writeBytes(dir / "c.zip", bytes);
  std::string goodText;
  for (int i = 0; i < 50; ++i) goodText += "fine ";

  const std::string out = (dir / "out").string();
  {
    RecordingEvents events;
    ZipExtractionClass zip(&events);
    ASSERT_TRUE(zip.OpenZip((dir / "c.zip").string()));
    EXPECT_TRUE(zip.Extract(out, true, true));  // member errors keep the result
    ASSERT_EQ(events.errorNumbers(), std::vector<std::int32_t>{5});
    EXPECT_EQ(events.errors[0].second, "Data checksum error in " + out + "\\bad.txt");
    EXPECT_FALSE(fs::exists(dir / "out" / "bad.txt"));
    EXPECT_EQ(test::readBytes(dir / "out" / "good.txt"), test::toBytes(goodText));
    EXPECT_FALSE(zip.Verify());
  }
  // Existing targets: Overwrite false keeps them and reports 11; Overwrite true replaces them.
  test::writeText(dir / "out" / "good.txt", "old content");
  {
    RecordingEvents events;
    ZipExtractionClass zip(&events);
    ASSERT_TRUE(zip.OpenZip((dir / "c.zip").string()));
    EXPECT_TRUE(zip.Extract(out, true, false));
    ASSERT_EQ(events.errorNumbers(), (std::vector<std::int32_t>{5, 11, 11}));
    EXPECT_EQ(events.errors[1].second, "The file " + out + "\\good.txt already exists");
    EXPECT_EQ(test::readBytes(dir / "out" / "good.txt"), test::toBytes("old content"));
  }
  {
    RecordingEvents events;
    ZipExtractionClass zip(&events);
    ASSERT_TRUE(zip.OpenZip((dir / "c.zip").string()));
    EXPECT_TRUE(zip.Extract(out, true, true));
    EXPECT_EQ(events.errorNumbers(), std::vector<std::int32_t>{5});
    EXPECT_EQ(test::readBytes(dir / "out" / "good.txt"), test::toBytes(goodText));
  }
}

TEST(ZipForeign, WrongChecksumAndExistingTargets) {
  {
    // Our own writer: runs without external tools.
    TempDir dir;
    std::string goodText;
    for (int i = 0; i < 50; ++i) goodText += "fine ";
    std::string badText;
    for (int i = 0; i < 50; ++i) badText += "checksum victim ";
    ZipWriter w;
    const DateTime when{2024, 1, 1, 0, 0, 0};
    ASSERT_TRUE(w.add("bad.txt", test::toBytes(badText), true, when));
    ASSERT_TRUE(w.add("good.txt", test::toBytes(goodText), true, when));
    ASSERT_TRUE(w.add("stored.txt", test::toBytes("stored bytes"), false, when));
    checkChecksumAndExistingTargets(w.finish(), dir);
  }
}

TEST(ZipForeign, WrongChecksumAndExistingTargetsFromPython) {
  if (!test::haveTool("python3")) GTEST_SKIP() << "python3 not installed";
  TempDir dir;
  test::writeText(dir / "make.py", R"PY(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    z.writestr("bad.txt", b"checksum victim " * 50, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("good.txt", b"fine " * 50, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr("stored.txt", b"stored bytes", compress_type=zipfile.ZIP_STORED)
)PY");
  ASSERT_EQ(run("python3 " + quoted((dir / "make.py").string()) + " " +
                quoted((dir / "py.zip").string())),
            0);
  checkChecksumAndExistingTargets(test::readBytes(dir / "py.zip"), dir);
}

TEST(ZipForeign, StreamedArchiveWithDataDescriptors) {
  if (!haveInfoZip()) GTEST_SKIP() << "Info-ZIP zip/unzip not installed";
  TempDir dir;
  makeSourceTree(dir / "src");
  // Writing to a pipe makes zip put sizes and CRC into data descriptors.
  ASSERT_EQ(run("cd " + quoted((dir / "src").string()) +
                " && zip -q - a.txt random.bin | cat > ../s.zip"),
            0);
  const auto bytes = test::readBytes(dir / "s.zip");
  ASSERT_GT(bytes.size(), 8u);
  EXPECT_NE(bytes[6] & 0x08, 0) << "expected a data descriptor flag";
  RecordingEvents events;
  ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZip((dir / "s.zip").string()));
  ASSERT_TRUE(zip.Extract((dir / "out").string(), true, true));
  EXPECT_TRUE(events.errors.empty());
  EXPECT_EQ(test::readBytes(dir / "out" / "a.txt"), test::readBytes(dir / "src" / "a.txt"));
  EXPECT_EQ(test::readBytes(dir / "out" / "random.bin"),
            test::readBytes(dir / "src" / "random.bin"));
}

TEST(ZipForeign, OpeningErrorsAndCancel) {
  TempDir dir;
  RecordingEvents events;
  ZipExtractionClass zip(&events);
  const std::string missing = (dir / "missing.zip").string();
  EXPECT_FALSE(zip.OpenZip(missing));
  ASSERT_EQ(events.errorNumbers(), std::vector<std::int32_t>{10});
  EXPECT_EQ(events.errors[0].second, "The file " + missing + " doesn't exist");

  test::writeText(dir / "text.zip", "this is not an archive, though it is long enough");
  EXPECT_FALSE(zip.OpenZip((dir / "text.zip").string()));
  EXPECT_EQ(events.errors.back(),
            std::make_pair(2, "The file " + (dir / "text.zip").string() + " is not a Zip file"));
  EXPECT_FALSE(zip.Extract(dir.str(), true, true));
  EXPECT_EQ(events.errors.back(), std::make_pair(3, std::string("There is no Zip File Open")));
  zip.CloseZip();
  EXPECT_EQ(events.status.back(), "Zip Closed");

  if (!haveInfoZip()) GTEST_SKIP() << "Info-ZIP zip/unzip not installed";
  makeSourceTree(dir / "src");
  ASSERT_EQ(run("cd " + quoted((dir / "src").string()) + " && zip -q -r ../a.zip ."), 0);
  // A folder that cannot be made: its parent is a file.
  test::writeText(dir / "blocker", "x");
  RecordingEvents e2;
  ZipExtractionClass z2(&e2);
  ASSERT_TRUE(z2.OpenZip((dir / "a.zip").string()));
  const std::string blocked = (dir / "blocker" / "out").string();
  EXPECT_FALSE(z2.Extract(blocked, true, true));
  EXPECT_EQ(e2.errors.back(), std::make_pair(13, "Can't create the folder " + blocked));

  // Cancelling at the first progress event stops at once.
  RecordingEvents e3;
  e3.cancelAt = 1;
  ZipExtractionClass z3(&e3);
  ASSERT_TRUE(z3.OpenZip((dir / "a.zip").string()));
  EXPECT_FALSE(z3.Extract((dir / "cancelled").string(), true, true));
  EXPECT_EQ(e3.progress.size(), 1u);
  EXPECT_NE(e3.status.back(), "Extraction Complete");
  EXPECT_LE(test::listTree(dir / "cancelled").size(), 1u);
}

}  // namespace
}  // namespace nx::setup
