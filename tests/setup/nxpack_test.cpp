// nxpack: packs with a dummy stub and reads the result back the way the setup program does.
#include <gtest/gtest.h>

#include <sstream>

#include "cli.h"
#include "nxsetup/install_info.h"
#include "nxsetup/pe_version.h"
#include "nxsetup/setup_header.h"
#include "nxsetup/versions.h"
#include "nxsetup/zip_extraction.h"
#include "pack.h"
#include "test_support.h"
#include "zip_events.h"

namespace fs = std::filesystem;

namespace nx::pack {
namespace {

using setup::FileVersion;
using setup::TargetFolder;
using setup::test::TempDir;

struct Fixture {
  TempDir dir;
  std::vector<std::uint8_t> stub = setup::test::buildPeImage({std::nullopt, 3000});
  std::vector<std::uint8_t> ocx = setup::test::buildPeImage({FileVersion{1, 2, 0, 5}, 9000});
  std::vector<std::uint8_t> dll = setup::test::buildPeImage({FileVersion{2, 0, 0, 0}, 5000});
  std::vector<std::uint8_t> text = setup::test::toBytes(std::string(4000, 'r'));

  Fixture() {
    fs::create_directory(dir / "files");
    setup::test::writeBytes(dir / "stub.exe", stub);
    setup::test::writeBytes(dir / "files" / "nxpress.ocx", ocx);
    setup::test::writeBytes(dir / "files" / "nxcore.dll", dll);
    setup::test::writeBytes(dir / "files" / "Readme.txt", text);
    setup::test::writeText(dir / "licence.txt", "You may use these controls.\r\n");
  }

  PackSettings settings() const {
    PackSettings s;
    s.stub = dir / "stub.exe";
    s.output = dir / "nxinstall.exe";
    s.componentDir = dir / "files";
    s.title = "Business Controls 2025";
    s.release = setup::parseDateTime("2025-03-04 05:06:07");
    s.eula = dir / "licence.txt";
    s.zlibVersion = "1.2.3";
    ComponentSettings ocxFile;
    ocxFile.name = "nxpress.ocx";
    ocxFile.registerFile = true;
    ocxFile.url = "https://example.invalid/nxpress";
    ComponentSettings dllFile;
    dllFile.name = "nxcore.dll";
    dllFile.target = "%PROGRAMFILES%\\Nx";
    dllFile.modified = setup::parseDateTime("2025-01-01 10:00:00");
    dllFile.created = setup::parseDateTime("2024-12-31 09:00:00");
    ComponentSettings txtFile;
    txtFile.name = "Readme.txt";
    txtFile.target = "%WINDOWS%";
    txtFile.optional = true;
    txtFile.version = "3.1";
    s.components = {ocxFile, dllFile, txtFile};
    return s;
  }
};

TEST(Nxpack, PackageReadsBackCompletely) {
  Fixture f;
  const PackResult built = buildPackage(f.settings());
  ASSERT_TRUE(built.ok) << built.error;
  const std::vector<std::uint8_t>& image = built.image;
  // The stub comes first, unchanged.
  ASSERT_GT(image.size(), f.stub.size() + 130);
  EXPECT_TRUE(std::equal(f.stub.begin(), f.stub.end(), image.begin()));

  const auto header = setup::readHeader(image);
  ASSERT_TRUE(header);
  EXPECT_EQ(header->payloadOffset, static_cast<std::int32_t>(f.stub.size()));
  EXPECT_EQ(header->zlibVersion, "1.2.3");
  EXPECT_EQ(header->extraOffset, 0);
  EXPECT_EQ(static_cast<std::size_t>(header->payloadOffset + header->payloadLength),
            image.size() - 130);

  const auto payloadBytes = setup::payloadOf(image, *header);
  ASSERT_TRUE(payloadBytes);
  const std::vector<std::uint8_t> payload(payloadBytes->begin(), payloadBytes->end());
  EXPECT_FALSE(setup::payloadOf(
      image, {header->payloadOffset, "1", 0, static_cast<std::int32_t>(image.size())}));
  EXPECT_FALSE(setup::payloadOf(image, {-1, "1", 0, 10}));
  // "nxinstall.inf" is the first member.
  EXPECT_EQ(std::string(payload.begin() + 30, payload.begin() + 30 + 13), "nxinstall.inf");
  setup::test::RecordingEvents events;
  setup::ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZipImage(payload, "payload"));
  TempDir work;
  ASSERT_TRUE(zip.Extract(work.str(), true, true));
  EXPECT_TRUE(events.errors.empty());
  EXPECT_EQ(setup::test::readBytes(work / "nxpress.ocx"), f.ocx);
  EXPECT_EQ(setup::test::readBytes(work / "nxcore.dll"), f.dll);
  EXPECT_EQ(setup::test::readBytes(work / "Readme.txt"), f.text);
  EXPECT_EQ(setup::test::readBytes(work / "eula.txt"),
            setup::test::toBytes("You may use these controls.\r\n"));

