// A control class as a declaration: one table of its properties, methods and events in interface
// order, with each property's persisted key, store default, new-control value, put behaviour,
// change notification key and read/write order. The control base implements property access,
// method calls, loading, saving and notification keys from it; the platform builds its dispatch
// interface from it and the tests check the type library against it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "core/runtime/accessible.h"
#include "core/runtime/color.h"
#include "core/runtime/errors.h"
#include "core/runtime/host.h"
#include "core/runtime/text.h"
#include "core/runtime/value.h"

namespace nx {

// How ReadProperties applies a stored value: through the property put, through the put with the
// control's busy guard set (so that the put neither notifies nor redraws), or stored directly.
enum class LoadMode { ViaPut, ViaPutGuarded, Direct };

// How a failure on one key is handled: reach the host, or keep the previous value and go on
// with the next key.
enum class ReadPolicy { Propagate, ContinueOnError };

// A member's type as the interface declares it: the value kind the control holds and the type
// name in the interface description ("long", "OLE_COLOR", an enumeration's name...).
struct TypeSpec {
  ValueKind kind = ValueKind::Empty;
  std::string_view idl;
};

namespace types {
inline constexpr TypeSpec Void{ValueKind::Empty, "void"};
inline constexpr TypeSpec Long{ValueKind::Int32, "long"};
inline constexpr TypeSpec Short{ValueKind::Int16, "short"};
inline constexpr TypeSpec Bool{ValueKind::Bool, "VARIANT_BOOL"};
inline constexpr TypeSpec Single{ValueKind::Single, "float"};
inline constexpr TypeSpec Double{ValueKind::Double, "double"};
inline constexpr TypeSpec String{ValueKind::String, "BSTR"};
inline constexpr TypeSpec Color{ValueKind::Int32, "OLE_COLOR"};
inline constexpr TypeSpec Font{ValueKind::Font, "IFontDisp*"};
inline constexpr TypeSpec Picture{ValueKind::Picture, "IPictureDisp*"};
inline constexpr TypeSpec Variant{ValueKind::Empty, "VARIANT"};
// 64-bit fixed point with four decimals (Currency).
inline constexpr TypeSpec Currency{ValueKind::Currency, "CY"};
// A 32-bit enumeration declared in the type library under `name`.
constexpr TypeSpec enumeration(std::string_view name) {
  return {ValueKind::Int32, name};
}
}  // namespace types

// A parameter of a method or an event.
struct ParamSpec {
  std::string_view name;
  TypeSpec type;
  bool byRef = false;
  // Optional parameters carry the value a caller that leaves them out passes.
  std::optional<Value> defaultValue = std::nullopt;
};

struct EventSpec {
  std::string_view name;
  std::vector<ParamSpec> params = {};
};

struct EnumSpec {
  std::string_view name;
  std::vector<std::pair<std::string_view, std::int32_t>> members;
};

// One property of a class. Fields are named at the declaration (designated initialisers).
template <class C>
struct Property {
  std::string_view name;
  TypeSpec type;
  std::string_view key = {};        // persisted key; empty: not persisted
  std::string_view notifyKey = {};  // key a change notification names, when not persisted
  Value storeDefault = {};          // default for reading and writing the key
  // Default computed from the instance (its current font, its default caption); replaces
  // storeDefault when set.
  std::function<Value(const C&)> dynamicDefault = {};
  std::optional<Value> newValue = std::nullopt;  // after InitProperties; nullopt: host-dependent
  LoadMode load = LoadMode::ViaPut;
  bool hidden = false;  // hidden from property browsers
  bool byRef = false;   // put by reference (objects)
  // A value other than the default for round-trip tests, where the derived one does not fit
  // the property's accepted range.
  std::optional<Value> sample = std::nullopt;
  // The kind the store keeps when it differs from the interface type (a currency amount shown
  // as a double); ReadProperties hands the put a value of this kind.
  std::optional<ValueKind> storeKind = std::nullopt;
  std::function<Value(const C&)> get;
  std::function<void(C&, const Value&)> put = {};     // empty: read-only
  std::function<void(C&, const Value&)> direct = {};  // LoadMode::Direct
};

template <class C>
struct Method {
  std::string_view name;
  std::vector<ParamSpec> params = {};
  TypeSpec result = types::Void;
  bool hidden = false;
  // Arguments arrive in declaration order, optional ones filled in; by-reference ones may be
  // changed and go back to the caller.
  std::function<Value(C&, std::span<Value>)> call;
};

template <class C>
using Member = std::variant<Property<C>, Method<C>>;

// How a class describes itself to assistive technology; the control base builds the element
// from it (see ControlBase::accessible).
struct AccessSpec {
  AccessRole role = AccessRole::Client;
  // The property that holds the caption; empty, or an empty caption: the host's ToolTipText,
  // then its Name.
  std::string_view nameProperty = {};
  // The caption marks its access key with "&" ("&&" for an ampersand); the marks are not read.
  bool captionMarks = false;
  // The property shown as the value; empty: none.
  std::string_view valueProperty = {};
  // The default action's name; it does what a click does. Empty: none.
  std::string_view actionName = {};
  bool focusable = true;
};

template <class C>
struct ClassSpec {
  std::string_view name;
  std::vector<Member<C>> members = {};  // interface order
  std::vector<EventSpec> events = {};
  std::vector<EnumSpec> enums = {};
  std::string_view defaultProperty = {};  // gets the dispatch id of the value member (0)
  std::string_view defaultEvent = {};
  // Key orders of ReadProperties and WriteProperties; empty: table order. A list names every
  // persisted key exactly once.
  std::vector<std::string_view> readOrder = {};
  std::vector<std::string_view> writeOrder = {};
  ReadPolicy readPolicy = ReadPolicy::Propagate;
  ReadPolicy writePolicy = ReadPolicy::Propagate;
  AccessSpec access = {};
};

// What the platform and the class tests see of one member.
struct MemberInfo {
  enum class Kind { Property, Method };
  Kind kind = Kind::Property;
  std::string_view name;
  std::int32_t dispid = 0;
  TypeSpec type;  // property type or method result
  bool readOnly = false;
  bool hidden = false;
  bool byRef = false;
  std::vector<ParamSpec> params;  // methods
  std::string_view key;
  std::string_view notifyKey;
  Value storeDefault;
  bool dynamicDefault = false;
  std::optional<Value> newValue;
  std::optional<Value> sample;
  bool persisted() const { return !key.empty(); }
};

// The type-erased description of a class.
struct ClassInfo {
  static constexpr std::int32_t kValueDispId = 0;

