#include "core/runtime/accessible.h"

#include <array>
#include <utility>

namespace nx {

std::string_view accessRoleName(AccessRole role) {
  switch (role) {
    case AccessRole::Client:
      return "client";
    case AccessRole::CheckBox:
      return "check box";
    case AccessRole::Link:
      return "link";
    case AccessRole::ProgressBar:
      return "progress bar";
    case AccessRole::LevelIndicator:
      return "level indicator";
    case AccessRole::Grouping:
      return "grouping";
    case AccessRole::EditableText:
      return "editable text";
    case AccessRole::PushButton:
      return "push button";
    case AccessRole::Graph:
      return "graph";
    case AccessRole::StaticText:
      return "static text";
    case AccessRole::List:
      return "list";
    case AccessRole::ListItem:
      return "list item";
    case AccessRole::ComboBox:
      return "combo box";
  }
  return "unknown";
}

std::string accessStateNames(std::uint32_t states) {
  static constexpr std::array<std::pair<std::uint32_t, std::string_view>, 16> kNames{{
      {accstate::kFocused, "focused"},
      {accstate::kFocusable, "focusable"},
      {accstate::kPressed, "pressed"},
      {accstate::kChecked, "checked"},
      {accstate::kMixed, "mixed"},
      {accstate::kUnavailable, "unavailable"},
      {accstate::kHotTracked, "hot"},
      {accstate::kInvalid, "invalid"},
      {accstate::kSelected, "selected"},
      {accstate::kSelectable, "selectable"},
      {accstate::kExpanded, "expanded"},
      {accstate::kCollapsed, "collapsed"},
      {accstate::kLinked, "linked"},
      {accstate::kReadOnly, "read-only"},
      {accstate::kInvisible, "invisible"},
      {accstate::kDefault, "default"},
  }};
  std::string out;
  for (const auto& [bit, name] : kNames)
    if (states & bit) {
      if (!out.empty()) out += ' ';
      out += name;
    }
  return out;
}

std::string_view accessEventName(AccessEvent event) {
  switch (event) {
    case AccessEvent::Focus:
      return "focus";
    case AccessEvent::NameChange:
      return "name";
    case AccessEvent::ValueChange:
      return "value";
    case AccessEvent::StateChange:
      return "state";
    case AccessEvent::Show:
      return "show";
    case AccessEvent::Hide:
      return "hide";
    case AccessEvent::Selection:
      return "selection";
    case AccessEvent::DescriptionChange:
      return "description";
  }
  return "unknown";
}

}  // namespace nx
