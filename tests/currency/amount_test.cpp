// Amount texts with the box's own conventions, the rounding halves of both signs, formatting
// with 0 to 4 decimals, and the exact currency value kind.
#include "currency/eurobox/amount.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "core/runtime/errors.h"

namespace nx::eurobox {
namespace {

TEST(AmountText, AcceptsPlainAndGroupedAmountsOnly) {
  for (const char* ok :
       {"0", "0,00", "1234,5", "1.234,50", "-12,50", "+3", ",5", "5,", " 12 ", "12.345.678,9"})
    EXPECT_TRUE(isAmount(ok)) << ok;
  for (const char* bad :
       {"", "-", ",", "1.2.3", "1,2,3", "12a", "1234.5", ".5", "1.23", "--1", "1 2", "1.234.", "€"})
    EXPECT_FALSE(isAmount(bad)) << bad;
}

TEST(AmountText, CurrencyValueIsExactAndBoundedByTheRange) {
  EXPECT_EQ(currencyOfText("1.234,5678")->units, 12345678);
  EXPECT_EQ(currencyOfText("-0,0001")->units, -1);
  // Beyond four decimals halves go to even, as numeric conversions to currency do.
  EXPECT_EQ(currencyOfText("0,00005")->units, 0);
  EXPECT_EQ(currencyOfText("0,00015")->units, 2);
  EXPECT_EQ(currencyOfText("922337203685477,5807")->units,
            std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(currencyOfText("-922337203685477,5808")->units,
            std::numeric_limits<std::int64_t>::min());
  EXPECT_FALSE(currencyOfText("922337203685477,5808"));
  EXPECT_FALSE(currencyOfText("99999999999999999999"));
  EXPECT_FALSE(currencyOfText("abc"));
}

TEST(AmountText, ConversionsIgnoreTheMachineLocale) {
  const char* old = std::setlocale(LC_ALL, nullptr);
  const std::string saved = old ? old : "C";
  // A locale with other separators, where the machine has one.
  const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") || std::setlocale(LC_ALL, "C.UTF-8");
  EXPECT_EQ(*doubleOfText("1.234,5"), 1234.5);
  EXPECT_EQ(plainText(-1234.5), "-1234,5");
  EXPECT_EQ(formatAmount(1234567.891, 2), "1.234.567,89");
  std::setlocale(LC_ALL, saved.c_str());
  (void)switched;
}

TEST(Rounding, HalvesGoAwayFromZeroInBothSigns) {
  Rounder r;
  EXPECT_EQ(r.round(1234.565, 2), 1234.57);
  EXPECT_EQ(r.round(-1234.565, 2), -1234.57);
  EXPECT_EQ(r.round(2.5, 0), 3.0);
  EXPECT_EQ(r.round(-2.5, 0), -3.0);
  EXPECT_EQ(r.round(0.125, 2), 0.13);  // binary 0.125 is exact: a true half
  EXPECT_EQ(r.round(1.005, 2), 1.01);  // 1.005 is below the half in binary, not in decimal
  EXPECT_EQ(r.round(1.0049, 2), 1.0);
  EXPECT_EQ(r.round(0.00005, 4), 0.0001);
  EXPECT_EQ(r.round(0, 3), 0.0);
}

TEST(Rounding, MemoDoesNotMixDecimalsOrInputs) {
  Rounder r;
  EXPECT_EQ(r.round(1.25, 1), 1.3);
  EXPECT_EQ(r.round(1.25, 0), 1.0);
  EXPECT_EQ(r.round(1.25, 1), 1.3);
  EXPECT_EQ(r.round(-1.25, 1), -1.3);
  EXPECT_EQ(r.round(2.75, 1), 2.8);
}

TEST(Rounding, ArithmeticThatCannotBeDoneGivesTheInput) {
  Rounder r;
  EXPECT_TRUE(std::isnan(r.round(std::nan(""), 2)));
  EXPECT_EQ(r.round(std::numeric_limits<double>::infinity(), 2),
            std::numeric_limits<double>::infinity());
  EXPECT_EQ(r.round(1e300, 2), 1e300);
  EXPECT_EQ(r.round(1.2345, 7), 1.2345);
}

TEST(Formatting, ZeroToFourDecimalsWithGrouping) {
  EXPECT_EQ(formatAmount(1234.5, 0), "1.235");
  EXPECT_EQ(formatAmount(1234.5, 1), "1.234,5");
  EXPECT_EQ(formatAmount(1234.5, 2), "1.234,50");
  EXPECT_EQ(formatAmount(1234.5, 3), "1.234,500");
  EXPECT_EQ(formatAmount(1234.5, 4), "1.234,5000");
  EXPECT_EQ(formatAmount(-999.995, 2), "-1.000,00");
  EXPECT_EQ(formatAmount(999999.9, 0), "1.000.000");
  EXPECT_EQ(formatAmount(0.4, 0), "0");
  EXPECT_EQ(formatAmount(-0.001, 2), "0,00");  // no sign on a zero
  EXPECT_EQ(formatAmount(0, 2), "0,00");
  EXPECT_EQ(formatAmount(std::nan(""), 2), "");
}

TEST(IntegerPart, CountsTheSignAndAnEmptyPartAsZero) {
  EXPECT_EQ(integerPartText("-12,50"), "-12");
  EXPECT_EQ(integerPartText(""), "0");
  EXPECT_EQ(integerPartText(",5"), "0");
  EXPECT_EQ(integerPartText("-"), "0");
  EXPECT_EQ(integerPartText("007"), "7");
  EXPECT_EQ(integerPartText("123456"), "123456");
}

TEST(Symbol, EveryOccurrenceIsRemovedAndAnEmptySymbolRemovesNothing) {
  EXPECT_EQ(withoutSymbol(" 12 EUR EUR", "EUR"), "12");
  EXPECT_EQ(withoutSymbol(" 12,5 ", ""), "12,5");
}

TEST(CurrencyValue, ConvertsExactlyAndRefusesWhatItCannotHold) {
  EXPECT_EQ(toCurrency(Value{1234.565}).units, 12345650);
  EXPECT_EQ(toCurrency(Value{0.1}).units, 1000);
  EXPECT_EQ(toCurrency(Value{-0.00005}).units, 0);  // halves to even
  EXPECT_EQ(toCurrency(Value{std::int32_t{-7}}).units, -70000);
  EXPECT_EQ(toCurrency(Value{std::string("12.34")}).units, 123400);
  EXPECT_THROW(toCurrency(Value{std::nan("")}), OverflowError);
  EXPECT_THROW(toCurrency(Value{std::numeric_limits<double>::infinity()}), OverflowError);
  EXPECT_THROW(toCurrency(Value{1e16}), OverflowError);
  EXPECT_THROW(toCurrency(Value{std::string("12,34")}), ConversionError);
  EXPECT_EQ(toText(Value{Currency{-123450}}), "-12.345");
  EXPECT_EQ(toDouble(Value{Currency{25000}}), 2.5);
  EXPECT_EQ(toInt32(Value{Currency{25000}}), 2);  // halves to even, as numbers do
  EXPECT_TRUE(sameValue(Value{Currency{5}}, Value{Currency{5}}));
  EXPECT_FALSE(sameValue(Value{Currency{5}}, Value{0.0005}));
}

}  // namespace
}  // namespace nx::eurobox
