#include "nxsetupwin/reboot_actions.h"

#include <windows.h>

#include <cctype>

#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/registration.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

HKEY rootKey(int code) {
  switch (code) {
    case kRootCurrentUser:
      return HKEY_CURRENT_USER;
    case kRootLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case kRootUsers:
      return HKEY_USERS;
    case kRootClassesRoot:
      return HKEY_CLASSES_ROOT;
    default:
      return nullptr;
  }
}

// The 8.3 form of an existing path; the path itself when it has none.
std::string shortPath(const std::string& path) {
  const DWORD need = ::GetShortPathNameA(path.c_str(), nullptr, 0);
  if (need == 0) return path;
  std::string buffer(need, '\0');
  const DWORD n = ::GetShortPathNameA(path.c_str(), buffer.data(), need);
  if (n == 0 || n >= need) return path;
  buffer.resize(n);
  return buffer;
}

std::string lowerCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

bool setRegistryString(int rootCode, std::string_view keyPath, std::string_view valueName,
                       std::string_view text, std::uint32_t view) {
  const HKEY root = rootKey(rootCode);
  if (root == nullptr) return false;
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(root, std::string(keyPath).c_str(), 0, KEY_SET_VALUE | view, &opened) !=
      ERROR_SUCCESS) {
    return false;
  }
  const RegKey key(opened);
  // REG_SZ data carry their terminating zero: readers that trust the stored length get a proper
  // string.
  const std::string data(text);
  return ::RegSetValueExA(key.get(), std::string(valueName).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

std::string wininitRenameText(std::string_view existing, std::string_view target,
                              std::string_view source) {
  std::string text;
  if (!existing.empty()) {
    text = std::string(existing) + "\r\n";
    if (lowerCase(text).find("[rename]") == std::string::npos) text += "[rename]\r\n";
  } else {
    text = "[rename]\r\n";
  }
  // "NUL=<file>" is the line that deletes a file at the start; "<target>=<source>" moves.
  text += "NUL=" + std::string(target) + "\r\n";
  if (!source.empty()) text += std::string(target) + "=" + std::string(source) + "\r\n";
  // No empty lines: fold every run of line ends into one.
  for (std::size_t at = text.find("\r\n\r\n"); at != std::string::npos;
       at = text.find("\r\n\r\n", at)) {
    text.erase(at, 2);
  }
  return text;
}

bool replaceOnReboot(std::string_view target, std::string_view source,
                     const RebootPlatform& platform) {
  if (target.empty()) return false;
  const std::string shortTarget = shortPath(std::string(target));
  const std::string shortSource = source.empty() ? std::string() : shortPath(std::string(source));
  const bool nt = platform.ntFamily.value_or(isNT());
  if (nt) {
    if (!shortSource.empty()) {
      return ::MoveFileExA(shortSource.c_str(), shortTarget.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
    }
    return ::MoveFileExA(shortTarget.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
  }
  const std::string folder =
      platform.windowsFolder.empty() ? windowsFolder() : platform.windowsFolder;
  if (folder.empty()) return false;
  const std::string file = folder + "\\wininit.ini";
  const std::string text = wininitRenameText(readWholeFile(file), shortTarget, shortSource);
  return writeWholeFile(file, text);
}

bool deleteOnReboot(std::string_view target, const RebootPlatform& platform) {
  return replaceOnReboot(target, {}, platform);
}

bool enableShutdownPrivilege() {
  LUID luid{};
  if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &luid)) return false;
  HANDLE opened = nullptr;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &opened)) {
    return false;
  }
  const KernelHandle token(opened);
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
  // The call succeeds also when the privilege was not granted.
  return ::GetLastError() == ERROR_SUCCESS;
}

bool restartSystem(std::uint32_t flags) {
  if (isNT() && !enableShutdownPrivilege()) return false;
  return ::ExitWindowsEx(flags, 0xFFFFFFFF) != FALSE;
}

}  // namespace nx::setup::win