  setup::InstallInfo info;
  ASSERT_TRUE(setup::readInstallInfo(work / "nxinstall.inf", setup::test::fakeFolder, info));
  EXPECT_EQ(info.fileCount, 3);
  EXPECT_EQ(info.title, "Business Controls 2025");
  EXPECT_TRUE(info.eula);
  EXPECT_EQ(setup::formatDateTime(info.release), "2025-03-04 05:06:07");
  ASSERT_EQ(info.files.size(), 3u);
  const auto& a = info.files[0];
  EXPECT_EQ(a.name, "NXPRESS.OCX");
  EXPECT_EQ(a.size, 9000);
  EXPECT_EQ(a.version, "1.2.0.5");
  EXPECT_EQ(a.targetPath, "C:\\WINDOWS\\system32");
  EXPECT_TRUE(a.registerFile);
  EXPECT_FALSE(a.optional);
  EXPECT_EQ(a.url, "https://example.invalid/nxpress");
  const auto& b = info.files[1];
  EXPECT_EQ(b.name, "NXCORE.DLL");
  EXPECT_EQ(b.version, "2.0");
  EXPECT_EQ(b.targetPath, "C:\\Program Files\\Nx");
  EXPECT_EQ(setup::formatDateTime(b.dateModified), "2025-01-01 10:00:00");
  EXPECT_EQ(setup::formatDateTime(b.dateCreated), "2024-12-31 09:00:00");
  EXPECT_FALSE(b.registerFile);
  const auto& c = info.files[2];
  EXPECT_EQ(c.name, "README.TXT");
  EXPECT_EQ(c.version, "3.1");
  EXPECT_EQ(c.size, 4000);
  EXPECT_TRUE(c.optional);
  EXPECT_EQ(c.targetPath, "C:\\WINDOWS");
  EXPECT_FALSE(c.dateModified.isZero());

  // The versions written match what the unpacked files carry.
  for (const auto* e : {&a, &b}) {
    std::string lowerName = e->name;
    for (char& ch : lowerName) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    const auto res = setup::readVersionResource(setup::test::readBytes(work / lowerName));
    ASSERT_TRUE(res);
    EXPECT_EQ(setup::compareVersions(e->version, setup::formatFileVersion(res->file)), 0);
  }

  // Signing the file afterwards keeps the header readable.
  std::vector<std::uint8_t> signedImage = image;
  setup::test::appendCertificateTable(signedImage, 1500);
  const auto again = setup::readHeader(signedImage);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->payloadLength, header->payloadLength);
}