  std::string_view name;
  std::vector<MemberInfo> members;
  std::vector<EventSpec> events;
  std::vector<EnumSpec> enums;
  std::string_view defaultProperty;
  std::string_view defaultEvent;
  AccessSpec access;

  const MemberInfo* find(std::string_view memberName) const;
  // The property a change notification key stands for (its persisted or notification key).
  std::optional<std::string_view> propertyForKey(std::string_view key) const;
  // Position (1 for the first) of an event; 0 when the class has none of that name.
  int eventPosition(std::string_view eventName) const;
};

// Converts a value to the kind a property holds; raises ConversionError when it cannot.
Value coerceTo(ValueKind kind, const Value& v);

// Refuses tables whose orders name unknown keys, repeat one or leave one out, and duplicate
// member names. Raises std::logic_error naming the fault.
void checkPersistOrder(std::string_view cls, const std::vector<MemberInfo>& members,
                       const std::vector<std::string_view>& order, std::string_view which);

// ---- typed accessors from member functions and fields ----

template <class T>
Value toValueOf(const T& v) {
  if constexpr (std::is_same_v<T, bool>)
    return Value{toVBool(v)};
  else
    return Value{v};
}

template <class T>
T fromValueAs(const Value& v) {
  if constexpr (std::is_same_v<T, bool>)
    return toBool(v);
  else if constexpr (std::is_same_v<T, std::int32_t>)
    return toInt32(v);
  else if constexpr (std::is_same_v<T, std::int16_t>)
    return toInt16(v);
  else if constexpr (std::is_same_v<T, float>)
    return static_cast<float>(toDouble(v));
  else if constexpr (std::is_same_v<T, double>)
    return toDouble(v);
  else if constexpr (std::is_same_v<T, std::string>)
    return toText(v);
  else if constexpr (std::is_same_v<T, FontRef>)
    return toFont(v);
  else if constexpr (std::is_same_v<T, PictureRef>)
    return toPicture(v);
  else
    return v;
}

template <class C, class T>
std::function<Value(const C&)> getter(T (C::*get)() const) {
  return [get](const C& c) { return toValueOf<std::decay_t<T>>((c.*get)()); };
}

template <class C, class T>
std::function<void(C&, const Value&)> setter(void (C::*put)(T)) {
  return [put](C& c, const Value& v) { (c.*put)(fromValueAs<std::decay_t<T>>(v)); };
}

// Stores a loaded value straight into a field of the control's state.
template <class C, class S, class T>
std::function<void(C&, const Value&)> field(S C::*state, T S::*member) {
  return [state, member](C& c, const Value& v) { (c.*state).*member = fromValueAs<T>(v); };
}

// Values of the store as tables write them: colours (system colours keep their high bit) and
// Booleans.
inline Value colorValue(std::int64_t c) {
  return Value{static_cast<OleColor>(static_cast<std::uint32_t>(c))};
}
inline Value boolValue(bool b) {
  return Value{toVBool(b)};
}

// A colour property, read through its put; by default with the busy guard set, so that loading
// neither notifies nor redraws.
template <class C>
Property<C> colorProperty(std::string_view name, std::string_view key, std::int64_t storeDefault,
                          std::int64_t newValue, OleColor (C::*get)() const,
                          void (C::*put)(OleColor), LoadMode load = LoadMode::ViaPutGuarded) {
  return Property<C>{.name = name,
                     .type = types::Color,
                     .key = key,
                     .storeDefault = colorValue(storeDefault),
                     .newValue = colorValue(newValue),
                     .load = load,
                     .get = getter(get),
                     .put = setter(put)};
}

// A property stored straight into its field when read, without the put's checks.
template <class C, class T>
Property<C> directProperty(std::string_view name, TypeSpec type, std::string_view key,
                           Value storeDefault, Value newValue, T (C::*get)() const,
                           void (C::*put)(T), std::function<void(C&, const Value&)> load) {
  return Property<C>{.name = name,
                     .type = type,
                     .key = key,
                     .storeDefault = std::move(storeDefault),
                     .newValue = std::move(newValue),
                     .load = LoadMode::Direct,
                     .get = getter(get),
                     .put = setter(put),
                     .direct = std::move(load)};
}

template <class C>
class ClassTable {
 public:
  explicit ClassTable(ClassSpec<C> decl) {
    info_.name = decl.name;
    info_.events = std::move(decl.events);
    info_.enums = std::move(decl.enums);
    info_.defaultProperty = decl.defaultProperty;
    info_.defaultEvent = decl.defaultEvent;
    info_.access = decl.access;
    readPolicy_ = decl.readPolicy;
    writePolicy_ = decl.writePolicy;
    std::int32_t position = 0;
    for (Member<C>& m : decl.members) {
      ++position;
      MemberInfo mi;
      if (auto* p = std::get_if<Property<C>>(&m)) {
        mi.kind = MemberInfo::Kind::Property;
        mi.name = p->name;
        mi.type = p->type;
        mi.readOnly = !p->put;
        mi.hidden = p->hidden;
        mi.byRef = p->byRef;
        mi.key = p->key;
        mi.notifyKey = p->notifyKey;
        mi.storeDefault = p->storeDefault;
        mi.dynamicDefault = static_cast<bool>(p->dynamicDefault);
        mi.newValue = p->newValue;
        mi.sample = p->sample;
        if (!p->get)
          throw std::logic_error(std::string(decl.name) + "." + std::string(p->name) +
                                 ": a property needs a get");
        if (p->load == LoadMode::Direct && !p->direct && !p->key.empty())
          throw std::logic_error(std::string(decl.name) + "." + std::string(p->name) +
                                 ": direct loading needs a field");
        properties_.push_back(std::move(*p));
        propertyIndex_.push_back(properties_.size() - 1);
      } else {
        auto& meth = std::get<Method<C>>(m);
        mi.kind = MemberInfo::Kind::Method;
        mi.name = meth.name;
        mi.type = meth.result;
        mi.hidden = meth.hidden;
        mi.params = meth.params;
        methods_.push_back(std::move(meth));
        propertyIndex_.push_back(methods_.size() - 1);
      }
      mi.dispid = equalsNoCase(mi.name, decl.defaultProperty) ? ClassInfo::kValueDispId : position;
      info_.members.push_back(std::move(mi));
    }
    for (std::string_view named : {decl.access.nameProperty, decl.access.valueProperty})
      if (!named.empty() && memberIndexOrNone(named, MemberInfo::Kind::Property) < 0)
        throw std::logic_error(std::string(decl.name) + ": accessibility names no property \"" +
                               std::string(named) + "\"");
    checkPersistOrder(decl.name, info_.members, decl.readOrder, "read");
    checkPersistOrder(decl.name, info_.members, decl.writeOrder, "write");
    readOrder_ = ordered(decl.readOrder);
    writeOrder_ = ordered(decl.writeOrder);
  }

