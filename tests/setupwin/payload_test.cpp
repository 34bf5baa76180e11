#include <windows.h>

#include <gtest/gtest.h>

#include "nxsetup/setup_header.h"
#include "nxsetupwin/file_ops.h"
#include "nxsetupwin/sys_info.h"
#include "package_builder.h"
#include "test_util.h"

namespace nx::setup::win {
namespace {

using test::Member;
using test::TempDir;

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

TEST(ExtractPayload, CopiesThePayloadOutAndExtractsIt) {
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
  // The archive copy is gone after a successful extraction.
  EXPECT_FALSE(fileExists(f.temp + "\\NXSTEMP.001"));
  EXPECT_TRUE(removeFolder(result.workFolder));
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
  EXPECT_FALSE(fileExists(f.temp + "\\NXSTEMP.001"));
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
