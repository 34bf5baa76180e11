#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli.h"

using namespace nx::nxvat;

namespace {

struct Result {
  int code;
  std::string out;
  std::string err;
};

Result run(std::vector<std::string_view> args, std::string input = "") {
  StringInput in(std::move(input));
  StringOutput out, err;
  const int code = nx::nxvat::run(args, in, out, err);
  return {code, out.text(), err.text()};
}

}  // namespace

TEST(NxvatCheck, SingleNumbers) {
  EXPECT_EQ(run({"check", "ES", "12345678Z"}).out, "valid\n");
  EXPECT_EQ(run({"check", "es", "12345678Z"}).code, kExitOk);
  const Result bad = run({"check", "ES", "12345678T"});
  EXPECT_EQ(bad.out, "invalid\n");
  EXPECT_EQ(bad.code, kExitNegative);
  // No country, or an unknown one: everything is valid.
  EXPECT_EQ(run({"check", "-", "whatever"}).code, kExitOk);
  EXPECT_EQ(run({"check", "ZZ", "whatever"}).out, "valid\n");
}

TEST(NxvatComplete, SingleNumbers) {
  EXPECT_EQ(run({"complete", "AT", "ES12345678?"}).out, "12345678Z\n");
  const Result none = run({"complete", "ES", "1234567??"});
  EXPECT_EQ(none.code, kExitNegative);
  EXPECT_EQ(none.out, "");
  const Result searched = run({"complete", "-", "U1358562?"});
  EXPECT_EQ(searched.out, "ATU13585627\n");
}

TEST(NxvatCountries, BothLanguages) {
  const Result en = run({"countries"});
  EXPECT_EQ(en.code, kExitOk);
  EXPECT_EQ(en.out.substr(0, 11), "0\tAT\tAustri");
  EXPECT_NE(en.out.find("12\tGB\tU.K.\n"), std::string::npos);
  EXPECT_NE(en.out.find("26\tSK\tSlovakia\n"), std::string::npos);
  const Result pt = run({"countries", "--lang", "pt"});
  EXPECT_NE(pt.out.find("0\tAT\t\xC3\x81ustria\n"), std::string::npos);
  EXPECT_NE(pt.out.find("4\tCZ\tRep. Checa\n"), std::string::npos);
  EXPECT_EQ(run({"countries", "--lang", "de"}).code, kExitUsage);
}

TEST(NxvatUsage, WrongArgumentsExitTwo) {
  for (auto args : std::vector<std::vector<std::string_view>>{{},
                                                              {"frobnicate"},
                                                              {"check"},
                                                              {"check", "ES"},
                                                              {"check", "ES", "1", "2"},
                                                              {"complete", "--batch", "x"},
                                                              {"countries", "--lang"}}) {
    const Result r = run(args);
    EXPECT_EQ(r.code, kExitUsage);
    EXPECT_NE(r.err.find("nxvat: "), std::string::npos);
    EXPECT_EQ(r.out, "");
  }
  const Result help = run({"--help"});
  EXPECT_EQ(help.code, kExitOk);
  EXPECT_NE(help.out.find("--batch"), std::string::npos);
}

TEST(NxvatBatch, CheckLinesWithLfAndCrlf) {
  const Result r = run({"check", "--batch"},
                       "ES\t12345678Z\nES\t12345678T\r\nat\tU13585627\r\n-\tanything\nES\t");
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.out, "1\n0\n1\n1\n0\n");
  EXPECT_EQ(r.err, "");
}

TEST(NxvatBatch, LinesWithoutTabAreReportedAndSkipped) {
  const Result r = run({"check", "--batch"}, "ES\t12345678Z\nno tab here\n\nES\t12345678Z\n");
  EXPECT_EQ(r.out, "1\n\n\n1\n");
  EXPECT_NE(r.err.find("line 2"), std::string::npos);
  EXPECT_NE(r.err.find("line 3"), std::string::npos);
  EXPECT_EQ(r.err.find("line 1"), std::string::npos);
  EXPECT_EQ(r.code, kExitNegative);
}

TEST(NxvatBatch, CompleteLines) {
  const Result r =
      run({"complete", "--batch"}, "ES\t12345678?\r\nAT\tES12345678?\nES\t1??\n-\tU1358562?\n");
  EXPECT_EQ(r.out, "12345678Z\n12345678Z\n\nATU13585627\n");
  EXPECT_EQ(r.code, kExitOk);
}

TEST(NxvatBatch, LinesSpanningReadChunks) {
  // More than one read buffer of input: line boundaries fall inside chunks.
  std::string input;
  std::string expected;
  for (int i = 0; i < 120000; ++i) {
    input += i % 3 ? "ES\t12345678Z\r\n" : "DE\t136695977\n";
    expected += i % 3 ? "1\n" : "0\n";
  }
  const Result r = run({"check", "--batch"}, input);
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.code, kExitOk);
}