TEST(Nxpack, RefusesBadInputWithAReason) {
  Fixture f;
  auto expectError = [](const PackSettings& s, const std::string& part) {
    const PackResult r = buildPackage(s);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find(part), std::string::npos) << r.error;
  };
  PackSettings s = f.settings();
  s.stub = f.dir / "no-stub.exe";
  expectError(s, "cannot read the setup stub");
  s = f.settings();
  s.stub = f.dir / "files";  // a folder
  expectError(s, "cannot read the setup stub");
  setup::test::writeText(f.dir / "empty.exe", "");
  s.stub = f.dir / "empty.exe";
  expectError(s, "is empty");
  s = f.settings();
  s.components[1].name = "missing.dll";
  expectError(s, "cannot read component file");
  s = f.settings();
  s.components[2].name = "NXPRESS.OCX";  // the same name in another letter case
  s.components[2].source = "nxpress.ocx";
  expectError(s, "listed twice");
  s.components[2].bits = 64;  // a 32-bit and a 64-bit file may share it, but not one place
  s.components[2].target = "%SYSTEM%\\";
  expectError(s, "would be installed as");
  s.components[2].target = "%SYSTEM32BIT%";
  EXPECT_TRUE(buildPackage(s).ok);
  s.components[2].bits = 16;
  expectError(s, "must be 32 or 64");
  s = f.settings();
  s.components[0].name = "eula.txt";
  expectError(s, "reserved");
  s = f.settings();
  s.components[0].name = "..\\x.dll";
  expectError(s, "plain file name");
  s = f.settings();
  s.components[0].url = "https://example.invalid/?a=b";
  expectError(s, "contains \"=\"");
  s = f.settings();
  s.title = "two\r\nlines";
  expectError(s, "line break");
  s = f.settings();
  s.eula = f.dir / "no-licence.txt";
  expectError(s, "cannot read the licence text");
  s = f.settings();
  s.zlibVersion.clear();
  for (char ch = '0'; ch < '0' + 70; ++ch) s.zlibVersion += ch;
  expectError(s, "does not fit the 128 bytes");
  s = f.settings();
  s.components.clear();
  expectError(s, "at least one component");

  s = f.settings();
  s.output = f.dir / "no-such-folder" / "out.exe";
  const auto problem = writePackage(s);
  ASSERT_TRUE(problem);
  EXPECT_NE(problem->find("cannot create"), std::string::npos);
}

