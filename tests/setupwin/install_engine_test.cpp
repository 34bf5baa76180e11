#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "nxsetup/pe_image.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/install_engine.h"
#include "nxsetupwin/reboot_actions.h"
#include "nxsetupwin/registration.h"
#include "nxsetupwin/sys_info.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::TempDir;
using Lines = std::vector<std::string>;

constexpr const char* kTestKey = "Software\\nxinstall_engine_test";
constexpr const char* kSessionManager = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kPendingRenames = L"PendingFileRenameOperations";

// Records what the engine shows.
class RecordingUi final : public EngineUi {
 public:
  void setBar(int value) override { bars.push_back(value); }
  void setStatus(std::string_view text) override { statuses.emplace_back(text); }
  void pump() override { ++pumps; }
  void tickReboot() override { ticked = true; }

  std::vector<int> bars;
  Lines statuses;
  int pumps = 0;
  bool ticked = false;
};

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool endsWithNoCase(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && lower(text.substr(text.size() - tail.size())) == lower(tail);
}

std::string shortPathOf(const std::string& path) {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  return n > 0 && n <= MAX_PATH ? std::string(buffer, n) : path;
}

std::string windowsPathOf(const char* unixPath) {
  return std::string(unixPath).empty() ? std::string() : test::unixToWindows(unixPath);
}

// A package of files in a work folder and their targets in a target folder.
class Package {
 public:
  Package() { info.files.reserve(16); }  // entries handed out stay where they are
  FileEntry& add(const std::string& name, const std::string& content = {}) {
    FileEntry entry;
    entry.name = name;
    entry.sourcePath = work.file(name);
    entry.targetPath = targets.file(name);
    entry.dateModified = {2020, 6, 1, 12, 0, 0};
    entry.dateCreated = entry.dateModified;
    test::writeBytes(entry.sourcePath, content.empty() ? "fresh " + name : content);
    info.files.push_back(entry);
    info.fileCount = static_cast<std::int32_t>(info.files.size());
    return info.files.back();
  }
  // An installed copy with the given content and last-write time.
  void install(const FileEntry& entry, const std::string& content, const DateTime& written) {
    test::writeBytes(entry.targetPath, content);
    ASSERT_TRUE(setFileTimes(entry.targetPath, written, written, written, true));
  }

  TempDir work, targets, reboot;
  InstallInfo info;
};

struct EngineRun {
  explicit EngineRun(const Package& package, bool previous, EngineOptions options = {})
      : log(true, [] { return Lines{}; }),
        engine(
            package.info, previous, log, ui, [this] { ++cleanUps; }, withReboot(package, options)) {
  }

  static EngineOptions withReboot(const Package& package, EngineOptions options) {
    if (options.rebootFolderBase.empty()) options.rebootFolderBase = package.reboot.path();
    return options;
  }
  bool logged(const std::string& line) const {
    return std::find(log.entries().begin(), log.entries().end(), line) != log.entries().end();
  }

  SetupLog log;
  RecordingUi ui;
  int cleanUps = 0;
  InstallEngine engine;
};

// Holds a file open for reading while denying others the right to write it.
FileHandle holdOpen(const std::string& path) {
  return FileHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The pending renames of the next start: pairs of source and target (empty: delete).
std::vector<std::pair<std::string, std::string>> pendingRenames() {
  std::vector<std::pair<std::string, std::string>> pairs;
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_QUERY_VALUE, &opened) != 0) {
    return pairs;
  }
  const RegKey key(opened);
  DWORD type = 0, bytes = 0;
  if (::RegQueryValueExW(key.get(), kPendingRenames, nullptr, &type, nullptr, &bytes) != 0) {
    return pairs;
  }
  std::wstring data(bytes / sizeof(wchar_t) + 1, L'\0');
  if (::RegQueryValueExW(key.get(), kPendingRenames, nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &bytes) != 0) {
    return pairs;
  }
  data.resize(bytes / sizeof(wchar_t));
  // Pairs run while a source follows; a delete has an empty target inside the list.
  std::vector<std::string> strings;
  std::size_t at = 0;
  while (at < data.size()) {
    const std::size_t end = std::min(data.find(L'\0', at), data.size());
    std::string narrow;
    for (std::size_t i = at; i < end; ++i) narrow += static_cast<char>(data[i]);
    strings.push_back(narrow);
    at = end + 1;
  }
  for (std::size_t i = 0; i + 1 < strings.size() && !strings[i].empty(); i += 2) {
    pairs.emplace_back(strings[i], strings[i + 1]);
  }
  return pairs;
}

