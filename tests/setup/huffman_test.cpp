#include "nxsetup/huffman.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace nx::setup {
namespace {

std::string coded(std::initializer_list<int> bytes) {
  std::string out;
  for (int b : bytes) out.push_back(static_cast<char>(b));
  return out;
}

TEST(HuffDecode, FollowsTheTreeRules) {
  // Equal weights: the lower-numbered node ('A') becomes the bit-1 child.
  // "AB" is bit 1 then bit 0 at bits 1 and 2 of code byte 0.
  EXPECT_EQ(huffDecode(coded({0, 0, 2, 1, 'A', 1, 'B', 1, 0x02})), "AB");
  EXPECT_EQ(huffDecode(coded({0, 0, 2, 1, 'A', 1, 'B', 1, 0x04})), "BA");
  // Bit 0 of code byte 0 carries nothing.
  EXPECT_EQ(huffDecode(coded({0, 0, 2, 1, 'A', 1, 'B', 1, 0x03})), "AB");
  // A zero-weight leaf never enters the tree, so 'Z' cannot appear.
  EXPECT_EQ(huffDecode(coded({0, 0, 3, 2, 'A', 1, 'Z', 0, 'B', 1, 0x0A})), "ABA");
  // Heavier symbol gets the shorter code: C(2) vs A(1),B(1): inner(A,B)=2 is node 4;
  // C (node 3) wins the tie against node 4 and becomes the bit-1 child.
  // "C" = 1, "A" = 01, "B" = 00 -> C A B = 1 0 1 0 0 at bits 1..5 -> 0b00001010.
  EXPECT_EQ(huffDecode(coded({0, 0, 5, 2, 'A', 1, 'B', 1, 'C', 2, 0x0A})), "CAB");
  // Bits beyond the byte boundary: N = 9 reaches bit 1 of code byte 1.
  EXPECT_EQ(huffDecode(coded({0, 0, 9, 1, 'x', 1, 'y', 1, 0xFE, 0x03})), "xxxxxxxxx");
  // Zero bits decode to an empty text.
  EXPECT_EQ(huffDecode(coded({0, 0, 0, 0, 'A', 1})), "");
  // A single leaf yields its symbol once per bit.
  EXPECT_EQ(huffDecode(coded({0, 0, 3, 0, 'Q', 7, 0x00})), "QQQ");
}

TEST(HuffDecode, RejectsMalformedInput) {
  EXPECT_FALSE(huffDecode(""));
  EXPECT_FALSE(huffDecode(coded({0, 0, 2})));
  // Middle and last digit must be below 180.
  EXPECT_FALSE(huffDecode(coded({0, 180, 2, 1, 'A', 1, 'B', 1, 0x02})));
  EXPECT_FALSE(huffDecode(coded({0, 0, 180, 1, 'A', 1, 'B', 1, 0x02})));
  // Symbol pairs beyond the text.
  EXPECT_FALSE(huffDecode(coded({0, 0, 2, 5, 'A', 1, 'B', 1, 0x02})));
  EXPECT_FALSE(huffDecode(coded({0, 0, 2, 255, 'A', 1})));
  // Bit count beyond the code bytes: N = 8 needs code byte 1.
  EXPECT_FALSE(huffDecode(coded({0, 0, 8, 1, 'A', 1, 'B', 1, 0xFF})));
  EXPECT_FALSE(huffDecode(coded({255, 179, 179, 1, 'A', 1, 'B', 1, 0xFF})));
  EXPECT_FALSE(huffDecode(coded({0, 0, 1, 1, 'A', 1, 'B', 1})));
  // Every weight 0: no tree to walk.
  EXPECT_FALSE(huffDecode(coded({0, 0, 2, 1, 'A', 0, 'B', 0, 0x02})));
}

// The decoding steps written out literally, node search by linear scan, as a reference.
std::string referenceDecode(const std::string& c) {
  const long n = static_cast<unsigned char>(c[0]) * 32400L +
                 static_cast<unsigned char>(c[1]) * 180L + static_cast<unsigned char>(c[2]);
  const int k = static_cast<unsigned char>(c[3]) + 1;
  std::vector<int> sym(1, -1), weight(1, 0), zero(1, 0), one(1, 0);
  for (int j = 1; j <= k; ++j) {
    sym.push_back(static_cast<unsigned char>(c[static_cast<std::size_t>(2 * j + 2)]));
    weight.push_back(static_cast<unsigned char>(c[static_cast<std::size_t>(2 * j + 3)]));
    zero.push_back(0);
    one.push_back(0);
  }
  auto lightest = [&] {
    int best = 0, bestWeight = 65537;
    for (std::size_t i = 1; i < weight.size(); ++i) {
      if (weight[i] > 0 && weight[i] < bestWeight) {
        bestWeight = weight[i];
        best = static_cast<int>(i);
      }
    }
    return best;
  };
  int root = 0;
  for (;;) {
    const int m1 = lightest();
    const int w1 = weight[static_cast<std::size_t>(m1)];
    weight[static_cast<std::size_t>(m1)] = 0;
    const int m2 = lightest();
    if (m2 == 0) {
      root = m1;
      break;
    }
    sym.push_back(-1);
    weight.push_back(w1 + weight[static_cast<std::size_t>(m2)]);
    one.push_back(m1);
    zero.push_back(m2);
    weight[static_cast<std::size_t>(m2)] = 0;
  }
  const std::size_t codeStart = 4 + 2 * static_cast<std::size_t>(k);
  std::string out;
  int at = root;
  for (long m = 1; m <= n; ++m) {
    const auto byte = static_cast<unsigned char>(c[codeStart + static_cast<std::size_t>(m / 8)]);
    const bool bit = ((byte >> (m % 8)) & 1) != 0;
    at = bit ? one[static_cast<std::size_t>(at)] : zero[static_cast<std::size_t>(at)];
    if (sym[static_cast<std::size_t>(at)] >= 0) {
      out.push_back(static_cast<char>(sym[static_cast<std::size_t>(at)]));
      at = root;
    }
  }
  return out;
}

TEST(HuffDecode, AgreesWithTheLiteralAlgorithm) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const int k = 2 + static_cast<int>(rng() % 255);
    const long bits = static_cast<long>(rng() % 3000);
    std::string c;
    c.push_back(static_cast<char>(bits / 32400));
    c.push_back(static_cast<char>((bits % 32400) / 180));
    c.push_back(static_cast<char>(bits % 180));
    c.push_back(static_cast<char>(k - 1));
    int weighted = 0;
    for (int j = 0; j < k; ++j) {
      c.push_back(static_cast<char>(rng() % 256));
      // Few distinct weights make many ties; some leaves get weight 0.
      const int w = static_cast<int>(rng() % 6) * (round % 3 == 0 ? 51 : 1);
      weighted += w > 0 ? 1 : 0;
      c.push_back(static_cast<char>(w));
    }
    if (weighted < 2) continue;
    for (long b = 0; b <= bits / 8; ++b) c.push_back(static_cast<char>(rng()));
    const auto decoded = huffDecode(c);
    ASSERT_TRUE(decoded) << round;
    EXPECT_EQ(*decoded, referenceDecode(c)) << round;
  }
}

