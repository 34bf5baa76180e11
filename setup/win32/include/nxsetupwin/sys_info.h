// System information of the setup program: shell folders, Windows version, privileges,
// memory, disks, computer and user names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nx::setup::win {

// Folder codes of getSysFolder.
enum SysFolderCode : int {
  kFolderDesktop = 0,
  kFolderAdminTools = 1,
  kFolderAltStartup = 2,
  kFolderProgramFiles = 3,
  kFolderFonts = 4,
  kFolderSystem = 5,
  kFolderWindows = 6,
  kFolderStartMenu = 7,
  kFolderFavorites = 8,
  kFolderDocuments = 9,
  kFolderInternetCache = 10,
  kFolderTemplates = 11,
  kFolderRecent = 12,
  kFolderSendTo = 13,
  kFolderCommonProgramFiles = 14,
  kFolderTemp = 15,
  kFolderCookies = 16,
  kFolderHistory = 17,
  kFolderStartup = 18,
  kFolderAppData = 19,
  kFolderPictures = 20,
  kFolderNetHood = 21,
  kFolderPrintHood = 22,
  kFolderProfile = 23,
  kFolderPrograms = 24,
  kFolderPrinters = 25,
};

// The shell folder identifier (CSIDL) of a folder code, or -1 when the code has none (the
// temporary folder and unknown codes). `common` picks the all-users folder where there is one.
int sysFolderId(int code, bool common);

// The folder of a code, without a trailing backslash as the platform returns it (the temporary
// folder keeps its trailing backslash); `defaultText` when it cannot be found. `shortPath` asks
// for the 8.3 form.
std::string getSysFolder(int code, bool common = false, bool shortPath = false,
                         std::string_view defaultText = {});

// The Windows system folder with one trailing backslash, or "{Unknown}".
std::string systemFolder();

// True on 64-bit Windows, whichever bitness this program has.
bool isWindows64();

// The folder of the 32-bit system files without a trailing backslash: SysWOW64 on 64-bit
// Windows, the system folder on 32-bit Windows; empty when it cannot be found.
std::string system32BitFolder();

struct OsRecord {
  std::string code;
  std::string name;
  std::string family;
  std::string version;      // major.minor.build
  std::string servicePack;  // the CSD text
};

// Product types of the version record: a workstation, a domain controller or a server.
inline constexpr std::uint8_t kProductWorkstation = 1;
inline constexpr std::uint8_t kProductDomainController = 2;
inline constexpr std::uint8_t kProductServer = 3;

// The record for a version: platform id, major, minor and build number, service-pack text and
// product type. Systems from Vista on are told apart by build number and product type (a
// domain controller counts as a server).
OsRecord classifyOs(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                    std::uint32_t build, std::string_view csd,
                    std::uint8_t productType = kProductWorkstation);

// The record of this system, from the real version (ntdll's RtlGetVersion, which no
// compatibility setting alters); GetVersionEx where that is missing.
OsRecord getOsRecord();
bool isNT();
// True outside the NT family; otherwise advpack's IsNTAdmin (false when it cannot be reached).
bool isAdmin();
// The rule of isAdmin for a known family and IsNTAdmin result.
bool adminFor(std::string_view family, bool ntAdmin);

struct MemoryRecord {
  std::uint64_t totalPhysical = 0;
  std::uint64_t totalPageFile = 0;
  std::uint64_t totalVirtual = 0;
  std::uint64_t availPhysical = 0;
  std::uint64_t availPageFile = 0;
  std::uint64_t availVirtual = 0;
};

MemoryRecord getMemoryRecord();

struct DiskRecord {
  std::uint64_t sectorsPerCluster = 0;
  std::uint64_t bytesPerSector = 0;
  std::uint64_t freeClusters = 0;
  std::uint64_t totalClusters = 0;
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
  std::uint64_t usedBytes = 0;
};

// The figures of drive `letter` (A to Z, either case); all zero for any other character or a
// drive that cannot be read.
DiskRecord getDiskRecord(char letter);

std::string computerName();
std::string userName();

// True when the path's attributes can be read (files and folders alike).
bool fileExists(std::string_view path);

// The environment variable's value, or empty text.
std::string environmentValue(const char* name);

}  // namespace nx::setup::win