// Removes the pending renames whose source ends in one of `sources`, so that no later start of
// the prefix acts on them.
void dropPendingRenames(const std::vector<std::string>& sources) {
  auto pairs = pendingRenames();
  std::erase_if(pairs, [&](const auto& pair) {
    return std::any_of(sources.begin(), sources.end(),
                       [&](const std::string& s) { return endsWithNoCase(pair.first, s); });
  });
  HKEY opened = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &opened), 0);
  const RegKey key(opened);
  if (pairs.empty()) {
    ::RegDeleteValueW(key.get(), kPendingRenames);
    return;
  }
  std::wstring data;
  for (const auto& [source, target] : pairs) {
    data += std::wstring(source.begin(), source.end()) + L'\0';
    data += std::wstring(target.begin(), target.end()) + L'\0';
  }
  data += L'\0';
  ::RegSetValueExW(key.get(), kPendingRenames, 0, REG_MULTI_SZ,
                   reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

bool pendingRename(const std::string& source, const std::string& target) {
  for (const auto& [from, to] : pendingRenames()) {
    if (endsWithNoCase(from, source) &&
        (target.empty() ? to.empty() : endsWithNoCase(to, target))) {
      return true;
    }
  }
  return false;
}

REGSAM nativeView() {
  return isWindows64() ? KEY_WOW64_64KEY : 0;
}

// The RunOnce value as stored: text and byte count; nothing when it is missing.
std::optional<std::pair<std::string, DWORD>> runOnceValue(const std::string& name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kRunOnceKey).c_str(), 0,
                      KEY_QUERY_VALUE | nativeView(), &opened) != 0) {
    return std::nullopt;
  }
  const RegKey key(opened);
  char data[1024] = {};
  DWORD type = 0, bytes = sizeof data - 1;
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data),
                         &bytes) != 0 ||
      type != REG_SZ) {
    return std::nullopt;
  }
  return std::make_pair(std::string(data), bytes);
}

void deleteRunOnceValue(const std::string& name) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, std::string(kRunOnceKey).c_str(), 0,
                      KEY_SET_VALUE | nativeView(), &opened) == 0) {
    const RegKey key(opened);
    ::RegDeleteValueA(key.get(), name.c_str());
  }
}

// The value a test library writes when it registers, read in the given registry view.
std::optional<std::string> registeredValue(const std::string& name, REGSAM view = 0) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_QUERY_VALUE | view, &opened) != 0) {
    return std::nullopt;
  }
  const RegKey key(opened);
  char data[64] = {};
  DWORD bytes = sizeof data - 1;
  if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                         &bytes) != 0) {
    return std::nullopt;
  }
  return std::string(data);
}

void deleteTestKey() {
  for (REGSAM view : {REGSAM{0}, REGSAM{KEY_WOW64_32KEY}, REGSAM{KEY_WOW64_64KEY}}) {
    ::RegDeleteKeyExA(HKEY_CURRENT_USER, kTestKey, view, 0);
  }
}

