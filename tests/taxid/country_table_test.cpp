#include <gtest/gtest.h>

#include <string>

#include "engine/nif_validator.h"

using namespace nx::taxid;

TEST(CountryTable, CodesInFixedOrder) {
  std::string joined;
  for (int i = 0; i < kCountryCount; ++i) {
    if (i) joined += ',';
    joined += countryCode(i);
  }
  EXPECT_EQ(joined,
            "AT,BE,BG,CY,CZ,DE,DK,EE,EL,ES,FI,FR,GB,HU,IE,IT,LT,LU,LV,MT,NL,PL,PT,RO,SE,SI,SK");
  EXPECT_EQ(countryCode(-1), "");
  EXPECT_EQ(countryCode(27), "");
  EXPECT_EQ(countryCode(-32768), "");
  EXPECT_EQ(countryCode(32767), "");
}

TEST(CountryTable, NamesInBothLanguages) {
  EXPECT_EQ(countryName(12, NX_EN), "U.K.");
  EXPECT_EQ(countryName(12, NX_PT), "Inglaterra");
  EXPECT_EQ(countryName(4, NX_EN), "Czech Republic");
  EXPECT_EQ(countryName(4, NX_PT), "Rep. Checa");
  EXPECT_EQ(countryName(0, NX_PT), "\xC3\x81ustria");  // Áustria
  EXPECT_EQ(countryName(11, NX_PT),
            "Fran\xC3\xA7"
            "a");  // França
  EXPECT_EQ(countryName(26, NX_PT), "Eslov\xC3\xA1quia");
  EXPECT_EQ(countryName(8, NX_EN), "Greece");
  // Any language other than 1 is English.
  EXPECT_EQ(countryName(9, 2), "Spain");
  EXPECT_EQ(countryName(9, -1), "Spain");
  EXPECT_EQ(countryName(27, NX_EN), "");
  EXPECT_EQ(countryName(-1, NX_PT), "");
}

TEST(CountryTable, IndexOfCode) {
  EXPECT_EQ(countryIndex("es"), 9);
  EXPECT_EQ(countryIndex("Es"), 9);
  EXPECT_EQ(countryIndex("EL"), 8);
  EXPECT_EQ(countryIndex("GR"), -1);  // Greece goes by EL
  EXPECT_EQ(countryIndex("UK"), -1);  // the table has GB
  EXPECT_EQ(countryIndex("ESP"), -1);
  EXPECT_EQ(countryIndex("E"), -1);
  EXPECT_EQ(countryIndex(""), -1);
  EXPECT_EQ(countryIndex(std::string_view("E\0", 2)), -1);
  EXPECT_EQ(countryIndex("\xC3\x89"), -1);  // one two-byte character
  for (int i = 0; i < kCountryCount; ++i) EXPECT_EQ(countryIndex(countryCode(i)), i);
}

TEST(SplitCountryPrefix, NormalisesAndReportsPrefix) {
  std::string number = "AT1234";
  int index = 99;
  splitCountryPrefix(number, index, true);
  EXPECT_EQ(number, "AT1234");
  EXPECT_EQ(index, -1);

  number = "ATU12345678";
  splitCountryPrefix(number, index, false);
  EXPECT_EQ(number, "ATU12345678");
  EXPECT_EQ(index, 0);
  splitCountryPrefix(number, index, true);
  EXPECT_EQ(number, "U12345678");
  EXPECT_EQ(index, 0);

  number = "  es b12345678  ";
  splitCountryPrefix(number, index, true);
  EXPECT_EQ(number, " B12345678");  // inner blanks stay
  EXPECT_EQ(index, 9);

  number = "XX1234567";  // unknown prefix: reported as -1, nothing stripped
  splitCountryPrefix(number, index, true);
  EXPECT_EQ(number, "XX1234567");
  EXPECT_EQ(index, -1);

  number = "       ";
  splitCountryPrefix(number, index, true);
  EXPECT_EQ(number, "");
  EXPECT_EQ(index, -1);
}

TEST(SplitCountryPrefix, CountsCharactersNotBytes) {
  // Five characters (seven bytes): too short to carry a prefix.
  std::string number =
      "AT\xC3\xA9\xC3\xA9"
      "1";
  int index = 0;
  splitCountryPrefix(number, index, true);
  EXPECT_EQ(index, -1);
  // Accented Latin letters are upper-cased like ASCII ones.
  number =
      "de\xC3\xA9\xC3\xA9"
      "12345";
  splitCountryPrefix(number, index, false);
  EXPECT_EQ(number,
            "DE\xC3\x89\xC3\x89"
            "12345");
  EXPECT_EQ(index, 5);
}

TEST(CheckNumber, NoCountryAcceptsEverything) {
  for (int index : {-1, 27, -32768, 32767, 1000000}) {
    EXPECT_TRUE(checkNumber("", index));
    EXPECT_TRUE(checkNumber("anything at all", index));
  }
}

TEST(CheckNumber, TakesTheTextAsGiven) {
  EXPECT_TRUE(checkNumber("12345678Z", 9));
  EXPECT_FALSE(checkNumber("ES12345678Z", 9));  // prefix not stripped
  EXPECT_FALSE(checkNumber("12345678z", 9));    // not upper-cased
  EXPECT_FALSE(checkNumber(" 12345678Z", 9));   // not trimmed
  EXPECT_FALSE(checkNumber("12345678Z ", 9));
}
