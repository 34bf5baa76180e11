// Timing of two operations side by side, as the benches on the real surface measure them: each
// side runs in rounds of `perRound` operations, the rounds of the two sides alternate (first,
// second; then second, first; ...), so that drift and load of the machine hit both alike, and a
// figure is the median over the rounds of the time per operation of a round. Each side runs one
// warm-up round first, which is not counted. A side may prepare each of its rounds (give a box
// the focus, empty it, make a new control): the preparation runs before the round's clock starts.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

namespace nx::bench {

// The rounds each side runs after its warm-up round.
inline constexpr int kDefaultRounds = 31;

// Median time per operation in microseconds of the two sides.
struct Timings {
  double first = 0.0;
  double second = 0.0;
  // first / second; 0 when the second took no measurable time.
  double ratio() const { return second > 0 ? first / second : 0.0; }
};

struct Side {
  std::function<void()> op;
  std::function<void()> prepare;  // before each round, outside the timing; may be empty
};

// The middle value (the mean of the two middle ones for an even count); 0 for none.
inline double median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const std::size_t mid = values.size() / 2;
  return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

// Prepares a round of `side` and runs it; the time per operation in microseconds.
inline double timeRound(const Side& side, int perRound) {
  perRound = std::max(perRound, 1);
  if (side.prepare) side.prepare();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < perRound; ++i) side.op();
  const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
  return took.count() / perRound;
}

inline Timings alternatingMedians(const Side& first, const Side& second, int perRound,
                                  int rounds = kDefaultRounds) {
  rounds = std::max(rounds, 1);
  timeRound(first, perRound);
  timeRound(second, perRound);
  std::vector<double> a;
  std::vector<double> b;
  for (int r = 0; r < rounds; ++r) {
    if (r % 2 == 0) {
      a.push_back(timeRound(first, perRound));
      b.push_back(timeRound(second, perRound));
    } else {
      b.push_back(timeRound(second, perRound));
      a.push_back(timeRound(first, perRound));
    }
  }
  return {median(std::move(a)), median(std::move(b))};
}

// Two operations that need no preparation.
inline Timings alternatingMedians(const std::function<void()>& first,
                                  const std::function<void()>& second, int perRound,
                                  int rounds = kDefaultRounds) {
  return alternatingMedians(Side{first, {}}, Side{second, {}}, perRound, rounds);
}

// How many times alternatingMedians runs each side's operation (the warm-up round included).
constexpr int callsPerMeasure(int perRound, int rounds = kDefaultRounds) {
  return (std::max(rounds, 1) + 1) * std::max(perRound, 1);
}

// A window of the bench's own, destroyed with the handle.
struct WindowDeleter {
  void operator()(HWND hwnd) const {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

}  // namespace nx::bench