bool waitFor(const std::function<bool()>& condition, DWORD ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(20);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

TEST(InstallEngine, UpdateDecisionsByVersionAndDate) {
  Package p;
  const std::string zlib = test::readBytes(test::unixToWindows(NX_ZLIB_DLL_PATH));
  const DateTime older{2001, 1, 1, 0, 0, 0}, newer{2030, 1, 1, 0, 0, 0};
  struct Case {
    const char* name;
    const char* version;  // of the entry; the installed file carries zlib's
    DateTime installed;
    bool replaced;
  };
  // Entry dates are 2020-06-01 12:00:00.
  const Case cases[] = {
      {"OLDERVER.DLL", "99.0", newer, true},    // older version, newer date
      {"SAMEVEROLDTIME.DLL", "", older, true},  // same version, older time
      {"SAMEVERSAMETIME.DLL", "", {2020, 6, 1, 12, 0, 0}, false},
      {"SAMEVERNEWTIME.DLL", "", newer, false},
      {"NEWERINSTALLED.DLL", "0.1", older, false},  // never downgraded
      {"NOVERSION.DLL", nullptr, older, true},      // the entry names no version
  };
  for (const Case& c : cases) {
    FileEntry& entry = p.add(c.name);
    p.install(entry, zlib, c.installed);
    const std::string installedVersion = nxkFileInfo(entry.targetPath).text(kItemFileVersion);
    ASSERT_EQ(installedVersion, "1.2.13");
    entry.version = c.version == nullptr ? "" : (*c.version ? c.version : installedVersion.c_str());
  }
  EngineRun run(p, false);
  const EngineOutcome outcome = run.engine.runInstall(false);
  EXPECT_TRUE(outcome.succeeded());
  EXPECT_FALSE(outcome.rebootNeeded);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const FileEntry& entry = *std::find_if(p.info.files.begin(), p.info.files.end(),
                                           [&](const FileEntry& e) { return e.name == c.name; });
    EXPECT_TRUE(run.logged("   -" + entry.name + (c.replaced ? ": YES" : ": NO")));
    EXPECT_EQ(test::readBytes(entry.targetPath) == "fresh " + entry.name, c.replaced);
  }
  EXPECT_TRUE(
      std::count(run.ui.statuses.begin(), run.ui.statuses.end(), "Skipping SAMEVERNEWTIME.DLL"));

  // Repair replaces every one of them.
  for (const Case& c : cases) {
    FileEntry& entry = *std::find_if(p.info.files.begin(), p.info.files.end(),
                                     [&](const FileEntry& e) { return e.name == c.name; });
    p.install(entry, zlib, newer);
  }
  EngineRun repair(p, false);
  EXPECT_TRUE(repair.engine.runInstall(true).succeeded());
  for (const FileEntry& entry : p.info.files) {
    EXPECT_TRUE(repair.logged("   -" + entry.name + ": YES")) << entry.name;
    EXPECT_EQ(test::readBytes(entry.targetPath), "fresh " + entry.name);
  }
}

TEST(InstallEngine, LogStatusAndBarOfASmallInstall) {
  Package p;
  p.add("NEW.OCX");
  const FileEntry& old = p.add("OLD.DLL");
  p.install(old, "old", {2019, 1, 1, 0, 0, 0});
  const FileEntry& same = p.add("SAME.DLL");
  p.install(same, "same", same.dateModified);

  EngineRun run(p, false);
  const EngineOutcome outcome = run.engine.runInstall(false);
  EXPECT_EQ(run.log.entries(), (Lines{
                                   "   -start install",
                                   "   -file update",
                                   "   -NEW.OCX: YES",
                                   "      .file exists: no",
                                   "   -OLD.DLL: YES",
                                   "      .file exists: yes",
                                   "      .file in use: no",
                                   "      .deleting old: ok",
                                   "      .copy process: ok",
                                   "   -SAME.DLL: NO",
                                   "   -register: begin",
                                   "   -NEW.OCX: skipped",
                                   "   -OLD.DLL: skipped",
                                   "   -SAME.DLL: skipped",
                                   "   -register: end",
                                   "   -reboot needed: no",
                                   "   -finish install",
                               }));
  EXPECT_EQ(run.ui.statuses, (Lines{"Updating NEW.OCX", "Updating OLD.DLL", "Skipping SAME.DLL",
                                    "Registering components...", "Cleaning up..."}));
  EXPECT_EQ(run.ui.bars, (std::vector<int>{0, 10, 27, 43, 60, 60, 67, 73, 80, 90, 100}));
  EXPECT_GE(run.ui.pumps, 8);
  EXPECT_EQ(run.cleanUps, 1);
  EXPECT_TRUE(outcome.succeeded());
  EXPECT_FALSE(run.ui.ticked);
  EXPECT_EQ(test::readBytes(p.targets.file("NEW.OCX")), "fresh NEW.OCX");
  EXPECT_EQ(test::readBytes(p.targets.file("OLD.DLL")), "fresh OLD.DLL");
  EXPECT_EQ(test::readBytes(p.targets.file("SAME.DLL")), "same");
  EXPECT_TRUE(run.engine.rebootFolder().empty());
}

