#include "nxsetup/install_info.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace nx::setup {
namespace {

const std::string kGood =
    "# comment one\r\n"
    "' comment two\r\n"
    "\r\n"
    "[Main]\r\n"
    "Release=2024-05-01 10:20:30\r\n"
    "FileCount=2\r\n"
    "Title=Business Controls\r\n"
    "Eula=1\r\n"
    "[File]\r\n"
    "Name=nxpress.ocx\r\n"
    "Size=12345\r\n"
    "DateCreated=2024-04-01 08:00:00\r\n"
    "DateModified=2024-04-02 09:30:00\r\n"
    "Version=1.2.0.7\r\n"
    "Target=%SYSTEM%\r\n"
    "Register=1\r\n"
    "Optional=0\r\n"
    "URL=http://example.invalid/x\r\n"
    "   [FILE]   \r\n"
    "NAME=Readme.TXT\r\n"
    "size=7\r\n"
    "DateCreated=2024-04-01 08:00:00\r\n"
    "DateModified=2024-04-01 08:00:00\r\n"
    "Version=\r\n"
    "Target=%PROGRAMFILES%\\Nx\r\n"
    "Register=true\r\n"
    "Optional=1\r\n";

TEST(InstallInfo, ReadsSectionsKeysAndValues) {
  InstallInfo info;
  ASSERT_TRUE(readInstallInfoText(kGood, test::fakeFolder, info));
  EXPECT_EQ(info.fileCount, 2);
  EXPECT_EQ(info.title, "Business Controls");
  EXPECT_TRUE(info.eula);
  EXPECT_EQ(formatDateTime(info.release), "2024-05-01 10:20:30");
  ASSERT_EQ(info.files.size(), 2u);
  const FileEntry& a = info.files[0];
  EXPECT_EQ(a.name, "NXPRESS.OCX");
  EXPECT_EQ(a.size, 12345);
  EXPECT_EQ(formatDateTime(a.dateCreated), "2024-04-01 08:00:00");
  EXPECT_EQ(formatDateTime(a.dateModified), "2024-04-02 09:30:00");
  EXPECT_EQ(a.version, "1.2.0.7");
  EXPECT_EQ(a.targetPath, "C:\\WINDOWS\\system32");
  EXPECT_TRUE(a.registerFile);
  EXPECT_FALSE(a.optional);
  EXPECT_EQ(a.url, "http://example.invalid/x");
  const FileEntry& b = info.files[1];
  EXPECT_EQ(b.name, "README.TXT");
  EXPECT_EQ(b.size, 7);
  EXPECT_EQ(b.version, "");
  EXPECT_EQ(b.targetPath, "C:\\Program Files\\Nx");
  EXPECT_FALSE(b.registerFile);  // only "1" is true
  EXPECT_TRUE(b.optional);

  // Bare LF line ends read the same.
  std::string lf = kGood;
  for (std::size_t at = lf.find("\r\n"); at != std::string::npos; at = lf.find("\r\n", at)) {
    lf.erase(at, 1);
  }
  InstallInfo again;
  EXPECT_TRUE(readInstallInfoText(lf, test::fakeFolder, again));
  EXPECT_EQ(again.files.size(), 2u);
}

std::string withMain(const std::string& main, int sections) {
  std::string text = "[Main]\r\n" + main;
  for (int i = 0; i < sections; ++i) text += "[File]\r\nName=f" + std::to_string(i) + "\r\n";
  return text;
}

TEST(InstallInfo, LineAndValueRules) {
  InstallInfo info;
  // Spaces around "=": the key ends in a space and is not recognised.
  ASSERT_TRUE(readInstallInfoText(withMain("FileCount=1\r\nTitle = Spaced\r\n", 1),
                                  test::fakeFolder, info));
  EXPECT_EQ(info.title, "");
  // The value ends at the second "=".
  ASSERT_TRUE(
      readInstallInfoText(withMain("FileCount=1\r\nTitle=a=b=c\r\n", 1), test::fakeFolder, info));
  EXPECT_EQ(info.title, "a");
  // Values are taken as written; leading spaces of the value stay.
  ASSERT_TRUE(
      readInstallInfoText(withMain("FileCount=1\r\nTITLE= MiXed\r\n", 1), test::fakeFolder, info));
  EXPECT_EQ(info.title, " MiXed");
  // Unknown keys and keys outside a known section are ignored.
  ASSERT_TRUE(readInstallInfoText("Title=outside\r\n[Other]\r\nTitle=x\r\nSize\r\n" +
                                      withMain("FileCount=1\r\nColour=red\r\n", 1),
                                  test::fakeFolder, info));
  EXPECT_EQ(info.title, "");
  // A FileCount with decimals is rounded.
  EXPECT_TRUE(readInstallInfoText(withMain("FileCount=2.4\r\n", 2), test::fakeFolder, info));
  EXPECT_EQ(info.fileCount, 2);
  // Eula other than "1" is off.
  ASSERT_TRUE(
      readInstallInfoText(withMain("FileCount=1\r\nEula=yes\r\n", 1), test::fakeFolder, info));
  EXPECT_FALSE(info.eula);
}

TEST(InstallInfo, FailsOnCountsAndBrokenLines) {
  InstallInfo info;
  EXPECT_FALSE(readInstallInfoText("", test::fakeFolder, info));
  EXPECT_FALSE(readInstallInfoText(withMain("FileCount=0\r\n", 0), test::fakeFolder, info));
  EXPECT_FALSE(readInstallInfoText(withMain("", 1), test::fakeFolder, info));  // FileCount missing
  EXPECT_FALSE(readInstallInfoText(withMain("FileCount=2\r\n", 1), test::fakeFolder, info));
  EXPECT_FALSE(readInstallInfoText(withMain("FileCount=2\r\n", 3), test::fakeFolder, info));
  EXPECT_TRUE(readInstallInfoText(withMain("FileCount=3\r\n", 3), test::fakeFolder, info));
  // A section line without "]".
  EXPECT_FALSE(
      readInstallInfoText(withMain("FileCount=1\r\n", 1) + "[File\r\n", test::fakeFolder, info));
  // A known key without "=".
  EXPECT_FALSE(
      readInstallInfoText(withMain("FileCount=1\r\nTitle\r\n", 1), test::fakeFolder, info));
  EXPECT_FALSE(
      readInstallInfoText(withMain("FileCount=1\r\n", 1) + "Size\r\n", test::fakeFolder, info));
  // Sizes and dates that cannot be read.
  EXPECT_FALSE(readInstallInfoText(withMain("FileCount=1\r\n", 1) + "Size=99999999999\r\n",
                                   test::fakeFolder, info));
  EXPECT_FALSE(readInstallInfoText(withMain("FileCount=1\r\n", 1) + "DateModified=yesterday\r\n",
                                   test::fakeFolder, info));
  EXPECT_FALSE(readInstallInfoText(withMain("FileCount=1\r\nRelease=2024-99-01 00:00:00\r\n", 1),
                                   test::fakeFolder, info));
  // The reader starts from a clean state every time.
  EXPECT_TRUE(info.files.size() <= 1u);
}

TEST(InstallInfo, FileKeyBeforeTheFirstFileSection) {
  InstallInfo info;
  // A component's key in [Main] before any [File] section: there is no entry for it.
  for (const char* key :
       {"Name=early.ocx", "Size=3", "Target=%SYSTEM%", "Bits=32", "URL=x", "size"}) {
    EXPECT_FALSE(readInstallInfoText(withMain("FileCount=1\r\n" + std::string(key) + "\r\n", 1),
                                     test::fakeFolder, info))
        << key;
  }
  // Outside any known section such a key is still ignored, and a [Main] that follows the
  // [File] sections keeps ignoring component keys.
  EXPECT_TRUE(
      readInstallInfoText("Name=outside\r\n[Other]\r\nSize=1\r\n" + withMain("FileCount=1\r\n", 1),
                          test::fakeFolder, info));
  EXPECT_TRUE(readInstallInfoText(withMain("FileCount=1\r\n", 1) + "[Main]\r\nName=late\r\n",
                                  test::fakeFolder, info));
  ASSERT_EQ(info.files.size(), 1u);
  EXPECT_EQ(info.files[0].name, "F0");
}

TEST(InstallInfo, BitsAndTheThirtyTwoBitSystemFolder) {
  const std::string text =
      "[Main]\r\nFileCount=3\r\n"
      "[File]\r\nName=x64\\nxwidgets.ocx\r\nTarget=%SYSTEM%\r\nBits=64\r\n"
      "[File]\r\nName=x86\\nxwidgets.ocx\r\nTarget=%SYSTEM32BIT%\r\nbits=32\r\n"
      "[File]\r\nName=readme.txt\r\nTarget=%WINDOWS%\r\n";
  InstallInfo info;
  ASSERT_TRUE(readInstallInfoText(text, test::fakeFolder, info));
  ASSERT_EQ(info.files.size(), 3u);
  EXPECT_EQ(info.files[0].bits, 64);
  EXPECT_EQ(info.files[0].targetPath, "C:\\WINDOWS\\system32");
  EXPECT_EQ(info.files[1].bits, 32);
  EXPECT_EQ(info.files[1].targetPath, "C:\\WINDOWS\\SysWOW64");
  EXPECT_EQ(info.files[1].name, "X86\\NXWIDGETS.OCX");
  EXPECT_EQ(installedName(info.files[1]), "NXWIDGETS.OCX");
  EXPECT_EQ(installedName(info.files[2]), "README.TXT");
  // No Bits: the setup's own bitness.
  EXPECT_EQ(info.files[2].bits, 0);
  EXPECT_EQ(effectiveBits(info.files[2], 32), 32);
  EXPECT_EQ(effectiveBits(info.files[2], 64), 64);
  EXPECT_EQ(effectiveBits(info.files[1], 64), 32);

  // Only 32 and 64 are bitnesses.
  for (const char* bad : {"Bits=16", "Bits=", "Bits= 32", "Bits=x64", "Bits=064"}) {
    InstallInfo rejected;
    EXPECT_FALSE(readInstallInfoText(withMain("FileCount=1\r\n", 1) + bad + "\r\n",
                                     test::fakeFolder, rejected))
        << bad;
  }

  // The writer adds Bits only where a file has one, and it reads back.
  info.files[0].targetPath = "%SYSTEM%";
  info.files[1].targetPath = "%SYSTEM32BIT%";
  info.files[2].targetPath = "%WINDOWS%";
  info.release = *parseDateTime("2025-01-02 03:04:05");
  for (FileEntry& f : info.files) f.dateCreated = f.dateModified = info.release;
  const std::string written = writeInstallInfo(info, {});
  EXPECT_NE(written.find("Bits=64\r\n"), std::string::npos);
  EXPECT_NE(written.find("Bits=32\r\n"), std::string::npos);
  EXPECT_EQ(written.find("Bits=0"), std::string::npos);
  InstallInfo back;
  ASSERT_TRUE(readInstallInfoText(written, test::fakeFolder, back));
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(back.files[i].bits, info.files[i].bits) << i;
    EXPECT_EQ(back.files[i].name, info.files[i].name) << i;
  }
  EXPECT_EQ(back.files[1].targetPath, "C:\\WINDOWS\\SysWOW64");
}

