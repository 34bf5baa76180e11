// The setup's wizard window: a white header band with the title, three pages (the choice of
// action, the progress of the process, the final message) and one button at the bottom.
// The caller drives the page flow through onNext; the window only shows and reports.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace nx {
class NxProgressBar;
}

namespace nx::setup::stub {

class Wizard {
 public:
  // The actions of page 0, by the index of their option button.
  enum Option { kInstallOrUpdate = 0, kRepair = 1, kRemove = 2 };
  static constexpr int kPageCount = 3;

  // Child windows, for the caller's and tests' inspection.
  enum class Part {
    Title,       // lblTitle
    Prompt,      // "Please select the action to preform"
    OptInstall,  // opt(0)
    OptRepair,   // opt(1)
    OptRemove,   // opt(2)
    Bar,         // pbar (its control window)
    Status,      // istatus
    FinalMsg,    // finalMsg
    RebootMsg,   // rebootMsg
    NeedReboot,  // needReboot
    Next,        // nextBT
    Page0,
    Page1,
    Page2,
  };

  // `version` is the program's major.minor.revision; the caption is "nx-Dev Setup v" + version.
  Wizard(HINSTANCE instance, std::string version);
  ~Wizard();
  Wizard(const Wizard&) = delete;
  Wizard& operator=(const Wizard&) = delete;

  // Creates the window (hidden) with page 0 shown and "Install or Update" selected; false when
  // the window cannot be created. show() creates it when needed, centres it and shows it.
  bool create();
  bool show();
  HWND hwnd() const;
  HWND part(Part p) const;

  // Page 0.
  void setTitle(std::string_view title);
  // Repair and Remove are enabled only when a previous installation exists.
  void setPreviousInstall(bool found);
  void selectOption(int option);
  // The selected option (Option), or -1 when none is.
  int selectedOption() const;

  // Pages: only one is visible. setPage ignores a number outside 0..2.
  void setPage(int page);
  int page() const;

  // Page 1, for the install engine.
  void setBarRange(int min, int max);  // ignored unless min < max
  void setBar(int value);              // clamped into the range (0..100 unless set)
  int bar() const;
  // The progress bar control itself; null when it could not be placed.
  const NxProgressBar* progressBar() const;
  void setStatus(std::string_view text);
  // Lets pending window messages run (the process runs inside the button's click).
  void pump();
  // The process needs a restart: ticks needReboot (it stays hidden until showReboot).
  void tickReboot();

  // Page 2.
  void setFinalText(std::string_view text);
  // Shows or hides rebootMsg and needReboot.
  void showReboot(bool shown = true);
  bool rebootShown() const;
  bool rebootTicked() const;

  void setNextCaption(std::string_view caption);
  void enableNext(bool enabled);
  // false: removes the window's Close command (the last two entries of its system menu), and
  // closing the window is refused; true: restores the system menu.
  void setCloseCommand(bool enabled);
  bool closeCommandEnabled() const;

  // nextBT was clicked (not called again while it runs). Without a handler the button shows
  // the next page, and closes the window on the last one.
  void onNext(std::function<void()> handler);
  // The window is about to close (by close() or by the user): the caller cleans up here.
  void onClosing(std::function<void()> handler);

  // Runs the message loop until the window is closed (returns at once when it is not open).
  // A WM_QUIT met on the way is posted again.
  void runUntilClosed();
  // Closes the window (onClosing runs first); nothing when it is not open.
  void close();
  bool isOpen() const;

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace nx::setup::stub
