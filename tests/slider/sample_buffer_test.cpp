// The sample buffer: one window of N samples, the newest last, and the moving average of the
// window as it stood when each sample arrived.
#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <limits>
#include <random>

#include "slider/tracker/sample_buffer.h"

namespace nx {
namespace {

TEST(RoundedQuotient, RoundsHalvesToTheEvenNeighbour) {
  EXPECT_EQ(roundedQuotient(10, 4), 2);    // 2.5
  EXPECT_EQ(roundedQuotient(30, 4), 8);    // 7.5
  EXPECT_EQ(roundedQuotient(60, 4), 15);   // exact
  EXPECT_EQ(roundedQuotient(11, 4), 3);    // 2.75
  EXPECT_EQ(roundedQuotient(9, 4), 2);     // 2.25
  EXPECT_EQ(roundedQuotient(-10, 4), -2);  // -2.5
  EXPECT_EQ(roundedQuotient(-14, 4), -4);  // -3.5
  EXPECT_EQ(roundedQuotient(-11, 4), -3);  // -2.75
  EXPECT_EQ(roundedQuotient(7, -2), -4);   // -3.5
}

TEST(SampleBuffer, AveragesTheWindowAsEachSampleArrives) {
  SampleBuffer b;
  b.reallocate(4, 0);
  b.add(10);
  EXPECT_EQ(b.average(3), 2);  // 10 / 4 = 2.5
  b.add(20);
  EXPECT_EQ(b.average(3), 8);  // 30 / 4 = 7.5
  b.add(30);
  EXPECT_EQ(b.average(3), 15);  // 60 / 4
  // The averages move left with their samples.
  EXPECT_EQ(b.average(0), 0);
  EXPECT_EQ(b.average(1), 2);
  EXPECT_EQ(b.average(2), 8);
  EXPECT_EQ(b.sample(0), 0);
  EXPECT_EQ(b.sample(1), 10);
  EXPECT_EQ(b.sample(2), 20);
  EXPECT_EQ(b.sample(3), 30);
}

TEST(SampleBuffer, DropsTheOldestSampleOnceFull) {
  SampleBuffer b;
  b.reallocate(100, 7);
  for (std::int32_t v = 1; v <= 100; ++v) b.add(v);
  EXPECT_EQ(b.sample(0), 1);
  EXPECT_EQ(b.sample(99), 100);
  b.add(101);
  EXPECT_EQ(b.sample(0), 2);
  EXPECT_EQ(b.sample(99), 101);
  EXPECT_EQ(b.windowSum(), (2 + 101) * 100 / 2);
}

TEST(SampleBuffer, MatchesARebuiltWindowOverALongRandomSequence) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::int32_t> value(-1000, 1000);
  SampleBuffer b;
  const std::int32_t n = 37;
  b.reallocate(n, 5);
  std::deque<std::int32_t> window(n, 5);
  std::deque<std::int32_t> averages(n, 5);
  for (int k = 0; k < 2000; ++k) {
    const std::int32_t v = value(rng);
    b.add(v);
    window.pop_front();
    window.push_back(v);
    std::int64_t sum = 0;
    for (std::int32_t s : window) sum += s;
    averages.pop_front();
    averages.push_back(static_cast<std::int32_t>(roundedQuotient(sum, n)));
  }
  for (std::int32_t i = 0; i < n; ++i) {
    EXPECT_EQ(b.sample(i), window[static_cast<std::size_t>(i)]) << i;
    EXPECT_EQ(b.average(i), averages[static_cast<std::size_t>(i)]) << i;
  }
}

TEST(SampleBuffer, SumsBeyondThirtyTwoBitsAverageExactly) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  SampleBuffer b;
  b.reallocate(2000, kMax);
  b.add(kMax);
  EXPECT_EQ(b.average(1999), kMax);
  EXPECT_EQ(b.windowSum(), std::int64_t{kMax} * 2000);
  b.reallocate(3, kMin);
  b.add(kMin);
  EXPECT_EQ(b.average(2), kMin);
  b.add(kMax);  // (2 x min + max) / 3 = -715827883.33
  EXPECT_EQ(b.average(2), -715827883);
}

TEST(SampleBuffer, EmptyBuffersTakeNoSamples) {
  SampleBuffer b;
  b.add(5);
  EXPECT_EQ(b.size(), 0);
  EXPECT_EQ(b.added(), 0u);
  b.reallocate(-3, 1);
  EXPECT_EQ(b.size(), 0);
  b.add(5);
  EXPECT_EQ(b.added(), 0u);
}

TEST(SampleBuffer, ResetFillsBothSeriesAndCountsAGeneration) {
  SampleBuffer b;
  b.reallocate(3, 0);
  const std::uint64_t generation = b.generation();
  b.add(9);
  b.add(3);
  EXPECT_EQ(b.added(), 2u);
  b.reset(4);
  EXPECT_EQ(b.generation(), generation + 1);
  EXPECT_EQ(b.added(), 0u);
  for (std::int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(b.sample(i), 4);
    EXPECT_EQ(b.average(i), 4);
  }
  EXPECT_EQ(b.windowSum(), 12);
  b.add(7);  // 4 + 4 + 7 = 15
  EXPECT_EQ(b.average(2), 5);
}

}  // namespace
}  // namespace nx
