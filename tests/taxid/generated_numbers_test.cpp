// Numbers generated per member state: random bodies completed at their check position, then
// every single-character mutation of the result.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/nif_validator.h"

using namespace nx::taxid;

namespace {

// A body pattern: '#' a random digit, '@' a random digit from `lead`, '?' the check
// position(s); other characters stand as they are.
struct Shape {
  const char* code;
  const char* pattern;
  const char* lead;
  // Every digit-for-digit substitution at positions firstMutable..lastMutable (1-based) of a
  // valid number must fail: the scheme detects all single-digit errors there. 0 = none.
  int firstMutable;
  int lastMutable;
  bool numericOnly;  // every position of a valid number is a digit
};

const Shape kShapes[] = {
    {"AT", "U#######?", "", 2, 9, false},
    {"BE", "0@######??", "23456789", 2, 10, true},
    {"BG", "########?", "", 0, 0, true},
    {"CY", "@#######?", "013459", 1, 8, false},
    {"CZ", "@######?", "12345678", 0, 0, true},
    {"DE", "########?", "", 1, 9, true},
    {"DK", "@######?", "123456789", 1, 8, true},
    {"EE", "########?", "", 1, 9, true},
    {"EL", "########?", "", 0, 0, true},
    {"ES", "########?", "", 0, 0, false},
    {"ES", "@#######?", "ABCDEFGHNPQS", 0, 0, false},
    {"FI", "#######?", "", 1, 8, true},
    {"FR", "??#########", "", 0, 0, true},
    {"GB", "@######??", "123456789", 1, 9, true},
    {"HU", "#######?", "", 1, 8, true},
    {"IE", "#######?", "", 1, 7, false},
    {"IT", "##########?", "", 1, 11, true},
    {"LT", "#######1?", "", 0, 0, true},
    {"LU", "######??", "", 1, 8, true},
    {"LV", "@#########?", "456789", 2, 11, true},
    {"MT", "@#####??", "123456789", 1, 8, true},
    {"NL", "########?B01", "", 1, 9, false},
    {"PL", "#########?", "", 1, 10, true},
    {"PT", "########?", "", 0, 0, true},
    {"RO", "#########?", "", 0, 0, true},
    {"SE", "#########?01", "", 1, 10, true},
    {"SI", "#######?", "", 1, 8, true},
    {"SK", "@#@######?", "2347890", 1, 10, true},
};

std::string randomBody(const Shape& shape, std::mt19937& rng) {
  std::string lead = shape.lead;
  std::string body;
  for (const char* p = shape.pattern; *p; ++p) {
    if (*p == '#')
      body += static_cast<char>('0' + rng() % 10);
    else if (*p == '@')
      body += lead[rng() % lead.size()];
    else
      body += *p;
  }
  return body;
}

// All numbers that fill the '?' positions of body and pass the rule.
std::vector<std::string> completions(const std::string& body, int index) {
  std::vector<std::string> found;
  const auto first = body.find('?');
  const bool two = body.find('?', first + 1) != std::string::npos;
  std::string candidate = body;
  for (char a : kCompletionAlphabet) {
    candidate[first] = a;
    if (!two) {
      if (checkNumber(candidate, index)) found.push_back(candidate);
      continue;
    }
    for (char b : kCompletionAlphabet) {
      candidate[first + 1] = b;
      if (checkNumber(candidate, index)) found.push_back(candidate);
    }
  }
  return found;
}

struct Generated {
  std::vector<std::string> numbers;
  int bodies = 0;
};

Generated generate(const Shape& shape, int count) {
  std::mt19937 rng(12345u + static_cast<unsigned>(countryIndex(shape.code)));
  Generated g;
  const int index = countryIndex(shape.code);
  while (static_cast<int>(g.numbers.size()) < count && g.bodies < count * 20) {
    ++g.bodies;
    const std::string body = randomBody(shape, rng);
    const auto found = completions(body, index);
    if (!found.empty()) g.numbers.push_back(found.front());
    // A single check character is determined by its body for the check-digit schemes.
    if (shape.firstMutable != 0 && body.find("??") == std::string::npos) {
      EXPECT_LE(found.size(), 1u) << shape.code << " " << body;
    }
  }
  return g;
}

constexpr int kPerShape = 150;

}  // namespace

TEST(GeneratedNumbers, MostBodiesCompleteAndCompletionAgrees) {
  for (const Shape& shape : kShapes) {
    const Generated g = generate(shape, kPerShape);
    const int index = countryIndex(shape.code);
    EXPECT_EQ(static_cast<int>(g.numbers.size()), kPerShape) << shape.code;
    // At most a fifth of random bodies may have no valid check character.
    EXPECT_LE(g.bodies, kPerShape * 5 / 4) << shape.code << " " << shape.pattern;
    for (const std::string& number : g.numbers) {
      EXPECT_TRUE(checkNumber(number, index)) << shape.code << " " << number;
      // The same number behind its own prefix is found by the completion of its last
      // character, whatever the caller's country.
      const std::string withMark =
          std::string(shape.code) + number.substr(0, number.size() - 1) + "?";
      const std::string completed = completeNumber(withMark, (index + 1) % kCountryCount);
      ASSERT_FALSE(completed.empty()) << withMark;
      EXPECT_TRUE(checkNumber(completed, index)) << withMark << " -> " << completed;
      EXPECT_EQ(completed.substr(0, completed.size() - 1), number.substr(0, number.size() - 1));
      EXPECT_LE(completed.back(), number.back()) << "the earliest candidate wins";
    }
  }
}

TEST(GeneratedNumbers, SingleDigitSubstitutionsFail) {
  for (const Shape& shape : kShapes) {
    if (shape.firstMutable == 0) continue;
    const int index = countryIndex(shape.code);
    for (const std::string& number : generate(shape, 40).numbers) {
      for (int pos = shape.firstMutable; pos <= shape.lastMutable; ++pos) {
        std::string mutated = number;
        const char original = number[static_cast<std::size_t>(pos - 1)];
        if (original < '0' || original > '9') continue;
        for (char c = '0'; c <= '9'; ++c) {
          if (c == original) continue;
          mutated[static_cast<std::size_t>(pos - 1)] = c;
          EXPECT_FALSE(checkNumber(mutated, index))
              << shape.code << " " << number << " -> " << mutated;
        }
      }
    }
  }
}

TEST(GeneratedNumbers, NonDigitsWhereDigitsBelongFail) {
  const std::string strangers[] = {"A", "z", " ", "?", "-", std::string(1, '\0'), "\xC3", "\xFF"};
  for (const Shape& shape : kShapes) {
    const int index = countryIndex(shape.code);
    for (const std::string& number : generate(shape, 20).numbers) {
      for (std::size_t i = 0; i < number.size(); ++i) {
        if (number[i] < '0' || number[i] > '9') continue;
        const std::string code = shape.code;
        if ((code == "ES" || code == "IE" || code == "FR") && i <= 1)
          continue;  // letters are allowed up front in some forms
        for (const std::string& s : strangers) {
          std::string mutated = number;
          mutated.replace(i, 1, s);
          EXPECT_FALSE(checkNumber(mutated, index)) << shape.code << " " << number << " @" << i;
        }
      }
      // Dropping or doubling a character changes the length: invalid for fixed lengths.
      if (shape.code != std::string("RO") && shape.code != std::string("CZ") &&
          shape.code != std::string("BG") && shape.code != std::string("LT")) {
        EXPECT_FALSE(checkNumber(number.substr(0, number.size() - 1), index)) << number;
        EXPECT_FALSE(checkNumber(number + number.back(), index)) << number;
      }
    }
  }
}
