// Objects that all instances of one control class on one thread draw with (pictures, cursors),
// loaded by the first instance and released when the last one terminates.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace nx {

// `Tag` names the control class; `Objects` holds its shared pictures and cursors.
template <class Tag, class Objects>
class ThreadShared {
 public:
  // Initialize: count the instance; load the objects when the slot is empty.
  static void acquire(const std::function<Objects()>& load) {
    ++state().counter;
    if (!state().objects) state().objects = std::make_shared<Objects>(load());
  }

  // Terminate: uncount the instance; the last one empties the slot.
  static void release() {
    State& s = state();
    if (s.counter <= 0) return;
    if (s.counter == 1) s.objects.reset();
    --s.counter;
  }

  static std::int32_t instanceCount() { return state().counter; }
  // The loaded objects, nullptr when the slot is empty.
  static std::shared_ptr<Objects> objects() { return state().objects; }

 private:
  struct State {
    std::int32_t counter = 0;
    std::shared_ptr<Objects> objects;
  };
  static State& state() {
    thread_local State s;
    return s;
  }
};

// Holds one instance's count for its lifetime.
template <class Tag, class Objects>
class ThreadSharedLease {
 public:
  explicit ThreadSharedLease(const std::function<Objects()>& load) {
    ThreadShared<Tag, Objects>::acquire(load);
  }
  ~ThreadSharedLease() { ThreadShared<Tag, Objects>::release(); }
  ThreadSharedLease(const ThreadSharedLease&) = delete;
  ThreadSharedLease& operator=(const ThreadSharedLease&) = delete;

  std::shared_ptr<Objects> objects() const { return ThreadShared<Tag, Objects>::objects(); }
};

}  // namespace nx
