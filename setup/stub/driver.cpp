#include "driver.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "eula_window.h"
#include "exit_codes.h"
#include "nxsetup/install_info.h"
#include "nxsetup/paths.h"
#include "nxsetup/setup_header.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/install_engine.h"
#include "nxsetupwin/reboot_actions.h"
#include "nxsetupwin/setup_log.h"
#include "nxsetupwin/sys_info.h"
#include "nxsetupwin/zlib_provision.h"
#include "ui.h"
#include "wizard.h"

namespace nx::setup::stub {
namespace {

constexpr std::string_view kLogFileName = "nxinstall.log";

// Program-wide state of one run.
struct SetupState {
  std::string ownFile;  // lower-cased
  std::uint64_t ownLength = 0;
  std::string systemFolder;
  std::string regsvr32;
  std::string workFolder;
  SetupHeader header;
  InstallInfo info;
  bool previousInstall = false;
};

// What the process of page 1 does, by the option chosen on page 0.
enum class Action { InstallOrUpdate, Repair, Remove };

const char* actionLogText(Action a) {
  switch (a) {
    case Action::InstallOrUpdate:
      return " install or update";
    case Action::Repair:
      return " repair";
    case Action::Remove:
      return " remove";
  }
  return "";
}

// The final page's text. A process that could not place a file or register a library says so
// instead of reporting success.
std::string finalText(Action a, const win::EngineOutcome& outcome) {
  const char* process = a == Action::Remove   ? "Remove process"
                        : a == Action::Repair ? "Repair process"
                                              : "Install/Update process";
  if (outcome.succeeded()) return std::string(process) + " completed successfully.";
  return std::string(process) +
         " completed with errors: some files could not be placed or some components could not "
         "be registered. Run the setup again with /l /s for a log of every step "
         "(nxinstall.log).";
}

// The in-use box's text: the fixed lines, then one line per file name.
std::string inUseText(const std::vector<std::string>& files) {
  std::string text =
      "Some files are currently in use by another application.\r\n"
      "Is strongly recommended for you to close all applications before proceeding.\r\n"
      "Please close all aplications and press Retry, press Ignore to continue anyway (reboot "
      "will be required)\r\n"
      "or press Abort to exit setup.\r\n"
      "\r\n"
      "In-Use files:";
  for (const std::string& f : files) text += "\r\n     " + f.substr(f.rfind('\\') + 1);
  return text;
}

// The wizard's page 1 as the engine sees it.
class WizardEngineUi final : public win::EngineUi {
 public:
  explicit WizardEngineUi(Wizard& w) : w_(w) {}
  void setBar(int value) override { w_.setBar(value); }
  void setStatus(std::string_view text) override { w_.setStatus(text); }
  void pump() override { w_.pump(); }
  void tickReboot() override { w_.tickReboot(); }

