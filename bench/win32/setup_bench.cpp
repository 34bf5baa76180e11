// The setup's unattended install of a package into the real system folders, phase by phase, run
// with the setup's own pieces inside this process, against the plainest way to put the same
// files in place:
//   1. the setup, each round as an unattended repair run does it (every file replaced):
//      start-up checks (read the own file and its header, provide zlib, extract the payload into a
//      fresh work folder, read the install information, check the extracted files, look for
//      installed and in-use files), with the extraction on its own; then the engine's install
//      pass, split by its progress bar: unregistration (bar 0 -> 10), copying (10 -> 60),
//      registration (60 -> 80), clean-up of the work folder (90 -> 100);
//   2. the baseline, over the same extracted files: CopyFileW of each file onto its target, then
//      "regsvr32 /s" of each self-registering library as a process of its bitness (System32's
//      for 64-bit libraries, SysWOW64's for 32-bit ones), waited for;
//   and the ratio of the setup's copying + registration to the baseline's.
//   setup_bench <nxinstall.exe> [rounds]
//
// The package is the file the bench opens as the setup's own file. Each figure is the median of
// `rounds` rounds (7 unless given) after one warm-up round of each side; the first, fresh install
// is the warm-up round of the setup and is shown on its own. The rounds of the two sides
// alternate. The registration passes are also split by the libraries' bitness: the engine
// registers its own bitness in process and the other one through that bitness's regsvr32.
// What the engine's clean-up leaves of a round's work folder is removed after the round,
// outside the timing. At the end the engine's remove pass unregisters and deletes every file of
// the package, and the bench checks that none is left; a zlib.dll the start-up checks provided
// is deleted again. The bench refuses to start while any file of the package is installed.
//
// Exit status: 0 measured and removed, 1 a step failed or something was left, 2 usage.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "alternating_rounds.h"
#include "nxsetup/install_info.h"
#include "nxsetup/paths.h"
#include "nxsetup/pe_image.h"
#include "nxsetup/setup_header.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/install_engine.h"
#include "nxsetupwin/registration.h"
#include "nxsetupwin/setup_log.h"
#include "nxsetupwin/sys_info.h"
#include "nxsetupwin/zlib_provision.h"

namespace {

namespace setup = nx::setup;
namespace win = nx::setup::win;
using Clock = std::chrono::steady_clock;

constexpr int kDefaultRounds = 7;
constexpr int kMaxRounds = 101;
constexpr DWORD kRegsvr32WaitMs = 60000;

double msBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

std::wstring wide(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) {
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  }
  return out;
}

// Milliseconds of a pass over the libraries of each bitness.
struct BitnessSplit {
  double bits64 = 0;
  double bits32 = 0;
};

constexpr int kSetupBits = sizeof(void*) * 8;

bool is64(const setup::FileEntry& entry) {
  return setup::effectiveBits(entry, kSetupBits) == 64;
}

// The package as the start-up checks leave it: the checked file table and its work folder.
struct Package {
  setup::InstallInfo info;
  std::string workFolder;
  bool previousInstall = false;
  std::vector<std::string> inUse;
};

// Milliseconds of each start-up check.
struct StartupTimes {
  double readHeader = 0;  // the whole own file read, and its header decoded
  double zlib = 0;        // checkZlib and the regsvr32 lookup
  double extract = 0;
  double installInfo = 0;
  double checkFiles = 0;
  double findInstalled = 0;
  double total = 0;
};

