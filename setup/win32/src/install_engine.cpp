#include "nxsetupwin/install_engine.h"

#include <windows.h>

#include <cctype>
#include <cmath>
#include <tuple>

#include "nxsetup/versions.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/reboot_actions.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

bool earlier(const DateTime& a, const DateTime& b) {
  return std::tie(a.year, a.month, a.day, a.hour, a.minute, a.second) <
         std::tie(b.year, b.month, b.day, b.hour, b.minute, b.second);
}

std::string fileNameOf(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool sameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// Deletes a file, read-only or not; errors are left for the caller to read back.
void deleteFile(const std::string& path) {
  ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileA(path.c_str());
}

bool copyFile(const std::string& source, const std::string& target) {
  return ::CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE;
}

// True when the installed file is to be replaced by the package's entry. A newer installed version
// is never replaced by an older one, whatever the dates say; equal versions (or entries without a
// version) are decided by the last-write time.
bool installedIsOlder(const FileEntry& entry, const nxkFileInfo& installed) {
  if (!entry.version.empty()) {
    switch (compareVersions(installed.text(kItemFileVersion), entry.version)) {
      case 2:
        return true;
      case 1:
        return false;
      default:
        break;
    }
  }
  return earlier(installed.lastWrite(), entry.dateModified);
}

}  // namespace

std::string runOnceValueName(std::string_view fileName) {
  return "nxinstall_sr[" + std::string(fileName) + "]";
}

InstallEngine::InstallEngine(const InstallInfo& info, bool previousInstall, SetupLog& log,
                             EngineUi& ui, CleanUp cleanUp, EngineOptions options)
    : info_(info),
      previousInstall_(previousInstall),
      log_(log),
      ui_(ui),
      cleanUp_(std::move(cleanUp)),
      options_(std::move(options)) {
  windowsFolder_ = options_.windowsFolder.empty() ? windowsFolder() : options_.windowsFolder;
  ntFamily_ = options_.ntFamily.value_or(isNT());
}

void InstallEngine::start() {
  rebootActions_.clear();
  outcome_ = {};
}

void InstallEngine::setBar(int value) {
  bar_ = value;
  ui_.setBar(value);
}

double InstallEngine::stepFor(int budget) const {
  return info_.files.empty()
             ? 0.0
             : static_cast<double>(budget) / static_cast<double>(info_.files.size());
}

void InstallEngine::advance(double& progress, double step) {
  progress += step;
  setBar(static_cast<int>(std::lround(progress)));
  ui_.pump();
}

EngineOutcome InstallEngine::runInstall(bool repair) {
  log_.write("   -start install");
  start();
  setBar(0);
  if (previousInstall_) runUnregister(10);
  setBar(10);
  ui_.pump();
  double progress = bar_;
  const double step = stepFor(50);
  log_.write("   -file update");
  for (const FileEntry& entry : info_.files) {
    installFile(entry, repair);
    advance(progress, step);
  }
  setBar(60);
  ui_.pump();
  runRegister(20);
  if (rebootActions_.empty()) {
    log_.write("   -reboot needed: no");
  } else {
    log_.write("   -reboot needed: yes");
    ui_.setStatus("Setting reboot actions...");
    setRebootActions();
  }
  finish();
  log_.write("   -finish install");
  return outcome_;
}

void InstallEngine::installFile(const FileEntry& entry, bool repair) {
  log_.write("   -" + entry.name + ":");
  const std::string& target = entry.targetPath;
  const nxkFileInfo installed(target);
  const bool update = repair || !installed.Exists() || installedIsOlder(entry, installed);
  if (!update) {
    log_.write(" NO", false);
    ui_.setStatus("Skipping " + entry.name);
    return;
  }
  log_.write(" YES", false);
  ui_.setStatus("Updating " + entry.name);
  if (!installed.Exists()) {
    log_.write("      .file exists: no");
    if (!copyFile(entry.sourcePath, target)) {
      log_.write("      .silent error: " + systemErrorText(::GetLastError()));
      ++outcome_.filesFailed;
    }
    return;
  }
  log_.write("      .file exists: yes");
  bool boot = false;
  if (isFileInUse(target)) {
    log_.write("      .file in use: yes");
    boot = true;
  } else {
    log_.write("      .file in use: no");
    log_.write("      .deleting old:");
    deleteFile(target);
    if (fileExists(target)) {
      log_.write(" failed", false);
      boot = true;
    } else {
      log_.write(" ok", false);
      copyFile(entry.sourcePath, target);
      boot = !fileExists(target);
      log_.write(std::string("      .copy process: ") + (boot ? "failed" : "ok"));
    }
  }
  if (boot) {
    log_.write("      .replace on boot: yes");
    if (!scheduleReplacement(entry)) ++outcome_.filesFailed;
  }
}

