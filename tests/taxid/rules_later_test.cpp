// National rules of BG, CY, CZ, EE, HU, LT, LV, MT, PL, RO, SI and SK.
#include <gtest/gtest.h>

#include <string>

#include "engine/nif_validator.h"

using nx::taxid::checkNumber;
using nx::taxid::countryIndex;

namespace {

bool valid(const char* code, std::string_view number) {
  return checkNumber(number, countryIndex(code));
}

bool anyLastDigitFits(const char* code, const std::string& body) {
  for (char c = '0'; c <= '9'; ++c)
    if (valid(code, body + c)) return true;
  return false;
}

}  // namespace

TEST(RulesCY, FirstDigitAndCheckLetter) {
  EXPECT_TRUE(valid("CY", "10259033P"));
  EXPECT_FALSE(valid("CY", "10259033Q"));
  EXPECT_FALSE(valid("CY", "10259033p"));
  for (char first : {'2', '6', '7', '8'}) {
    std::string body = std::string(1, first) + "0259033";
    bool anyLetter = false;
    for (char c = 'A'; c <= 'Z'; ++c) anyLetter |= valid("CY", body + c);
    EXPECT_FALSE(anyLetter) << first;
  }
  EXPECT_FALSE(valid("CY", "102590331"));
}

TEST(RulesCZ, EntitiesSpecialCasesAndBirthNumbers) {
  EXPECT_TRUE(valid("CZ", "25123891"));
  EXPECT_FALSE(valid("CZ", "25123890"));
  EXPECT_FALSE(anyLastDigitFits("CZ", "9512389"));  // eight digits starting with 9
  // Nine digits starting with 6: the special-case check, even though 64 is no valid year.
  EXPECT_TRUE(valid("CZ", "640903926"));
  EXPECT_FALSE(valid("CZ", "640903927"));
  // Nine-digit birth numbers: a date, no check digit; months 51..62 for women.
  EXPECT_TRUE(valid("CZ", "395601439"));
  EXPECT_TRUE(valid("CZ", "390601000"));
  EXPECT_FALSE(valid("CZ", "395631439"));  // 31 June
  EXPECT_FALSE(valid("CZ", "545601439"));  // year above 53
  EXPECT_FALSE(valid("CZ", "391301439"));
  // Ten-digit birth numbers: year above 53, sum of pairs divisible by 11, a real date.
  EXPECT_TRUE(valid("CZ", "7103192745"));
  EXPECT_FALSE(valid("CZ", "7103192746"));
  EXPECT_TRUE(valid("CZ", "7153192706"));   // month 53 stands for March
  EXPECT_FALSE(valid("CZ", "5303192745"));  // year 53 or below fails
  EXPECT_FALSE(valid("CZ", "7102302702"));  // 30 February; pairs sum to 132
  EXPECT_FALSE(valid("CZ", "251238911"));
  EXPECT_FALSE(valid("CZ", "2512389"));
}

TEST(RulesEE_HU, ZeroSumFails) {
  EXPECT_TRUE(valid("EE", "100931558"));
  EXPECT_FALSE(valid("EE", "100931559"));
  EXPECT_FALSE(valid("EE", "000000000"));
  EXPECT_TRUE(valid("HU", "12892312"));
  EXPECT_FALSE(valid("HU", "12892313"));
  EXPECT_FALSE(valid("HU", "00000000"));
}

TEST(RulesLT, NineAndTwelveDigits) {
  EXPECT_TRUE(valid("LT", "119511515"));
  EXPECT_FALSE(valid("LT", "119511516"));
  EXPECT_FALSE(anyLastDigitFits("LT", "11951152"));  // eighth digit must be 1
  EXPECT_FALSE(valid("LT", "1195115150"));
  EXPECT_FALSE(anyLastDigitFits("LT", "11951151512"));  // eleventh digit must be 1
  // Exactly one check digit per twelve-digit body.
  int fits = 0;
  for (char c = '0'; c <= '9'; ++c) fits += valid("LT", std::string("10000000021") + c);
  EXPECT_EQ(fits, 1);
}

TEST(RulesLV, LegalAndNaturalPersons) {
  EXPECT_TRUE(valid("LV", "40003521600"));
  EXPECT_FALSE(valid("LV", "40003521601"));
  EXPECT_TRUE(valid("LV", "29020012345"));   // 29 Feb 2000
  EXPECT_FALSE(valid("LV", "30020012345"));  // 30 Feb
  EXPECT_FALSE(valid("LV", "29029912345"));  // 29 Feb 1999
  EXPECT_TRUE(valid("LV", "29021612345"));   // 1916 was a leap year
  EXPECT_FALSE(valid("LV", "29021512345"));  // 2015 was not
}

TEST(RulesMT, ThirtySevenComplement) {
  EXPECT_TRUE(valid("MT", "11679112"));
  EXPECT_FALSE(valid("MT", "11679113"));
  EXPECT_FALSE(valid("MT", "10000012"));  // first six digits 100000
  EXPECT_FALSE(valid("MT", "01679112"));
}

TEST(RulesPL, Mod11) {
  EXPECT_TRUE(valid("PL", "8567346215"));
  EXPECT_FALSE(valid("PL", "8567346216"));
}

TEST(RulesRO, LeftFilledToTen) {
  EXPECT_TRUE(valid("RO", "18547290"));
  EXPECT_FALSE(valid("RO", "18547291"));
  EXPECT_TRUE(valid("RO", "19"));  // 0000000019
  EXPECT_FALSE(valid("RO", "18"));
  EXPECT_TRUE(valid("RO", "0000000019"));
  EXPECT_FALSE(valid("RO", "9"));
  EXPECT_FALSE(valid("RO", "00000000019"));  // eleven digits
  EXPECT_FALSE(valid("RO", ""));
}

TEST(RulesSI, RemainderZeroFails) {
  EXPECT_TRUE(valid("SI", "15012557"));
  EXPECT_FALSE(valid("SI", "15012558"));
  EXPECT_FALSE(anyLastDigitFits("SI", "0000000"));
}

TEST(RulesSK, DivisibleBy11) {
  EXPECT_TRUE(valid("SK", "2022749619"));
  EXPECT_FALSE(valid("SK", "2022749618"));
  EXPECT_FALSE(valid("SK", "0022749619"));
  for (long long start : {2010000000LL, 2050000000LL, 2060000000LL}) {
    const long long multiple = (start + 10) / 11 * 11;
    EXPECT_EQ(multiple % 11, 0);
    EXPECT_FALSE(valid("SK", std::to_string(multiple))) << multiple;
  }
  EXPECT_TRUE(valid("SK", std::to_string(2030000000LL / 11 * 11 + 11)));
}

TEST(RulesBG, NineAndTenDigitKinds) {
  EXPECT_TRUE(valid("BG", "175074752"));
  EXPECT_FALSE(valid("BG", "175074753"));
  EXPECT_TRUE(valid("BG", "7523169263"));  // personal number, born 16 March 1875
  EXPECT_TRUE(valid("BG", "0013000006"));  // month 13: accepted as a foreigner number
  EXPECT_FALSE(valid("BG", "17507475"));
  EXPECT_FALSE(valid("BG", "17507475211"));
}
