// The work of the wizard's progress page: install or update, repair and remove of the component
// files, their registration, and the actions left for the next start of Windows.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nxsetup/install_info.h"
#include "nxsetupwin/registration.h"
#include "nxsetupwin/setup_log.h"

namespace nx::setup::win {

// What the engine shows while it works. The wizard's page implements it; unattended runs pass a
// SilentEngineUi.
class EngineUi {
 public:
  virtual ~EngineUi() = default;
  virtual void setBar(int value) = 0;  // progress bar, 0 to 100
  virtual void setStatus(std::string_view text) = 0;
  virtual void pump() = 0;        // let pending window messages run
  virtual void tickReboot() = 0;  // tick the "restart computer" box
};

class SilentEngineUi final : public EngineUi {
 public:
  void setBar(int) override {}
  void setStatus(std::string_view) override {}
  void pump() override {}
  void tickReboot() override {}
};

// A file that replaces its target at the next start.
struct RebootAction {
  std::string source;  // the copy in the reboot folder
  std::string target;
  bool registerFile = false;
};

// The result of a process. A file counts as failed when it is neither in place nor scheduled for
// the next start; a registration when it reported failure, did not end in time, or its RunOnce
// value could not be written.
struct EngineOutcome {
  int filesFailed = 0;
  int registrationsFailed = 0;
  int unregistrationsFailed = 0;
  bool rebootNeeded = false;

  bool succeeded() const {
    return filesFailed == 0 && registrationsFailed == 0 && unregistrationsFailed == 0;
  }
};

inline constexpr std::string_view kRunOnceKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

// Name of the RunOnce value that registers `fileName` at the next start.
std::string runOnceValueName(std::string_view fileName);

struct EngineOptions {
  std::uint32_t registrationWaitMs = kRegistrationWaitMs;
  std::string windowsFolder;     // empty: the system's
  std::optional<bool> ntFamily;  // nothing: ask the system
  std::string rebootFolderBase;  // where the reboot folder is made; empty: the temporary folder
};

class InstallEngine {
 public:
  using CleanUp = std::function<void()>;

  // `info` holds the checked file table (full source and target paths); `previousInstall` is
  // what the scan of the targets found. `cleanUp` removes the work folder near the end.
  InstallEngine(const InstallInfo& info, bool previousInstall, SetupLog& log, EngineUi& ui,
                CleanUp cleanUp, EngineOptions options = {});

  EngineOutcome runInstall(bool repair);
  EngineOutcome runRemove();
  // Registration passes over the file table; `budget` is the share of the bar they may use.
  void runUnregister(int budget);
  void runRegister(int budget);
  void setRebootActions();
  bool addRunOnceRegistration(std::string_view path);
  bool registerComponent(std::string_view path, bool doRegister);

  const std::vector<RebootAction>& rebootActions() const { return rebootActions_; }
  // Empty until a file had to wait for the next start.
  const std::string& rebootFolder() const { return rebootFolder_; }
  const EngineOutcome& outcome() const { return outcome_; }

 private:
  void start();
  void setBar(int value);
  void advance(double& progress, double step);
  double stepFor(int budget) const;
  void installFile(const FileEntry& entry, bool repair);
  bool scheduleReplacement(const FileEntry& entry);
  void removeFile(const FileEntry& entry);
  void registrationPass(bool doRegister, int budget);
  bool awaitsReboot(const std::string& target) const;
  void finish();

  const InstallInfo& info_;
  bool previousInstall_;
  SetupLog& log_;
  EngineUi& ui_;
  CleanUp cleanUp_;
  EngineOptions options_;
  std::string windowsFolder_;
  bool ntFamily_ = true;
  int bar_ = 0;
  std::vector<RebootAction> rebootActions_;
  std::string rebootFolder_;
  EngineOutcome outcome_;
};

}  // namespace nx::setup::win
