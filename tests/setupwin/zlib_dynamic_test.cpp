// The ZIP reader running on a zlib.dll loaded at run time (the setup program's arrangement).
#include <windows.h>

#include <gtest/gtest.h>

#include "nxsetup/zip_extraction.h"
#include "nxsetupwin/sys_info.h"
#include "nxsetupwin/zlib_provision.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::TempDir;

// A ZIP archive with one deflated member "hello.txt" (20 lines of 46 bytes).
const std::uint8_t kArchive[] = {
    0x50, 0x4B, 0x03, 0x04, 0x14, 0x00, 0x00, 0x00, 0x08, 0x00, 0x1C, 0x0F, 0x88, 0x5D, 0x6D,
    0x42, 0xA8, 0x0C, 0x30, 0x00, 0x00, 0x00, 0x98, 0x03, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00,
    0x68, 0x65, 0x6C, 0x6C, 0x6F, 0x2E, 0x74, 0x78, 0x74, 0xCB, 0x48, 0xCD, 0xC9, 0xC9, 0x57,
    0xC8, 0x40, 0x22, 0xAB, 0x72, 0x32, 0x93, 0x14, 0xD2, 0x8A, 0xF2, 0x73, 0x15, 0x4A, 0x32,
    0x52, 0x15, 0x8A, 0x2B, 0x8B, 0x4B, 0x52, 0x73, 0x15, 0xD2, 0xF2, 0x73, 0x52, 0x52, 0x8B,
    0xB8, 0x32, 0x46, 0x55, 0x8F, 0xAA, 0x1E, 0x55, 0x4D, 0x07, 0xD5, 0x00, 0x50, 0x4B, 0x01,
    0x02, 0x14, 0x03, 0x14, 0x00, 0x00, 0x00, 0x08, 0x00, 0x1C, 0x0F, 0x88, 0x5D, 0x6D, 0x42,
    0xA8, 0x0C, 0x30, 0x00, 0x00, 0x00, 0x98, 0x03, 0x00, 0x00, 0x09, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x01, 0x00, 0x00, 0x00, 0x00, 0x68, 0x65,
    0x6C, 0x6C, 0x6F, 0x2E, 0x74, 0x78, 0x74, 0x50, 0x4B, 0x05, 0x06, 0x00, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x01, 0x00, 0x37, 0x00, 0x00, 0x00, 0x57, 0x00, 0x00, 0x00, 0x00, 0x00,
};

std::string expectedHello() {
  std::string text;
  for (int i = 0; i < 20; ++i) text += "hello hello hello zlib from the system folder\n";
  return text;
}

struct Recorder : ZipEvents {
  std::vector<std::int32_t> errors;
  void ZipError(std::int32_t number, const std::string&) override { errors.push_back(number); }
};

class DynamicZlib : public ::testing::Test {
 protected:
  void TearDown() override { setZlibLibraryPath({}); }
  std::string archivePath() {
    const std::string path = dir_.file("payload.zip");
    test::writeBytes(path, std::string(reinterpret_cast<const char*>(kArchive), sizeof kArchive));
    return path;
  }
  TempDir dir_;
};

TEST_F(DynamicZlib, DefaultsToTheSystemFolderCopy) {
  EXPECT_EQ(zlibLibraryPath(), systemFolder() + "zlib.dll");
  setZlibLibraryPath(dir_.file("elsewhere.dll"));
  EXPECT_EQ(zlibLibraryPath(), dir_.file("elsewhere.dll"));
}

TEST_F(DynamicZlib, MissingLibraryMeansNoZlib) {
  setZlibLibraryPath(dir_.file("absent\\zlib.dll"));
  EXPECT_FALSE(zlibLoaded());
  Recorder events;
  ZipExtractionClass zip(&events);
  EXPECT_EQ(zip.ZLibVersion(), "");
  ASSERT_TRUE(zip.OpenZip(archivePath()));
  EXPECT_FALSE(zip.Extract(dir_.file("out"), true, true));
  EXPECT_EQ(::GetFileAttributesA(dir_.file("out\\hello.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  ASSERT_FALSE(events.errors.empty());
  EXPECT_EQ(events.errors.front(), kZipErrNoZlib);
}

TEST_F(DynamicZlib, ProvidedLibraryInflatesAndChecks) {
  const auto image = zlibResourceImage(nullptr);
  ASSERT_TRUE(image.has_value());
  const std::string folder = dir_.path() + "\\";
  // Not there yet: loading is tried again once the library has been provided.
  setZlibLibraryPath(folder + "zlib.dll");
  EXPECT_FALSE(zlibLoaded());
  ASSERT_TRUE(provideZlib(folder, "1.2.3", *image));
  EXPECT_TRUE(zlibLoaded());

  Recorder events;
  ZipExtractionClass zip(&events);
  EXPECT_EQ(zip.ZLibVersion(), "1.2.13");
  ASSERT_TRUE(zip.OpenZip(archivePath()));
  ASSERT_TRUE(zip.Extract(dir_.file("out"), true, true));
  EXPECT_TRUE(events.errors.empty());
  EXPECT_EQ(test::readBytes(dir_.file("out\\hello.txt")), expectedHello());
}

TEST_F(DynamicZlib, DamagedMemberFailsItsChecksum) {
  const auto image = zlibResourceImage(nullptr);
  ASSERT_TRUE(image.has_value());
  ASSERT_TRUE(provideZlib(dir_.path() + "\\", "1.2.3", *image));
  setZlibLibraryPath(dir_.file("zlib.dll"));

  std::string bytes(reinterpret_cast<const char*>(kArchive), sizeof kArchive);
  bytes[30 + 9 + 10] ^= 0x01;  // inside the deflated data of hello.txt
  const std::string path = dir_.file("damaged.zip");
  test::writeBytes(path, bytes);
  Recorder events;
  ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZip(path));
  EXPECT_TRUE(zip.Extract(dir_.file("out"), true, true));  // member errors keep the result
  ASSERT_EQ(events.errors.size(), 1u);
  EXPECT_EQ(events.errors[0], kZipErrChecksum);
  EXPECT_EQ(::GetFileAttributesA(dir_.file("out\\hello.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace nx::setup::win
