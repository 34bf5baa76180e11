// Command-line switches and the log of the setup program.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace nx::setup::win {

struct RunSwitches {
  std::string runArgs;  // lower-cased and trimmed
  bool log = false;     // " /l ": collect (and show) the log
  bool save = false;    // " /s ": write the log to nxinstall.log at the end (with " /l ")
  bool quiet = false;   // " /q ": no windows and no message boxes
  // Unattended mode (with " /q "): install or update by default, or one of these.
  bool repair = false;   // " /repair ": replace every file
  bool remove = false;   // " /remove ": remove the suite (wins over " /repair ")
  bool restart = false;  // " /restart ": restart Windows when files wait for the next start
};

// The arguments of a full command line: the text after the program name (quoted or not).
std::string_view commandTail(std::string_view commandLine);

// Lower-cases and trims the arguments and finds the space-delimited switches.
RunSwitches parseRunArgs(std::string_view args);

// The setup's log: a list of entries, written only when enabled. The first write puts the
// header lines in front.
class SetupLog {
 public:
  using HeaderSource = std::function<std::vector<std::string>()>;
  using Listener = std::function<void(const std::vector<std::string>& entries)>;

  SetupLog(bool enabled, HeaderSource header) : enabled_(enabled), header_(std::move(header)) {}

  // With newEntry the text becomes a new last entry, otherwise it is appended to the last one.
  void write(std::string_view text, bool newEntry = true);
  bool enabled() const { return enabled_; }
  bool started() const { return started_; }
  const std::vector<std::string>& entries() const { return entries_; }
  // The entries joined with CR LF, none after the last.
  std::string joined() const;
  // Called after every change.
  void setListener(Listener listener) { listener_ = std::move(listener); }

 private:
  bool enabled_;
  bool started_ = false;
  HeaderSource header_;
  Listener listener_;
  std::vector<std::string> entries_;
};

// The log header lines: program, version, date, then the system information.
std::vector<std::string> systemLogHeader(std::string_view appName, std::string_view appVersion);

}  // namespace nx::setup::win
