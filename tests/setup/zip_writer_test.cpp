#include "nxsetup/zip_writer.h"

#include <gtest/gtest.h>

#include "nxsetup/zip_extraction.h"
#include "test_support.h"
#include "zip_events.h"

namespace nx::setup {
namespace {

using test::RecordingEvents;
using test::TempDir;

const DateTime kWhen{2024, 6, 30, 13, 45, 58};

std::vector<std::uint8_t> sampleArchive() {
  ZipWriter w;
  const auto text = test::toBytes(std::string(5000, 'a') + "tail");
  const auto noise = test::randomBytes(3000, 9);
  EXPECT_TRUE(w.add("nxinstall.inf", text, true, kWhen));
  EXPECT_TRUE(w.add("noise.bin", noise, false, kWhen));
  EXPECT_TRUE(w.add("empty.txt", {}, true, kWhen));
  return w.finish();
}

TEST(ZipWriter, ArchiveReadsBackWithOurExtractor) {
  TempDir dir;
  RecordingEvents events;
  ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZipImage(sampleArchive(), "memory.zip"));
  ASSERT_TRUE(zip.Extract(dir.str(), true, true));
  EXPECT_TRUE(events.errors.empty());
  EXPECT_EQ(test::readBytes(dir / "nxinstall.inf"), test::toBytes(std::string(5000, 'a') + "tail"));
  EXPECT_EQ(test::readBytes(dir / "noise.bin"), test::randomBytes(3000, 9));
  ASSERT_TRUE(std::filesystem::exists(dir / "empty.txt"));
  EXPECT_EQ(std::filesystem::file_size(dir / "empty.txt"), 0u);
  // Status texts and progress in order.
  const std::vector<std::string> expected = {"Opening Zip",
                                             "Zip Opened",
                                             "Extracting Files",
                                             "Extracting ...\\nxinstall.inf",
                                             "Extracting ...\\noise.bin",
                                             "Extracting ...\\empty.txt",
                                             "Extraction Complete"};
  EXPECT_EQ(events.status, expected);
  EXPECT_EQ(events.progress, (std::vector<std::int32_t>{33, 67, 100}));
  EXPECT_TRUE(zip.Verify());
}

TEST(ZipWriter, InfoZipAcceptsTheArchive) {
  if (!test::haveTool("unzip")) GTEST_SKIP() << "unzip not installed";
  TempDir dir;
  test::writeBytes(dir / "a.zip", sampleArchive());
  EXPECT_EQ(test::run("unzip -tqq " + test::quoted((dir / "a.zip").string())), 0);
  // The first member is stored first; dates survive in DOS form (two-second steps).
  ASSERT_EQ(test::run("cd " + dir.str() +
                      " && unzip -Z1 a.zip > list.txt && unzip -Z -T a.zip "
                      "nxinstall.inf > info.txt"),
            0);
  const auto list = test::readBytes(dir / "list.txt");
  EXPECT_EQ(std::string(list.begin(), list.end()), "nxinstall.inf\nnoise.bin\nempty.txt\n");
  const auto info = test::readBytes(dir / "info.txt");
  EXPECT_NE(std::string(info.begin(), info.end()).find("20240630.134558"), std::string::npos);
}

}  // namespace
}  // namespace nx::setup