TEST(InstallEngine, MissingTargetFolderIsLoggedAndCounted) {
  Package p;
  FileEntry& lost = p.add("LOST.DLL");
  lost.targetPath = p.targets.file("no folder\\LOST.DLL");
  lost.registerFile = true;
  p.add("NEXT.DLL");
  EngineRun run(p, false);
  const EngineOutcome outcome = run.engine.runInstall(false);
  EXPECT_TRUE(run.logged("      .silent error: " + systemErrorText(ERROR_PATH_NOT_FOUND)));
  EXPECT_FALSE(fileExists(p.targets.file("no folder")));  // not created
  // The process went on with the next file; the lost one is neither registered nor skipped.
  EXPECT_EQ(test::readBytes(p.targets.file("NEXT.DLL")), "fresh NEXT.DLL");
  EXPECT_TRUE(run.logged("   -LOST.DLL:"));
  EXPECT_EQ(outcome.filesFailed, 1);
  EXPECT_FALSE(outcome.succeeded());
  EXPECT_EQ(run.log.entries().back(), "   -finish install");
}

TEST(InstallEngine, TargetInUseWaitsForTheNextStart) {
  Package p;
  FileEntry& busy = p.add("BUSY.DLL");
  busy.registerFile = true;
  p.install(busy, "old", {2001, 1, 1, 0, 0, 0});
  std::vector<std::string> scheduled;
  const std::string valueName = runOnceValueName("BUSY.DLL");
  {
    const FileHandle hold = holdOpen(busy.targetPath);
    ASSERT_TRUE(hold);
    EngineRun run(p, false);
    const EngineOutcome outcome = run.engine.runInstall(false);
    ASSERT_EQ(run.engine.rebootActions().size(), 1u);
    const RebootAction& action = run.engine.rebootActions()[0];
    scheduled.push_back(shortPathOf(action.source));
    EXPECT_EQ(run.log.entries(), (Lines{
                                     "   -start install",
                                     "   -file update",
                                     "   -BUSY.DLL: YES",
                                     "      .file exists: yes",
                                     "      .file in use: yes",
                                     "      .replace on boot: yes",
                                     "   -register: begin",
                                     "   -BUSY.DLL: reg on boot",
                                     "   -register: end",
                                     "   -reboot needed: yes",
                                     "   -reboot actions:",
                                     "      .copy: BUSY.DLL",
                                     "      .regsvr: BUSY.DLL",
                                     "   -finish install",
                                 }));
    EXPECT_TRUE(run.ui.ticked);
    EXPECT_TRUE(outcome.rebootNeeded);
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(
        std::count(run.ui.statuses.begin(), run.ui.statuses.end(), "Setting reboot actions..."), 1);
    // The new copy waits in the reboot folder, made in the given base folder.
    EXPECT_EQ(lower(action.source), lower(run.engine.rebootFolder() + "\\BUSY.DLL"));
    EXPECT_EQ(lower(run.engine.rebootFolder().substr(0, p.reboot.path().size())),
              lower(p.reboot.path()));
    EXPECT_EQ(test::readBytes(action.source), "fresh BUSY.DLL");
    EXPECT_EQ(action.target, busy.targetPath);
    EXPECT_TRUE(action.registerFile);
    EXPECT_TRUE(pendingRename(shortPathOf(action.source), shortPathOf(busy.targetPath)));

    const auto value = runOnceValue(valueName);
    ASSERT_TRUE(value.has_value());
    const std::string command = "regsvr32.exe /s \"" + busy.targetPath + "\"";
    EXPECT_EQ(value->first, command);
    EXPECT_EQ(value->second, command.size() + 1);  // stored with its terminating zero
  }
  EXPECT_EQ(test::readBytes(busy.targetPath), "old");
  deleteRunOnceValue(valueName);
  dropPendingRenames(scheduled);
  EXPECT_FALSE(runOnceValue(valueName).has_value());
}