void expectRoundTrip(const std::string& plain) {
  const auto encoded = huffEncode(plain);
  ASSERT_TRUE(encoded) << plain.size();
  EXPECT_EQ(huffDecode(*encoded), plain);
}

TEST(HuffEncode, RoundTripsThroughTheDecoder) {
  expectRoundTrip("1234|1.2.3|0|5678");
  expectRoundTrip("a");
  expectRoundTrip("aaaaaaaaaaaaaaaaaaaa");  // one symbol only
  expectRoundTrip("abababababab");          // equal weights
  expectRoundTrip(std::string("\0\x01\xff\x80", 4));

  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  expectRoundTrip(all);
  expectRoundTrip(all + all + "zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz");

  // Very skewed frequencies force weights to be scaled into 1..255.
  expectRoundTrip(std::string(100000, 'x') + "yz");

  std::mt19937 rng(42);
  for (int round = 0; round < 20; ++round) {
    std::string text(1 + rng() % 5000, '\0');
    const unsigned alphabet = 1 + rng() % 256;
    for (char& c : text) c = static_cast<char>(rng() % alphabet);
    expectRoundTrip(text);
  }
  EXPECT_FALSE(huffEncode(""));
}

TEST(HuffEncode, WritesTheDocumentedLayout) {
  const auto encoded = huffEncode("AB");
  ASSERT_TRUE(encoded);
  EXPECT_EQ(*encoded, coded({0, 0, 2, 1, 'A', 255, 'B', 255, 0x02}));
  // A long header uses all three digits of the bit count: 2 bits * 20000 symbols.
  std::string longText;
  for (int i = 0; i < 20000; ++i) longText += (i % 2 == 0) ? 'p' : 'q';
  const auto big = huffEncode(longText);
  ASSERT_TRUE(big);
  const long bits = static_cast<unsigned char>((*big)[0]) * 32400L +
                    static_cast<unsigned char>((*big)[1]) * 180L +
                    static_cast<unsigned char>((*big)[2]);
  EXPECT_EQ(bits, 20000);
  EXPECT_EQ(big->size(), 4u + 2 * 2 + 20000 / 8 + 1);
}

}  // namespace
}  // namespace nx::setup
