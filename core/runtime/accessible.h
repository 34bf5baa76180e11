// What a control tells assistive technology about itself: a tree of elements (the control and
// its constituent parts), each with a role, a name, a value, states, a default action and its
// place, and the events that announce changes. The platform answers accessibility clients from
// this tree; the simulation records it for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/parts.h"

namespace nx {

enum class AccessRole : std::uint8_t {
  Client,  // a window with no more specific role
  CheckBox,
  Link,
  ProgressBar,
  LevelIndicator,  // a meter showing a level
  Grouping,
  EditableText,
  PushButton,
  Graph,
  StaticText,
  List,
  ListItem,
  ComboBox,
};

std::string_view accessRoleName(AccessRole role);

// States of an element, combined as bits.
namespace accstate {
inline constexpr std::uint32_t kFocused = 1u << 0;
inline constexpr std::uint32_t kFocusable = 1u << 1;
inline constexpr std::uint32_t kPressed = 1u << 2;
inline constexpr std::uint32_t kChecked = 1u << 3;
inline constexpr std::uint32_t kMixed = 1u << 4;
inline constexpr std::uint32_t kUnavailable = 1u << 5;
inline constexpr std::uint32_t kHotTracked = 1u << 6;
inline constexpr std::uint32_t kInvalid = 1u << 7;  // the entered value failed validation
inline constexpr std::uint32_t kSelected = 1u << 8;
inline constexpr std::uint32_t kSelectable = 1u << 9;
inline constexpr std::uint32_t kExpanded = 1u << 10;
inline constexpr std::uint32_t kCollapsed = 1u << 11;
inline constexpr std::uint32_t kLinked = 1u << 12;
inline constexpr std::uint32_t kReadOnly = 1u << 13;
inline constexpr std::uint32_t kInvisible = 1u << 14;
inline constexpr std::uint32_t kDefault = 1u << 15;  // the form's default button
}  // namespace accstate

// Names of the set states, space separated, for messages and tests ("focusable checked").
std::string accessStateNames(std::uint32_t states);

struct AccessibleNode {
  AccessRole role = AccessRole::Client;
  std::string name;
  std::string value;
  std::string description;
  std::string keyboardShortcut;  // "Alt+x"
  std::uint32_t states = 0;
  // Where the element is, in twips of the client area of the window it lives on (the control's
  // window, or the pop-up for a list's rows).
  PartRect bounds;
  // The name of the constituent part with a window of its own that shows this element (a text
  // box); empty for elements drawn by the control.
  std::string part;
  // The pop-up window the element lives on; 0 for the control's own window.
  std::intptr_t popup = 0;
  // The default action's name ("Press", "Check", "Jump"...) and what it does; an element with no
  // name has no default action.
  std::string actionName;
  std::function<void()> action;
  std::vector<AccessibleNode> children;
};

// Changes an accessibility client is told about.
enum class AccessEvent : std::uint8_t {
  Focus,
  NameChange,
  ValueChange,
  StateChange,
  Show,
  Hide,
  Selection,
  DescriptionChange,
};

std::string_view accessEventName(AccessEvent event);

// The part of an element that the change notification compares: what a client reads.
struct AccessibleSnapshot {
  std::string name;
  std::string value;
  std::string description;
  std::uint32_t states = 0;
  friend bool operator==(const AccessibleSnapshot&, const AccessibleSnapshot&) = default;
};

inline AccessibleSnapshot snapshotOf(const AccessibleNode& n) {
  return {n.name, n.value, n.description, n.states};
}

}  // namespace nx
