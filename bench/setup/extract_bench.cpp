// Extraction speed of the payload reader: a 20 MB archive of 200 deflated members, extracted
// by ZipExtractionClass, inflated by zlib alone (the limit) and extracted by Info-ZIP unzip.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "nxsetup/zip_extraction.h"
#include "nxsetup/zip_format.h"
#include "nxsetup/zip_writer.h"

namespace fs = std::filesystem;
using namespace nx::setup;

namespace {

constexpr int kMembers = 200;
constexpr std::size_t kMemberSize = 100 * 1024;  // 200 x 100 KiB = 20 MB

// Text-like content: words drawn from a small vocabulary, compressing about 3:1 like code.
std::vector<std::uint8_t> memberContent(std::mt19937& rng) {
  static const char* kWords[] = {"control", "gradient", "0x8000000F", "DllRegisterServer",
                                 "caption", "border",   "twips",      "themeOffice",
                                 "{",       "}",        "\r\n",       "property"};
  std::vector<std::uint8_t> out;
  out.reserve(kMemberSize);
  while (out.size() < kMemberSize) {
    if (rng() % 8 == 0) {
      out.push_back(static_cast<std::uint8_t>(rng()));
    } else {
      const std::string w = kWords[rng() % std::size(kWords)];
      out.insert(out.end(), w.begin(), w.end());
      out.push_back(' ');
    }
  }
  out.resize(kMemberSize);
  return out;
}

struct Workload {
  fs::path dir;
  fs::path archive;
  std::vector<std::uint8_t> bytes;
  std::vector<zip::CentralHeader> entries;

  Workload() {
    dir = fs::temp_directory_path() / ("nxsetup-bench-" + std::to_string(std::random_device{}()));
    fs::create_directories(dir);
    archive = dir / "payload.zip";
    std::mt19937 rng(2024);
    ZipWriter writer;
    for (int i = 0; i < kMembers; ++i) {
      const auto data = memberContent(rng);
      writer.add("member" + std::to_string(i) + ".ocx", data, true, DateTime{2025, 1, 1, 0, 0, 0});
    }
    bytes = writer.finish();
    std::ofstream(archive, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    const auto endAt = zip::findEndRecord(bytes);
    const auto end = zip::readEndRecord(bytes, *endAt);
    std::uint64_t at = end->centralOffset;
    for (int i = 0; i < end->totalEntries; ++i) {
      const auto h = zip::readCentralHeader(bytes, at, bytes.size());
      entries.push_back(*h);
      at += h->recordSize;
    }
  }
  ~Workload() {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
};

Workload& workload() {
  static Workload w;
  return w;
}

void setCounters(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kMembers *
                          static_cast<std::int64_t>(kMemberSize));
}

void BM_OurExtractor(benchmark::State& state) {
  Workload& w = workload();
  const std::string out = (w.dir / "ours").string();
  for (auto _ : state) {
    ZipExtractionClass zip;
    if (!zip.OpenZip(w.archive.string()) || !zip.Extract(out, true, true)) {
      state.SkipWithError("extraction failed");
      break;
    }
  }
  setCounters(state);
}

void BM_ZlibInflateOnly(benchmark::State& state) {
  Workload& w = workload();
  std::vector<std::uint8_t> buffer(kMemberSize);
  for (auto _ : state) {
    for (const auto& e : w.entries) {
      const auto local = zip::readLocalHeader(w.bytes, e.localOffset);
      z_stream s{};
      inflateInit2(&s, -MAX_WBITS);
      s.next_in = w.bytes.data() + local->dataOffset;
      s.avail_in = local->compressedSize;
      s.next_out = buffer.data();
      s.avail_out = static_cast<uInt>(buffer.size());
      inflate(&s, Z_FINISH);
      inflateEnd(&s);
      benchmark::DoNotOptimize(crc32(0, buffer.data(), static_cast<uInt>(s.total_out)));
    }
  }
  setCounters(state);
}

void BM_InfoZipUnzip(benchmark::State& state) {
  Workload& w = workload();
  if (std::system("command -v unzip >/dev/null 2>&1") != 0) {
    state.SkipWithError("unzip not installed");
    return;
  }
  const std::string command =
      "unzip -o -qq '" + w.archive.string() + "' -d '" + (w.dir / "infozip").string() + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("unzip failed");
      break;
    }
  }
  setCounters(state);
}

BENCHMARK(BM_OurExtractor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ZlibInflateOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InfoZipUnzip)->Unit(benchmark::kMillisecond)->UseRealTime();

// Collects the mean real time of each run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (!r.error_occurred && r.iterations > 0)
        times[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
  }
  std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  const Workload& w = workload();
  std::printf("payload: %d deflated members, %.1f MB unpacked, %.1f MB archive\n", kMembers,
              kMembers * static_cast<double>(kMemberSize) / 1e6,
              static_cast<double>(w.bytes.size()) / 1e6);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double ours = reporter.times["BM_OurExtractor/real_time"];
  const double limit = reporter.times["BM_ZlibInflateOnly/real_time"];
  const double unzip = reporter.times["BM_InfoZipUnzip/real_time"];
  std::printf("\n%-28s %12s %12s %12s\n", "", "ours", "zlib only", "unzip -o");
  std::printf("%-28s %12.1f %12.1f %12.1f\n", "time per payload (ms)", ours, limit, unzip);
  if (ours > 0 && limit > 0) {
    std::printf("%-28s %12.2f %12.2f %12.2f\n", "relative to zlib only", ours / limit, 1.0,
                unzip > 0 ? unzip / limit : 0.0);
  }
  benchmark::Shutdown();
  return 0;
}
