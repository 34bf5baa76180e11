#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "nxsetup/pe_version.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/sys_info.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::TempDir;

std::string selfPath() {
  return ownFilePath();
}

// The version the portable PE reader finds in the file: an independent reading.
std::string peVersionOf(const std::string& path) {
  const std::string bytes = test::readBytes(path);
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto resource = readVersionResource(Bytes(data, bytes.size()));
  return resource ? formatFileVersion(resource->file) : std::string();
}

TEST(FileInfoTexts, SubtypesWithoutATextOfTheirOwn) {
  EXPECT_EQ(fileTypeText(3, 10), "Comm Driver");
  EXPECT_EQ(fileTypeText(3, 11), "Unknown Driver");
  EXPECT_EQ(fileTypeText(4, 3), "TrueType Font");
  EXPECT_EQ(fileTypeText(4, 9), "Font");
  EXPECT_EQ(fileTypeText(6, 0), "Unknown");
  EXPECT_EQ(fileOsText(0x40000), "Unknown");
}

TEST(FileInfo, OwnProgramVersionResource) {
  // The test program carries FILEVERSION 3,1,0,7, PRODUCTVERSION 3,1,0,0, translation 0407/04E4
  // and its strings under 040904E4.
  const nxkFileInfo info(selfPath());
  ASSERT_TRUE(info.Exists());
  EXPECT_EQ(info.text(kItemFileVersion), "3.1.0.7");
  EXPECT_EQ(info.text(kItemFileVersion), peVersionOf(selfPath()));
  EXPECT_EQ(info.text(kItemProductVersion), "3.1");
  EXPECT_EQ(info.text(kItemFileType), "Application");
  EXPECT_EQ(info.text(kItemTargetOs), "Win32NT");
  EXPECT_EQ(info.text(kItemCompanyName), "nx-Dev Test Company");
  char german[256] = {};
  ASSERT_GT(::VerLanguageNameA(0x0407, german, sizeof german), 0u);
  EXPECT_EQ(info.text(kItemLanguage), german);
  EXPECT_EQ(info.text(kItemExtension), "EXE");
  EXPECT_EQ(info.text(kItemFileName), "nxsetupwin_tests.exe");
  EXPECT_TRUE(info.flag(kItemExists));
  EXPECT_FALSE(info.flag(kItemDirectory));

  const auto numbers = fileVersionNumbers(selfPath());
  ASSERT_TRUE(numbers.has_value());
  EXPECT_EQ(numbers->major, 3);
  EXPECT_EQ(numbers->minor, 1);
  EXPECT_EQ(numbers->build, 0);
  EXPECT_EQ(numbers->revision, 7);
}

TEST(FileInfo, StubProgramVersionResource) {
  const std::string stub = test::unixToWindows(NX_STUB_EXE);
  const nxkFileInfo info(stub);
  ASSERT_TRUE(info.Exists());
  EXPECT_EQ(info.text(kItemCompanyName), "nx-Dev");
  EXPECT_EQ(info.text(kItemFileType), "Application");
  EXPECT_EQ(info.text(kItemFileVersion), peVersionOf(stub));
  EXPECT_FALSE(info.text(kItemFileVersion).empty());
  char english[256] = {};
  ::VerLanguageNameA(0x0409, english, sizeof english);
  EXPECT_EQ(info.text(kItemLanguage), english);
}

TEST(FileInfo, SystemLibraryOfWine) {
  const std::string path = systemFolder() + "kernel32.dll";
  const nxkFileInfo info(path);
  ASSERT_TRUE(info.Exists());
  EXPECT_EQ(info.text(kItemFileType), "DLL");
  EXPECT_EQ(info.text(kItemExtension), "DLL");
  EXPECT_EQ(info.text(kItemFileName), "kernel32.dll");
  const std::string version = info.text(kItemFileVersion);
  EXPECT_TRUE(std::regex_match(version, std::regex(R"(\d+\.\d+(\.\d+){0,2})"))) << version;
  EXPECT_EQ(version, peVersionOf(path));
  EXPECT_FALSE(info.text(kItemProductVersion).empty());
  EXPECT_FALSE(info.text(kItemLanguage).empty());
  EXPECT_GT(info.number(kItemSize), 0);
  EXPECT_EQ(static_cast<std::uint64_t>(info.number(kItemSize)), info.size64());
}