TEST(InstallInfo, ExpandTargetMacros) {
  EXPECT_EQ(expandTarget("%SYSTEM%", test::fakeFolder), "C:\\WINDOWS\\system32");
  EXPECT_EQ(expandTarget("%WINDOWS%\\a;%WINDOWS%\\b", test::fakeFolder),
            "C:\\WINDOWS\\a;C:\\WINDOWS\\b");
  EXPECT_EQ(expandTarget("%PROGRAMFILES%\\Nx\\%SYSTEM%", test::fakeFolder),
            "C:\\Program Files\\Nx\\C:\\WINDOWS\\system32");
  // Another letter case is found but not replaced.
  EXPECT_EQ(expandTarget("%system%\\x", test::fakeFolder), "%system%\\x");
  EXPECT_EQ(expandTarget("%System%\\x;%SYSTEM%", test::fakeFolder),
            "%System%\\x;C:\\WINDOWS\\system32");
  EXPECT_EQ(expandTarget("D:\\plain", test::fakeFolder), "D:\\plain");
  // %SYSTEM32BIT% is a macro of its own, not %SYSTEM% followed by text.
  EXPECT_EQ(expandTarget("%SYSTEM32BIT%\\a;%SYSTEM%", test::fakeFolder),
            "C:\\WINDOWS\\SysWOW64\\a;C:\\WINDOWS\\system32");
  EXPECT_EQ(expandTarget("%System32Bit%", test::fakeFolder), "%System32Bit%");
  // An unknown folder leaves the macro in place; only used macros are looked up.
  int lookups = 0;
  const FolderLookup none = [&](TargetFolder) {
    ++lookups;
    return std::string();
  };
  EXPECT_EQ(expandTarget("%WINDOWS%\\x", none), "%WINDOWS%\\x");
  EXPECT_EQ(lookups, 1);
  EXPECT_EQ(expandTarget("%SYSTEM%", FolderLookup()), "%SYSTEM%");
}

