// Work left for the next start of Windows: files replaced or deleted then, registry strings for
// the RunOnce key, and the restart itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nx::setup::win {

// Root codes of setRegistryString.
enum RegistryRoot : int {
  kRootCurrentUser = 0,
  kRootLocalMachine = 1,
  kRootUsers = 2,
  kRootClassesRoot = 3,
};

// Sets a REG_SZ value (stored with its terminating zero) under an existing key. `view` adds a
// registry view flag (KEY_WOW64_64KEY or KEY_WOW64_32KEY) or 0. True only when the key could be
// opened and the value written.
bool setRegistryString(int rootCode, std::string_view keyPath, std::string_view valueName,
                       std::string_view text, std::uint32_t view = 0);

struct RebootPlatform {
  std::optional<bool> ntFamily;  // nothing: ask the system
  std::string windowsFolder;     // where wininit.ini lives on the old family; empty: the system's
};

// Schedules the source to replace the target at the next start; with an empty source the target
// is deleted then. The NT family uses MoveFileEx, the old family "[rename]" lines of
// <Windows>\wininit.ini. Paths are given to the system in their short form.
bool replaceOnReboot(std::string_view target, std::string_view source,
                     const RebootPlatform& platform = {});
bool deleteOnReboot(std::string_view target, const RebootPlatform& platform = {});

// The new wininit.ini text: the old text (empty when there is none) with a "[rename]" section,
// the line that deletes the target and, with a source, the line that moves the source there.
// Empty lines are removed.
std::string wininitRenameText(std::string_view existing, std::string_view target,
                              std::string_view source);

// Enables SeShutdownPrivilege for this process; true only when it was granted.
bool enableShutdownPrivilege();
// ExitWindowsEx with `flags` (6: reboot and force) after enabling the privilege on the NT family.
bool restartSystem(std::uint32_t flags);

}  // namespace nx::setup::win
