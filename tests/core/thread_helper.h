// Runs a test body on a new thread, so that per-thread state (the gradient strategy, shared
// control objects) starts fresh.
#pragma once

#include <thread>
#include <utility>

namespace nx::testing {

template <class F>
void onFreshThread(F&& body) {
  std::thread t(std::forward<F>(body));
  t.join();
}

}  // namespace nx::testing