TEST(InstallEngine, NoRebootFolderMeansTheFileFailed) {
  Package p;
  FileEntry& busy = p.add("BUSY.DLL");
  p.install(busy, "old", {2001, 1, 1, 0, 0, 0});
  const FileHandle hold = holdOpen(busy.targetPath);
  ASSERT_TRUE(hold);
  EngineOptions options;
  options.rebootFolderBase = p.reboot.file("missing");
  EngineRun run(p, false, options);
  const EngineOutcome outcome = run.engine.runInstall(false);
  EXPECT_TRUE(run.logged("      .replace on boot: yes"));
  EXPECT_TRUE(run.logged("      .reboot folder: failed"));
  EXPECT_TRUE(run.logged("   -reboot needed: no"));
  EXPECT_TRUE(run.engine.rebootActions().empty());
  EXPECT_EQ(outcome.filesFailed, 1);
  EXPECT_FALSE(outcome.rebootNeeded);
  EXPECT_FALSE(run.ui.ticked);
}

TEST(InstallEngine, RemoveDeletesAndSchedulesFilesInUse) {
  Package p;
  const FileEntry& loose = p.add("FREE.DLL");
  p.install(loose, "installed", {2001, 1, 1, 0, 0, 0});
  const FileEntry& busy = p.add("BUSY.DLL");
  p.install(busy, "installed", {2001, 1, 1, 0, 0, 0});
  p.add("GONE.DLL");
  {
    const FileHandle hold = holdOpen(busy.targetPath);
    ASSERT_TRUE(hold);
    EngineRun run(p, true);
    const EngineOutcome outcome = run.engine.runRemove();
    EXPECT_EQ(run.log.entries(), (Lines{
                                     "   -start remove",
                                     "   -unregister: begin",
                                     "   -FREE.DLL: skipped",
                                     "   -BUSY.DLL: skipped",
                                     "   -GONE.DLL: skipped",
                                     "   -unregister: end",
                                     "   -file delete",
                                     "   -FREE.DLL",
                                     "      .file exists: yes",
                                     "      .file in use: no",
                                     "      .delete action:ok",
                                     "   -BUSY.DLL",
                                     "      .file exists: yes",
                                     "      .file in use: yes",
                                     "      .delete on boot: yes",
                                     "   -GONE.DLL",
                                     "      .file exists: no",
                                     "   -finish remove",
                                 }));
    EXPECT_EQ(run.ui.statuses, (Lines{"Unregistering components...", "Removing FREE.DLL",
                                      "Removing BUSY.DLL", "Removing GONE.DLL", "Cleaning up..."}));
    // The bar never runs backwards.
    EXPECT_TRUE(std::is_sorted(run.ui.bars.begin(), run.ui.bars.end()));
    EXPECT_EQ(run.ui.bars.back(), 100);
    EXPECT_EQ(run.cleanUps, 1);
    EXPECT_TRUE(run.ui.ticked);
    EXPECT_TRUE(outcome.rebootNeeded);
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_FALSE(fileExists(loose.targetPath));
    EXPECT_TRUE(fileExists(busy.targetPath));
    EXPECT_TRUE(pendingRename(shortPathOf(busy.targetPath), ""));
  }
  dropPendingRenames({shortPathOf(busy.targetPath)});
  EXPECT_FALSE(pendingRename(shortPathOf(busy.targetPath), ""));
}

TEST(InstallEngine, RegistersAfterInstallAndUnregistersOnRemove) {
  deleteTestKey();
  Package p;
  FileEntry& lib = p.add("NXENG_REG.DLL", test::readBytes(windowsPathOf(NX_ENGINE_REG_DLL)));
  lib.registerFile = true;
  {
    EngineRun run(p, false);
    EXPECT_TRUE(run.engine.runInstall(false).succeeded());
    EXPECT_TRUE(run.logged("   -NXENG_REG.DLL: success"));
    EXPECT_EQ(registeredValue("nxeng_reg"), "registered");
  }
  {
    EngineRun run(p, true);
    EXPECT_TRUE(run.engine.runRemove().succeeded());
    EXPECT_TRUE(run.logged("   -unregister: begin"));
    EXPECT_TRUE(run.logged("   -NXENG_REG.DLL: success"));
    EXPECT_TRUE(run.logged("      .delete action:ok"));  // the library was let go
    EXPECT_FALSE(registeredValue("nxeng_reg").has_value());
  }
  deleteTestKey();
}

