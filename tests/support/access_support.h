// Helpers for tests of what controls tell accessibility clients: readable announcements in
// failure messages, and counting them.
#pragma once

#include <algorithm>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "core/runtime/accessible.h"
#include "platform/sim/sim_window.h"

namespace nx::sim {

inline void PrintTo(const SimWindow::Announcement& a, std::ostream* os) {
  *os << accessEventName(a.event) << "@" << a.child;
}

}  // namespace nx::sim

namespace nx {

inline void PrintTo(AccessEvent e, std::ostream* os) {
  *os << accessEventName(e);
}

namespace testing {

using Announcements = std::vector<sim::SimWindow::Announcement>;

// How many times `event` was announced for `child`.
inline int countOf(const Announcements& all, AccessEvent event, int child) {
  return static_cast<int>(
      std::count(all.begin(), all.end(), sim::SimWindow::Announcement{event, child}));
}

inline int countOf(const std::vector<std::pair<AccessEvent, int>>& all, AccessEvent event,
                   int child) {
  return static_cast<int>(std::count(all.begin(), all.end(), std::pair{event, child}));
}

// The states of an element as words, for failure messages.
inline std::string states(const AccessibleNode& n) {
  return accessStateNames(n.states);
}

}  // namespace testing
}  // namespace nx
