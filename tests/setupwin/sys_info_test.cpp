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

TEST(ClassifyOs, EveryRowOfTheTable) {
  struct Row {
    std::uint32_t platform, major, minor, build;
    std::uint8_t product;
    const char* code;
    const char* name;
    const char* family;
  };
  constexpr std::uint8_t ws = kProductWorkstation, srv = kProductServer,
                         dc = kProductDomainController;
  const Row rows[] = {
      {0, 3, 10, 0, ws, "WIN32", "Windows 32", "Win32"},
      {1, 4, 0, 950, ws, "WIN95", "Windows 95", "Win9xME"},
      {1, 4, 10, 1961, ws, "WIN98_BETA", "Windows 98 Beta", "Win9xME"},
      {1, 4, 10, 2222, ws, "WIN98", "Windows 98", "Win9xME"},
      {1, 4, 90, 3000, ws, "WINME", "Windows Millenium Edition", "Win9xME"},
      {1, 4, 50, 1, ws, "", "", "Win9xME"},
      {2, 4, 0, 1381, ws, "WINNT", "Windows NT", "WinNT"},
      {2, 3, 51, 1057, srv, "WINNT", "Windows NT", "WinNT"},
      {2, 5, 0, 2195, ws, "WIN2000", "Windows 2000", "WinNT"},
      {2, 5, 1, 2600, ws, "WINXP", "Windows XP", "WinNT"},
      {2, 5, 2, 3790, srv, "WIN2003", "Windows 2003", "WinNT"},
      {2, 5, 2, 3790, ws, "WIN2003", "Windows 2003", "WinNT"},  // XP x64 shares the version
      {2, 5, 7, 1, ws, "???", "???", "WinNT"},
      {2, 6, 0, 6002, ws, "WINVISTA", "Windows Vista", "WinNT"},
      {2, 6, 0, 6003, srv, "WIN2008", "Windows Server 2008", "WinNT"},
      {2, 6, 1, 7601, ws, "WIN7", "Windows 7", "WinNT"},
      {2, 6, 1, 7601, srv, "WIN2008R2", "Windows Server 2008 R2", "WinNT"},
      {2, 6, 2, 9200, ws, "WIN8", "Windows 8", "WinNT"},
      {2, 6, 2, 9200, srv, "WIN2012", "Windows Server 2012", "WinNT"},
      {2, 6, 3, 9600, ws, "WIN81", "Windows 8.1", "WinNT"},
      {2, 6, 3, 9600, dc, "WIN2012R2", "Windows Server 2012 R2", "WinNT"},
      {2, 10, 0, 10240, ws, "WIN10", "Windows 10", "WinNT"},
      {2, 10, 0, 19045, ws, "WIN10", "Windows 10", "WinNT"},
      {2, 10, 0, 21999, ws, "WIN10", "Windows 10", "WinNT"},
      {2, 10, 0, 22000, ws, "WIN11", "Windows 11", "WinNT"},
      {2, 10, 0, 26100, ws, "WIN11", "Windows 11", "WinNT"},
      {2, 10, 0, 14393, srv, "WIN2016", "Windows Server 2016", "WinNT"},
      {2, 10, 0, 17134, srv, "WIN2016", "Windows Server 2016", "WinNT"},
      {2, 10, 0, 17763, srv, "WIN2019", "Windows Server 2019", "WinNT"},
      {2, 10, 0, 20347, dc, "WIN2019", "Windows Server 2019", "WinNT"},
      {2, 10, 0, 20348, srv, "WIN2022", "Windows Server 2022", "WinNT"},
      {2, 10, 0, 26100, srv, "WIN2025", "Windows Server 2025", "WinNT"},
      // Versions the table does not know stay in the NT family without a name.
      {2, 6, 4, 9800, ws, "", "", "WinNT"},
      {2, 10, 1, 30000, ws, "", "", "WinNT"},
      {2, 11, 0, 30000, ws, "", "", "WinNT"},
      {3, 1, 0, 0, ws, "", "", ""},
  };
  for (const Row& r : rows) {
    const OsRecord os = classifyOs(r.platform, r.major, r.minor, r.build, "", r.product);
    const std::string row = std::to_string(r.platform) + " " + std::to_string(r.major) + "." +
                            std::to_string(r.minor) + "." + std::to_string(r.build) + " type " +
                            std::to_string(r.product);
    EXPECT_EQ(os.code, r.code) << row;
    EXPECT_EQ(os.name, r.name) << row;
    EXPECT_EQ(os.family, r.family) << row;
    EXPECT_EQ(os.version, std::to_string(r.major) + "." + std::to_string(r.minor) + "." +
                              std::to_string(r.build))
        << row;
  }
  // Without a product type the record is that of a workstation.
  EXPECT_EQ(classifyOs(2, 6, 1, 7601, "").code, "WIN7");
  // The service pack text ends at its first zero character.
  const char csd[] = {'S', 'P', '3', '\0', 'x', 'y'};
  EXPECT_EQ(classifyOs(2, 5, 1, 2600, std::string_view(csd, sizeof csd)).servicePack, "SP3");
}

TEST(OsRecord, ThisSystemIsPlausible) {
  const OsRecord os = getOsRecord();
  EXPECT_EQ(os.family, "WinNT");
  EXPECT_TRUE(isNT());
  EXPECT_TRUE(std::regex_match(os.version, std::regex(R"(\d+\.\d+\.\d+)"))) << os.version;
  // The real version, as ntdll keeps it.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(rtlGetVersion, nullptr);
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_EQ(rtlGetVersion(&info), 0);
  EXPECT_EQ(os.version, std::to_string(info.dwMajorVersion) + "." +
                            std::to_string(info.dwMinorVersion) + "." +
                            std::to_string(info.dwBuildNumber));
  EXPECT_EQ(os.code, classifyOs(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                                info.dwBuildNumber, "", info.wProductType)
                         .code);
  // Every system this test runs on is one the table names.
  EXPECT_FALSE(os.name.empty()) << os.version;
}

TEST(SystemFolders, ThirtyTwoBitSystemFolder) {
  const std::string folder = system32BitFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_NE(folder.back(), '\\');
  EXPECT_TRUE(fileExists(folder));
  char system[MAX_PATH] = {};
  ASSERT_GT(::GetSystemDirectoryA(system, MAX_PATH), 0u);
  if (sizeof(void*) == 8) {
    EXPECT_TRUE(isWindows64());
  }
  if (isWindows64()) {
    char wow[MAX_PATH] = {};
    ASSERT_GT(::GetSystemWow64DirectoryA(wow, MAX_PATH), 0u);
    EXPECT_EQ(lower(folder), lower(wow));
    EXPECT_NE(lower(folder), lower(system));
    EXPECT_NE(lower(folder).find("syswow64"), std::string::npos);
  } else {
    EXPECT_EQ(lower(folder), lower(system));
  }
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