TEST(FileInfo, PlainFileWithoutVersionResource) {
  TempDir dir;
  const std::string path = dir.file("notes.txt");
  test::writeBytes(path, std::string(1536, 'x'));
  nxkFileInfo info(path);
  ASSERT_TRUE(info.Exists());
  for (int item : {kItemCompanyName, kItemLanguage, kItemTargetOs, kItemFileType, kItemFileVersion,
                   kItemProductVersion}) {
    EXPECT_EQ(info.text(item), "") << item;
  }
  EXPECT_EQ(info.number(kItemSize), 1536);
  EXPECT_EQ(info.text(kItemSizeText), "1.5 KB");
  EXPECT_EQ(info.text(kItemExtension), "TXT");
  EXPECT_EQ(info.text(kItemFileName), "notes.txt");
  EXPECT_EQ(info.text(kItemFullPath), path);
  EXPECT_FALSE(info.text(kItemShortPath).empty());
  EXPECT_EQ(info.text(kItemShortFileName),
            info.text(kItemShortPath).substr(info.text(kItemShortPath).rfind('\\') + 1));
  EXPECT_TRUE(info.flag(kItemArchive));
  EXPECT_FALSE(info.flag(kItemReadOnly));
  EXPECT_FALSE(info.flag(kItemHidden));
  const std::regex date(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
  for (int item : {kItemCreated, kItemLastAccess, kItemLastWrite}) {
    EXPECT_TRUE(std::regex_match(info.text(item), date)) << item << " " << info.text(item);
  }
  EXPECT_GE(info.number(kItemCompressedSize), 0);
  EXPECT_FALSE(info.text(kItemCompressedSizeText).empty());
  // Item numbers outside the table give an empty value.
  EXPECT_TRUE(std::holds_alternative<std::monostate>(info.InfoItem(27)));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(info.InfoItem(-1)));
  // Typed items keep their types.
  EXPECT_TRUE(std::holds_alternative<bool>(info.InfoItem(kItemExists)));
  EXPECT_TRUE(std::holds_alternative<std::int32_t>(info.InfoItem(kItemSize)));
  EXPECT_TRUE(std::holds_alternative<std::string>(info.InfoItem(kItemFullPath)));
}

TEST(FileInfo, AttributesAndRelativePaths) {
  TempDir dir;
  const std::string path = dir.file("flags.bin");
  test::writeBytes(path, "abc");
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  const nxkFileInfo info(path);
  EXPECT_TRUE(info.flag(kItemReadOnly));
  EXPECT_TRUE(info.flag(kItemHidden));
  if (!test::underWine()) {
    EXPECT_FALSE(info.flag(kItemArchive));
  }
  EXPECT_FALSE(info.flag(kItemNormal));
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

  // A relative path becomes a full path.
  char previous[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(::SetCurrentDirectoryA(dir.path().c_str()));
  const nxkFileInfo relative("flags.bin");
  ::SetCurrentDirectoryA(previous);
  EXPECT_TRUE(relative.Exists());
  EXPECT_EQ(relative.text(kItemFullPath), path);

  const nxkFileInfo folder(dir.path());
  EXPECT_TRUE(folder.Exists());
  EXPECT_TRUE(folder.flag(kItemDirectory));
  EXPECT_EQ(folder.number(kItemSize), 0);
}

TEST(FileInfo, ExtensionComesFromTheFileName) {
  TempDir dir;
  ASSERT_TRUE(::CreateDirectoryA(dir.file("dotted.folder").c_str(), nullptr));
  const std::string path = dir.file("dotted.folder\\noext");
  test::writeBytes(path, "1");
  EXPECT_EQ(nxkFileInfo(path).text(kItemExtension), "");
  const std::string twoDots = dir.file("archive.tar.gz");
  test::writeBytes(twoDots, "1");
  EXPECT_EQ(nxkFileInfo(twoDots).text(kItemExtension), "GZ");
}

TEST(FileInfo, MissingFileIsEmptyAndRefreshFindsItLater) {
  TempDir dir;
  const std::string path = dir.file("later.dat");
  nxkFileInfo info(path);
  EXPECT_FALSE(info.Exists());
  for (int item = 0; item <= 26; ++item) {
    const InfoValue value = info.InfoItem(item);
    if (const auto* b = std::get_if<bool>(&value)) {
      EXPECT_FALSE(*b) << item;
    } else if (const auto* n = std::get_if<std::int32_t>(&value)) {
      EXPECT_EQ(*n, 0) << item;
    } else if (const auto* s = std::get_if<std::string>(&value)) {
      EXPECT_EQ(*s, "") << item;
    }
  }
  EXPECT_FALSE(info.Refresh());

  test::writeBytes(path, "12345");
  EXPECT_TRUE(info.Refresh());
  EXPECT_EQ(info.number(kItemSize), 5);
  ASSERT_TRUE(::DeleteFileA(path.c_str()));
  EXPECT_FALSE(info.Refresh());
  EXPECT_EQ(info.number(kItemSize), 0);
  EXPECT_EQ(info.text(kItemFileName), "");

  EXPECT_FALSE(nxkFileInfo("").Exists());
  EXPECT_FALSE(nxkFileInfo(dir.file("*.*")).Exists());
}

}  // namespace
}  // namespace nx::setup::win
