#include "core/control/class_table.h"

namespace nx {

Value coerceTo(ValueKind kind, const Value& v) {
  switch (kind) {
    case ValueKind::Empty:
      return v;  // a variant property keeps whatever it is given
    case ValueKind::Int16:
      return toInt16(v);
    case ValueKind::Int32:
      return toInt32(v);
    case ValueKind::Bool:
      return toVBool(toBool(v));
    case ValueKind::Single:
      return static_cast<float>(toDouble(v));
    case ValueKind::Double:
      return toDouble(v);
    case ValueKind::String:
      return toText(v);
    case ValueKind::Font:
      return toFont(v);
    case ValueKind::Picture:
      return toPicture(v);
    case ValueKind::Currency:
      return toCurrency(v);
  }
  throw ConversionError("type mismatch");
}

void checkPersistOrder(std::string_view cls, const std::vector<MemberInfo>& members,
                       const std::vector<std::string_view>& order, std::string_view which) {
  const auto fail = [&](std::string_view what, std::string_view name) {
    throw std::logic_error(std::string(cls) + ": " + std::string(which) + " order " +
                           std::string(what) + " \"" + std::string(name) + "\"");
  };
  for (std::size_t i = 0; i < members.size(); ++i)
    for (std::size_t j = i + 1; j < members.size(); ++j) {
      if (equalsNoCase(members[i].name, members[j].name))
        throw std::logic_error(std::string(cls) + ": member \"" + std::string(members[i].name) +
                               "\" declared twice");
      if (members[i].persisted() && equalsNoCase(members[i].key, members[j].key))
        throw std::logic_error(std::string(cls) + ": key \"" + std::string(members[i].key) +
                               "\" persisted twice");
    }
  if (order.empty()) return;
  for (std::size_t i = 0; i < order.size(); ++i) {
    bool known = false;
    for (const MemberInfo& m : members)
      known = known || (m.persisted() && equalsNoCase(m.key, order[i]));
    if (!known) fail("names a key the table does not persist:", order[i]);
    for (std::size_t j = 0; j < i; ++j)
      if (equalsNoCase(order[i], order[j])) fail("repeats", order[i]);
  }
  for (const MemberInfo& m : members) {
    if (!m.persisted()) continue;
    bool listed = false;
    for (std::string_view k : order) listed = listed || equalsNoCase(k, m.key);
    if (!listed) fail("leaves out", m.key);
  }
}

const MemberInfo* ClassInfo::find(std::string_view memberName) const {
  for (const MemberInfo& m : members)
    if (equalsNoCase(m.name, memberName)) return &m;
  return nullptr;
}

std::optional<std::string_view> ClassInfo::propertyForKey(std::string_view key) const {
  if (key.empty()) return std::nullopt;
  for (const MemberInfo& m : members) {
    if (m.kind != MemberInfo::Kind::Property) continue;
    if (equalsNoCase(m.key, key) || equalsNoCase(m.notifyKey, key)) return m.name;
  }
  return std::nullopt;
}

int ClassInfo::eventPosition(std::string_view eventName) const {
  for (std::size_t i = 0; i < events.size(); ++i)
    if (equalsNoCase(events[i].name, eventName)) return static_cast<int>(i) + 1;
  return 0;
}

}  // namespace nx
