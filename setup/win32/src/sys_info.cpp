#include "nxsetupwin/sys_info.h"

#include <windows.h>

#include <shlobj.h>

#include <iterator>
#include <memory>
#include <optional>
#include <vector>

#include "nxsetup/paths.h"
#include "nxsetupwin/handles.h"

namespace nx::setup::win {
namespace {

// Text up to the first zero character of a buffer.
std::string cutAtZero(const char* text, std::size_t capacity) {
  std::size_t n = 0;
  while (n < capacity && text[n] != '\0') ++n;
  return std::string(text, n);
}

struct PidlFree {
  void operator()(ITEMIDLIST* p) const { ::CoTaskMemFree(p); }
};

std::string shellFolder(int id) {
  ITEMIDLIST* raw = nullptr;
  if (FAILED(::SHGetSpecialFolderLocation(nullptr, id, &raw)) || raw == nullptr) return {};
  const std::unique_ptr<ITEMIDLIST, PidlFree> pidl(raw);
  char buffer[512 + MAX_PATH] = {};
  if (!::SHGetPathFromIDListA(pidl.get(), buffer)) return {};
  return cutAtZero(buffer, sizeof buffer);
}

// Calls a "fill this buffer" function that returns the length it needs when the buffer is too
// small, as GetSystemDirectoryA, GetWindowsDirectoryA and GetTempPathA do.
template <typename Fill>
std::string growingBuffer(Fill fill) {
  std::vector<char> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 4; ++attempt) {
    const DWORD n = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return cutAtZero(buffer.data(), n);
    buffer.assign(static_cast<std::size_t>(n) + 1, '\0');
  }
  return {};
}

std::string shortPathOf(const std::string& path) {
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD n = ::GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.assign(static_cast<std::size_t>(n) + 1, '\0');
    n = ::GetShortPathNameA(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  if (n == 0 || n >= buffer.size()) return path;  // keep the long form when there is no short one
  return cutAtZero(buffer.data(), n);
}

}  // namespace

int sysFolderId(int code, bool common) {
  struct Ids {
    int own;
    int shared;
  };
  static constexpr Ids kIds[] = {
      {0, 25}, {48, 47}, {29, 30}, {38, 38}, {20, 20}, {37, 37}, {36, 36}, {11, 22}, {6, 31},
      {5, 46}, {32, 32}, {21, 45}, {8, 8},   {9, 9},   {43, 43}, {-1, -1}, {33, 33}, {34, 34},
      {7, 24}, {26, 35}, {39, 54}, {19, 19}, {27, 27}, {40, 40}, {2, 23},  {4, 4},
  };
  if (code < 0 || code >= static_cast<int>(std::size(kIds))) return -1;
  return common ? kIds[code].shared : kIds[code].own;
}

std::string environmentValue(const char* name) {
  return growingBuffer(
      [name](char* buffer, DWORD size) { return ::GetEnvironmentVariableA(name, buffer, size); });
}

std::string getSysFolder(int code, bool common, bool shortPath, std::string_view defaultText) {
  const int id = sysFolderId(code, common);
  std::string path;
  if (id >= 0) path = shellFolder(id);
  if (path.empty()) {
    if (id == CSIDL_PERSONAL) {
      path = shellFolder(12);  // "My Documents" (the headers alias CSIDL_MYDOCUMENTS to 5)
    } else if (id == CSIDL_SYSTEM) {
      path = growingBuffer(::GetSystemDirectoryA);
    } else if (id == CSIDL_WINDOWS) {
      path = growingBuffer(::GetWindowsDirectoryA);
      if (path.empty()) path = environmentValue("windir");
      if (path.empty()) path = environmentValue("systemroot");
    } else if (code == kFolderTemp) {
      path = growingBuffer([](char* buffer, DWORD size) { return ::GetTempPathA(size, buffer); });
      if (path.empty()) path = environmentValue("temp");
      if (path.empty()) path = environmentValue("tmp");
    }
  }
  if (!path.empty() && shortPath) path = shortPathOf(path);
  if (path.empty()) path = std::string(defaultText);
  return path;
}

std::string systemFolder() {
  const std::string folder = getSysFolder(kFolderSystem);
  if (folder.empty()) return "{Unknown}";
  return normalizePath(folder, true);
}

bool isWindows64() {
  if constexpr (sizeof(void*) == 8) return true;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, BOOL*);
  const auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
      ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 != nullptr && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

std::string system32BitFolder() {
  if (isWindows64()) {
    using GetFolderFn = UINT(WINAPI*)(LPSTR, UINT);
    const auto getWow64Folder = reinterpret_cast<GetFolderFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "GetSystemWow64DirectoryA")));
    if (getWow64Folder == nullptr) return {};
    return normalizePath(growingBuffer(getWow64Folder), false);
  }
  return normalizePath(getSysFolder(kFolderSystem), false);
}

