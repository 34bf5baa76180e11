#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <regex>

#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

TEST(GetSysFolder, SystemWindowsAndTempMatchThePlatform) {
  char system[MAX_PATH] = {}, windows[MAX_PATH] = {}, temp[MAX_PATH] = {};
  ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
  ASSERT_GT(::GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
  EXPECT_EQ(lower(getSysFolder(kFolderSystem)), lower(system));
  EXPECT_EQ(lower(getSysFolder(kFolderWindows)), lower(windows));
  const std::string tempFolder = getSysFolder(kFolderTemp);
  EXPECT_EQ(lower(tempFolder), lower(temp));
  EXPECT_EQ(tempFolder.back(), '\\');  // the temporary folder keeps its backslash
  EXPECT_EQ(lower(systemFolder()), lower(std::string(system) + "\\"));
}

TEST(GetSysFolder, EveryCodeGivesAnExistingFolderOrTheDefault) {
  for (int code = kFolderDesktop; code <= kFolderPrinters; ++code) {
    for (bool common : {false, true}) {
      const std::string folder = getSysFolder(code, common, false, "<none>");
      ASSERT_FALSE(folder.empty()) << code;
      if (folder == "<none>") continue;  // not every shell folder exists under Wine
      // The printers folder is virtual; every other one is a real folder.
      if (code != kFolderPrinters) {
        EXPECT_TRUE(fileExists(folder)) << code << " " << folder;
      }
    }
  }
  EXPECT_EQ(getSysFolder(99, false, false, "fallback"), "fallback");
  EXPECT_EQ(getSysFolder(-3), "");
}

TEST(GetSysFolder, ShortFormNamesTheSameFolder) {
  const std::string longForm = getSysFolder(kFolderProgramFiles, true);
  const std::string shortForm = getSysFolder(kFolderProgramFiles, true, true);
  ASSERT_FALSE(shortForm.empty());
  EXPECT_EQ(shortForm.find(' '), std::string::npos) << shortForm;
  char full[MAX_PATH] = {};
  ASSERT_GT(::GetLongPathNameA(shortForm.c_str(), full, MAX_PATH), 0u);
  EXPECT_EQ(lower(full), lower(longForm));
}

TEST(ClassifyOs, BuildTextAndUnknownMinorVersions) {
  EXPECT_EQ(classifyOs(1, 4, 10, 1961, "").code, "WIN98_BETA");
  EXPECT_EQ(classifyOs(1, 4, 10, 1998, "").code, "WIN98");
  const OsRecord odd = classifyOs(2, 5, 7, 1, "");
  EXPECT_EQ(odd.code, "???");
  EXPECT_EQ(odd.family, "WinNT");
  const OsRecord nt4 = classifyOs(2, 4, 0, 1381, "Service Pack 6");
  EXPECT_EQ(nt4.code, "WINNT");
  EXPECT_EQ(nt4.version, "4.0.1381");
  EXPECT_EQ(nt4.servicePack, "Service Pack 6");
  // Windows 32 has no service pack text.
  EXPECT_EQ(classifyOs(0, 3, 10, 0, "ignored").servicePack, "");
}

TEST(ClassifyOs, NewerAndUnknownSystems) {
  // Newer NT versions have no code or name but stay in the NT family.
  const OsRecord win10 = classifyOs(2, 10, 0, 19045, "");
  EXPECT_EQ(win10.code, "");
  EXPECT_EQ(win10.name, "");
  EXPECT_EQ(win10.family, "WinNT");
  EXPECT_EQ(win10.version, "10.0.19045");
  const OsRecord unknown = classifyOs(3, 1, 0, 0, "");
  EXPECT_EQ(unknown.code, "");
  EXPECT_EQ(unknown.family, "");
  // The service pack text ends at its first zero character.
  const char csd[] = {'S', 'P', '3', '\0', 'x', 'y'};
  EXPECT_EQ(classifyOs(2, 5, 1, 2600, std::string_view(csd, sizeof csd)).servicePack, "SP3");
}

TEST(OsRecord, ThisSystemIsPlausible) {
  const OsRecord os = getOsRecord();
  EXPECT_EQ(os.family, "WinNT");
  EXPECT_TRUE(isNT());
  EXPECT_TRUE(std::regex_match(os.version, std::regex(R"(\d+\.\d+\.\d+)"))) << os.version;
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(::GetVersionExA(&info));
  EXPECT_EQ(os.version, std::to_string(info.dwMajorVersion) + "." +
                            std::to_string(info.dwMinorVersion) + "." +
                            std::to_string(info.dwBuildNumber));
  EXPECT_EQ(os.servicePack, info.szCSDVersion);
}

TEST(Admin, RuleAndThisSystem) {
  EXPECT_TRUE(adminFor("Win9xME", false));
  EXPECT_TRUE(adminFor("Win32", false));
  EXPECT_TRUE(adminFor("", false));
  EXPECT_FALSE(adminFor("WinNT", false));
  EXPECT_TRUE(adminFor("WinNT", true));
  // Wine's user is an administrator, and IsNTAdmin says so.
  EXPECT_TRUE(isAdmin());
}

TEST(MemoryAndDisk, FiguresAreConsistent) {
  const MemoryRecord memory = getMemoryRecord();
  EXPECT_GT(memory.totalPhysical, 0u);
  EXPECT_LE(memory.availPhysical, memory.totalPhysical);
  EXPECT_LE(memory.availPageFile, memory.totalPageFile);
  EXPECT_GT(memory.totalVirtual, 0u);

  const DiskRecord disk = getDiskRecord(systemFolder()[0]);
  EXPECT_GT(disk.totalBytes, 0u);
  EXPECT_LE(disk.freeBytes, disk.totalBytes);
  EXPECT_EQ(disk.usedBytes, disk.totalBytes - disk.freeBytes);
  EXPECT_EQ(disk.totalBytes, disk.totalClusters * disk.sectorsPerCluster * disk.bytesPerSector);
  const DiskRecord lowerCase = getDiskRecord('c');
  EXPECT_EQ(lowerCase.totalBytes, getDiskRecord('C').totalBytes);

  for (char notALetter : {'1', '*', ':', '\0', '['}) {
    const DiskRecord none = getDiskRecord(notALetter);
    EXPECT_EQ(none.totalBytes, 0u);
    EXPECT_EQ(none.sectorsPerCluster, 0u);
    EXPECT_EQ(none.usedBytes, 0u);
  }
}

TEST(Names, ComputerAndUserAreKnown) {
  char expected[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof expected;
  ASSERT_TRUE(::GetComputerNameA(expected, &size));
  EXPECT_EQ(computerName(), expected);
  EXPECT_FALSE(userName().empty());
  EXPECT_EQ(userName().find('\0'), std::string::npos);
}

TEST(FileExists, FilesAndFoldersButNotMissingOrEmpty) {
  EXPECT_TRUE(fileExists(getSysFolder(kFolderSystem)));
  EXPECT_TRUE(fileExists(systemFolder() + "kernel32.dll"));
  EXPECT_FALSE(fileExists(systemFolder() + "no-such-file.nx"));
  EXPECT_FALSE(fileExists(""));
}

}  // namespace
}  // namespace nx::setup::win
