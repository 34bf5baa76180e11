// Whole runs of nxinstall_stub.exe with its windows: the setup is started with "/l /s" and its
// windows (the in-use box, the wizard, the licence, the log box) are driven from this process
// through window messages and real mouse input, as a user would. Every wait has a time limit;
// a setup still running at the end of a test is killed.
//
// With NX_WINDOW_SHOTS set to a folder (Windows or Unix path), the windows met on the way are
// saved there as BMP files of what the screen shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "nxsetup/install_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"
#include "package_builder.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::Member;
using test::TempDir;

constexpr DWORD kWaitMs = 30000;
constexpr DWORD kExitOk = 0, kExitAborted = 17, kExitDeclined = 18, kExitRebootRequired = 3010;

constexpr wchar_t kWizardClass[] = L"NxSetupWizard";
constexpr wchar_t kPageClass[] = L"NxSetupWizardPage";
constexpr wchar_t kEulaClass[] = L"NxSetupEula";
constexpr wchar_t kBoxClass[] = L"#32770";

// ---- waiting and windows of another process ---------------------------------------------------

bool waitFor(const std::function<bool()>& done, DWORD ms = kWaitMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start > ms) return false;
    ::Sleep(20);
  }
}

// WM_GETTEXT, which reaches controls of other processes (GetWindowText does not).
std::wstring textOf(HWND w) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring buffer(std::min<DWORD_PTR>(length, 1 << 20) + 1, L'\0');
  DWORD_PTR got = 0;
  if (!::SendMessageTimeoutW(w, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 5000, &got)) {
    return {};
  }
  buffer.resize(std::min<DWORD_PTR>(got, buffer.size() - 1));
  return buffer;
}

std::wstring classOf(HWND w) {
  wchar_t buffer[128] = {};
  ::GetClassNameW(w, buffer, 128);
  return buffer;
}

std::wstring withoutAmpersands(std::wstring text) {
  std::erase(text, L'&');
  return text;
}

std::wstring lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

bool visible(HWND w) {
  return w != nullptr && ::IsWindowVisible(w) != FALSE;
}

bool enabled(HWND w) {
  return w != nullptr && ::IsWindowEnabled(w) != FALSE;
}

// BM_GETCHECK's answer, or -1 when the window did not answer.
long long checkState(HWND w) {
  DWORD_PTR state = 0;
  if (!::SendMessageTimeoutW(w, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state)) return -1;
  return static_cast<long long>(state);
}

bool checked(HWND w) {
  return checkState(w) == BST_CHECKED;
}

// A click the way the button's own handler sees it; posted, because a click may start a modal
// loop (the licence) that would hold a sent message.
void click(HWND button) {
  ::PostMessageW(button, BM_CLICK, 0, 0);
}

struct WindowSearch {
  DWORD pid = 0;
  std::vector<HWND> found;
};

BOOL CALLBACK collectProcessWindow(HWND w, LPARAM lp) {
  auto& search = *reinterpret_cast<WindowSearch*>(lp);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(w, &owner);
  if (owner == search.pid && ::IsWindowVisible(w)) search.found.push_back(w);
  return TRUE;
}

BOOL CALLBACK collectWindow(HWND w, LPARAM lp) {
  reinterpret_cast<WindowSearch*>(lp)->found.push_back(w);
  return TRUE;
}