TEST(InstallInfo, WriterOutputReadsBack) {
  InstallInfo info;
  info.title = "Title with spaces";
  info.eula = true;
  info.release = *parseDateTime("2025-01-02 03:04:05");
  FileEntry e;
  e.name = "NXCORE.DLL";
  e.size = 42;
  e.dateCreated = *parseDateTime("2025-01-01 00:00:00");
  e.dateModified = *parseDateTime("2025-01-01 12:00:00");
  e.version = "2.0.1";
  e.targetPath = "%WINDOWS%\\Nx";
  e.registerFile = true;
  e.url = "https://example.invalid/page";
  info.files = {e, e};
  info.files[1].name = "SECOND.OCX";
  const std::string text = writeInstallInfo(info, {"line 1", "line 2"});
  EXPECT_EQ(text.rfind("# line 1\r\n# line 2\r\n", 0), 0u);
  InstallInfo back;
  ASSERT_TRUE(readInstallInfoText(text, test::fakeFolder, back));
  EXPECT_EQ(back.fileCount, 2);
  EXPECT_EQ(back.title, info.title);
  EXPECT_TRUE(back.eula);
  EXPECT_EQ(back.release, info.release);
  ASSERT_EQ(back.files.size(), 2u);
  EXPECT_EQ(back.files[0].targetPath, "C:\\WINDOWS\\Nx");
  EXPECT_EQ(back.files[1].name, "SECOND.OCX");
  EXPECT_EQ(back.files[0].version, "2.0.1");
  EXPECT_EQ(back.files[0].dateModified, e.dateModified);
  EXPECT_TRUE(back.files[0].registerFile);
  EXPECT_EQ(back.files[0].url, e.url);

  EXPECT_NE(installInfoValueProblem("a=b"), "");
  EXPECT_NE(installInfoValueProblem("a\r\nb"), "");
  EXPECT_NE(installInfoValueProblem("trailing "), "");
  EXPECT_EQ(installInfoValueProblem("C:\\Program Files\\x"), "");
}

TEST(InstallInfo, ReadsFromAFile) {
  test::TempDir dir;
  InstallInfo info;
  EXPECT_FALSE(readInstallInfo(dir / "missing.inf", test::fakeFolder, info));
  test::writeText(dir / "empty.inf", "");
  EXPECT_FALSE(readInstallInfo(dir / "empty.inf", test::fakeFolder, info));
  test::writeText(dir / "good.inf", kGood);
  EXPECT_TRUE(readInstallInfo(dir / "good.inf", test::fakeFolder, info));
  EXPECT_EQ(info.files.size(), 2u);
}

}  // namespace
}  // namespace nx::setup
