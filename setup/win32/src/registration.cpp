#include "nxsetupwin/registration.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <vector>

#include "nxsetup/pe_image.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

// The PE header lies near the start; what lies further is not read.
constexpr DWORD kHeaderProbeBytes = 64 * 1024;

bool endsWithExe(std::string_view path) {
  if (path.size() < 4) return false;
  std::string tail(path.substr(path.size() - 4));
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".exe";
}

std::string quoted(std::string_view path) {
  return "\"" + std::string(path) + "\"";
}

// Starts a command line with a hidden window; the process handle when it started.
KernelHandle startHidden(std::string commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  if (!::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return KernelHandle();
  }
  ::CloseHandle(process.hThread);
  return KernelHandle(process.hProcess);
}

using RegistrationEntry = HRESULT(STDAPICALLTYPE*)();

// Shared by the caller and the worker thread. Whichever of the two lets go last frees the library
// and the record, so a library is never freed while its entry still runs: a worker that outlives
// the wait frees it itself when its entry returns.
struct RegistrationCall {
  HMODULE module = nullptr;
  RegistrationEntry entry = nullptr;
  std::atomic<HRESULT> result{E_PENDING};
  std::atomic<int> holders{2};
};

void letGo(RegistrationCall* call) {
  if (call->holders.fetch_sub(1) == 1) {
    ::FreeLibrary(call->module);
    delete call;
  }
}

DWORD WINAPI registrationWorker(LPVOID parameter) {
  auto* call = static_cast<RegistrationCall*>(parameter);
  call->result = call->entry();
  letGo(call);
  return 0;
}

bool registerInProcess(const std::string& path, bool doRegister, DWORD waitMs) {
  ModuleHandle module(::LoadLibraryA(path.c_str()));
  if (!module) return false;
  const auto entry = reinterpret_cast<RegistrationEntry>(reinterpret_cast<void*>(
      ::GetProcAddress(module.get(), doRegister ? "DllRegisterServer" : "DllUnregisterServer")));
  if (entry == nullptr) return false;
  auto* call = new RegistrationCall;
  call->module = module.release();
  call->entry = entry;
  const KernelHandle thread(::CreateThread(nullptr, 0, registrationWorker, call, 0, nullptr));
  if (!thread) {
    ::FreeLibrary(call->module);
    delete call;
    return false;
  }
  const bool ended = ::WaitForSingleObject(thread.get(), waitMs) == WAIT_OBJECT_0;
  // Read before letting go: the record may be gone afterwards.
  const HRESULT result = call->result.load();
  letGo(call);
  // An entry still running after the wait counts as failed; so does one that reports failure.
  return ended && SUCCEEDED(result);
}

bool registerThroughRegsvr32(const std::string& regsvr32, const std::string& path, bool doRegister,
                             DWORD waitMs) {
  std::string command = quoted(regsvr32) + " /s ";
  if (!doRegister) command += "/u ";
  command += quoted(path);
  const KernelHandle process = startHidden(command);
  if (!process) return false;
  // One still running after the wait counts as failed and is left to finish on its own.
  if (::WaitForSingleObject(process.get(), waitMs) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  return ::GetExitCodeProcess(process.get(), &code) && code == 0;
}

}  // namespace

std::uint16_t processMachine() {
  return sizeof(void*) == 8 ? kPeMachineAmd64 : kPeMachineI386;
}

std::optional<std::uint16_t> fileMachine(std::string_view path) {
  const FileHandle file(::CreateFileA(std::string(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::vector<std::uint8_t> head(kHeaderProbeBytes);
  DWORD got = 0;
  if (!::ReadFile(file.get(), head.data(), kHeaderProbeBytes, &got, nullptr)) return std::nullopt;
  head.resize(got);
  return peMachine(head);
}

std::string windowsFolder() {
  char buffer[MAX_PATH + 1] = {};
  const UINT n = ::GetWindowsDirectoryA(buffer, MAX_PATH);
  if (n == 0 || n > MAX_PATH) return {};
  std::string folder(buffer, n);
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  return folder;
}

RegistrationPlan planRegistration(std::uint16_t libraryMachine, std::uint16_t ownMachine,
                                  bool windows64, std::string_view windowsFolder) {
  const bool known = libraryMachine == kPeMachineI386 || libraryMachine == kPeMachineAmd64;
  if (!known || libraryMachine == ownMachine) return {};
  if (libraryMachine == kPeMachineAmd64) {
    if (!windows64) return {RegistrationRoute::Impossible, {}};
    // A 32-bit process sees System32 redirected; Sysnative names the real one.
    return {RegistrationRoute::Regsvr32, std::string(windowsFolder) + "\\Sysnative\\regsvr32.exe"};
  }
  // A 32-bit library from a 64-bit process.
  return {RegistrationRoute::Regsvr32, std::string(windowsFolder) + "\\SysWOW64\\regsvr32.exe"};
}

std::string runOnceRegistrationCommand(std::string_view path,
                                       std::optional<std::uint16_t> libraryMachine, bool windows64,
                                       std::string_view windowsFolder) {
  std::string regsvr32 = "regsvr32.exe";
  if (windows64 && libraryMachine == kPeMachineI386) {
    regsvr32 = std::string(windowsFolder) + "\\SysWOW64\\regsvr32.exe";
    if (regsvr32.find(' ') != std::string::npos) regsvr32 = quoted(regsvr32);
  }
  return regsvr32 + " /s " + quoted(path);
}

bool registerComponent(std::string_view path, bool doRegister, const RegistrationOptions& options) {
  try {
    const std::string file(path);
    if (file.empty() || !fileExists(file)) return false;
    if (endsWithExe(file)) {
      return static_cast<bool>(
          startHidden(quoted(file) + (doRegister ? " /REGSERVER" : " /UNREGSERVER")));
    }
    const auto machine = fileMachine(file);
    const std::string windows =
        options.windowsFolder.empty() ? windowsFolder() : options.windowsFolder;
    const RegistrationPlan plan = planRegistration(machine.value_or(processMachine()),
                                                   processMachine(), isWindows64(), windows);
    switch (plan.route) {
      case RegistrationRoute::InProcess:
        return registerInProcess(file, doRegister, options.waitMs);
      case RegistrationRoute::Regsvr32:
        return registerThroughRegsvr32(plan.regsvr32, file, doRegister, options.waitMs);
      case RegistrationRoute::Impossible:
        return false;
    }
    return false;
  } catch (...) {
    return false;
  }
}

std::string systemErrorText(std::uint32_t code) {
  char* buffer = nullptr;
  const DWORD n = ::FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  std::string text;
  if (n > 0 && buffer != nullptr) text.assign(buffer, n);
  if (buffer != nullptr) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace nx::setup::win