TEST(InstallEngine, FailedRegistrationIsCounted) {
  Package p;
  FileEntry& lib = p.add("NXENG_FAIL.DLL", test::readBytes(windowsPathOf(NX_ENGINE_FAIL_DLL)));
  lib.registerFile = true;
  EngineRun run(p, false);
  const EngineOutcome outcome = run.engine.runInstall(false);
  EXPECT_TRUE(run.logged("   -NXENG_FAIL.DLL: failed"));
  EXPECT_EQ(outcome.registrationsFailed, 1);
  EXPECT_EQ(outcome.filesFailed, 0);
  EXPECT_FALSE(outcome.succeeded());
}

// ---------------------------------------------------------------------------------------------

TEST(RegisterComponent, SameBitnessLibraryInProcess) {
  deleteTestKey();
  const std::string dll = windowsPathOf(NX_ENGINE_REG_DLL);
  ASSERT_EQ(fileMachine(dll), processMachine());
  EXPECT_TRUE(registerComponent(dll, true));
  EXPECT_EQ(registeredValue("nxeng_reg"), "registered");
  EXPECT_EQ(::GetModuleHandleA("nxeng_reg.dll"), nullptr);  // freed after its entry returned
  EXPECT_TRUE(registerComponent(dll, false));
  EXPECT_FALSE(registeredValue("nxeng_reg").has_value());
  EXPECT_FALSE(registerComponent(windowsPathOf(NX_ENGINE_FAIL_DLL), true));
  deleteTestKey();
}

TEST(RegisterComponent, BadPathsFail) {
  TempDir dir;
  const std::string text = dir.file("plain.dll");
  test::writeBytes(text, "not a library");
  EXPECT_FALSE(registerComponent("", true));
  EXPECT_FALSE(registerComponent(dir.file("missing.dll"), true));
  EXPECT_FALSE(registerComponent(text, true));
  EXPECT_FALSE(registerComponent(dir.path(), true));  // a folder
  // A library without the entries: this test program's zlib.
  const std::string zlib = dir.file("zlib1.dll");
  test::writeBytes(zlib, test::readBytes(test::unixToWindows(NX_ZLIB_DLL_PATH)));
  EXPECT_FALSE(registerComponent(zlib, true));
}

TEST(RegisterComponent, EntryOutlivingTheWaitFailsAndKeepsItsLibrary) {
  deleteTestKey();
  const std::string dll = windowsPathOf(NX_ENGINE_SLOW_DLL);
  RegistrationOptions options;
  options.waitMs = 300;
  const ULONGLONG started = ::GetTickCount64();
  EXPECT_FALSE(registerComponent(dll, true, options));
  EXPECT_LT(::GetTickCount64() - started, 1400u);  // returned after the wait, not the entry
  // The entry goes on with its library loaded, finishes, and the library is let go after it.
  EXPECT_NE(::GetModuleHandleA("nxeng_slow.dll"), nullptr);
  EXPECT_TRUE(waitFor([] { return registeredValue("nxeng_slow").has_value(); }, 10000));
  EXPECT_TRUE(waitFor([] { return ::GetModuleHandleA("nxeng_slow.dll") == nullptr; }, 5000));
  deleteTestKey();
}

TEST(RegisterComponent, OtherBitnessThroughItsRegsvr32) {
  const std::string dll = windowsPathOf(NX_ENGINE_OTHER_DLL);
  if (dll.empty() || !fileExists(dll)) {
    GTEST_SKIP() << "no library of the other bitness was built (its cross compiler is missing)";
  }
  if (!isWindows64()) GTEST_SKIP() << "a 64-bit library cannot be registered on 32-bit Windows";
  deleteTestKey();
  const auto machine = fileMachine(dll);
  ASSERT_TRUE(machine.has_value());
  ASSERT_NE(*machine, processMachine());
  const REGSAM view = *machine == kPeMachineI386 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  EXPECT_TRUE(registerComponent(dll, true));
  EXPECT_EQ(registeredValue("nxeng_other", view), "registered");
  EXPECT_TRUE(registerComponent(dll, false));
  EXPECT_FALSE(registeredValue("nxeng_other", view).has_value());
  deleteTestKey();
}

