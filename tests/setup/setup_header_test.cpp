#include "nxsetup/setup_header.h"

#include <gtest/gtest.h>

#include "nxsetup/huffman.h"
#include "test_support.h"

namespace nx::setup {
namespace {

using test::appendCertificateTable;
using test::buildPeImage;

// Image + payload + a trailer carrying `headerText` coded (or raw trailer bytes).
std::vector<std::uint8_t> fileWithTrailer(std::size_t imageSize, std::size_t payloadSize,
                                          const Trailer& trailer) {
  std::vector<std::uint8_t> file = buildPeImage({std::nullopt, imageSize});
  std::vector<std::uint8_t> payload = test::randomBytes(payloadSize, 5);
  file.insert(file.end(), payload.begin(), payload.end());
  file.insert(file.end(), trailer.begin(), trailer.end());
  return file;
}

// A trailer whose coded header is the text as given (no field checks).
Trailer trailerForText(const std::string& text) {
  const auto coded = huffEncode(text);
  Trailer t{};
  EXPECT_TRUE(coded && coded->size() <= kMaxCodedHeader);
  if (!coded) return t;
  std::copy(coded->begin(), coded->end(), t.begin());
  const char* hex = "0123456789ABCDEF";
  t[128] = static_cast<std::uint8_t>(hex[coded->size() / 16]);
  t[129] = static_cast<std::uint8_t>(hex[coded->size() % 16]);
  return t;
}

TEST(SetupHeader, TrailerRoundTrips) {
  const SetupHeader header{1024, "1.2.3", 0, 300};
  const auto trailer = buildTrailer(header);
  ASSERT_TRUE(trailer);
  // Filler is zero, the last two bytes are the coded length in hex.
  const auto coded = huffEncode(formatSetupHeader(header));
  ASSERT_TRUE(coded);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(coded->size()));
  EXPECT_EQ((*trailer)[128], hex[0]);
  EXPECT_EQ((*trailer)[129], hex[1]);
  for (std::size_t i = coded->size(); i < 128; ++i) EXPECT_EQ((*trailer)[i], 0) << i;

  const auto file = fileWithTrailer(1024, 300, *trailer);
  const auto read = readHeader(file);
  ASSERT_TRUE(read);
  EXPECT_EQ(read->payloadOffset, 1024);
  EXPECT_EQ(read->zlibVersion, "1.2.3");
  EXPECT_EQ(read->extraOffset, 0);
  EXPECT_EQ(read->payloadLength, 300);
  EXPECT_EQ(formatSetupHeader(header), "1024|1.2.3|0|300");

