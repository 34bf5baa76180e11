// Engine figures: checkNumber over a mixed set of all member states, the worst-case
// no-country completion, and the nxvat batch mode end to end over a generated file.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/nif_validator.h"

using namespace nx::taxid;

namespace {

struct Sample {
  std::string number;
  int country;
};

// Valid numbers of every state, and for each an invalid twin (last character changed).
std::vector<Sample> mixedSamples() {
  const std::pair<const char*, const char*> valid[] = {
      {"AT", "U13585627"},    {"BE", "0403019261"}, {"BG", "175074752"},   {"CY", "10259033P"},
      {"CZ", "25123891"},     {"DE", "136695976"},  {"DK", "13585628"},    {"EE", "100931558"},
      {"EL", "094259216"},    {"ES", "A13585625"},  {"FI", "20774740"},    {"FR", "40303265045"},
      {"GB", "980780684"},    {"HU", "12892312"},   {"IE", "6433435F"},    {"IT", "00743110157"},
      {"LT", "119511515"},    {"LU", "15027442"},   {"LV", "40003521600"}, {"MT", "11679112"},
      {"NL", "004495445B01"}, {"PL", "8567346215"}, {"PT", "501964843"},   {"RO", "18547290"},
      {"SE", "123456789701"}, {"SI", "15012557"},   {"SK", "2022749619"},
  };
  std::vector<Sample> samples;
  for (const auto& [code, number] : valid) {
    samples.push_back({number, countryIndex(code)});
    std::string twin = number;
    twin.back() = twin.back() == '1' ? '2' : '1';
    samples.push_back({twin, countryIndex(code)});
  }
  return samples;
}

void BM_CheckNumberMixed(benchmark::State& state) {
  const auto samples = mixedSamples();
  std::size_t i = 0;
  for (auto _ : state) {
    const Sample& s = samples[i];
    benchmark::DoNotOptimize(checkNumber(s.number, s.country));
    if (++i == samples.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CheckNumberMixed)->Repetitions(9)->ReportAggregatesOnly(true);

// No country given and no completion anywhere: all 25 x 36 candidates are tried.
// The body has the shape that the most rules compute on (nine characters, digits and a final
// letter) and is picked so that no country completes it.
std::string uncompletableBody() {
  std::mt19937 rng(2024);
  for (int attempt = 0; attempt < 100000; ++attempt) {
    std::string body;
    for (int i = 0; i < 7; ++i) body += static_cast<char>('1' + rng() % 9);
    body += '?';
    body += static_cast<char>('A' + rng() % 26);
    if (completeNumber(body, -1).empty()) return body;
  }
  return "";
}

void BM_CompleteNumberWorstCase(benchmark::State& state) {
  const std::string body = uncompletableBody();
  if (body.empty()) state.SkipWithError("no uncompletable body found");
  state.SetLabel(body);
  for (auto _ : state) benchmark::DoNotOptimize(completeNumber(body, -1));
}
BENCHMARK(BM_CompleteNumberWorstCase)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The tool's batch mode end to end: a file of lines through a real process.
void batchThroughput() {
  const auto dir = std::filesystem::temp_directory_path() / "nxvat-bench";
  std::filesystem::create_directories(dir);
  const auto input = dir / "lines.txt";
  constexpr int kLines = 5'000'000;
  {
    const auto samples = mixedSamples();
    std::ofstream out(input, std::ios::binary);
    std::string block;
    for (int i = 0; i < kLines; ++i) {
      const Sample& s = samples[static_cast<std::size_t>(i) % samples.size()];
      block += countryCode(s.country);
      block += '\t';
      block += s.number;
      block += i % 2 ? "\r\n" : "\n";
    }
    out << block;
  }
  const std::string command = std::string(NXVAT_PATH) + " check --batch < " + input.string() +
                              " > " + (dir / "out.txt").string();
  double best = 1e9;
  for (int run = 0; run < 3; ++run) {
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
      std::printf("nxvat batch run failed\n");
      return;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  std::printf("nxvat check --batch: %d lines in %.3f s (best of 3) = %.2f million lines/s\n",
              kLines, best, kLines / best / 1e6);
  std::filesystem::remove_all(dir);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  batchThroughput();
  return 0;
}
