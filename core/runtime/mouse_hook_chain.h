// The callbacks of the mouse hooks installed on one thread, newest first, as the platform calls
// hooks. Both platforms dispatch through it, so that hooks that remove themselves or others, or
// install new ones, from inside a callback behave the same on both.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "core/runtime/mouse_hook.h"

namespace nx {

class MouseHookChain {
 public:
  struct Entry {
    MouseHookCallback callback;
    bool active = true;
  };

  // Adds a callback in front of the others; it sees messages from the next dispatch on.
  std::shared_ptr<Entry> add(MouseHookCallback callback) {
    auto entry = std::make_shared<Entry>(Entry{std::move(callback), true});
    entries_.insert(entries_.begin(), entry);
    return entry;
  }

  // Takes an entry out; it is not called again, not even later in a dispatch in progress.
  void remove(const std::shared_ptr<Entry>& entry) {
    if (!entry) return;
    entry->active = false;
    entries_.erase(std::remove(entries_.begin(), entries_.end(), entry), entries_.end());
  }

  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  bool dispatching() const { return depth_ > 0; }
  // Exceptions that left callbacks; each was dropped and its message went on.
  int errors() const { return errors_; }

  // Calls the active callbacks newest first until one swallows the message; returns whether
  // one did. The entries live on until every callback of this dispatch has returned.
  bool dispatch(const MouseHookEvent& event) {
    const std::vector<std::shared_ptr<Entry>> snapshot = entries_;
    ++depth_;
    bool swallowed = false;
    for (const auto& entry : snapshot) {
      if (!entry->active) continue;
      try {
        if (entry->callback(event)) {
          swallowed = true;
          break;
        }
      } catch (...) {
        ++errors_;  // nothing may unwind into the platform's hook call
      }
    }
    --depth_;
    return swallowed;
  }

 private:
  std::vector<std::shared_ptr<Entry>> entries_;
  int depth_ = 0;
  int errors_ = 0;
};

}  // namespace nx
