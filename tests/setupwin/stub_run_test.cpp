// Runs nxinstall_stub.exe with setups built here and checks exit codes, log and clean-up.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"
#include "package_builder.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::Member;
using test::TempDir;

struct RunResult {
  DWORD exitCode = 0xFFFFFFFF;
  std::string stdErr;
};

// An environment block like this process's, with TMP and TEMP pointing at `temp`.
std::string environmentWithTemp(const std::string& temp) {
  std::string block;
  const LPCH env = ::GetEnvironmentStringsA();
  for (const char* p = env; *p != '\0'; p += std::strlen(p) + 1) {
    const std::string entry(p);
    if (_strnicmp(p, "TMP=", 4) == 0 || _strnicmp(p, "TEMP=", 5) == 0) continue;
    block += entry;
    block += '\0';
  }
  ::FreeEnvironmentStringsA(env);
  block += "TMP=" + temp;
  block += '\0';
  block += "TEMP=" + temp;
  block += '\0';
  block += '\0';
  return block;
}

RunResult runSetup(const std::string& exe, const std::string& args, const std::string& temp) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readRaw = nullptr, writeRaw = nullptr;
  if (!::CreatePipe(&readRaw, &writeRaw, &inherit, 1 << 16)) return {};
  KernelHandle readEnd(readRaw), writeEnd(writeRaw);
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nullptr;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + exe + "\" " + args;
  std::string environment = environmentWithTemp(temp);
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, environment.data(),
                        nullptr, &startup, &process)) {
    return {};
  }
  const KernelHandle child(process.hProcess);
  const KernelHandle thread(process.hThread);
  writeEnd.reset();
  RunResult result;
  // The output is drained while the program runs; a program that has not ended after a minute
  // is ended (exit code 99) rather than left to hang the test.
  char buffer[4096];
  const DWORD deadline = ::GetTickCount() + 60000;
  auto drain = [&] {
    DWORD available = 0, got = 0;
    while (::PeekNamedPipe(readEnd.get(), nullptr, 0, nullptr, &available, nullptr) &&
           available > 0 && ::ReadFile(readEnd.get(), buffer, sizeof buffer, &got, nullptr) &&
           got > 0)
      result.stdErr.append(buffer, got);
  };
  while (::WaitForSingleObject(child.get(), 50) == WAIT_TIMEOUT) {
    drain();
    if (static_cast<LONG>(::GetTickCount() - deadline) > 0) {
      ::TerminateProcess(child.get(), 99);
      ::WaitForSingleObject(child.get(), 5000);
      result.exitCode = 99;
      result.stdErr += "(the program did not end within a minute)";
      return result;
    }
  }
  drain();
  ::GetExitCodeProcess(child.get(), &result.exitCode);
  return result;
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

class StubRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ::CreateDirectoryA(temp_.c_str(), nullptr);
    ::CreateDirectoryA(targetFolder().c_str(), nullptr);
    stub_ = test::readBytes(test::unixToWindows(NX_STUB_EXE));
    ASSERT_GT(stub_.size(), 1000u);
  }
  void TearDown() override { removeFolder(targetFolder()); }

  static std::vector<Member> goodMembers() {
    std::vector<Member> m{{"nxpress.ocx", std::string(50000, 'p'), true},
                          {"nxcore.dll", "small stored component", false}};
    m.insert(m.begin(), Member{"eula.txt", "Licence text.", true});
    m.insert(m.begin(), Member{"nxinstall.inf", test::installInfoFor(m, kTarget, true), true});
    return m;
  }

  // The package installs its files here, never into the system folder.
  static constexpr const char* kTarget = "%WINDOWS%\\temp\\nxstubrun";

  static std::string targetFolder() { return getSysFolder(kFolderWindows) + "\\temp\\nxstubrun"; }

  RunResult run(const std::string& image, const std::string& args = "/q /l /s") {
    test::writeBytes(setup_, image);
    return runSetup(setup_, args, temp_);
  }

  std::string log() const { return test::readBytes(dir_.file("nxinstall.log")); }
  bool logHas(const std::string& line) const {
    return ("\r\n" + log() + "\r\n").find("\r\n" + line + "\r\n") != std::string::npos;
  }

  TempDir dir_;
  std::string temp_ = dir_.file("temp");
  std::string setup_ = dir_.file("setup.exe");
  std::string stub_;
};

// Whole runs with good and damaged setups are in roundtrip.sh; these need payloads that nxpack
// does not write.
TEST_F(StubRun, SaveNeedsTheLogSwitch) {
  const std::string image = test::buildSetupImage(stub_, test::buildZip(goodMembers()));
  EXPECT_EQ(run(image, "/q /s").exitCode, 0u);
  EXPECT_FALSE(fileExists(dir_.file("nxinstall.log")));
  EXPECT_EQ(run(image, "/q /l").exitCode, 0u);
  EXPECT_FALSE(fileExists(dir_.file("nxinstall.log")));
  EXPECT_EQ(run(image, "/q /l/s").exitCode, 0u);
  EXPECT_FALSE(fileExists(dir_.file("nxinstall.log")));
  EXPECT_TRUE(folderIsEmpty(temp_));
  // The bare program image carries no trailer at all.
  EXPECT_EQ(run(stub_).exitCode, 12u);
  EXPECT_TRUE(logHas("   -read header: failed")) << log();
}

TEST_F(StubRun, MissingOrWrongInstallInformation) {
  std::vector<Member> members = goodMembers();
  members.erase(members.begin());  // no nxinstall.inf
  RunResult r = run(test::buildSetupImage(stub_, test::buildZip(members)));
  EXPECT_EQ(r.exitCode, 15u) << r.stdErr;
  EXPECT_TRUE(logHas("   -reading install info: failed")) << log();
  EXPECT_TRUE(logHas("   -message: Fatal error: Unable to read install information."));
  EXPECT_TRUE(folderIsEmpty(temp_)) << "work folder left behind";

  members = goodMembers();
  std::string& inf = members[0].data;
  inf.replace(inf.find("FileCount=2"), 11, "FileCount=3");
  r = run(test::buildSetupImage(stub_, test::buildZip(members)));
  EXPECT_EQ(r.exitCode, 15u) << r.stdErr;
}

TEST_F(StubRun, ExtractedFilesMustMatch) {
  std::vector<Member> members = goodMembers();
  members[2].data += "x";  // one byte more than the install information says
  RunResult r = run(test::buildSetupImage(stub_, test::buildZip(members)));
  EXPECT_EQ(r.exitCode, 16u) << r.stdErr;
  EXPECT_TRUE(logHas("   -check extracted files: failed")) << log();
  EXPECT_TRUE(logHas("   -message: Fatal error: Corrupt files detected."));
  EXPECT_TRUE(folderIsEmpty(temp_));

  members = goodMembers();
  members.erase(members.begin() + 1);  // Eula=1 without eula.txt
  r = run(test::buildSetupImage(stub_, test::buildZip(members)));
  EXPECT_EQ(r.exitCode, 16u) << r.stdErr;
}

}  // namespace
}  // namespace nx::setup::win