// Removes what is left of a work folder at the end of a round, its subfolders included: the
// payload of a package for both bitnesses lies in one subfolder per bitness, which the setup's
// own clean-up (removeFolder) does not remove.
class WorkFolder {
 public:
  explicit WorkFolder(std::string& path) : path_(path) {}
  ~WorkFolder() {
    if (!win::isRemovableFolderPath(path_) || !win::fileExists(path_)) return;
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(wide(path_)), ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

 private:
  std::string& path_;
};

setup::FolderLookup targetFolders(const std::string& systemFolder) {
  return [systemFolder](setup::TargetFolder which) -> std::string {
    switch (which) {
      case setup::TargetFolder::System:
        return systemFolder == "{Unknown}" ? std::string()
                                           : setup::normalizePath(systemFolder, false);
      case setup::TargetFolder::ProgramFiles:
        return setup::normalizePath(win::getSysFolder(win::kFolderProgramFiles, true), false);
      case setup::TargetFolder::Windows:
        return setup::normalizePath(win::getSysFolder(win::kFolderWindows), false);
      case setup::TargetFolder::System32Bit:
        return win::system32BitFolder();
    }
    return {};
  };
}

// The start-up checks of the setup program in their order, on `ownFile`. On failure the message
// says which check failed; a work folder made before is left in `out` for the caller to remove.
bool startupChecks(const std::string& ownFile, Package& out, StartupTimes& t, std::string& error) {
  out = Package{};
  const auto t0 = Clock::now();
  const auto image = win::readFileBytes(ownFile);
  std::optional<setup::SetupHeader> header;
  if (image) header = setup::readHeader(*image);
  const auto t1 = Clock::now();
  if (!header) {
    error = "cannot read the setup header of " + ownFile;
    return false;
  }
  const std::string systemFolder = win::systemFolder();
  if (!win::checkZlib(systemFolder, header->zlibVersion)) {
    error = "checkZlib failed";
    return false;
  }
  const std::string regsvr32 = win::findRegsvr32(systemFolder);
  const auto t2 = Clock::now();
  if (regsvr32.empty()) {
    error = "no regsvr32 in " + systemFolder;
    return false;
  }
  const win::PayloadResult payload = win::extractPayload(ownFile, *header);
  out.workFolder = payload.workFolder;
  const auto t3 = Clock::now();
  if (!payload.ok) {
    error = "extractPayload failed";
    return false;
  }
  const bool infoRead =
      setup::readInstallInfo(out.workFolder + "\\" + std::string(setup::kInstallInfoName),
                             targetFolders(systemFolder), out.info);
  const auto t4 = Clock::now();
  if (!infoRead) {
    error = "readInstallInfo failed";
    return false;
  }
  const bool filesChecked = win::checkExtractedFiles(out.workFolder, out.info);
  const auto t5 = Clock::now();
  if (!filesChecked) {
    error = "checkExtractedFiles failed";
    return false;
  }
  // A 32-bit setup program leaves the 64-bit files out, as the driver does.
  std::vector<setup::FileEntry> kept;
  for (setup::FileEntry& entry : out.info.files) {
    if (kSetupBits == 32 && setup::effectiveBits(entry, kSetupBits) == 64) continue;
    kept.push_back(std::move(entry));
  }
  out.info.files = std::move(kept);
  out.info.fileCount = static_cast<std::int32_t>(out.info.files.size());
  out.previousInstall = win::findInstalledFiles(out.info, out.inUse);
  const auto t6 = Clock::now();
  t = {msBetween(t0, t1), msBetween(t1, t2), msBetween(t2, t3), msBetween(t3, t4),
       msBetween(t4, t5), msBetween(t5, t6), msBetween(t0, t6)};
  return true;
}

// The engine's page: the time of every bar position it sets.
class TimedUi final : public win::EngineUi {
 public:
  void setBar(int value) override { marks_.emplace_back(value, Clock::now()); }
  void setStatus(std::string_view) override {}
  void pump() override {}
  void tickReboot() override {}