  ClassTable(const ClassTable&) = delete;
  ClassTable& operator=(const ClassTable&) = delete;

  const ClassInfo& info() const { return info_; }

  Value get(const C& c, std::string_view name) const { return property(name).get(c); }

  void put(C& c, std::string_view name, const Value& v) const {
    const Property<C>& p = property(name);
    if (!p.put) throw HostError("property " + std::string(p.name) + " is read-only");
    p.put(c, coerceTo(p.type.kind, v));
  }

  Value call(C& c, std::string_view name, std::span<Value> args) const {
    const std::size_t i = memberIndex(name, MemberInfo::Kind::Method);
    const Method<C>& m = methods_[propertyIndex_[i]];
    if (args.size() != m.params.size()) throw HostError("wrong number of arguments");
    for (std::size_t a = 0; a < args.size(); ++a)
      args[a] = coerceTo(m.params[a].type.kind, args[a]);
    return m.call(c, args);
  }

  // Reads every persisted property in read order. `guard` runs a put with the busy guard set.
  // `policy` replaces the class's own policy for this call.
  void read(C& c, PropertyBag& bag, const std::function<void(const std::function<void()>&)>& guard,
            std::optional<ReadPolicy> policy = std::nullopt) const {
    const ReadPolicy effective = policy.value_or(readPolicy_);
    for (const Property<C>* p : readOrder_) {
      try {
        const Value v =
            coerceTo(p->storeKind.value_or(p->type.kind), bag.read(p->key, defaultFor(*p, c)));
        switch (p->load) {
          case LoadMode::Direct:
            p->direct(c, v);
            break;
          case LoadMode::ViaPutGuarded:
            guard([&] { p->put(c, v); });
            break;
          case LoadMode::ViaPut:
            p->put(c, v);
            break;
        }
      } catch (const NxError&) {
        if (effective == ReadPolicy::Propagate) throw;
      }
    }
  }