TEST(RegistrationPlan, RouteByBitness) {
  const std::string win = "C:\\Windows";
  EXPECT_EQ(planRegistration(kPeMachineAmd64, kPeMachineAmd64, true, win).route,
            RegistrationRoute::InProcess);
  EXPECT_EQ(planRegistration(kPeMachineI386, kPeMachineI386, false, win).route,
            RegistrationRoute::InProcess);
  const RegistrationPlan wow = planRegistration(kPeMachineI386, kPeMachineAmd64, true, win);
  EXPECT_EQ(wow.route, RegistrationRoute::Regsvr32);
  EXPECT_EQ(wow.regsvr32, "C:\\Windows\\SysWOW64\\regsvr32.exe");
  const RegistrationPlan native = planRegistration(kPeMachineAmd64, kPeMachineI386, true, win);
  EXPECT_EQ(native.route, RegistrationRoute::Regsvr32);
  EXPECT_EQ(native.regsvr32, "C:\\Windows\\Sysnative\\regsvr32.exe");
  EXPECT_EQ(planRegistration(kPeMachineAmd64, kPeMachineI386, false, win).route,
            RegistrationRoute::Impossible);
  EXPECT_EQ(planRegistration(0xAA64, kPeMachineAmd64, true, win).route,
            RegistrationRoute::InProcess);  // loading it fails in process
}

TEST(RegistrationPlan, RunOnceCommands) {
  const std::string win = "C:\\Windows";
  EXPECT_EQ(runOnceRegistrationCommand("C:\\A B\\x.ocx", kPeMachineAmd64, true, win),
            "regsvr32.exe /s \"C:\\A B\\x.ocx\"");
  EXPECT_EQ(runOnceRegistrationCommand("C:\\x.ocx", kPeMachineI386, true, win),
            "C:\\Windows\\SysWOW64\\regsvr32.exe /s \"C:\\x.ocx\"");
  EXPECT_EQ(runOnceRegistrationCommand("C:\\x.ocx", kPeMachineI386, true, "C:\\My Windows"),
            "\"C:\\My Windows\\SysWOW64\\regsvr32.exe\" /s \"C:\\x.ocx\"");
  EXPECT_EQ(runOnceRegistrationCommand("C:\\x.ocx", kPeMachineI386, false, win),
            "regsvr32.exe /s \"C:\\x.ocx\"");
  EXPECT_EQ(runOnceRegistrationCommand("C:\\x.ocx", std::nullopt, true, win),
            "regsvr32.exe /s \"C:\\x.ocx\"");
  EXPECT_EQ(runOnceValueName("NXPRESS.OCX"), "nxinstall_sr[NXPRESS.OCX]");
}

TEST(PeMachine, ReadsTheHeaderAndRejectsOtherBytes) {
  EXPECT_EQ(fileMachine(windowsPathOf(NX_ENGINE_REG_DLL)), processMachine());
  TempDir dir;
  test::writeBytes(dir.file("text.dll"), "MZ but nothing more");
  EXPECT_FALSE(fileMachine(dir.file("text.dll")).has_value());
  EXPECT_FALSE(fileMachine(dir.file("missing.dll")).has_value());
  // A header cut off just before the machine field, and one whose PE offset points outside.
  std::vector<std::uint8_t> image(0x44, 0);
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = 0x40;
  image[0x40] = 'P';
  image[0x41] = 'E';
  EXPECT_FALSE(peMachine(image).has_value());
  image.push_back(0x64);
  image.push_back(0x86);
  EXPECT_EQ(peMachine(image), kPeMachineAmd64);
  image[0x3F] = 0x80;
  EXPECT_FALSE(peMachine(image).has_value());
}

// ---------------------------------------------------------------------------------------------