  // When the bar was last set to `value` or less: the end of the part that ends at `value`.
  std::optional<Clock::time_point> lastAtMost(int value) const {
    std::optional<Clock::time_point> found;
    for (const auto& [v, at] : marks_) {
      if (v <= value) found = at;
    }
    return found;
  }
  // The index of the first mark of `value` or more.
  std::optional<std::size_t> firstIndexAtLeast(int value) const {
    for (std::size_t i = 0; i < marks_.size(); ++i) {
      if (marks_[i].first >= value) return i;
    }
    return std::nullopt;
  }
  // The times of the files of a pass over `files` that starts at mark `start`: each file ends
  // with the next mark. Nothing when there are not enough marks.
  std::optional<BitnessSplit> passByBits(std::size_t start,
                                         const std::vector<setup::FileEntry>& files) const {
    if (start + files.size() >= marks_.size()) return std::nullopt;
    BitnessSplit split;
    for (std::size_t i = 0; i < files.size(); ++i) {
      const double ms = msBetween(marks_[start + i].second, marks_[start + i + 1].second);
      (is64(files[i]) ? split.bits64 : split.bits32) += ms;
    }
    return split;
  }
  // When the bar was first set to `value` or more.
  std::optional<Clock::time_point> firstAtLeast(int value) const {
    for (const auto& [v, at] : marks_) {
      if (v >= value) return at;
    }
    return std::nullopt;
  }

 private:
  std::vector<std::pair<int, Clock::time_point>> marks_;
};

struct InstallTimes {
  StartupTimes startup;
  double unregister = 0;
  double copy = 0;
  double registration = 0;
  double cleanUp = 0;
  double engine = 0;  // the whole install pass
  double whole = 0;   // start-up checks + install pass
  // The registration passes by the libraries' bitness: the setup's own bitness is registered in
  // this process, the other one through its regsvr32.
  BitnessSplit unregisterByBits;
  BitnessSplit registerByBits;
  bool workFolderLeft = false;  // the engine's clean-up left the work folder
};

// One unattended install (a repair when `repair`) of the package.
bool setupRound(const std::string& ownFile, bool repair, InstallTimes& t, std::string& error) {
  Package p;
  const WorkFolder work(p.workFolder);
  if (!startupChecks(ownFile, p, t.startup, error)) return false;
  if (!p.inUse.empty()) {
    error = "in use: " + p.inUse.front() + " (the install would wait for a restart)";
    return false;
  }
  win::SetupLog log(false, {});
  TimedUi ui;
  win::InstallEngine engine(p.info, p.previousInstall, log, ui,
                            [&p] { win::removeFolder(p.workFolder); });
  const auto start = Clock::now();
  const win::EngineOutcome outcome = engine.runInstall(repair);
  const auto end = Clock::now();
  t.workFolderLeft = win::fileExists(p.workFolder);
  if (!outcome.succeeded() || outcome.rebootNeeded) {
    error = "install: " + std::to_string(outcome.filesFailed) + " file(s), " +
            std::to_string(outcome.registrationsFailed) + " registration(s), " +
            std::to_string(outcome.unregistrationsFailed) + " unregistration(s) failed" +
            (outcome.rebootNeeded ? ", a restart is needed" : "");
    return false;
  }
  const auto unregistered = ui.lastAtMost(10);
  const auto copied = ui.lastAtMost(60);
  const auto registered = ui.lastAtMost(80);
  const auto finishing = ui.firstAtLeast(90);
  const auto finished = ui.firstAtLeast(100);
  if (!unregistered || !copied || !registered || !finishing || !finished) {
    error = "the install pass did not set the bar as expected";
    return false;
  }
  // The unregistration pass (of a previous install) follows the first mark, the bar's 0; the
  // registration pass ends with the mark before the bar's 90, as no file waits for a restart.
  const std::size_t files = p.info.files.size();
  const auto finishMark = ui.firstIndexAtLeast(90);
  const auto unregisterByBits = p.previousInstall ? ui.passByBits(0, p.info.files)
                                                  : std::optional<BitnessSplit>(BitnessSplit{});
  const auto registerByBits = finishMark && *finishMark > files
                                  ? ui.passByBits(*finishMark - files - 1, p.info.files)
                                  : std::nullopt;
  if (!unregisterByBits || !registerByBits) {
    error = "the registration passes did not set the bar once per file";
    return false;
  }
  t.unregisterByBits = *unregisterByBits;
  t.registerByBits = *registerByBits;
  t.unregister = msBetween(start, *unregistered);
  t.copy = msBetween(*unregistered, *copied);
  t.registration = msBetween(*copied, *registered);
  t.cleanUp = msBetween(*finishing, *finished);
  t.engine = msBetween(start, end);
  t.whole = t.startup.total + t.engine;
  return true;
}

// A file of the baseline: where it comes from and goes, and the regsvr32 that registers it
// (empty when it is not registered).
struct PlainFile {
  std::wstring source;
  std::wstring target;
  std::wstring regsvr32;
  bool bits64 = false;
};

std::wstring regsvr32For(const std::string& path) {
  const auto machine = win::fileMachine(path);
  const std::string windows = win::windowsFolder();
  const bool native = !machine || *machine == win::processMachine();
  // From a 64-bit process System32 is the 64-bit folder; a 32-bit library wants SysWOW64's.
  if (!native && *machine == setup::kPeMachineI386)
    return wide(windows + "\\SysWOW64\\regsvr32.exe");
  if (!native && *machine == setup::kPeMachineAmd64)
    return wide(windows + "\\Sysnative\\regsvr32.exe");
  return wide(windows + "\\System32\\regsvr32.exe");
}

bool runRegsvr32(const std::wstring& regsvr32, const std::wstring& target) {
  std::wstring command = L"\"" + regsvr32 + L"\" /s \"" + target + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return false;
  }
  const win::KernelHandle thread(process.hThread);
  const win::KernelHandle handle(process.hProcess);
  if (::WaitForSingleObject(handle.get(), kRegsvr32WaitMs) != WAIT_OBJECT_0) return false;
  DWORD code = 1;
  return ::GetExitCodeProcess(handle.get(), &code) && code == 0;
}

