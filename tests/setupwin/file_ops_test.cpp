#include <windows.h>

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "nxsetupwin/file_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::TempDir;

TEST(WholeFile, WriteReplacesAndReadsBack) {
  TempDir dir;
  const std::string path = dir.file("data.bin");
  test::writeBytes(path, std::string(5000, 'o'));
  const std::string content("line 1\r\n\0binary\xff", 16);
  EXPECT_TRUE(writeWholeFile(path, content));
  EXPECT_EQ(readWholeFile(path), content);  // the longer old content is gone
  EXPECT_TRUE(writeWholeFile(path, ""));
  EXPECT_EQ(test::readBytes(path), "");
  EXPECT_EQ(readWholeFile(dir.file("missing.bin")), "");
  EXPECT_FALSE(readFileBytes(dir.file("missing.bin")).has_value());
  EXPECT_FALSE(writeWholeFile(dir.file("no-folder\\x.bin"), "x"));
  EXPECT_FALSE(writeWholeFile("", "x"));
}

TEST(SetFileTimes, RoundTripThroughFileInfo) {
  TempDir dir;
  const std::string path = dir.file("stamped.ocx");
  test::writeBytes(path, "component");
  const DateTime created{2004, 2, 29, 23, 59, 58};
  const DateTime accessed{2011, 7, 1, 12, 0, 1};
  const DateTime written{2009, 12, 31, 0, 0, 0};
  ASSERT_TRUE(setFileTimes(path, created, accessed, written, true));
  // Read the access time before anything reads the file (Linux updates it on reading).
  WIN32_FILE_ATTRIBUTE_DATA before{};
  ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &before));
  FILETIME local{};
  SYSTEMTIME st{};
  ASSERT_TRUE(::FileTimeToLocalFileTime(&before.ftLastAccessTime, &local));
  ASSERT_TRUE(::FileTimeToSystemTime(&local, &st));
  EXPECT_EQ(DateTime({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond}), accessed);

  const nxkFileInfo info(path);
  EXPECT_EQ(info.text(kItemLastWrite), "2009-12-31 00:00:00");
  EXPECT_EQ(info.lastWrite(), written);
  // Wine on Linux keeps no creation time.
  if (!test::underWine()) {
    EXPECT_EQ(info.text(kItemCreated), "2004-02-29 23:59:58");
  }

  // UTC stamping differs from local stamping by the local bias.
  ASSERT_TRUE(setFileTimes(path, created, accessed, written, false));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data));
  SYSTEMTIME utc{};
  ASSERT_TRUE(::FileTimeToSystemTime(&data.ftLastWriteTime, &utc));
  EXPECT_EQ(utc.wYear, 2009);
  EXPECT_EQ(utc.wMonth, 12);
  EXPECT_EQ(utc.wDay, 31);
  EXPECT_EQ(utc.wHour, 0);
}