// Puts a copy of the new file in the reboot folder and records the action. A file that cannot be
// copied there cannot wait for the next start either: it is logged and left as failed.
bool InstallEngine::scheduleReplacement(const FileEntry& entry) {
  if (rebootFolder_.empty()) {
    rebootFolder_ = makeWorkFolder(options_.rebootFolderBase);
    if (rebootFolder_.empty()) {
      log_.write("      .reboot folder: failed");
      return false;
    }
  }
  // Files of both bitnesses may share a name ("X86\\NAME", "X64\\NAME"): each waits under its own.
  std::string waiting = entry.name;
  for (char& c : waiting)
    if (c == '\\' || c == '/') c = '_';
  const std::string copy = rebootFolder_ + "\\" + waiting;
  if (!copyFile(entry.sourcePath, copy)) {
    log_.write("      .reboot copy: failed");
    return false;
  }
  rebootActions_.push_back({copy, entry.targetPath, entry.registerFile});
  outcome_.rebootNeeded = true;
  ui_.tickReboot();
  return true;
}

EngineOutcome InstallEngine::runRemove() {
  start();
  setBar(0);
  log_.write("   -start remove");
  // The files share the bar after the unregistration's part: 40 with it, 10 without.
  if (previousInstall_) {
    runUnregister(40);
  } else {
    setBar(10);
  }
  ui_.pump();
  double progress = bar_;
  const double step = stepFor(50);
  log_.write("   -file delete");
  for (const FileEntry& entry : info_.files) {
    removeFile(entry);
    advance(progress, step);
  }
  finish();
  log_.write("   -finish remove");
  return outcome_;
}

void InstallEngine::removeFile(const FileEntry& entry) {
  log_.write("   -" + entry.name);
  ui_.setStatus("Removing " + entry.name);
  const std::string& target = entry.targetPath;
  if (target.empty() || !fileExists(target)) {
    log_.write("      .file exists: no");
    return;
  }
  log_.write("      .file exists: yes");
  bool boot = true;
  if (isFileInUse(target)) {
    log_.write("      .file in use: yes");
  } else {
    log_.write("      .file in use: no");
    log_.write("      .delete action:");
    deleteFile(target);
    boot = fileExists(target);
    log_.write(boot ? " failed" : "ok", false);
  }
  if (boot) {
    log_.write("      .delete on boot: yes");
    outcome_.rebootNeeded = true;
    ui_.tickReboot();
    if (!deleteOnReboot(target, {ntFamily_, windowsFolder_})) ++outcome_.filesFailed;
  }
}

void InstallEngine::runUnregister(int budget) {
  registrationPass(false, budget);
}

void InstallEngine::runRegister(int budget) {
  registrationPass(true, budget);
}

bool InstallEngine::awaitsReboot(const std::string& target) const {
  for (const RebootAction& action : rebootActions_) {
    if (sameText(action.target, target)) return true;
  }
  return false;
}

void InstallEngine::registrationPass(bool doRegister, int budget) {
  log_.write(doRegister ? "   -register: begin" : "   -unregister: begin");
  ui_.setStatus(doRegister ? "Registering components..." : "Unregistering components...");
  double progress = bar_;
  const double step = stepFor(budget);
  for (const FileEntry& entry : info_.files) {
    log_.write("   -" + entry.name + ":");
    if (!entry.registerFile) {
      log_.write(" skipped", false);
    } else if (!entry.targetPath.empty() && fileExists(entry.targetPath)) {
      if (doRegister && awaitsReboot(entry.targetPath)) {
        log_.write(" reg on boot", false);
      } else {
        const bool ok = registerComponent(entry.targetPath, doRegister);
        log_.write(ok ? " success" : " failed", false);
        if (!ok) ++(doRegister ? outcome_.registrationsFailed : outcome_.unregistrationsFailed);
      }
    }
    advance(progress, step);
  }
  log_.write(doRegister ? "   -register: end" : "   -unregister: end");
}

void InstallEngine::setRebootActions() {
  log_.write("   -reboot actions:");
  for (const RebootAction& action : rebootActions_) {
    const std::string name = fileNameOf(action.target);
    log_.write("      .copy: " + name);
    if (!replaceOnReboot(action.target, action.source, {ntFamily_, windowsFolder_})) {
      ++outcome_.filesFailed;
    }
    if (action.registerFile) {
      log_.write("      .regsvr: " + name);
      if (!addRunOnceRegistration(action.target)) ++outcome_.registrationsFailed;
    }
  }
}

bool InstallEngine::addRunOnceRegistration(std::string_view path) {
  // The command goes into the system's own registry view, which the start-up reads, whatever
  // this program's bitness.
  const bool windows64 = isWindows64();
  const std::string command =
      runOnceRegistrationCommand(path, fileMachine(path), windows64, windowsFolder_);
  return setRegistryString(kRootLocalMachine, kRunOnceKey, runOnceValueName(fileNameOf(path)),
                           command, windows64 ? KEY_WOW64_64KEY : 0);
}

bool InstallEngine::registerComponent(std::string_view path, bool doRegister) {
  return win::registerComponent(path, doRegister, {options_.registrationWaitMs, windowsFolder_});
}

void InstallEngine::finish() {
  setBar(90);
  ui_.setStatus("Cleaning up...");
  ui_.pump();
  if (cleanUp_) cleanUp_();
  setBar(100);
  ui_.pump();
}

}  // namespace nx::setup::win
