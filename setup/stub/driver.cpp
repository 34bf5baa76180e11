#include "driver.h"

#include <optional>
#include <string>

#include "exit_codes.h"
#include "nxsetup/install_info.h"
#include "nxsetup/paths.h"
#include "nxsetup/setup_header.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/setup_log.h"
#include "nxsetupwin/sys_info.h"
#include "nxsetupwin/zlib_provision.h"
#include "ui.h"

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
    if (!state_.workFolder.empty()) win::removeFolder(state_.workFolder);
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

  const win::RunSwitches switches_;
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
  const win::PayloadResult payload = win::extractPayload(state_.ownFile, state_.header);
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
  ui_.pump();

  ui_.closeStartup();
  write("   -exit init");

  // The wizard takes over from here in the full program; this program ends its run instead.
  cleanUp();
  if (!ui_.quiet() && ui_.logShown()) ui_.waitForLogClosed();
  closeLog();
  return kExitOk;
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