  // Writes every persisted property with its store default, in write order.
  void write(const C& c, PropertyBag& bag, std::optional<ReadPolicy> policy = std::nullopt) const {
    const ReadPolicy effective = policy.value_or(writePolicy_);
    for (const Property<C>* p : writeOrder_) {
      try {
        const Value v = p->storeKind ? coerceTo(*p->storeKind, p->get(c)) : p->get(c);
        bag.write(p->key, v, defaultFor(*p, c));
      } catch (const NxError&) {
        if (effective == ReadPolicy::Propagate) throw;
      }
    }
  }

 private:
  static Value defaultFor(const Property<C>& p, const C& c) {
    return p.dynamicDefault ? p.dynamicDefault(c) : p.storeDefault;
  }

  std::ptrdiff_t memberIndexOrNone(std::string_view name, MemberInfo::Kind kind) const {
    for (std::size_t i = 0; i < info_.members.size(); ++i)
      if (info_.members[i].kind == kind && equalsNoCase(info_.members[i].name, name))
        return static_cast<std::ptrdiff_t>(i);
    return -1;
  }
  std::size_t memberIndex(std::string_view name, MemberInfo::Kind kind) const {
    const std::ptrdiff_t i = memberIndexOrNone(name, kind);
    if (i < 0) throw HostError("unknown member " + std::string(name));
    return static_cast<std::size_t>(i);
  }

  const Property<C>& property(std::string_view name) const {
    return properties_[propertyIndex_[memberIndex(name, MemberInfo::Kind::Property)]];
  }

  std::vector<const Property<C>*> ordered(const std::vector<std::string_view>& keys) const {
    std::vector<const Property<C>*> out;
    if (keys.empty()) {
      for (const Property<C>& p : properties_)
        if (!p.key.empty()) out.push_back(&p);
      return out;
    }
    for (std::string_view key : keys)
      for (const Property<C>& p : properties_)
        if (!p.key.empty() && equalsNoCase(p.key, key)) out.push_back(&p);
    return out;
  }

  ClassInfo info_;
  std::vector<Property<C>> properties_;
  std::vector<Method<C>> methods_;
  std::vector<std::size_t> propertyIndex_;  // per member: index into properties_ or methods_
  std::vector<const Property<C>*> readOrder_;
  std::vector<const Property<C>*> writeOrder_;
  ReadPolicy readPolicy_ = ReadPolicy::Propagate;
  ReadPolicy writePolicy_ = ReadPolicy::Propagate;
};

}  // namespace nx