// The visible top-level windows of a process.
std::vector<HWND> topWindows(DWORD pid) {
  WindowSearch search{pid, {}};
  ::EnumWindows(&collectProcessWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> descendants(HWND parent) {
  WindowSearch search;
  ::EnumChildWindows(parent, &collectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The descendant of `parent` of class `cls` whose text, without its access-key ampersands, is
// `text`.
HWND findChild(HWND parent, const wchar_t* cls, std::wstring_view text) {
  for (HWND w : descendants(parent)) {
    if (_wcsicmp(classOf(w).c_str(), cls) == 0 && withoutAmpersands(textOf(w)) == text) return w;
  }
  return nullptr;
}

// Every text shown inside a window, one after the other.
std::wstring allTexts(HWND top) {
  std::wstring joined;
  for (HWND w : descendants(top)) joined += textOf(w) + L"\n";
  return joined;
}

// The windows a process shows, for failure messages.
std::string describeWindows(DWORD pid) {
  std::string out;
  for (HWND w : topWindows(pid)) {
    char title[256] = {}, cls[128] = {};
    ::GetWindowTextA(w, title, sizeof title);
    ::GetClassNameA(w, cls, sizeof cls);
    out += std::string(" [") + cls + " \"" + title + "\"]";
  }
  return out.empty() ? " (no window)" : out;
}

// ---- screenshots ----------------------------------------------------------------------------

std::string shotFolder() {
  const char* folder = std::getenv("NX_WINDOW_SHOTS");
  if (!folder || !*folder) return {};
  return folder[0] == '/' ? test::unixToWindows(folder) : std::string(folder);
}

// What the screen shows of a window (its whole frame), raised first, as a 24-bit BMP.
void saveShot(HWND w, const char* name) {
  const std::string folder = shotFolder();
  if (folder.empty() || !w) return;
  ::SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  ::Sleep(300);
  RECT r;
  if (!::GetWindowRect(w, &r)) return;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  GdiObject bitmap(::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (bitmap && bits) {
    const HGDIOBJ old = ::SelectObject(dc, bitmap.get());
    ::BitBlt(dc, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageBytes = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + imageBytes;
    std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof(BITMAPINFOHEADER));
    out.write(static_cast<const char*>(bits), imageBytes);
    ::SelectObject(dc, old);
  }
  ::DeleteDC(dc);
  ::ReleaseDC(nullptr, screen);
}

// ---- the setup process ----------------------------------------------------------------------

// An environment block like this process's, with TMP and TEMP pointing at `temp`, so that the
// setup's work and reboot folders are made where the test removes them.
std::string environmentWithTemp(const std::string& temp) {
  std::string block;
  const LPCH env = ::GetEnvironmentStringsA();
  for (const char* p = env; *p != '\0'; p += std::strlen(p) + 1) {
    if (_strnicmp(p, "TMP=", 4) == 0 || _strnicmp(p, "TEMP=", 5) == 0) continue;
    block += p;
    block += '\0';
  }
  ::FreeEnvironmentStringsA(env);
  for (const char* name : {"TMP=", "TEMP="}) {
    block += name + temp;
    block += '\0';
  }
  block += '\0';
  return block;
}

class SetupProcess {
 public:
  SetupProcess() = default;
  SetupProcess(const SetupProcess&) = delete;
  SetupProcess& operator=(const SetupProcess&) = delete;
  ~SetupProcess() { kill(); }

  bool start(const std::string& exe, const std::string& args, const std::string& temp) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string commandLine = "\"" + exe + "\" " + args;
    std::string environment = environmentWithTemp(temp);
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0,
                          environment.data(), nullptr, &startup, &info)) {
      return false;
    }
    process_.reset(info.hProcess);
    KernelHandle thread(info.hThread);
    pid_ = info.dwProcessId;
    return true;
  }

  DWORD pid() const { return pid_; }
  bool running() const {
    return process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
  }

  // The exit code, or -1 when the process did not end in time (it is killed then).
  long long waitExit(DWORD ms = kWaitMs) {
    if (!process_) return -1;
    if (::WaitForSingleObject(process_.get(), ms) != WAIT_OBJECT_0) {
      kill();
      return -1;
    }
    DWORD code = 0;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
  }

  void kill() {
    if (running()) {
      ::TerminateProcess(process_.get(), 99);
      ::WaitForSingleObject(process_.get(), 10000);
    }
  }

  // The first visible top-level window of class `cls` (and title `title` when given); null when
  // none shows up in time or the process ends.
  HWND waitWindow(const wchar_t* cls, const wchar_t* title = nullptr, DWORD ms = kWaitMs) const {
    HWND found = nullptr;
    waitFor(
        [&] {
          for (HWND w : topWindows(pid_)) {
            if (classOf(w) != cls) continue;
            if (title) {
              wchar_t text[256] = {};
              ::GetWindowTextW(w, text, 256);
              if (std::wstring(text) != title) continue;
            }
            found = w;
            return true;
          }
          return !running();
        },
        ms);
    return found;
  }

 private:
  KernelHandle process_;
  DWORD pid_ = 0;
};

// The wizard's parts, found by their texts.
struct WizardView {
  HWND top = nullptr;
  HWND pages[3] = {};
  HWND next = nullptr;  // the only push button
  HWND optInstall = nullptr, optRepair = nullptr, optRemove = nullptr;
  HWND finalMsg = nullptr, rebootMsg = nullptr, needReboot = nullptr;

  explicit WizardView(HWND wizard) : top(wizard) {
    for (HWND w : descendants(wizard)) {
      const std::wstring cls = classOf(w);
      if (cls == L"Button" && ::GetParent(w) == wizard) next = w;
      if (cls != kPageClass) continue;
      const std::vector<HWND> children = descendants(w);
      int index = 1;
      for (HWND c : children) {
        const std::wstring text = textOf(c);
        if (text == L"Install or Update") index = 0, optInstall = c;
        if (text == L"Repair") optRepair = c;
        if (text == L"Remove") optRemove = c;
        if (text == L"Restart computer (recommended)") index = 2, needReboot = c;
      }
      pages[index] = w;
    }
    if (pages[2]) {
      for (HWND c : descendants(pages[2])) {
        if (_wcsicmp(classOf(c).c_str(), L"Static") != 0) continue;
        if (textOf(c).starts_with(L"Your computer needs to be restarted")) {
          rebootMsg = c;
        } else if (!finalMsg) {
          finalMsg = c;
        }
      }
    }
  }

  bool complete() const {
    return top && pages[0] && pages[1] && pages[2] && next && optInstall && optRepair &&
           optRemove && finalMsg && rebootMsg && needReboot;
  }
  // The visible page, or -1.
  int page() const {
    for (int i = 0; i < 3; ++i)
      if (visible(pages[i])) return i;
    return -1;
  }
};

// Saves the registry value that holds file operations left for the next start and puts it back
// at the end: the in-use runs schedule replacements of files that the test removes.
class PendingRenamesGuard {
 public:
  PendingRenamesGuard() {
    RegKey key = open();
    if (!key) return;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(key.get(), kValue, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return;
    saved_.resize(size);
    if (::RegQueryValueExA(key.get(), kValue, nullptr, &type,
                           reinterpret_cast<BYTE*>(saved_.data()), &size) == ERROR_SUCCESS) {
      saved_.resize(size);
      type_ = type;
      existed_ = true;
    }
  }
  ~PendingRenamesGuard() {
    RegKey key = open();
    if (!key) return;
    if (existed_) {
      ::RegSetValueExA(key.get(), kValue, 0, type_, reinterpret_cast<const BYTE*>(saved_.data()),
                       static_cast<DWORD>(saved_.size()));
    } else {
      ::RegDeleteValueA(key.get(), kValue);
    }
  }
  PendingRenamesGuard(const PendingRenamesGuard&) = delete;
  PendingRenamesGuard& operator=(const PendingRenamesGuard&) = delete;

  // The value as it is now, in lower case, with its strings' terminators turned into newlines.
  static std::string current() {
    RegKey key = open();
    if (!key) return {};
    char buffer[65536] = {};
    DWORD size = sizeof buffer - 2, type = 0;
    if (::RegQueryValueExA(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS) {
      return {};
    }
    std::string text(buffer, size);
    for (char& c : text) {
      if (c == '\0') c = '\n';
      c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
  }

 private:
  static constexpr const char* kValue = "PendingFileRenameOperations";
  static RegKey open() {
    HKEY key = nullptr;
    ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, &key);
    return RegKey(key);
  }
  std::string saved_;
  DWORD type_ = REG_MULTI_SZ;
  bool existed_ = false;
};

// The value the slow test library writes when it is registered.
bool slowLibraryRegistered() {
  HKEY raw = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\nxinstall_engine_test", 0, KEY_QUERY_VALUE,
                      &raw) != ERROR_SUCCESS) {
    return false;
  }
  const RegKey key(raw);
  return ::RegQueryValueExA(key.get(), "nxeng_slow", nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

void setLastWrite(const std::string& path, WORD year) {
  const FileHandle file(::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = 3;
  st.wDay = 4;
  FILETIME ft{};
  ::SystemTimeToFileTime(&st, &ft);
  ::SetFileTime(file.get(), &ft, &ft, &ft);
}

bool folderIsEmpty(const std::string& folder) {
  WIN32_FIND_DATAA find{};
  const FindHandle found(::FindFirstFileA((folder + "\\*").c_str(), &find));
  if (!found) return true;
  do {
    const std::string name = find.cFileName;
    if (name != "." && name != "..") return false;
  } while (::FindNextFileA(found.get(), &find));
  return true;
}

// ---- the fixture ----------------------------------------------------------------------------

struct Component {
  std::string name;  // as the install information writes it: upper case
  std::string data;
  bool registerFile = false;
};

class WizardFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(::CreateDirectoryA(temp_.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA(target_.c_str(), nullptr));
    stub_ = test::readBytes(test::unixToWindows(NX_STUB_EXE));
    ASSERT_GT(stub_.size(), 1000u);
    if (const std::string folder = shotFolder(); !folder.empty())
      ::CreateDirectoryA(folder.c_str(), nullptr);
  }

  void TearDown() override {
    setup_.kill();
    // The slow library's registration is this test's; nothing else may see it.
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\nxinstall_engine_test", 0, KEY_SET_VALUE,
                        &raw) == ERROR_SUCCESS) {
      const RegKey key(raw);
      ::RegDeleteValueA(key.get(), "nxeng_slow");
    }
  }

  static std::string licence() {
    std::string text = "END USER LICENCE AGREEMENT\r\n\r\n";
    for (int i = 1; i <= 70; ++i)
      text += "Clause " + std::to_string(i) + ": the licensee reads this line to the end.\r\n";
    return text;
  }

  static std::vector<Component> textComponents() {
    return {{"NXFLOW_A.TXT", "first component\r\n", false},
            {"NXFLOW_B.DAT", std::string(3000, 'b'), false}};
  }

  // Two text files and the slow self-registering library, whose registration keeps page 1 on
  // the screen for a while.
  static std::vector<Component> componentsWithLibrary() {
    std::vector<Component> c = textComponents();
    c.push_back({"NXENG_SLOW.DLL", test::readBytes(test::unixToWindows(NX_SLOW_DLL)), true});
    return c;
  }

  // Writes the setup of `components` (to the target folder, with the licence).
  void writeSetup(const std::vector<Component>& components) {
    InstallInfo info;
    info.title = "Flow test package";
    info.release = {2024, 1, 2, 3, 4, 5};
    info.eula = true;
    std::vector<Member> members;
    for (const Component& c : components) {
      FileEntry e;
      e.name = c.name;
      e.size = static_cast<std::int32_t>(c.data.size());
      e.dateCreated = {2023, 5, 6, 7, 8, 9};
      e.dateModified = {2023, 6, 7, 8, 9, 10};
      e.targetPath = target_;
      e.registerFile = c.registerFile;
      info.files.push_back(e);
      members.push_back({c.name, c.data, true});
    }
    info.fileCount = static_cast<std::int32_t>(info.files.size());
    members.insert(members.begin(), Member{"eula.txt", licence(), true});
    members.insert(members.begin(),
                   Member{"nxinstall.inf", writeInstallInfo(info, {"# flow test"}), true});
    test::writeBytes(setupExe_, test::buildSetupImage(stub_, test::buildZip(members)));
  }

  void launch() {
    ::DeleteFileA(logFile().c_str());
    ASSERT_TRUE(setup_.start(setupExe_, "/l /s", temp_));
  }

  std::string installed(const std::string& name) const { return target_ + "\\" + name; }
  std::string logFile() const { return dir_.file("nxinstall.log"); }
  std::string log() const { return test::readBytes(logFile()); }
  bool logHas(const std::string& line) const {
    return ("\r\n" + log() + "\r\n").find("\r\n" + line + "\r\n") != std::string::npos;
  }

  HWND waitWizardOnPage(int page) {
    const HWND w = setup_.waitWindow(kWizardClass);
    if (!w) return nullptr;
    return waitFor([&] { return WizardView(w).page() == page; }) ? w : nullptr;
  }

  // Scrolls the licence to its end: two real clicks on the scroll bar's down arrow, then line
  // steps through the scroll bar's messages. "&Accept" must stay disabled until the last step.
  void readLicenceToTheEnd(HWND eula, bool shots) {
    HWND scroll = nullptr;
    for (HWND w : descendants(eula))
      if (_wcsicmp(classOf(w).c_str(), L"ScrollBar") == 0) scroll = w;
    const HWND accept = findChild(eula, L"Button", L"Accept");
    ASSERT_TRUE(scroll && accept) << "licence window parts";
    ASSERT_TRUE(findChild(eula, L"Button", L"Decline"));
    EXPECT_NE(allTexts(eula).find(L"Clause 70: the licensee reads this line to the end."),
              std::wstring::npos);
    EXPECT_EQ(::GetScrollPos(scroll, SB_CTL), 0);
    EXPECT_FALSE(enabled(accept));
    if (shots) saveShot(eula, "flow_eula_start");

    // A click on the disabled button is no answer.
    click(accept);
    ::Sleep(200);
    ASSERT_TRUE(visible(eula));

    RECT r;
    ::GetWindowRect(scroll, &r);
    const POINT arrow{(r.left + r.right) / 2, r.bottom - ::GetSystemMetrics(SM_CYVSCROLL) / 2};
    for (int i = 1; i <= 2; ++i) {
      ::SetCursorPos(arrow.x, arrow.y);
      INPUT in[3] = {};
      for (INPUT& e : in) e.type = INPUT_MOUSE;
      in[0].mi.dwFlags = MOUSEEVENTF_MOVE;
      in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      ::SendInput(3, in, sizeof(INPUT));
      ASSERT_TRUE(waitFor([&] { return ::GetScrollPos(scroll, SB_CTL) == i; }, 5000))
          << "arrow click " << i << " left the position at " << ::GetScrollPos(scroll, SB_CTL);
      EXPECT_FALSE(enabled(accept)) << "after arrow click " << i;
    }

    // Line steps until the position stops moving: the last one reached is the end.
    int position = ::GetScrollPos(scroll, SB_CTL);
    std::vector<bool> acceptAt{false, false, enabled(accept)};
    for (int step = 0; step < 500; ++step) {
      DWORD_PTR ignored = 0;
      ::SendMessageTimeoutW(eula, WM_VSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(scroll),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
      const int now = ::GetScrollPos(scroll, SB_CTL);
      if (now == position) break;
      ASSERT_EQ(now, position + 1);
      position = now;
      acceptAt.push_back(enabled(accept));
    }
    ASSERT_GE(position, 5) << "the licence should need scrolling";
    for (int p = 0; p < position; ++p) EXPECT_FALSE(acceptAt[p]) << "Accept enabled at " << p;
    EXPECT_TRUE(acceptAt[position]) << "Accept disabled at the end";
    if (shots) saveShot(eula, "flow_eula_end");
  }

  // On the last page: no restart may be asked for; then "&Close" and the log box's OK. The exit
  // code, or -1.
  long long closeFinalPage(HWND wizard) {
    // Closing with the box ticked would restart the whole (shared) Wine session: only a box seen
    // unticked lets the test close.
    const WizardView view(wizard);
    if (!view.needReboot || checkState(view.needReboot) != BST_UNCHECKED) {
      ADD_FAILURE() << "the restart box is ticked or unknown: the setup is killed, not closed";
      setup_.kill();
      return -1;
    }
    EXPECT_EQ(textOf(view.next), L"&Close");
    click(view.next);
    return confirmLogSaved();
  }

  // The box that reports the saved log, its OK, then the end of the process.
  long long confirmLogSaved() {
    const HWND box = setup_.waitWindow(kBoxClass, L"Log");
    if (!box) {
      ADD_FAILURE() << "no log box; windows:" << describeWindows(setup_.pid());
      return setup_.waitExit(0);
    }
    EXPECT_NE(allTexts(box).find(L"Log data saved in:"), std::wstring::npos) << "log box text";
    const HWND ok = findChild(box, L"Button", L"OK");
    EXPECT_TRUE(ok);
    click(ok);
    return setup_.waitExit();
  }

  TempDir dir_;
  std::string temp_ = dir_.file("temp");
  std::string target_ = dir_.file("target");
  std::string setupExe_ = dir_.file("nxflow_setup.exe");
  std::string stub_;
  SetupProcess setup_;
};

// Install with the licence read and accepted, then a second run that removes it all.
TEST_F(WizardFlow, InstallThroughTheLicenceThenRemove) {
  const std::vector<Component> components = componentsWithLibrary();
  writeSetup(components);
  launch();

  // Page 0 on a fresh system: only "Install or Update", which is selected.
  HWND wizard = waitWizardOnPage(0);
  ASSERT_TRUE(wizard) << "no wizard; windows:" << describeWindows(setup_.pid());
  WizardView view(wizard);
  ASSERT_TRUE(view.complete());
  wchar_t caption[128] = {};
  ::GetWindowTextW(wizard, caption, 128);
  EXPECT_TRUE(std::wstring(caption).starts_with(L"nx-Dev Setup v")) << "caption";
  EXPECT_NE(allTexts(wizard).find(L"Flow test package"), std::wstring::npos) << "title";
  EXPECT_TRUE(checked(view.optInstall));
  EXPECT_TRUE(enabled(view.optInstall));
  EXPECT_FALSE(enabled(view.optRepair));
  EXPECT_FALSE(enabled(view.optRemove));
  EXPECT_EQ(textOf(view.next), L"&Next");
  saveShot(wizard, "flow_page0_fresh");

  // Next: the licence, modal over the wizard.
  click(view.next);
  const HWND eula = setup_.waitWindow(kEulaClass, L"End User License Agreement");
  ASSERT_TRUE(eula) << "no licence; windows:" << describeWindows(setup_.pid());
  EXPECT_TRUE(waitFor([&] { return !enabled(wizard); }, 5000))
      << "the wizard stays usable under the licence";
  readLicenceToTheEnd(eula, true);
  if (HasFatalFailure()) return;
  click(findChild(eula, L"Button", L"Accept"));

  // Page 1 while the library registers: the button is off and closing is refused.
  ASSERT_TRUE(waitFor([&] { return !visible(eula); }));
  EXPECT_EQ(view.page(), 1);
  if (view.page() == 1) {
    EXPECT_FALSE(enabled(view.next)) << "Next available while the process runs";
    saveShot(wizard, "flow_page1");
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(wizard, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    ::SendMessageTimeoutW(wizard, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
    EXPECT_TRUE(::IsWindow(wizard)) << "the wizard closed while the process ran";
  }

  // Page 2: the result, no restart.
  ASSERT_TRUE(waitFor([&] { return view.page() == 2; }))
      << "page 2 not reached; windows:" << describeWindows(setup_.pid());
  EXPECT_EQ(textOf(view.finalMsg), L"Install/Update process completed successfully.");
  EXPECT_FALSE(visible(view.rebootMsg));
  EXPECT_FALSE(visible(view.needReboot));
  EXPECT_TRUE(enabled(view.next));
  saveShot(wizard, "flow_page2_install");
  EXPECT_EQ(closeFinalPage(wizard), kExitOk);

  for (const Component& c : components) EXPECT_EQ(test::readBytes(installed(c.name)), c.data);
  EXPECT_TRUE(slowLibraryRegistered());
  EXPECT_TRUE(folderIsEmpty(temp_)) << "work folder left behind";
  EXPECT_TRUE(logHas("   -in use files: NO")) << log();
  EXPECT_TRUE(logHas("   -type: install or update"));
  EXPECT_TRUE(logHas("   -eula: user agree"));
  EXPECT_TRUE(logHas("   -step: 1"));
  EXPECT_TRUE(logHas("   -NXFLOW_A.TXT: YES"));
  EXPECT_TRUE(logHas("   -NXENG_SLOW.DLL: success"));
  EXPECT_TRUE(logHas("   -step: 3"));
  EXPECT_TRUE(logHas("   -main exit: no reboot"));

  // Second run: the installation is found; Remove takes it away without the licence.
  launch();
  wizard = waitWizardOnPage(0);
  ASSERT_TRUE(wizard) << "no wizard; windows:" << describeWindows(setup_.pid());
  view = WizardView(wizard);
  ASSERT_TRUE(view.complete());
  EXPECT_TRUE(checked(view.optInstall));
  EXPECT_TRUE(enabled(view.optRepair));
  EXPECT_TRUE(enabled(view.optRemove));
  click(view.optRemove);
  ASSERT_TRUE(waitFor([&] { return checked(view.optRemove); }, 5000));
  EXPECT_FALSE(checked(view.optInstall));
  saveShot(wizard, "flow_page0_second");
  click(view.next);
  ASSERT_TRUE(waitFor([&] { return view.page() == 2; }))
      << "page 2 not reached; windows:" << describeWindows(setup_.pid());
  EXPECT_EQ(textOf(view.finalMsg), L"Remove process completed successfully.");
  EXPECT_FALSE(visible(view.needReboot));
  saveShot(wizard, "flow_page2_remove");
  EXPECT_EQ(closeFinalPage(wizard), kExitOk);

  EXPECT_TRUE(folderIsEmpty(target_)) << "files left after Remove";
  EXPECT_FALSE(slowLibraryRegistered());
  EXPECT_TRUE(logHas("   -previous installed components: YES")) << log();
  EXPECT_TRUE(logHas("   -type: remove"));
  EXPECT_EQ(log().find("   -eula:"), std::string::npos) << "Remove asked for the licence";
  EXPECT_TRUE(logHas("   -step: 1"));
  EXPECT_TRUE(logHas("      .delete action:ok"));
  EXPECT_TRUE(logHas("   -main exit: no reboot"));
}

TEST_F(WizardFlow, DecliningTheLicenceEndsWithoutCopying) {
  writeSetup(textComponents());
  launch();
  const HWND wizard = waitWizardOnPage(0);
  ASSERT_TRUE(wizard) << "no wizard; windows:" << describeWindows(setup_.pid());
  const WizardView view(wizard);
  ASSERT_TRUE(view.complete());
  click(view.next);
  const HWND eula = setup_.waitWindow(kEulaClass);
  ASSERT_TRUE(eula) << "no licence; windows:" << describeWindows(setup_.pid());
  EXPECT_FALSE(enabled(findChild(eula, L"Button", L"Accept")));
  click(findChild(eula, L"Button", L"Decline"));

  // The wizard goes with the licence; only the log box is left.
  EXPECT_EQ(confirmLogSaved(), kExitDeclined);
  EXPECT_TRUE(folderIsEmpty(target_)) << "a file was copied";
  EXPECT_TRUE(folderIsEmpty(temp_)) << "work folder left behind";
  EXPECT_TRUE(logHas("   -eula: user decline")) << log();
  EXPECT_EQ(log().find("   -step: 1"), std::string::npos) << "the process ran";
  EXPECT_TRUE(logHas("   -main exit: no reboot"));
}

class InUseFlow : public WizardFlow {
 protected:
  // An older copy of the first component, installed before and held open by "another program".
  void holdInstalledFile() {
    held_ = installed("NXFLOW_A.TXT");
    test::writeBytes(held_, "older copy");
    setLastWrite(held_, 2001);
    holder_.reset(::CreateFileA(held_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder_) << "cannot hold " << held_;
  }

  // The in-use box, which must name the held file.
  HWND waitInUseBox() {
    const HWND box = setup_.waitWindow(kBoxClass, L"In-use files");
    if (!box) {
      ADD_FAILURE() << "no in-use box; windows:" << describeWindows(setup_.pid());
      return nullptr;
    }
    const std::wstring text = lower(allTexts(box));
    EXPECT_NE(text.find(L"some files are currently in use by another application."),
              std::wstring::npos);
    EXPECT_NE(text.find(L"in-use files:"), std::wstring::npos);
    EXPECT_NE(text.find(L"nxflow_a.txt"), std::wstring::npos) << "held file not listed";
    EXPECT_EQ(text.find(L"nxflow_b.dat"), std::wstring::npos) << "free file listed";
    EXPECT_TRUE(findChild(box, L"Button", L"Abort"));
    return box;
  }

  // Presses one of the box's buttons and waits for the box to go.
  void answer(HWND box, const wchar_t* button) {
    const HWND b = findChild(box, L"Button", button);
    ASSERT_TRUE(b) << "no button";
    click(b);
    ASSERT_TRUE(waitFor([&] { return !::IsWindow(box) || !visible(box); }, 10000));
  }

  std::string held_;
  FileHandle holder_;
  PendingRenamesGuard pending_;
};

TEST_F(InUseFlow, RetryAsksAgainUntilTheFileIsReleased) {
  writeSetup(textComponents());
  holdInstalledFile();
  if (HasFatalFailure()) return;
  launch();

  HWND box = waitInUseBox();
  ASSERT_TRUE(box);
  saveShot(box, "flow_inuse_box");
  answer(box, L"Retry");
  if (HasFatalFailure()) return;
  // Still held: the box comes back.
  box = waitInUseBox();
  ASSERT_TRUE(box);
  holder_.reset();
  answer(box, L"Retry");
  if (HasFatalFailure()) return;

  // Released: the wizard, with the older copy counted as a previous installation.
  const HWND wizard = waitWizardOnPage(0);
  ASSERT_TRUE(wizard) << "no wizard; windows:" << describeWindows(setup_.pid());
  EXPECT_TRUE(setup_.waitWindow(kBoxClass, L"In-use files", 300) == nullptr);
  const WizardView view(wizard);
  ASSERT_TRUE(view.complete());
  EXPECT_TRUE(enabled(view.optRepair));
  EXPECT_TRUE(enabled(view.optRemove));

  // Closing the wizard before any work ends the setup as aborted, the files untouched.
  ::PostMessageW(wizard, WM_CLOSE, 0, 0);
  EXPECT_EQ(confirmLogSaved(), kExitAborted);
  EXPECT_EQ(test::readBytes(held_), "older copy");
  EXPECT_FALSE(fileExists(installed("NXFLOW_B.DAT")));
  EXPECT_TRUE(folderIsEmpty(temp_)) << "work folder left behind";
  const std::string text = log();
  const std::string retry = "   -in use files: YES\r\n   -user action: retry\r\n";
  const std::size_t first = text.find(retry);
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_NE(text.find(retry, first + retry.size()), std::string::npos) << "one retry logged";
  EXPECT_TRUE(logHas("   -in use files: NO"));
  EXPECT_EQ(text.find("   -step: 1"), std::string::npos) << "the process ran";
  EXPECT_TRUE(logHas("   -main exit: no reboot"));
}

TEST_F(InUseFlow, IgnoreLeavesTheFileForTheRestart) {
  writeSetup(textComponents());
  holdInstalledFile();
  if (HasFatalFailure()) return;
  launch();

  const HWND box = waitInUseBox();
  ASSERT_TRUE(box);
  answer(box, L"Ignore");
  if (HasFatalFailure()) return;
  const HWND wizard = waitWizardOnPage(0);
  ASSERT_TRUE(wizard) << "no wizard; windows:" << describeWindows(setup_.pid());
  const WizardView view(wizard);
  ASSERT_TRUE(view.complete());
  click(view.next);
  const HWND eula = setup_.waitWindow(kEulaClass);
  ASSERT_TRUE(eula) << "no licence; windows:" << describeWindows(setup_.pid());
  readLicenceToTheEnd(eula, false);
  if (HasFatalFailure()) return;
  click(findChild(eula, L"Button", L"Accept"));

  // Page 2 asks for the restart, ticked; the test unticks it before closing.
  ASSERT_TRUE(waitFor([&] { return view.page() == 2; }))
      << "page 2 not reached; windows:" << describeWindows(setup_.pid());
  EXPECT_EQ(textOf(view.finalMsg), L"Install/Update process completed successfully.");
  EXPECT_TRUE(visible(view.rebootMsg));
  EXPECT_TRUE(visible(view.needReboot));
  EXPECT_TRUE(checked(view.needReboot));
  saveShot(wizard, "flow_page2_restart");
  click(view.needReboot);
  ASSERT_TRUE(waitFor([&] { return !checked(view.needReboot); }, 5000))
      << "the restart box stays ticked";
  EXPECT_EQ(closeFinalPage(wizard), kExitRebootRequired);

  // The held file waits for the restart; the other one is in place.
  EXPECT_EQ(test::readBytes(held_), "older copy");
  EXPECT_EQ(test::readBytes(installed("NXFLOW_B.DAT")), textComponents()[1].data);
  EXPECT_NE(PendingRenamesGuard::current().find("nxflow_a.txt"), std::string::npos)
      << "no replacement scheduled";
  EXPECT_TRUE(logHas("   -user action: ignore")) << log();
  EXPECT_TRUE(logHas("      .file in use: yes"));
  EXPECT_TRUE(logHas("      .replace on boot: yes"));
  EXPECT_TRUE(logHas("   -reboot needed: yes"));
  EXPECT_TRUE(logHas("   -main exit: no reboot"));
}

}  // namespace
}  // namespace nx::setup::win
