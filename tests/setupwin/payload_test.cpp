#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "nxsetup/setup_header.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"
#include "package_builder.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::Member;
using test::TempDir;

// Names of the files and folders in a folder.
std::vector<std::string> entriesOf(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA find{};
  const FindHandle found(::FindFirstFileA((folder + "\\*").c_str(), &find));
  if (!found) return names;
  do {
    const std::string name = find.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileA(found.get(), &find));
  return names;
}

std::optional<SetupHeader> headerOf(const std::string& image) {
  return readHeader(Bytes(reinterpret_cast<const std::uint8_t*>(image.data()), image.size()));
}

struct PayloadFixture {
  TempDir dir;
  std::string temp = dir.file("temp");
  std::string setup = dir.file("setup.exe");
  std::vector<Member> members{
      {"nxinstall.inf", "[Main]\r\nFileCount=1\r\n", true},
      {"nxpress.ocx", std::string(70000, 'b') + "end", true},
      {"readme.txt", "stored member", false},
  };

  PayloadFixture() { ::CreateDirectoryA(temp.c_str(), nullptr); }
  std::string image(std::string_view prefix = "MZ-not-really-an-image") {
    return test::buildSetupImage(prefix, test::buildZip(members));
  }
};

TEST(ExtractPayload, ExtractsThePayloadOfTheOwnFile) {
  PayloadFixture f;
  const std::string image = f.image();
  test::writeBytes(f.setup, image);
  const auto header = headerOf(image);
  ASSERT_TRUE(header.has_value());

  const PayloadResult result = extractPayload(f.setup, *header, f.temp);
  ASSERT_TRUE(result.ok);
  ASSERT_FALSE(result.workFolder.empty());
  EXPECT_EQ(result.workFolder.substr(0, f.temp.size()), f.temp);
  for (const Member& m : f.members) {
    EXPECT_EQ(test::readBytes(result.workFolder + "\\" + m.name), m.data) << m.name;
  }
  // Nothing but the work folder is written to the temporary folder.
  EXPECT_EQ(entriesOf(f.temp),
            std::vector<std::string>{result.workFolder.substr(f.temp.size() + 1)});
  EXPECT_TRUE(removeFolder(result.workFolder));
}

TEST(ExtractPayload, LetsTheCallerRunAfterEveryMember) {
  PayloadFixture f;
  f.members.push_back({"sub/", "", false});  // a folder entry counts as an entry too
  f.members.push_back({"sub/inner.txt", "inner", true});
  const std::string image = f.image();
  test::writeBytes(f.setup, image);
  int calls = 0;
  const PayloadResult result =
      extractPayload(f.setup, *headerOf(image), f.temp, [&calls] { ++calls; });
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(calls, static_cast<int>(f.members.size()));
  EXPECT_EQ(test::readBytes(result.workFolder + "\\sub\\inner.txt"), "inner");
  EXPECT_TRUE(removeFolder(result.workFolder + "\\sub"));
  EXPECT_TRUE(removeFolder(result.workFolder));

  // A payload that cannot be opened runs no member.
  calls = 0;
  SetupHeader header = *headerOf(image);
  header.payloadOffset += 1;
  header.payloadLength -= 30;
  const PayloadResult broken = extractPayload(f.setup, header, f.temp, [&] { ++calls; });
  EXPECT_EQ(calls, 0);
  EXPECT_FALSE(broken.ok);
  removeFolder(broken.workFolder);
}

// Two setups unpacking at the same moment into the same temporary folder.
TEST(ExtractPayload, TwoExtractionsAtOnceBothSucceed) {
  PayloadFixture f;
  PayloadFixture other;
  other.members[1].data = std::string(90000, 'o') + "other end";
  const std::string imageA = f.image();
  const std::string imageB = other.image("MZ-a-longer-prefix-of-the-other-setup");
  const std::string setupB = f.dir.file("other.exe");
  test::writeBytes(f.setup, imageA);
  test::writeBytes(setupB, imageB);
  const SetupHeader headerA = *headerOf(imageA);
  const SetupHeader headerB = *headerOf(imageB);

  for (int round = 0; round < 4; ++round) {
    // Both wait at their first member until the other one has reached its own.
    std::atomic<int> arrived{0};
    const auto meeting = [&arrived]() -> std::function<void()> {
      return [&arrived, first = true]() mutable {
        if (!first) return;
        first = false;
        ++arrived;
        for (int spin = 0; spin < 2000 && arrived.load() < 2; ++spin) ::Sleep(1);
      };
    };
    PayloadResult a;
    PayloadResult b;
    std::thread second([&] { b = extractPayload(setupB, headerB, f.temp, meeting()); });
    a = extractPayload(f.setup, headerA, f.temp, meeting());
    second.join();
    EXPECT_EQ(arrived.load(), 2);
    ASSERT_TRUE(a.ok) << round;
    ASSERT_TRUE(b.ok) << round;
    EXPECT_NE(a.workFolder, b.workFolder);
    for (const Member& m : f.members) {
      EXPECT_EQ(test::readBytes(a.workFolder + "\\" + m.name), m.data) << m.name;
    }
    for (const Member& m : other.members) {
      EXPECT_EQ(test::readBytes(b.workFolder + "\\" + m.name), m.data) << m.name;
    }
    EXPECT_FALSE(fileExists(f.temp + "\\NXSTEMP.001"));
    EXPECT_EQ(entriesOf(f.temp).size(), 2u);
    EXPECT_TRUE(removeFolder(a.workFolder));
    EXPECT_TRUE(removeFolder(b.workFolder));
  }
}

TEST(ExtractPayload, FailsOnAPayloadOutsideTheFile) {
  PayloadFixture f;
  const std::string image = f.image();
  test::writeBytes(f.setup, image);
  SetupHeader header = *headerOf(image);
  header.payloadLength = static_cast<std::int32_t>(image.size());  // beyond the end
  PayloadResult result = extractPayload(f.setup, header, f.temp);
  EXPECT_FALSE(result.ok);
  EXPECT_FALSE(result.workFolder.empty());  // created, to be cleaned up by the caller
  EXPECT_EQ(entriesOf(f.temp).size(), 1u);
  EXPECT_TRUE(removeFolder(result.workFolder));

  header = *headerOf(image);
  header.payloadOffset = -5;
  result = extractPayload(f.setup, header, f.temp);
  EXPECT_FALSE(result.ok);
  removeFolder(result.workFolder);

  result = extractPayload(f.dir.file("missing.exe"), *headerOf(image), f.temp);
  EXPECT_FALSE(result.ok);
  removeFolder(result.workFolder);
}

TEST(ExtractPayload, FailsWhenTheWorkFolderCannotBeMade) {
  PayloadFixture f;
  const std::string image = f.image();
  test::writeBytes(f.setup, image);
  const PayloadResult result = extractPayload(f.setup, *headerOf(image), f.dir.file("no\\such"));
  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.workFolder.empty());
}

}  // namespace
}  // namespace nx::setup::win
