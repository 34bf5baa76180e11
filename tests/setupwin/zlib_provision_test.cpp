#include <windows.h>

#include <gtest/gtest.h>

#include "nxsetupwin/file_info.h"
#include "nxsetupwin/sys_info.h"
#include "nxsetupwin/zlib_provision.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::TempDir;

std::string asText(const std::vector<std::uint8_t>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// A folder standing in for the system folder.
struct ZlibFixture {
  TempDir dir;
  std::string folder = dir.path() + "\\";
  std::string target = folder + "zlib.dll";
  std::vector<std::uint8_t> image = test::zlibDllImage();
};

TEST(ZlibResource, ProgramCarriesTheZlibImage) {
  const auto resource = zlibResourceImage(nullptr);
  ASSERT_TRUE(resource.has_value());
  const auto expected = test::zlibDllImage();
  ASSERT_FALSE(expected.empty());
  EXPECT_TRUE(*resource == expected);
}

TEST(ProvideZlib, MissingLibraryIsWrittenAndLoads) {
  ZlibFixture f;
  ASSERT_TRUE(provideZlib(f.folder, "1.2.3", f.image));
  EXPECT_TRUE(test::readBytes(f.target) == asText(f.image));
  EXPECT_EQ(zlibVersionOf(f.target), "1.2.13");
  EXPECT_EQ(nxkFileInfo(f.target).text(kItemFileVersion), "1.2.13");
  EXPECT_FALSE(fileExists(f.target + "." + std::to_string(::GetCurrentProcessId()) + ".new"));
}

TEST(ProvideZlib, EqualOrNewerLibraryIsLeftAlone) {
  ZlibFixture f;
  // A copy with a marker appended still reads as version 1.2.13.
  const std::string marked = asText(f.image) + "MARKER";
  test::writeBytes(f.target, marked);
  // 1.2.13 is newer than 1.2.3 and 1.2.9: versions are compared by number.
  for (const char* required : {"1.2.13", "1.2.13.0", "1.2.3", "1.2.9", "1.1", ""}) {
    EXPECT_TRUE(provideZlib(f.folder, required, f.image)) << required;
    EXPECT_TRUE(test::readBytes(f.target) == marked) << "rewritten for " << required;
  }
}

TEST(ZlibVersions, ComparedPartByPartAsNumbers) {
  EXPECT_EQ(compareZlibVersions("1.2.13", "1.2.3"), 1);
  EXPECT_EQ(compareZlibVersions("1.2.3", "1.2.13"), 2);
  EXPECT_EQ(compareZlibVersions("1.2.13", "1.2.13.0"), 0);
  EXPECT_EQ(compareZlibVersions("1.2.13", "1.10"), 2);
  EXPECT_EQ(compareZlibVersions("2", "1.99.99.99"), 1);
  EXPECT_EQ(compareZlibVersions("", "1.2.3"), 2);
  EXPECT_EQ(compareZlibVersions("", ""), 0);
  EXPECT_EQ(compareZlibVersions("1.2.3.4.5", "1.2.3.4"), 0);  // a fifth part is ignored
  EXPECT_EQ(compareZlibVersions("1.2.3beta", "1.2.3"), 0);
  EXPECT_EQ(compareZlibVersions("1.2.00013", "1.2.13"), 0);
  EXPECT_EQ(compareZlibVersions("1.2.100000000000000000001", "1.2.99999999999999999999"), 1);
}

TEST(ProvideZlib, OlderLargerLibraryIsReplacedWithoutStaleTail) {
  ZlibFixture f;
  // Version 1.2.13 counts as older than a required 1.2.14; the old file is larger.
  const std::string older = asText(f.image) + std::string(100000, '\x5A');
  test::writeBytes(f.target, older);
  ASSERT_TRUE(provideZlib(f.folder, "1.2.14", f.image));
  EXPECT_EQ(zlibVersionOf(f.target), "1.2.13");
  const std::string now = test::readBytes(f.target);
  EXPECT_EQ(now.size(), f.image.size());
  EXPECT_TRUE(now == asText(f.image));
}

TEST(ProvideZlib, FileWithoutVersionIsReplaced) {
  ZlibFixture f;
  test::writeBytes(f.target, std::string(400000, 'j'));
  ASSERT_TRUE(::SetFileAttributesA(f.target.c_str(), FILE_ATTRIBUTE_READONLY));
  ASSERT_TRUE(provideZlib(f.folder, "1.2.3", f.image));
  EXPECT_TRUE(test::readBytes(f.target) == asText(f.image));
  EXPECT_EQ(zlibVersionOf(f.target), "1.2.13");
}

TEST(ProvideZlib, FailuresKeepTheOldFile) {
  ZlibFixture f;
  // Nothing to write.
  EXPECT_FALSE(provideZlib(f.folder, "1.2.3", {}));
  EXPECT_FALSE(fileExists(f.target));
  // A folder that does not exist.
  EXPECT_FALSE(provideZlib(f.dir.file("missing") + "\\", "1.2.3", f.image));
  EXPECT_FALSE(provideZlib("", "1.2.3", f.image));
  // An old library held open without sharing cannot be replaced, and is kept intact.
  const std::string old = "old library";
  test::writeBytes(f.target, old);
  {
    const HANDLE holder = ::CreateFileA(f.target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(provideZlib(f.folder, "1.2.3", f.image));
    ::CloseHandle(holder);
  }
  EXPECT_EQ(test::readBytes(f.target), old);
  EXPECT_FALSE(fileExists(f.target + "." + std::to_string(::GetCurrentProcessId()) + ".new"));
}

TEST(CheckZlib, UsesTheProgramResource) {
  ZlibFixture f;
  ASSERT_TRUE(checkZlib(f.folder, "1.2.13"));
  EXPECT_TRUE(test::readBytes(f.target) == asText(f.image));
  EXPECT_EQ(zlibVersionOf(f.target), "1.2.13");
  EXPECT_EQ(zlibVersionOf(f.dir.file("none.dll")), "");
}

}  // namespace
}  // namespace nx::setup::win