namespace {

struct OsName {
  const char* code;
  const char* name;
};

// Systems from Vista on: NT 6.0 to 6.3 and 10.0, workstation or server.
OsName laterNt(std::uint32_t major, std::uint32_t minor, std::uint32_t build, bool server) {
  if (major == 6) {
    switch (minor) {
      case 0:
        return server ? OsName{"WIN2008", "Windows Server 2008"}
                      : OsName{"WINVISTA", "Windows Vista"};
      case 1:
        return server ? OsName{"WIN2008R2", "Windows Server 2008 R2"} : OsName{"WIN7", "Windows 7"};
      case 2:
        return server ? OsName{"WIN2012", "Windows Server 2012"} : OsName{"WIN8", "Windows 8"};
      case 3:
        return server ? OsName{"WIN2012R2", "Windows Server 2012 R2"}
                      : OsName{"WIN81", "Windows 8.1"};
      default:
        return {"", ""};
    }
  }
  if (major == 10 && minor == 0) {
    if (!server) {
      return build >= 22000 ? OsName{"WIN11", "Windows 11"} : OsName{"WIN10", "Windows 10"};
    }
    if (build >= 26100) return {"WIN2025", "Windows Server 2025"};
    if (build >= 20348) return {"WIN2022", "Windows Server 2022"};
    if (build >= 17763) return {"WIN2019", "Windows Server 2019"};
    return {"WIN2016", "Windows Server 2016"};
  }
  return {"", ""};
}

}  // namespace

OsRecord classifyOs(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                    std::uint32_t build, std::string_view csd, std::uint8_t productType) {
  OsRecord os;
  const std::string buildText = std::to_string(build);
  switch (platformId) {
    case 0:
      os = {"WIN32", "Windows 32", "Win32", {}, {}};
      break;
    case 1:
      os.family = "Win9xME";
      if (minor == 0) {
        os.code = "WIN95", os.name = "Windows 95";
      } else if (minor == 10 && buildText == "1961") {
        os.code = "WIN98_BETA", os.name = "Windows 98 Beta";
      } else if (minor == 10) {
        os.code = "WIN98", os.name = "Windows 98";
      } else if (minor == 90) {
        os.code = "WINME", os.name = "Windows Millenium Edition";
      }
      break;
    case 2:
      // Every NT version belongs to the NT family, also those newer than the table knows:
      // the administrator test depends on it.
      os.family = "WinNT";
      if (major < 5) {
        os.code = "WINNT", os.name = "Windows NT";
      } else if (major == 5 && minor == 0) {
        os.code = "WIN2000", os.name = "Windows 2000";
      } else if (major == 5 && minor == 1) {
        os.code = "WINXP", os.name = "Windows XP";
      } else if (major == 5 && minor == 2) {
        os.code = "WIN2003", os.name = "Windows 2003";
      } else if (major == 5) {
        os.code = "???", os.name = "???";
      } else {
        const OsName later = laterNt(major, minor, build, productType != kProductWorkstation);
        os.code = later.code, os.name = later.name;
      }
      break;
    default:
      break;
  }
  os.version = std::to_string(major) + "." + std::to_string(minor) + "." + buildText;
  if (platformId == 1 || platformId == 2) os.servicePack = cutAtZero(csd.data(), csd.size());
  return os;
}

namespace {
bool readVersion(OSVERSIONINFOA& info) {
  info = {};
  info.dwOSVersionInfoSize = sizeof info;
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
  return ::GetVersionExA(&info) != FALSE;
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
}
}  // namespace