struct PlainTimes {
  double copy = 0;
  double registration = 0;
  BitnessSplit registerByBits;
  double total() const { return copy + registration; }
};

// The baseline over a fresh extraction of the package (outside the timing).
bool plainRound(const std::string& ownFile, PlainTimes& t, std::string& error) {
  Package p;
  const WorkFolder work(p.workFolder);
  StartupTimes ignored;
  if (!startupChecks(ownFile, p, ignored, error)) return false;
  std::vector<PlainFile> files;
  for (const setup::FileEntry& entry : p.info.files) {
    files.push_back({wide(entry.sourcePath), wide(entry.targetPath),
                     entry.registerFile ? regsvr32For(entry.sourcePath) : std::wstring(),
                     is64(entry)});
  }
  const auto start = Clock::now();
  for (const PlainFile& f : files) {
    if (!::CopyFileW(f.source.c_str(), f.target.c_str(), FALSE)) {
      error = "CopyFileW failed (" + win::systemErrorText(::GetLastError()) + ")";
      return false;
    }
  }
  const auto copied = Clock::now();
  BitnessSplit byBits;
  auto last = copied;
  for (const PlainFile& f : files) {
    if (f.regsvr32.empty()) continue;
    if (!runRegsvr32(f.regsvr32, f.target)) {
      error = "regsvr32 /s failed on a library of the package";
      return false;
    }
    const auto now = Clock::now();
    (f.bits64 ? byBits.bits64 : byBits.bits32) += msBetween(last, now);
    last = now;
  }
  t = {msBetween(start, copied), msBetween(copied, last), byBits};
  return true;
}

// The package's targets that exist.
std::vector<std::string> installedTargets(const setup::InstallInfo& info) {
  std::vector<std::string> found;
  for (const setup::FileEntry& entry : info.files) {
    if (!entry.targetPath.empty() && win::fileExists(entry.targetPath))
      found.push_back(entry.targetPath);
  }
  return found;
}