TEST(RebootActions, WininitText) {
  // No file yet.
  EXPECT_EQ(wininitRenameText("", "C:\\WIN\\SYSTEM\\A.OCX", "C:\\TEMP\\TMP1\\A.OCX"),
            "[rename]\r\nNUL=C:\\WIN\\SYSTEM\\A.OCX\r\n"
            "C:\\WIN\\SYSTEM\\A.OCX=C:\\TEMP\\TMP1\\A.OCX\r\n");
  // A file with other sections gets its own "[rename]" section at the end.
  EXPECT_EQ(wininitRenameText("[other]\r\nx=1\r\n", "C:\\A.OCX", ""),
            "[other]\r\nx=1\r\n[rename]\r\nNUL=C:\\A.OCX\r\n");
  // An existing section in any letter case is used; empty lines go.
  EXPECT_EQ(
      wininitRenameText("[Rename]\r\nNUL=C:\\B.OCX\r\n\r\n\r\n\r\n", "C:\\A.OCX", "C:\\T.OCX"),
      "[Rename]\r\nNUL=C:\\B.OCX\r\nNUL=C:\\A.OCX\r\nC:\\A.OCX=C:\\T.OCX\r\n");
  EXPECT_EQ(wininitRenameText("\r\n[rename]", "C:\\A.OCX", ""),
            "\r\n[rename]\r\nNUL=C:\\A.OCX\r\n");
}

TEST(RebootActions, OldFamilyWritesWininit) {
  TempDir windows, files;
  const std::string target = files.file("TARGET.OCX"), source = files.file("SOURCE.OCX");
  test::writeBytes(target, "t");
  test::writeBytes(source, "s");
  const RebootPlatform old{false, windows.path()};
  const std::string ini = windows.file("wininit.ini");
  ASSERT_TRUE(replaceOnReboot(target, source, old));
  const std::string t = shortPathOf(target), s = shortPathOf(source);
  EXPECT_EQ(test::readBytes(ini), "[rename]\r\nNUL=" + t + "\r\n" + t + "=" + s + "\r\n");
  ASSERT_TRUE(deleteOnReboot(target, old));
  EXPECT_EQ(test::readBytes(ini),
            "[rename]\r\nNUL=" + t + "\r\n" + t + "=" + s + "\r\nNUL=" + t + "\r\n");
  test::writeBytes(ini, "[boot]\r\nshell=x\r\n\r\n");
  ASSERT_TRUE(deleteOnReboot(target, old));
  EXPECT_EQ(test::readBytes(ini), "[boot]\r\nshell=x\r\n[rename]\r\nNUL=" + t + "\r\n");
  EXPECT_FALSE(replaceOnReboot("", source, old));
  EXPECT_FALSE(replaceOnReboot(target, source, {false, windows.file("missing")}));
}

TEST(RebootActions, RegistryStringCarriesItsZero) {
  HKEY created = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &created, nullptr),
            0);
  ::RegCloseKey(created);
  const std::string path = kTestKey;
  const std::string text = "regsvr32.exe /s \"x\"";
  EXPECT_TRUE(setRegistryString(kRootCurrentUser, path, "text", text));
  HKEY opened = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_QUERY_VALUE, &opened), 0);
  {
    const RegKey key(opened);
    char data[64] = {};
    DWORD type = 0, bytes = sizeof data;
    ASSERT_EQ(::RegQueryValueExA(key.get(), "text", nullptr, &type, reinterpret_cast<BYTE*>(data),
                                 &bytes),
              0);
    EXPECT_EQ(type, DWORD{REG_SZ});
    EXPECT_EQ(bytes, text.size() + 1);
    EXPECT_EQ(std::string(data), text);
  }
  EXPECT_TRUE(setRegistryString(kRootCurrentUser, path, "empty", ""));
  EXPECT_FALSE(setRegistryString(kRootCurrentUser, path + "\\missing", "x", "y"));  // not created
  EXPECT_FALSE(setRegistryString(4, path, "x", "y"));
  EXPECT_FALSE(setRegistryString(-1, path, "x", "y"));
  deleteTestKey();
}

TEST(RebootActions, ShutdownPrivilegeCanBeEnabled) {
  // Administrators hold the privilege; it is only switched on, nothing is shut down.
  EXPECT_TRUE(enableShutdownPrivilege());
}

}  // namespace
}  // namespace nx::setup::win