namespace {

// The version record as ntdll keeps it: unaffected by the compatibility settings that make
// GetVersionEx report an older system to programs not marked for the newer one.
struct RealVersion {
  DWORD platformId = 0;
  DWORD major = 0;
  DWORD minor = 0;
  DWORD build = 0;
  std::string csd;
  std::uint8_t productType = kProductWorkstation;
};

std::optional<RealVersion> readRealVersion() {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOEXW*);
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  if (ntdll == nullptr) return std::nullopt;
  const auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(::GetProcAddress(ntdll, "RtlGetVersion")));
  if (rtlGetVersion == nullptr) return std::nullopt;
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (rtlGetVersion(&info) != 0) return std::nullopt;
  RealVersion v{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, {},
                info.wProductType};
  std::size_t length = 0;
  while (length < std::size(info.szCSDVersion) && info.szCSDVersion[length] != L'\0') ++length;
  if (length > 0) {
    char narrow[4 * std::size(info.szCSDVersion)] = {};
    const int n = ::WideCharToMultiByte(CP_ACP, 0, info.szCSDVersion, static_cast<int>(length),
                                        narrow, static_cast<int>(sizeof narrow), nullptr, nullptr);
    if (n > 0) v.csd.assign(narrow, static_cast<std::size_t>(n));
  }
  return v;
}

}  // namespace

OsRecord getOsRecord() {
  if (const auto real = readRealVersion()) {
    return classifyOs(real->platformId, real->major, real->minor, real->build, real->csd,
                      real->productType);
  }
  OSVERSIONINFOA info;
  if (!readVersion(info)) return {};
  // Windows 9x keeps major and minor in the high word of the build number.
  const DWORD build = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? LOWORD(info.dwBuildNumber)
                                                                      : info.dwBuildNumber;
  return classifyOs(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, build,
                    std::string_view(info.szCSDVersion, sizeof info.szCSDVersion));
}

bool isNT() {
  OSVERSIONINFOA info;
  return readVersion(info) && info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool adminFor(std::string_view family, bool ntAdmin) {
  return family != "WinNT" || ntAdmin;
}

bool isAdmin() {
  const OsRecord os = getOsRecord();
  if (os.family != "WinNT") return adminFor(os.family, false);
  // advpack comes from the system folder only, never from the folder the setup runs in.
  const std::string folder = systemFolder();
  if (folder == "{Unknown}") return false;
  const ModuleHandle advpack(::LoadLibraryA((folder + "advpack.dll").c_str()));
  if (!advpack) return false;
  using IsNTAdminFn = BOOL(WINAPI*)(DWORD, DWORD*);
  const auto isNTAdmin = reinterpret_cast<IsNTAdminFn>(
      reinterpret_cast<void*>(::GetProcAddress(advpack.get(), "IsNTAdmin")));
  if (isNTAdmin == nullptr) return false;
  return adminFor(os.family, isNTAdmin(0, nullptr) != FALSE);
}

MemoryRecord getMemoryRecord() {
  // The extended query: the plain one caps its figures at 4 GB.
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!::GlobalMemoryStatusEx(&status)) return {};
  return {status.ullTotalPhys, status.ullTotalPageFile, status.ullTotalVirtual,
          status.ullAvailPhys, status.ullAvailPageFile, status.ullAvailVirtual};
}

DiskRecord getDiskRecord(char letter) {
  const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
  if (!isLetter) return {};
  const char root[] = {letter, ':', '\\', '\0'};
  DWORD sectors = 0, bytes = 0, freeClusters = 0, totalClusters = 0;
  if (!::GetDiskFreeSpaceA(root, &sectors, &bytes, &freeClusters, &totalClusters)) return {};
  DiskRecord disk;
  disk.sectorsPerCluster = sectors;
  disk.bytesPerSector = bytes;
  disk.freeClusters = freeClusters;
  disk.totalClusters = totalClusters;
  const std::uint64_t cluster = std::uint64_t{sectors} * bytes;
  disk.totalBytes = cluster * totalClusters;
  disk.freeBytes = cluster * freeClusters;
  disk.usedBytes = disk.totalBytes - disk.freeBytes;
  return disk;
}

std::string computerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 32] = {};
  DWORD size = sizeof buffer;
  if (!::GetComputerNameA(buffer, &size)) return {};
  return cutAtZero(buffer, sizeof buffer);
}

std::string userName() {
  char buffer[257] = {};
  DWORD size = sizeof buffer;
  if (!::GetUserNameA(buffer, &size)) return {};
  return cutAtZero(buffer, sizeof buffer);
}

bool fileExists(std::string_view path) {
  if (path.empty()) return false;
  const std::string text(path);
  return ::GetFileAttributesA(text.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace nx::setup::win
