#include "slider/tracker/sample_buffer.h"

#include <algorithm>

namespace nx {

std::int64_t roundedQuotient(std::int64_t sum, std::int64_t n) {
  if (n < 0) {
    sum = -sum;
    n = -n;
  }
  std::int64_t q = sum / n;
  std::int64_t r = sum % n;
  if (r < 0) {  // floor division
    --q;
    r += n;
  }
  const std::int64_t twice = 2 * r;
  if (twice > n || (twice == n && (q % 2) != 0)) ++q;
  return q;
}

void SampleBuffer::reallocate(std::int32_t n, std::int32_t initValue) {
  const std::size_t length = n > 0 ? static_cast<std::size_t>(n) : 0;
  samples_.assign(length, initValue);
  averages_.assign(length, initValue);
  reset(initValue);
}

void SampleBuffer::reset(std::int32_t initValue) {
  std::fill(samples_.begin(), samples_.end(), initValue);
  std::fill(averages_.begin(), averages_.end(), initValue);
  head_ = 0;
  sum_ = static_cast<std::int64_t>(initValue) * static_cast<std::int64_t>(samples_.size());
  added_ = 0;
  ++generation_;
}

void SampleBuffer::add(std::int32_t v) {
  if (samples_.empty()) return;
  const std::int64_t n = static_cast<std::int64_t>(samples_.size());
  // The oldest slot becomes the newest.
  sum_ += static_cast<std::int64_t>(v) - samples_[head_];
  samples_[head_] = v;
  averages_[head_] = static_cast<std::int32_t>(roundedQuotient(sum_, n));
  head_ = head_ + 1 == samples_.size() ? 0 : head_ + 1;
  ++added_;
}

}  // namespace nx