// The engine's remove pass; true when it reported no failure and no file of the package is left.
bool removeSuite(const std::string& ownFile, double& ms) {
  Package p;
  const WorkFolder work(p.workFolder);
  StartupTimes ignored;
  std::string error;
  if (!startupChecks(ownFile, p, ignored, error)) {
    std::fprintf(stderr, "remove: %s\n", error.c_str());
    return false;
  }
  win::SetupLog log(false, {});
  win::SilentEngineUi ui;
  win::InstallEngine engine(p.info, p.previousInstall, log, ui,
                            [&p] { win::removeFolder(p.workFolder); });
  const auto start = Clock::now();
  const win::EngineOutcome outcome = engine.runRemove();
  ms = msBetween(start, Clock::now());
  bool ok = true;
  if (!outcome.succeeded() || outcome.rebootNeeded) {
    std::fprintf(stderr, "remove: %d file(s), %d unregistration(s) failed%s\n", outcome.filesFailed,
                 outcome.unregistrationsFailed,
                 outcome.rebootNeeded ? ", a restart is needed" : "");
    ok = false;
  }
  for (const std::string& left : installedTargets(p.info)) {
    std::fprintf(stderr, "remove: %s is left\n", left.c_str());
    ok = false;
  }
  return ok;
}

// The median over the rounds of one figure of each round.
template <typename Round, typename Figure>
double medianOf(const std::vector<Round>& rounds, Figure figure) {
  std::vector<double> values;
  for (const Round& r : rounds) values.push_back(figure(r));
  return nx::bench::median(std::move(values));
}

void printFigures(const Package& package, const InstallTimes& fresh,
                  const std::vector<InstallTimes>& installs, const std::vector<PlainTimes>& plain,
                  double removeMs) {
  int registered = 0;
  for (const setup::FileEntry& e : package.info.files) registered += e.registerFile ? 1 : 0;
  int left = fresh.workFolderLeft ? 1 : 0;
  for (const InstallTimes& r : installs) left += r.workFolderLeft ? 1 : 0;
  const auto line = [](const char* label, double ms) { std::printf("%-44s%9.1f ms\n", label, ms); };
  const auto s = [&installs](auto figure) { return medianOf(installs, figure); };
  const auto b = [&plain](auto figure) { return medianOf(plain, figure); };
  using I = const InstallTimes&;
  using P = const PlainTimes&;

  std::printf("package: %zu files, %d self-registering; median of %zu rounds per side\n",
              package.info.files.size(), registered, installs.size());
  line("first install (fresh, once):", fresh.whole);
  line("setup, unattended repair, whole:", s([](I r) { return r.whole; }));
  line("  start-up checks:", s([](I r) { return r.startup.total; }));
  line("    read own file + header:", s([](I r) { return r.startup.readHeader; }));
  line("    checkZlib + regsvr32 lookup:", s([](I r) { return r.startup.zlib; }));
  line("    extraction (extractPayload):", s([](I r) { return r.startup.extract; }));
  line("    readInstallInfo:", s([](I r) { return r.startup.installInfo; }));
  line("    checkExtractedFiles:", s([](I r) { return r.startup.checkFiles; }));
  line("    findInstalledFiles:", s([](I r) { return r.startup.findInstalled; }));
  line("  install pass (runInstall):", s([](I r) { return r.engine; }));
  line("    unregistration (bar 0-10):", s([](I r) { return r.unregister; }));
  line("      64-bit libraries:", s([](I r) { return r.unregisterByBits.bits64; }));
  line("      32-bit libraries:", s([](I r) { return r.unregisterByBits.bits32; }));
  line("    copying (bar 10-60):", s([](I r) { return r.copy; }));
  line("    registration (bar 60-80):", s([](I r) { return r.registration; }));
  line("      64-bit libraries:", s([](I r) { return r.registerByBits.bits64; }));
  line("      32-bit libraries:", s([](I r) { return r.registerByBits.bits32; }));
  line("    clean-up of the work folder (bar 90-100):", s([](I r) { return r.cleanUp; }));
  line("baseline, CopyFileW + regsvr32 /s:", b([](P r) { return r.total(); }));
  line("  CopyFileW of each file:", b([](P r) { return r.copy; }));
  line("  regsvr32 /s of each library:", b([](P r) { return r.registration; }));
  line("    64-bit libraries (System32):", b([](P r) { return r.registerByBits.bits64; }));
  line("    32-bit libraries (SysWOW64):", b([](P r) { return r.registerByBits.bits32; }));
  const double setupPart = s([](I r) { return r.copy + r.registration; });
  const double plainPart = b([](P r) { return r.total(); });
  line("setup copying + registration:", setupPart);
  std::printf("%-44s%9.2f\n",
              "ratio setup / baseline (copy + reg):", plainPart > 0 ? setupPart / plainPart : 0.0);
  line("remove pass at the end (once):", removeMs);
  std::printf("work folder left by the engine's clean-up: %d of %zu installs\n", left,
              installs.size() + 1);
}