TEST(SetFileTimes, KeepsAttributesAndRejectsBadInput) {
  TempDir dir;
  const std::string path = dir.file("readonly.dll");
  test::writeBytes(path, "x");
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
  const DateTime date{2020, 5, 6, 7, 8, 9};
  EXPECT_TRUE(setFileTimes(path, date, date, date, true));
  EXPECT_EQ(::GetFileAttributesA(path.c_str()),
            DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
  EXPECT_EQ(nxkFileInfo(path).text(kItemLastWrite), "2020-05-06 07:08:09");

  const DateTime impossible{2020, 13, 40, 25, 0, 0};
  EXPECT_FALSE(setFileTimes(path, impossible, date, date, true));
  EXPECT_FALSE(setFileTimes(path, date, date, DateTime{}, true));
  EXPECT_EQ(::GetFileAttributesA(path.c_str()),
            DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
  EXPECT_EQ(nxkFileInfo(path).text(kItemLastWrite), "2020-05-06 07:08:09");
  EXPECT_FALSE(setFileTimes(dir.file("missing"), date, date, date, true));
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(IsFileInUse, OpenFileIsInUseUntilClosed) {
  TempDir dir;
  const std::string path = dir.file("busy.ocx");
  test::writeBytes(path, "busy");
  EXPECT_FALSE(isFileInUse(path));
  {
    const FileHandle holder(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder.valid());
    EXPECT_TRUE(isFileInUse(path));
  }
  EXPECT_FALSE(isFileInUse(path));
  // The test leaves the file unchanged.
  EXPECT_EQ(test::readBytes(path), "busy");

  // A read-only file refuses writing, but nobody holds it.
  ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(isFileInUse(path));
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_FALSE(isFileInUse(dir.file("missing.ocx")));
}

TEST(WorkFolder, FreshFoldersNamedTmpAndFiveDigits) {
  TempDir dir;
  std::set<std::string> seen;
  for (int i = 0; i < 20; ++i) {
    const std::string folder = makeWorkFolder(dir.path());
    ASSERT_FALSE(folder.empty());
    const std::string name = folder.substr(folder.rfind('\\') + 1);
    EXPECT_TRUE(std::regex_match(name, std::regex("TMP[0-9]{5}"))) << name;
    EXPECT_EQ(folder.substr(0, folder.rfind('\\')), dir.path());
    EXPECT_TRUE(nxkFileInfo(folder).flag(kItemDirectory));
    EXPECT_TRUE(seen.insert(folder).second) << "folder handed out twice: " << folder;
  }
  EXPECT_EQ(makeWorkFolder(dir.file("missing\\deeper")), "");
  // Without a base the temporary folder is used.
  const std::string inTemp = makeWorkFolder();
  ASSERT_FALSE(inTemp.empty());
  EXPECT_EQ(inTemp.substr(0, inTemp.rfind('\\') + 1), getSysFolder(kFolderTemp));
  EXPECT_TRUE(removeFolder(inTemp));
}

TEST(RemoveFolder, RefusesPathsThatAreNoFolderBelowARoot) {
  for (const char* bad : {"", "   ", "C:", "C:\\", "C:\\\\", "\\\\server\\share",
                          "\\\\server\\share\\", "relative\\folder", "\\rooted", "C:\\a\\..",
                          "C:\\a\\.\\", "C:\\*", "C:\\a?", "C:\\a\\b:c", "C:relative"}) {
    EXPECT_FALSE(isRemovableFolderPath(bad)) << bad;
  }
  for (const char* good :
       {"C:\\a", "C:\\a\\", "c:\\temp\\TMP12345", "\\\\server\\share\\folder", "  D:\\x\\y\\  "}) {
    EXPECT_TRUE(isRemovableFolderPath(good)) << good;
  }
  // Nothing at a drive root is touched.
  const std::string probe = "C:\\nx_remove_folder_probe.txt";
  test::writeBytes(probe, "keep");
  EXPECT_FALSE(removeFolder("C:\\"));
  EXPECT_FALSE(removeFolder(""));
  EXPECT_EQ(test::readBytes(probe), "keep");
  ::DeleteFileA(probe.c_str());
}

TEST(RemoveFolder, DeletesFilesAndTheFolderButNotSubfolders) {
  TempDir dir;
  const std::string flat = dir.file("flat");
  ASSERT_TRUE(::CreateDirectoryA(flat.c_str(), nullptr));
  test::writeBytes(flat + "\\a.ocx", "a");
  test::writeBytes(flat + "\\b.txt", "b");
  test::writeBytes(flat + "\\noext", "c");
  ::SetFileAttributesA((flat + "\\b.txt").c_str(), FILE_ATTRIBUTE_READONLY);
  EXPECT_TRUE(removeFolder(flat + "\\"));
  EXPECT_FALSE(fileExists(flat));

  const std::string nested = dir.file("nested");
  ASSERT_TRUE(::CreateDirectoryA(nested.c_str(), nullptr));
  ASSERT_TRUE(::CreateDirectoryA((nested + "\\sub").c_str(), nullptr));
  test::writeBytes(nested + "\\top.txt", "t");
  test::writeBytes(nested + "\\sub\\inner.txt", "i");
  EXPECT_FALSE(removeFolder(nested));
  EXPECT_FALSE(fileExists(nested + "\\top.txt"));
  EXPECT_TRUE(fileExists(nested + "\\sub\\inner.txt"));

  EXPECT_TRUE(removeFolder(dir.file("never-created")));

  // The whole tree: a package's member folders go with the work folder.
  ASSERT_TRUE(::CreateDirectoryA((nested + "\\sub\\deeper").c_str(), nullptr));
  test::writeBytes(nested + "\\sub\\deeper\\x.dll", "x");
  EXPECT_TRUE(removeFolderTree(nested));
  EXPECT_FALSE(fileExists(nested));
  EXPECT_FALSE(removeFolderTree("C:\\"));
  EXPECT_FALSE(removeFolderTree(""));
}

// Install information with two files already in a work folder.
struct ExtractedFixture {
  TempDir dir;
  std::string work = dir.file("work");
  std::string target = dir.file("target");
  InstallInfo info;

  ExtractedFixture() {
    ::CreateDirectoryA(work.c_str(), nullptr);
    ::CreateDirectoryA(target.c_str(), nullptr);
    test::writeBytes(work + "\\nxpress.ocx", std::string(300, 'p'));
    const auto zlib = test::zlibDllImage();
    test::writeBytes(work + "\\ZLIBCOPY.DLL", std::string(zlib.begin(), zlib.end()));
    FileEntry plain;
    plain.name = "NXPRESS.OCX";
    plain.size = 300;
    plain.dateCreated = {2001, 1, 2, 3, 4, 5};
    plain.dateModified = {2002, 6, 7, 8, 9, 10};
    plain.targetPath = target;
    FileEntry versioned;
    versioned.name = "ZLIBCOPY.DLL";
    versioned.version = "1.2.13";
    versioned.size = static_cast<std::int32_t>(zlib.size());
    versioned.dateCreated = {2003, 1, 1, 0, 0, 0};
    versioned.dateModified = {2003, 1, 2, 0, 0, 0};
    versioned.targetPath = target + "\\";
    info.files = {plain, versioned};
    info.fileCount = 2;
  }
};

TEST(CheckExtractedFiles, AcceptsMatchingFilesAndStampsThem) {
  ExtractedFixture f;
  ASSERT_TRUE(checkExtractedFiles(f.work, f.info));
  EXPECT_EQ(f.info.files[0].sourcePath, f.work + "\\NXPRESS.OCX");
  EXPECT_EQ(f.info.files[0].targetPath, f.target + "\\NXPRESS.OCX");
  EXPECT_EQ(f.info.files[1].targetPath, f.target + "\\ZLIBCOPY.DLL");
  const nxkFileInfo stamped(f.info.files[0].sourcePath);
  if (!test::underWine()) {
    EXPECT_EQ(stamped.text(kItemCreated), "2001-01-02 03:04:05");
  }
  EXPECT_EQ(stamped.text(kItemLastWrite), "2002-06-07 08:09:10");
  // Versions that differ only in zero parts are the same version.
  ExtractedFixture padded;
  padded.info.files[1].version = "1.2.13.0";
  EXPECT_TRUE(checkExtractedFiles(padded.work, padded.info));
}

TEST(CheckExtractedFiles, RejectsMissingResizedMisversionedAndUnsafeEntries) {
  {
    ExtractedFixture f;
    f.info.files[0].size = 299;
    EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  }
  {
    ExtractedFixture f;
    test::writeBytes(f.work + "\\nxpress.ocx", std::string(301, 'p'));
    EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  }
  {
    ExtractedFixture f;
    f.info.files[1].version = "1.2.12";
    EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  }
  {
    ExtractedFixture f;
    ::DeleteFileA((f.work + "\\nxpress.ocx").c_str());
    EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  }
  {
    ExtractedFixture f;
    f.info.files[0].name = "..\\TARGET\\NXPRESS.OCX";
    EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  }
  {
    ExtractedFixture f;
    ::CreateDirectoryA((f.work + "\\EMPTY.DIR").c_str(), nullptr);
    f.info.files[0].name = "EMPTY.DIR";
    f.info.files[0].size = 0;
    EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  }
}

// The two bitnesses of one library, unpacked into payload folders of their own.
TEST(CheckExtractedFiles, MemberFoldersKeepTheInstalledName) {
  ExtractedFixture f;
  ::CreateDirectoryA((f.work + "\\x86").c_str(), nullptr);
  test::writeBytes(f.work + "\\x86\\nxpress.ocx", std::string(200, '3'));
  FileEntry x86 = f.info.files[0];
  x86.name = "X86\\NXPRESS.OCX";
  x86.size = 200;
  x86.bits = 32;
  x86.targetPath = f.dir.file("wow");
  f.info.files.push_back(x86);
  ASSERT_TRUE(checkExtractedFiles(f.work, f.info));
  EXPECT_EQ(f.info.files[2].sourcePath, f.work + "\\X86\\NXPRESS.OCX");
  EXPECT_EQ(f.info.files[2].targetPath, f.dir.file("wow") + "\\NXPRESS.OCX");
  EXPECT_EQ(f.info.files[0].targetPath, f.target + "\\NXPRESS.OCX");
  EXPECT_EQ(nxkFileInfo(f.info.files[2].sourcePath).text(kItemLastWrite), "2002-06-07 08:09:10");

  // Names must be written in their plain form and stay inside the work folder.
  for (const char* name :
       {"X86\\\\NXPRESS.OCX", ".\\X86\\NXPRESS.OCX", "X86\\.\\NXPRESS.OCX", "\\X86\\NXPRESS.OCX",
        "X86/NXPRESS.OCX", "X86\\..\\NXPRESS.OCX", "X86\\"}) {
    ExtractedFixture g;
    ::CreateDirectoryA((g.work + "\\x86").c_str(), nullptr);
    test::writeBytes(g.work + "\\x86\\nxpress.ocx", std::string(300, 'p'));
    g.info.files[0].name = name;
    EXPECT_FALSE(checkExtractedFiles(g.work, g.info)) << name;
  }
}

TEST(CheckExtractedFiles, LicenceTextMustBeThereWhenAnnounced) {
  ExtractedFixture f;
  f.info.eula = true;
  EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  test::writeBytes(f.work + "\\eula.txt", "");
  EXPECT_FALSE(checkExtractedFiles(f.work, f.info));
  ExtractedFixture g;
  g.info.eula = true;
  test::writeBytes(g.work + "\\eula.txt", "You agree.");
  EXPECT_TRUE(checkExtractedFiles(g.work, g.info));
  EXPECT_EQ(g.info.eulaText, "You agree.");
}

TEST(FindInstalledFiles, ReportsPreviousInstallAndFilesInUse) {
  ExtractedFixture f;
  ASSERT_TRUE(checkExtractedFiles(f.work, f.info));
  std::vector<std::string> inUse{"stale"};
  EXPECT_FALSE(findInstalledFiles(f.info, inUse));
  EXPECT_TRUE(inUse.empty());

  test::writeBytes(f.info.files[0].targetPath, "installed");
  test::writeBytes(f.info.files[1].targetPath, "installed");
  EXPECT_TRUE(findInstalledFiles(f.info, inUse));
  EXPECT_TRUE(inUse.empty());
  {
    const FileHandle holder(::CreateFileA(f.info.files[1].targetPath.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    EXPECT_TRUE(findInstalledFiles(f.info, inUse));
    ASSERT_EQ(inUse.size(), 1u);
    EXPECT_EQ(inUse[0], f.info.files[1].targetPath);
  }
  EXPECT_TRUE(findInstalledFiles(f.info, inUse));
  EXPECT_TRUE(inUse.empty());
}

}  // namespace
}  // namespace nx::setup::win