TEST(Nxpack, CommandLine) {
  const auto component =
      parseComponent("a.ocx:target=%WINDOWS%\\x;register=1;optional=0;url=u;version=1.2");
  ASSERT_TRUE(std::holds_alternative<ComponentSettings>(component));
  const auto& c = std::get<ComponentSettings>(component);
  EXPECT_EQ(c.name, "a.ocx");
  EXPECT_EQ(c.target, "%WINDOWS%\\x");
  EXPECT_TRUE(c.registerFile);
  EXPECT_EQ(c.url, "u");
  EXPECT_EQ(c.version, "1.2");
  EXPECT_EQ(std::get<ComponentSettings>(parseComponent("plain.dll")).target, "%SYSTEM%");
  EXPECT_TRUE(std::get<ComponentSettings>(parseComponent("plain.dll")).source.empty());
  EXPECT_FALSE(std::get<ComponentSettings>(parseComponent("plain.dll")).bits);
  // A path from the component folder, or an absolute one whose drive colon is not a separator.
  const auto fromTree =
      parseComponent("../mingw32/bin/nxwidgets.ocx:bits=32;target=%SYSTEM32BIT%;register=1");
  ASSERT_TRUE(std::holds_alternative<ComponentSettings>(fromTree));
  const auto& t = std::get<ComponentSettings>(fromTree);
  EXPECT_EQ(t.name, "nxwidgets.ocx");
  EXPECT_EQ(t.source, fs::path("../mingw32/bin/nxwidgets.ocx"));
  EXPECT_EQ(t.bits, 32);
  EXPECT_EQ(t.target, "%SYSTEM32BIT%");
  EXPECT_TRUE(t.registerFile);
  const auto absolute = std::get<ComponentSettings>(parseComponent("C:\\out\\x64\\a.ocx:bits=64"));
  EXPECT_EQ(absolute.name, "a.ocx");
  EXPECT_EQ(absolute.source, fs::path("C:\\out\\x64\\a.ocx"));
  EXPECT_EQ(absolute.bits, 64);
  EXPECT_EQ(std::get<ComponentSettings>(parseComponent("D:/b.dll")).name, "b.dll");
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("a:bits=16")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("a:bits=")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("dir/:bits=32")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("a:register=maybe")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("a:colour=red")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("a:target")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent(":target=x")));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseComponent("a:modified=today")));

  EXPECT_TRUE(std::holds_alternative<ShowHelp>(parseArgs({"--help"})));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseArgs({})));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseArgs({"--stub"})));
  EXPECT_TRUE(std::holds_alternative<UsageError>(
      parseArgs({"--stub", "s", "--out", "o", "--title", "t"})));  // no --file
  EXPECT_TRUE(std::holds_alternative<UsageError>(
      parseArgs({"--stub", "s", "--out", "o", "--title", "t", "--file", "a", "--bogus", "x"})));
  EXPECT_TRUE(std::holds_alternative<PackSettings>(
      parseArgs({"--stub", "s", "--out", "o", "--title", "t", "--file", "a"})));

  Fixture f;
  std::ostringstream out;
  std::ostringstream err;
  setup::test::writeText(f.dir / "args.txt",
                         "# settings\n--stub\n" + (f.dir / "stub.exe").string() + "\n--out\n" +
                             (f.dir / "cli.exe").string() + "\n--dir\n" +
                             (f.dir / "files").string() +
                             "\n--title\nFrom a file\n--file\nnxcore.dll:register=1\n");
  EXPECT_EQ(runNxpack({"@" + (f.dir / "args.txt").string()}, out, err), kExitOk) << err.str();
  const auto image = setup::test::readBytes(f.dir / "cli.exe");
  EXPECT_TRUE(setup::readHeader(image));
  EXPECT_EQ(runNxpack({"--stub", "x"}, out, err), kExitUsage);
  EXPECT_EQ(runNxpack({"--stub", (f.dir / "nothing").string(), "--out", (f.dir / "o").string(),
                       "--title", "t", "--file", "a"},
                      out, err),
            kExitPackFailed);
  EXPECT_NE(err.str().find("cannot read the setup stub"), std::string::npos);
  EXPECT_FALSE(fs::exists(f.dir / "o"));
}