// A zlib.dll that was not in the system folder before the bench: the start-up checks provide
// it, and it is unloaded and deleted again at the end.
class ProvidedZlib {
 public:
  ProvidedZlib()
      : path_(win::systemFolder() + std::string(win::kZlibFileName)),
        wasThere_(win::fileExists(path_)) {}
  ~ProvidedZlib() {
    if (wasThere_ || !win::fileExists(path_)) return;
    win::setZlibLibraryPath(path_);  // unloads the library before the delete
    if (!::DeleteFileA(path_.c_str())) std::fprintf(stderr, "cannot delete %s\n", path_.c_str());
  }
  ProvidedZlib(const ProvidedZlib&) = delete;
  ProvidedZlib& operator=(const ProvidedZlib&) = delete;

 private:
  std::string path_;
  bool wasThere_;
};

int run(const std::string& ownFile, int rounds) {
  const ProvidedZlib zlib;
  // Nothing of the package may be installed before: the bench removes it all at the end.
  Package probe;
  StartupTimes ignored;
  std::string error;
  {
    const WorkFolder work(probe.workFolder);
    if (!startupChecks(ownFile, probe, ignored, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    const auto present = installedTargets(probe.info);
    if (!present.empty()) {
      std::fprintf(stderr, "%s is installed already: remove the package first\n",
                   present.front().c_str());
      return 1;
    }
  }

  int status = 0;
  InstallTimes fresh;
  std::vector<InstallTimes> installs;
  std::vector<PlainTimes> plain;
  const auto setupSide = [&](bool repair, InstallTimes& t) {
    if (setupRound(ownFile, repair, t, error)) return true;
    std::fprintf(stderr, "setup: %s\n", error.c_str());
    return false;
  };
  const auto plainSide = [&](PlainTimes& t) {
    if (plainRound(ownFile, t, error)) return true;
    std::fprintf(stderr, "baseline: %s\n", error.c_str());
    return false;
  };
  PlainTimes warm;
  bool ok = setupSide(false, fresh) && plainSide(warm);
  for (int r = 0; ok && r < rounds; ++r) {
    InstallTimes s;
    PlainTimes b;
    ok = r % 2 == 0 ? setupSide(true, s) && plainSide(b) : plainSide(b) && setupSide(true, s);
    if (ok) {
      installs.push_back(s);
      plain.push_back(b);
    }
  }
  if (!ok) status = 1;

  double removeMs = 0;
  if (!removeSuite(ownFile, removeMs)) status = 1;
  if (ok) printFigures(probe, fresh, installs, plain, removeMs);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: setup_bench <nxinstall.exe> [rounds]\n");
    return 2;
  }
  int rounds = kDefaultRounds;
  if (argc == 3) {
    char* end = nullptr;
    const long n = std::strtol(argv[2], &end, 10);
    if (end == argv[2] || *end != '\0' || n < 1 || n > kMaxRounds) {
      std::fprintf(stderr, "rounds: a number from 1 to %d\n", kMaxRounds);
      return 2;
    }
    rounds = static_cast<int>(n);
  }
  // The setup works with full paths; the package may be named relative to the current folder.
  char full[MAX_PATH + 1] = {};
  const DWORD n = ::GetFullPathNameA(argv[1], MAX_PATH, full, nullptr);
  if (n == 0 || n > MAX_PATH || !win::fileExists(full)) {
    std::fprintf(stderr, "cannot open %s\n", argv[1]);
    return 2;
  }
  try {
    return run(full, rounds);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
