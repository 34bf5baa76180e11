#include "nxsetupwin/sys_info.h"

#include <windows.h>

#include <shlobj.h>

#include <memory>
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

OsRecord classifyOs(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor,
                    std::uint32_t build, std::string_view csd) {
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

OsRecord getOsRecord() {
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