// The 64-bit and the 32-bit build of one library in one package, read back as the setup does.
TEST(Nxpack, BothBitnessesInOnePackage) {
  Fixture f;
  std::vector<std::uint8_t> ocx64 = setup::test::buildPeImage({FileVersion{3, 0, 0, 1}, 7000});
  setup::test::poke16(ocx64, 0x40 + 4, 0x8664);  // AMD64
  setup::test::poke16(ocx64, 0x40 + 24, 0x20B);  // PE32+
  const std::vector<std::uint8_t> ocx32 =
      setup::test::buildPeImage({FileVersion{3, 0, 0, 1}, 6000});
  fs::create_directories(f.dir / "mingw64" / "bin");
  fs::create_directories(f.dir / "mingw32" / "bin");
  setup::test::writeBytes(f.dir / "mingw64" / "bin" / "nxwidgets.ocx", ocx64);
  setup::test::writeBytes(f.dir / "mingw32" / "bin" / "nxwidgets.ocx", ocx32);

  PackSettings s = f.settings();
  s.components.clear();
  for (const std::string text :
       {"../mingw64/bin/nxwidgets.ocx:register=1",  // bitness from the PE header
        "../mingw32/bin/nxwidgets.ocx:register=1;target=%SYSTEM32BIT%", "Readme.txt:bits=32",
        "nxcore.dll:bits=64"}) {
    auto c = parseComponent(text);
    ASSERT_TRUE(std::holds_alternative<ComponentSettings>(c)) << text;
    s.components.push_back(std::get<ComponentSettings>(c));
  }
  const PackResult built = buildPackage(s);
  ASSERT_TRUE(built.ok) << built.error;

  const auto header = setup::readHeader(built.image);
  ASSERT_TRUE(header);
  const auto payload = setup::payloadOf(built.image, *header);
  ASSERT_TRUE(payload);
  setup::test::RecordingEvents events;
  setup::ZipExtractionClass zip(&events);
  ASSERT_TRUE(zip.OpenZipImage(std::vector<std::uint8_t>(payload->begin(), payload->end()), "p"));
  TempDir work;
  ASSERT_TRUE(zip.Extract(work.str(), true, true));
  EXPECT_TRUE(events.errors.empty());
  EXPECT_EQ(setup::test::readBytes(work / "x64" / "nxwidgets.ocx"), ocx64);
  EXPECT_EQ(setup::test::readBytes(work / "x86" / "nxwidgets.ocx"), ocx32);
  EXPECT_FALSE(fs::exists(work / "nxwidgets.ocx"));
  // Names nobody else uses stay at the top of the payload.
  EXPECT_EQ(setup::test::readBytes(work / "Readme.txt"), f.text);
  EXPECT_EQ(setup::test::readBytes(work / "nxcore.dll"), f.dll);

  setup::InstallInfo info;
  ASSERT_TRUE(setup::readInstallInfo(work / "nxinstall.inf", setup::test::fakeFolder, info));
  ASSERT_EQ(info.files.size(), 4u);
  EXPECT_EQ(info.files[0].name, "X64\\NXWIDGETS.OCX");
  EXPECT_EQ(info.files[0].bits, 64);
  EXPECT_EQ(info.files[0].targetPath, "C:\\WINDOWS\\system32");
  EXPECT_EQ(info.files[0].size, 7000);
  EXPECT_EQ(info.files[1].name, "X86\\NXWIDGETS.OCX");
  EXPECT_EQ(info.files[1].bits, 32);
  EXPECT_EQ(info.files[1].targetPath, "C:\\WINDOWS\\SysWOW64");
  EXPECT_EQ(info.files[1].version, "3.0.0.1");
  EXPECT_EQ(setup::installedName(info.files[0]), setup::installedName(info.files[1]));
  // Given bits win over the header; an explicit one is written for a file of no bitness.
  EXPECT_EQ(info.files[2].bits, 32);
  EXPECT_EQ(info.files[3].bits, 64);

  // Without bits a text file has none, and a PE32 file is 32-bit.
  s = f.settings();
  const PackResult plain = buildPackage(s);
  ASSERT_TRUE(plain.ok) << plain.error;
  EXPECT_NE(plain.installInfo.find("Name=nxpress.ocx\r\n"), std::string::npos);
  EXPECT_NE(plain.installInfo.find("Bits=32\r\n"), std::string::npos);
  const std::string readme = plain.installInfo.substr(plain.installInfo.find("Name=Readme.txt"));
  EXPECT_EQ(readme.find("Bits="), std::string::npos);
}

TEST(Nxpack, ExecutableExitStatus) {
  // The command lines below are written for a POSIX shell.
  if (!setup::test::haveTool("sh")) GTEST_SKIP() << "no POSIX shell";
  Fixture f;
  const std::string exe = setup::test::quoted(NXPACK_EXE);
  const std::string base = exe + " --stub " + setup::test::quoted((f.dir / "stub.exe").string()) +
                           " --dir " + setup::test::quoted((f.dir / "files").string()) +
                           " --title Title --release '2025-01-01 00:00:00' ";
  const std::string out = (f.dir / "exe-out.exe").string();
  EXPECT_EQ(setup::test::run(base + "--out " + setup::test::quoted(out) +
                             " --file 'nxpress.ocx:register=1' --file Readme.txt >/dev/null"),
            0);
  EXPECT_TRUE(setup::readHeader(setup::test::readBytes(out)));
  EXPECT_EQ(
      setup::test::run(base + "--out " + setup::test::quoted(out) + " --file gone.ocx 2>/dev/null"),
      kExitPackFailed);
  EXPECT_EQ(setup::test::run(exe + " --frobnicate 2>/dev/null"), kExitUsage);
  EXPECT_EQ(setup::test::run(exe + " --help >/dev/null"), 0);
}

}  // namespace
}  // namespace nx::pack
