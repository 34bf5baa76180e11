// Registration of component libraries and programs: DllRegisterServer / DllUnregisterServer on a
// worker thread for libraries of the process's own bitness, the regsvr32 of the library's bitness
// for the others, and "/REGSERVER" / "/UNREGSERVER" for programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace nx::setup::win {

// How long a registration may run before it counts as failed.
inline constexpr std::uint32_t kRegistrationWaitMs = 20000;

struct RegistrationOptions {
  std::uint32_t waitMs = kRegistrationWaitMs;
  std::string windowsFolder;  // empty: the system's Windows folder
};

// The PE machine of the images this process runs (kPeMachineI386 or kPeMachineAmd64).
std::uint16_t processMachine();
// The machine field of a file's PE header; nothing when the file is not a PE image.
std::optional<std::uint16_t> fileMachine(std::string_view path);
// The Windows folder without a trailing backslash.
std::string windowsFolder();

enum class RegistrationRoute {
  InProcess,  // load the library and call its entry on a worker thread
  Regsvr32,   // run the regsvr32 of the library's bitness
  Impossible  // a 64-bit library on 32-bit Windows
};

struct RegistrationPlan {
  RegistrationRoute route = RegistrationRoute::InProcess;
  std::string regsvr32;  // full path, for RegistrationRoute::Regsvr32
};

// Which way a library of `libraryMachine` is registered from a process of `ownMachine`.
// Libraries of other machines than x86 and x64 are tried in process (and fail to load).
RegistrationPlan planRegistration(std::uint16_t libraryMachine, std::uint16_t ownMachine,
                                  bool windows64, std::string_view windowsFolder);

// The command a RunOnce value runs to register `path` at the next start: the regsvr32 that the
// start-up runs by name, or for a 32-bit library on 64-bit Windows the 32-bit one by full path.
std::string runOnceRegistrationCommand(std::string_view path,
                                       std::optional<std::uint16_t> libraryMachine, bool windows64,
                                       std::string_view windowsFolder);

// Registers (or unregisters) a library or program. False when the path is empty or missing, the
// library cannot be loaded or lacks the entry, the entry reports failure, or it has not ended
// within the wait. Programs (".exe") are started with "/REGSERVER" or "/UNREGSERVER" and not
// waited for; true once started.
bool registerComponent(std::string_view path, bool doRegister,
                       const RegistrationOptions& options = {});

// The system's text for an error code, without its line end; "error <code>" when it has none.
std::string systemErrorText(std::uint32_t code);

}  // namespace nx::setup::win
