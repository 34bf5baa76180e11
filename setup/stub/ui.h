// Windows of the setup's start-up: the start-up window, the "Debug Log" window and message
// boxes. In quiet mode nothing is shown: messages go to the log and to standard error.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "nxsetupwin/handles.h"

namespace nx::setup::stub {

class StartupUi {
 public:
  StartupUi(HINSTANCE instance, bool quiet) : instance_(instance), quiet_(quiet) {}
  ~StartupUi();
  StartupUi(const StartupUi&) = delete;
  StartupUi& operator=(const StartupUi&) = delete;

  bool quiet() const { return quiet_; }

  void showStartup();
  void closeStartup();
  bool startupShown() const { return startup_.valid(); }

  // Shows the log entries in the "Debug Log" window (created on first use).
  void showLog(const std::vector<std::string>& entries);
  bool logShown() const { return log_.valid(); }
  // Called when the log window is closing (by the user or by closeLog).
  void setLogClosing(std::function<void()> onClosing) { onLogClosing_ = std::move(onClosing); }
  void closeLog();
  // Runs the message loop until the user closes the log window.
  void waitForLogClosed();

  // A message box with `icon` (MB_ICONERROR, MB_ICONWARNING, MB_ICONINFORMATION); in quiet mode
  // the title and text go to standard error.
  void message(const std::string& title, const std::string& text, UINT icon);

  // An Abort/Retry/Ignore box (IDABORT, IDRETRY or IDIGNORE); never asked in quiet mode.
  int askAbortRetryIgnore(const std::string& title, const std::string& text);

  // Lets pending window messages run.
  void pump();

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
  void registerClasses();
  void layoutLog();

  HINSTANCE instance_;
  bool quiet_;
  bool registered_ = false;
  bool closingLog_ = false;
  win::WindowHandle startup_;
  win::WindowHandle log_;
  HWND list_ = nullptr;
  win::GdiObject font_;
  std::function<void()> onLogClosing_;
  std::size_t shownEntries_ = 0;
};

// Writes a line to standard error when the process has one.
void writeStdErr(const std::string& line);

}  // namespace nx::setup::stub