 private:
  Wizard& w_;
};

std::string programName(const std::string& path) {
  std::string name = path.substr(path.rfind('\\') + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.resize(dot);
  return name;
}

std::string programVersion(const std::string& path) {
  const auto v = win::fileVersionNumbers(path);
  if (!v) return "0.0.0";
  return std::to_string(v->major) + "." + std::to_string(v->minor) + "." +
         std::to_string(v->revision);
}

class Driver {
 public:
  Driver(HINSTANCE instance, std::string_view commandLine)
      : switches_(win::parseRunArgs(win::commandTail(commandLine))),
        instance_(instance),
        ui_(instance, switches_.quiet),
        log_(switches_.log, [this] {
          return win::systemLogHeader(programName(state_.ownFile), programVersion(state_.ownFile));
        }) {
    state_.ownFile = win::ownFilePathLower();
    log_.setListener([this](const std::vector<std::string>& entries) { ui_.showLog(entries); });
    ui_.setLogClosing([this] { saveLog(); });
  }

  int run();

  // After an unexpected failure: the same end as a failed check.
  void abandon() {
    try {
      exitSetup();
    } catch (...) {
    }
  }

 private:
  void write(std::string_view text, bool newEntry = true) { log_.write(text, newEntry); }

  // A failed check: " failed" after its label, the message, then the orderly exit.
  int fail(ExitCode code, const std::string& title, const std::string& text, UINT icon,
           bool labelled = true) {
    if (labelled) write(" failed", false);
    showMessage(title, text, icon);
    exitSetup();
    return code;
  }

  void showMessage(const std::string& title, const std::string& text, UINT icon) {
    if (ui_.quiet()) {
      std::string flat;
      for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lineBreak = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        flat += lineBreak ? ' ' : text[i];
        if (lineBreak) ++i;
      }
      write("   -message: " + title + ": " + flat);
    }
    ui_.message(title, text, icon);
  }

  void cleanUp() {
    write("   -preforming cleanup");
    if (!state_.workFolder.empty()) win::removeFolderTree(state_.workFolder);
  }

  // Cleans up first, so that the saved log holds the clean-up line, then closes the windows.
  void exitSetup() {
    cleanUp();
    closeLog();
    ui_.closeStartup();
  }

  void closeLog() {
    if (ui_.logShown()) {
      ui_.closeLog();  // saves through the closing handler
    } else if (ui_.quiet()) {
      saveLog();
    }
  }

  void saveLog();
  void selectFilesForThisSystem();
  int inUseLoop();
  int runUnattended();
  int runWizard();
  void nextClicked();
  void showStep(int n);
  bool showEula();
  win::EngineOutcome runProcess(Action action, win::EngineUi& ui);

  const win::RunSwitches switches_;
  HINSTANCE instance_;
  std::unique_ptr<Wizard> wizard_;
  bool restartWanted_ = false;
  bool declined_ = false;
  std::optional<win::EngineOutcome> outcome_;
  StartupUi ui_;
  win::SetupLog log_;
  SetupState state_;
};

void Driver::saveLog() {
  if (!switches_.save || !log_.started()) return;
  const std::size_t slash = state_.ownFile.rfind('\\');
  const std::string folder =
      slash == std::string::npos ? std::string() : state_.ownFile.substr(0, slash + 1);
  const std::string path = folder + std::string(kLogFileName);
  ::DeleteFileA(path.c_str());
  if (win::writeWholeFile(path, log_.joined())) {
    ui_.message("Log", "Log data saved in:\r\n   " + path, MB_ICONINFORMATION);
  } else {
    ui_.message("Log", "Unable to save log data in:\r\n   " + path, MB_ICONWARNING);
  }
}

int Driver::run() {
  ui_.showStartup();
  ui_.pump();

  write("Init");
  write("   -run args: " + switches_.runArgs);

  write("   -mypath: " + state_.ownFile);
  if (state_.ownFile.empty() || !win::fileExists(state_.ownFile)) {
    return fail(kExitOwnFile, "Error",
                "Unable to fully access installation file.\r\nIf you are running it from a network "
                "resource, please copy it to your local computer and try again.",
                MB_ICONERROR, false);
  }
  const auto image = win::readFileBytes(state_.ownFile);
  state_.ownLength = image ? image->size() : 0;
  state_.systemFolder = win::systemFolder();
  write("   -mysize: " + formatSize(static_cast<double>(state_.ownLength)) + " (" +
        std::to_string(state_.ownLength) + " bytes)");
  write("   -system: " + state_.systemFolder);
  ui_.pump();

  write("   -check previleges:");
  if (!win::isAdmin()) {
    return fail(kExitPrivileges, "Insufficient previleges",
                "You must have administration previleges on this computer to proceed.",
                MB_ICONWARNING);
  }
  write(" passed", false);

  write("   -read header:");
  std::optional<SetupHeader> header;
  if (image) header = readHeader(*image);
  if (!header) return fail(kExitHeader, "Fatal error", "Corrupt file detected.", MB_ICONERROR);
  state_.header = *header;
  write(" passed", false);
  ui_.pump();

  write("   -check zlib:");
  if (!win::checkZlib(state_.systemFolder, state_.header.zlibVersion)) {
    return fail(kExitZlib, "Fatal error", "Unable to load ZLIB.", MB_ICONERROR);
  }
  write(" passed", false);

  write("   -regsvr32: ");
  state_.regsvr32 = win::findRegsvr32(state_.systemFolder);
  write(state_.regsvr32, false);
  ui_.pump();

  write("   -extract data:");
  const win::PayloadResult payload =
      win::extractPayload(state_.ownFile, state_.header, {}, [this] { ui_.pump(); });
  state_.workFolder = payload.workFolder;
  if (!payload.ok)
    return fail(kExitExtract, "Fatal error", "Unable to extract files.", MB_ICONERROR);
  write(" passed", false);
  ui_.pump();

  write("   -reading install info:");
  const FolderLookup folders = [this](TargetFolder which) -> std::string {
    switch (which) {
      case TargetFolder::System:
        return state_.systemFolder == "{Unknown}" ? std::string()
                                                  : normalizePath(state_.systemFolder, false);
      case TargetFolder::ProgramFiles:
        return normalizePath(win::getSysFolder(win::kFolderProgramFiles, true), false);
      case TargetFolder::Windows:
        return normalizePath(win::getSysFolder(win::kFolderWindows), false);
      case TargetFolder::System32Bit:
        return win::system32BitFolder();
    }
    return {};
  };
  if (!readInstallInfo(state_.workFolder + "\\" + std::string(kInstallInfoName), folders,
                       state_.info)) {
    return fail(kExitInstallInfo, "Fatal error", "Unable to read install information.",
                MB_ICONERROR);
  }
  write(" passed", false);

  write("   -check extracted files:");
  if (!win::checkExtractedFiles(state_.workFolder, state_.info)) {
    return fail(kExitExtractedFiles, "Fatal error", "Corrupt files detected.", MB_ICONERROR);
  }
  write(" passed", false);
  selectFilesForThisSystem();
  ui_.pump();

  if (const int aborted = inUseLoop(); aborted != kExitOk) return aborted;

  ui_.closeStartup();
  write("   -exit init");
  return ui_.quiet() ? runUnattended() : runWizard();
}

// One package may carry the libraries of both bitnesses. The 64-bit setup program installs
// both on 64-bit Windows: the 32-bit files go to their own system folder and are registered by
// that folder's regsvr32. 64-bit files have no place on 32-bit Windows, and a 32-bit setup
// program cannot place or register them beside 64-bit hosts: it leaves them out.
void Driver::selectFilesForThisSystem() {
  constexpr int kSetupBits = sizeof(void*) * 8;
  std::vector<FileEntry> kept;
  for (FileEntry& entry : state_.info.files) {
    if (effectiveBits(entry, kSetupBits) == 64 && kSetupBits == 32) {
      write("   -left out (64-bit): " + entry.name);
      continue;
    }
    kept.push_back(std::move(entry));
  }
  state_.info.files = std::move(kept);
  state_.info.fileCount = static_cast<std::int32_t>(state_.info.files.size());
}

// Step 13: lists the installed files that are in use until none is, or the user goes on
// anyway (the files are then replaced at the next start) or gives up. Unattended runs go on.
int Driver::inUseLoop() {
  for (;;) {
    std::vector<std::string> inUse;
    state_.previousInstall = win::findInstalledFiles(state_.info, inUse);
    write(std::string("   -previous installed components: ") +
          (state_.previousInstall ? "YES" : "NO"));
    write(std::string("   -in use files: ") + (inUse.empty() ? "NO" : "YES"));
    if (inUse.empty()) return kExitOk;
    write("   -user action:");
    if (ui_.quiet()) {
      write(" ignore", false);
      return kExitOk;
    }
    switch (ui_.askAbortRetryIgnore("In-use files", inUseText(inUse))) {
      case IDABORT:
        write(" abort", false);
        exitSetup();
        return kExitAborted;
      case IDRETRY:
        write(" retry", false);
        continue;
      default:
        write(" ignore", false);
        return kExitOk;
    }
  }
}

win::EngineOutcome Driver::runProcess(Action action, win::EngineUi& ui) {
  win::InstallEngine engine(state_.info, state_.previousInstall, log_, ui, [this] { cleanUp(); });
  return action == Action::Remove ? engine.runRemove()
                                  : engine.runInstall(action == Action::Repair);
}

// Unattended: the whole job without a window: install or update, /repair or /remove; in-use
// files are replaced at the next start; a restart only with /restart. The licence counts as
// accepted: whoever runs a setup unattended deploys it on purpose.
int Driver::runUnattended() {
  const Action action = switches_.remove   ? Action::Remove
                        : switches_.repair ? Action::Repair
                                           : Action::InstallOrUpdate;
  write("Main");
  write("   -load");
  write("   -type:");
  write(actionLogText(action), false);
  if (action != Action::Remove && state_.info.eula) {
    write("   -eula:");
    write(" unattended", false);
  }
  write("   -step: 1");
  win::SilentEngineUi silent;
  const win::EngineOutcome outcome = runProcess(action, silent);
  write("   -result: " + finalText(action, outcome));
  const bool restart = switches_.restart && outcome.rebootNeeded;
  write(std::string("   -main exit: ") + (restart ? " reboot" : "no reboot"));
  closeLog();
  if (restart) win::restartSystem(EWX_REBOOT | EWX_FORCE);
  if (!outcome.succeeded()) return kExitIncomplete;
  return outcome.rebootNeeded ? kExitRebootRequired : kExitOk;
}

// Step 15 and the wizard's life: page 0 (the choice), the licence, page 1 (the process),
// page 2 (the result and the restart box), then closing.
int Driver::runWizard() {
  wizard_ = std::make_unique<Wizard>(instance_, programVersion(state_.ownFile));
  Wizard& w = *wizard_;
  write("Main");
  write("   -load");
  restartWanted_ = false;
  if (!w.create()) {
    ui_.message("Fatal error", "Unable to show the setup window.", MB_ICONERROR);
    exitSetup();
    return kExitInternal;
  }
  w.selectOption(Wizard::kInstallOrUpdate);
  w.setPreviousInstall(state_.previousInstall);
  if (!state_.info.title.empty()) w.setTitle(state_.info.title);
  w.setPage(0);
  w.onNext([this] { nextClicked(); });
  w.onClosing([this] { cleanUp(); });
  w.show();
  w.runUntilClosed();

  write(std::string("   -main exit: ") + (restartWanted_ ? " reboot" : "no reboot"));
  closeLog();
  wizard_.reset();
  if (restartWanted_) win::restartSystem(EWX_REBOOT | EWX_FORCE);
  if (declined_) return kExitDeclined;
  if (!outcome_) return kExitAborted;
  if (!outcome_->succeeded()) return kExitIncomplete;
  return outcome_ && outcome_->rebootNeeded ? kExitRebootRequired : kExitOk;
}

void Driver::nextClicked() {
  Wizard& w = *wizard_;
  const int current = w.page();
  const int next = current + 1;
  if (next >= Wizard::kPageCount) {
    showStep(next);
    return;
  }
  w.enableNext(false);  // a second click while the process runs would start another step
  w.setPage(next);
  if (next == 1) write("   -type:");
  const bool remove = w.selectedOption() == Wizard::kRemove;
  if (next == 1 && remove) {
    write(" remove", false);
    showStep(1);
  } else if (next != 1) {
    showStep(next);
  } else {
    write(w.selectedOption() == Wizard::kRepair ? " repair" : " install or update", false);
    if (!showEula()) {
      declined_ = true;
      showStep(3);
      return;
    }
    showStep(1);
  }
  if (w.isOpen()) w.enableNext(true);
}

void Driver::showStep(int n) {
  write("   -step: " + std::to_string(n));
  Wizard& w = *wizard_;
  if (n == 1) {
    w.setCloseCommand(false);
    const int option = w.selectedOption();
    const Action action = option == Wizard::kRemove   ? Action::Remove
                          : option == Wizard::kRepair ? Action::Repair
                                                      : Action::InstallOrUpdate;
    WizardEngineUi ui(w);
    outcome_ = runProcess(action, ui);
    w.setFinalText(finalText(action, *outcome_));
    if (w.rebootTicked()) w.showReboot(true);
    w.setNextCaption("&Close");
    w.setCloseCommand(true);
    w.setPage(2);
  } else if (n == 3) {
    restartWanted_ = w.rebootShown() && w.rebootTicked();
    w.close();
  }
}

bool Driver::showEula() {
  write("   -eula:");
  if (!state_.info.eula) {
    write(" no eula", false);
    return true;
  }
  const bool answer = showEulaModal(wizard_->hwnd(), state_.info.eulaText);
  write(answer ? " user agree" : " user decline", false);
  return answer;
}

}  // namespace

int runStub(HINSTANCE instance, std::string_view commandLine) {
  Driver driver(instance, commandLine);
  try {
    return driver.run();
  } catch (...) {
    // An unexpected failure still removes the work folder and keeps the log.
    driver.abandon();
    throw;
  }
}

}  // namespace nx::setup::stub
