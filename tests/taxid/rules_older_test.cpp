// National rules of AT, BE, DE, DK, EL, ES, FI, FR, GB, IE, IT, LU, NL, PT and SE.
#include <gtest/gtest.h>

#include <string>

#include "engine/nif_validator.h"

using nx::taxid::checkNumber;
using nx::taxid::countryIndex;

namespace {

bool valid(const char* code, std::string_view number) {
  return checkNumber(number, countryIndex(code));
}

// True when no last digit makes the body valid.
bool noCheckDigitFits(const char* code, const std::string& body) {
  for (char c = '0'; c <= '9'; ++c)
    if (valid(code, body + c)) return false;
  return true;
}

}  // namespace

TEST(RulesAT, UPrefixAndCheckDigit) {
  EXPECT_TRUE(valid("AT", "U13585627"));
  EXPECT_FALSE(valid("AT", "U13585626"));
  EXPECT_FALSE(valid("AT", "u13585627"));
  EXPECT_FALSE(valid("AT", "ATU13585627"));
  EXPECT_FALSE(valid("AT", "U1358562"));
  EXPECT_FALSE(valid("AT", "U1358562A"));
}

TEST(RulesBE, LeadingZeroAnd97Complement) {
  EXPECT_TRUE(valid("BE", "0403019261"));
  EXPECT_FALSE(valid("BE", "0403019262"));
  EXPECT_FALSE(valid("BE", "1403019261"));
  // Second digit below 2 fails whatever the check.
  for (int k = 0; k < 100; ++k) {
    char tail[3];
    std::snprintf(tail, sizeof tail, "%02d", k);
    EXPECT_FALSE(valid("BE", std::string("0100000") + "0" + tail)) << k;
    EXPECT_FALSE(valid("BE", std::string("0123456") + "7" + tail)) << k;
  }
  // 2000043 is a multiple of 97: its check is 97, not 00.
  EXPECT_TRUE(valid("BE", "0200004397"));
  EXPECT_FALSE(valid("BE", "0200004300"));
  EXPECT_FALSE(valid("BE", "040301926"));
}

TEST(RulesDE, Mod1110) {
  EXPECT_TRUE(valid("DE", "136695976"));
  EXPECT_FALSE(valid("DE", "136695977"));
  EXPECT_FALSE(valid("DE", "000000001"));  // eight leading zeros
  EXPECT_FALSE(valid("DE", "000000000"));
  EXPECT_FALSE(valid("DE", "13669597"));
}

TEST(RulesDK, WeightedSumDivisibleBy11) {
  EXPECT_TRUE(valid("DK", "13585628"));
  EXPECT_FALSE(valid("DK", "13585629"));
  EXPECT_FALSE(valid("DK", "03585628"));  // leading zero
  EXPECT_FALSE(valid("DK", "00000000"));
}

TEST(RulesEL, PowersOfTwo) {
  EXPECT_TRUE(valid("EL", "094259216"));
  EXPECT_FALSE(valid("EL", "094259217"));
  EXPECT_FALSE(valid("EL", "000000000"));
  EXPECT_FALSE(valid("EL", "EL094259216"));
}

TEST(RulesES, PersonalAndEntityNumbers) {
  EXPECT_TRUE(valid("ES", "12345678Z"));  // 12345678 mod 23 = 14 -> Z
  EXPECT_FALSE(valid("ES", "12345678z"));
  EXPECT_FALSE(valid("ES", "12345678T"));
  EXPECT_TRUE(valid("ES", "X1234567L"));   // seven digits: 1234567 mod 23 = 19 -> L
  EXPECT_FALSE(valid("ES", "Y1234567L"));  // Y is not a personal letter
  EXPECT_FALSE(valid("ES", "00000000T"));  // positions 2 to 8 are zero
  EXPECT_TRUE(valid("ES", "A13585625"));   // entity, digit control
  EXPECT_FALSE(valid("ES", "A13585626"));
  EXPECT_FALSE(valid("ES", "N13585625"));  // N only takes a letter control
  EXPECT_FALSE(valid("ES", "K13585625"));
  // Entity with letter control: r = 0 asks for J.
  EXPECT_TRUE(valid("ES", "A0000019J"));
  EXPECT_TRUE(valid("ES", "A00000190"));
  EXPECT_FALSE(valid("ES", "A0000019A"));
  EXPECT_TRUE(valid("ES", "P0000019J"));
  EXPECT_FALSE(valid("ES", "Z0000019J"));
  EXPECT_FALSE(valid("ES", "A00A0019J"));
  EXPECT_FALSE(valid("ES", "12345678"));
}