  // Lower-case hex digits are read too; a fifth field is ignored.
  auto lower = trailerForText("1024|1.2.3|0|300|extra");
  if (lower[128] >= 'A') lower[128] = static_cast<std::uint8_t>(lower[128] + 32);
  if (lower[129] >= 'A') lower[129] = static_cast<std::uint8_t>(lower[129] + 32);
  EXPECT_TRUE(readHeader(fileWithTrailer(1024, 300, lower)));
}

TEST(SetupHeader, RejectsMalformedTrailers) {
  auto check = [](const std::string& text) {
    return readHeader(fileWithTrailer(1024, 300, trailerForText(text))).has_value();
  };
  EXPECT_TRUE(check("1024|1.2.3|0|300"));
  EXPECT_TRUE(check(" 1024 |1.2.3| 0 |300"));
  EXPECT_FALSE(check("1024|1.2.3|0"));  // fewer than four fields
  EXPECT_FALSE(check("1024|1.2.3"));
  EXPECT_FALSE(check("abc|1.2.3|0|300"));   // non-numeric offset
  EXPECT_FALSE(check("1024|1.2.3|0|3x0"));  // non-numeric length
  EXPECT_FALSE(check("1024|1.2.3|zero|300"));
  EXPECT_FALSE(check("1024|1.2.3|4|300"));  // extra offset must be 0
  EXPECT_FALSE(check("1024|1.2.3|0|0"));    // length must be positive
  EXPECT_FALSE(check("1024|1.2.3|0|-5"));
  EXPECT_FALSE(check("1024||0|300"));              // empty zlib version
  EXPECT_FALSE(check("-1|1.2.3|0|300"));           // payload before the file
  EXPECT_FALSE(check("1024|1.2.3|0|301"));         // payload runs into the trailer
  EXPECT_FALSE(check("99999999999|1.2.3|0|300"));  // beyond 32 bits

  Trailer t = trailerForText("1024|1.2.3|0|300");
  Trailer bad = t;
  bad[128] = 'G';  // not hexadecimal
  EXPECT_FALSE(readHeader(fileWithTrailer(1024, 300, bad)));
  bad = t;
  bad[129] = ' ';
  EXPECT_FALSE(readHeader(fileWithTrailer(1024, 300, bad)));
  bad = t;
  bad[128] = '8';  // length 0x8n > 128
  bad[129] = '1';
  EXPECT_FALSE(readHeader(fileWithTrailer(1024, 300, bad)));
  bad = t;
  bad[128] = '0';  // length 0: nothing to decode
  bad[129] = '0';
  EXPECT_FALSE(readHeader(fileWithTrailer(1024, 300, bad)));
  bad = t;
  bad[0] = 0xFF;  // bit count beyond the coded bytes
  EXPECT_FALSE(readHeader(fileWithTrailer(1024, 300, bad)));

  // Files shorter than a trailer.
  EXPECT_FALSE(readHeader(std::vector<std::uint8_t>(129, '0')));
  EXPECT_FALSE(readHeader(std::vector<std::uint8_t>()));
}

TEST(SetupHeader, TooLongHeaderDoesNotFit) {
  // Seventy distinct symbols need 144 bytes for their table alone.
  std::string distinct;
  for (char c = '0'; c < '0' + 70; ++c) distinct += c;
  SetupHeader header{1, distinct, 0, 1};
  EXPECT_FALSE(buildTrailer(header));
  header.zlibVersion = "1.2.13.1-motley";
  EXPECT_TRUE(buildTrailer(header));
}

TEST(SetupHeader, FindsTheTrailerOfASignedFile) {
  // Payload lengths 777..784 put the trailer's end at every remainder modulo 8, so the signer's
  // zero padding before the certificate table runs from 0 to 7 bytes.
  for (std::int32_t length = 777; length < 785; ++length) {
    const auto t = buildTrailer({4096, "1.2.11", 0, length});
    ASSERT_TRUE(t);
    std::vector<std::uint8_t> file = fileWithTrailer(4096, static_cast<std::size_t>(length), *t);
    const std::size_t unsignedSize = file.size();
    appendCertificateTable(file, 1000);
    EXPECT_EQ(trailerEnd(file), unsignedSize);
    const auto read = readHeader(file);
    ASSERT_TRUE(read) << length;
    EXPECT_EQ(read->payloadOffset, 4096);
    EXPECT_EQ(read->payloadLength, length);
  }
  const auto trailer = buildTrailer({4096, "1.2.11", 0, 777});
  ASSERT_TRUE(trailer);

  // A security directory that does not end the file is ignored: the trailer ends the file.
  std::vector<std::uint8_t> file = fileWithTrailer(4096, 777, *trailer);
  std::vector<std::uint8_t> signedFile = file;
  appendCertificateTable(signedFile, 64);
  signedFile.push_back(0x00);
  EXPECT_FALSE(readHeader(signedFile));
  EXPECT_EQ(trailerEnd(signedFile), signedFile.size());
  // An unsigned file keeps the plain layout.
  EXPECT_EQ(trailerEnd(file), file.size());
  EXPECT_TRUE(readHeader(file));
  // A certificate table pointing past the file is ignored.
  test::poke32(file, 0x40 + 24 + 96 + 32, 0xFFFFFF00U);
  test::poke32(file, 0x40 + 24 + 96 + 36, 0x1000);
  EXPECT_TRUE(readHeader(file));
}

}  // namespace
}  // namespace nx::setup
