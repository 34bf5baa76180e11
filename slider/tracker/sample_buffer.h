// The tracker's samples and their moving average: one sample per pixel column, the newest last.
// Both series live in ring buffers, so adding a sample moves no data and allocates nothing; the
// window's sum is kept in 64 bits, so any 32-bit samples on any width average exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace nx {

// sum / n rounded to the nearest integer, halves to the even neighbour; n > 0.
std::int64_t roundedQuotient(std::int64_t sum, std::int64_t n);

class SampleBuffer {
 public:
  // N, the number of samples kept; 0 before the first layout in run mode.
  std::int32_t size() const { return static_cast<std::int32_t>(samples_.size()); }

  // New buffers of `n` samples (old samples are discarded), reset to `initValue`. A negative
  // length counts as 0.
  void reallocate(std::int32_t n, std::int32_t initValue);
  // Every sample and every average becomes `initValue`.
  void reset(std::int32_t initValue);
  // Drops the oldest sample and adds `v` as the newest; its average is the mean of the N
  // samples now in the window. Nothing happens while N is 0.
  void add(std::int32_t v);

  // Sample and average `i`, 0 the oldest and N - 1 the newest; i must lie in 0..N-1.
  std::int32_t sample(std::int32_t i) const { return samples_[slot(i)]; }
  std::int32_t average(std::int32_t i) const { return averages_[slot(i)]; }
  std::int64_t windowSum() const { return sum_; }

  // Samples added since the buffers were last (re)allocated or reset, and how often that
  // happened: a drawing that remembers both knows what changed since it was made.
  std::uint64_t added() const { return added_; }
  std::uint64_t generation() const { return generation_; }

 private:
  std::size_t slot(std::int32_t i) const {
    const std::size_t k = head_ + static_cast<std::size_t>(i);
    return k >= samples_.size() ? k - samples_.size() : k;
  }

  std::vector<std::int32_t> samples_;
  std::vector<std::int32_t> averages_;
  std::size_t head_ = 0;  // slot of the oldest element
  std::int64_t sum_ = 0;
  std::uint64_t added_ = 0;
  std::uint64_t generation_ = 0;
};

}  // namespace nx