TEST(RulesFI, RemainderOneNeverPasses) {
  EXPECT_TRUE(valid("FI", "20774740"));
  EXPECT_FALSE(valid("FI", "20774741"));
  EXPECT_FALSE(valid("FI", "00000000"));
  EXPECT_TRUE(noCheckDigitFits("FI", "0000030"));  // weighted sum 12, remainder 1
}

TEST(RulesFR, NumericAndLetterKeys) {
  EXPECT_TRUE(valid("FR", "40303265045"));
  EXPECT_FALSE(valid("FR", "41303265045"));
  EXPECT_TRUE(valid("FR", "12000000000"));  // N = 0 has key 12
  EXPECT_FALSE(valid("FR", "00000000000"));
  EXPECT_TRUE(valid("FR", "K7399859412"));
  EXPECT_FALSE(valid("FR", "K7399859413"));
  EXPECT_FALSE(valid("FR", "1A123456789"));  // digit first, letter second
  EXPECT_FALSE(valid("FR", "I7399859412"));  // I and O are not key characters
  EXPECT_FALSE(valid("FR", "k7399859412"));
  EXPECT_FALSE(valid("FR", "KA000000000"));  // tested digits all zero
  EXPECT_FALSE(valid("FR", "K739985941"));
}

TEST(RulesGB, DepartmentsAndStandardNumbers) {
  EXPECT_TRUE(valid("GB", "GD499"));
  EXPECT_TRUE(valid("GB", "GD000"));
  EXPECT_TRUE(valid("GB", "HA500"));
  EXPECT_TRUE(valid("GB", "HA999"));
  EXPECT_FALSE(valid("GB", "GD500"));
  EXPECT_FALSE(valid("GB", "HA499"));
  EXPECT_FALSE(valid("GB", "gd499"));
  EXPECT_FALSE(valid("GB", "XX499"));
  EXPECT_TRUE(valid("GB", "980780684"));
  EXPECT_FALSE(valid("GB", "980780685"));
  EXPECT_TRUE(valid("GB", "980780684001"));
  EXPECT_FALSE(valid("GB", "980780684000"));  // branch 000
  EXPECT_FALSE(valid("GB", "012345678"));     // a leading 0 needs 000, 001 or 002
  EXPECT_FALSE(valid("GB", "000000000"));
  EXPECT_FALSE(valid("GB", "9807806840"));
}

TEST(RulesIE, NewAndOldForms) {
  EXPECT_TRUE(valid("IE", "6433435F"));
  EXPECT_FALSE(valid("IE", "6433435E"));
  EXPECT_FALSE(valid("IE", "6433435f"));  // passes the letter test, fails the exact match
  EXPECT_TRUE(valid("IE", "7A23456L"));   // checked as 0234567L
  EXPECT_TRUE(valid("IE", "7+23456L"));
  EXPECT_TRUE(valid("IE", "7*23456L"));
  EXPECT_TRUE(valid("IE", "7a23456L"));
  EXPECT_FALSE(valid("IE", "6A23456L"));  // old form needs 7, 8 or 9 first
  EXPECT_FALSE(valid("IE", "7-23456L"));
  EXPECT_FALSE(valid("IE", "7A234561"));
}

TEST(RulesIT, OfficeCode999) {
  EXPECT_TRUE(valid("IT", "00743110157"));
  EXPECT_FALSE(valid("IT", "00743110158"));
  EXPECT_FALSE(valid("IT", "00000000000"));
  // Correct check digit, office 999.
  EXPECT_FALSE(valid("IT", "00743119992"));
  EXPECT_TRUE(noCheckDigitFits("IT", "0074311999"));
}

TEST(RulesLU, Mod89) {
  EXPECT_TRUE(valid("LU", "15027442"));
  EXPECT_FALSE(valid("LU", "15027443"));
  EXPECT_FALSE(valid("LU", "00000000"));
}

TEST(RulesNL, BranchSuffix) {
  EXPECT_TRUE(valid("NL", "004495445B01"));
  EXPECT_TRUE(valid("NL", "004495445B99"));
  EXPECT_FALSE(valid("NL", "004495445B00"));
  EXPECT_FALSE(valid("NL", "004495445b01"));
  EXPECT_FALSE(valid("NL", "004495446B01"));
  EXPECT_FALSE(valid("NL", "000000000B01"));
}

TEST(RulesPT, Mod11) {
  EXPECT_TRUE(valid("PT", "501964843"));
  EXPECT_FALSE(valid("PT", "501964842"));
}

TEST(RulesSE, LuhnWith01) {
  EXPECT_TRUE(valid("SE", "123456789701"));
  EXPECT_FALSE(valid("SE", "123456789702"));
  EXPECT_FALSE(valid("SE", "123456789801"));
}
