// One table per control class describing its properties in interface order: name, persisted key,
// type, store default, new-control value and the accessors. Reading and writing the property
// store and, on the platform, the dispatch interface (ids in table order) are driven by it.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "core/runtime/errors.h"
#include "core/runtime/host.h"
#include "core/runtime/value.h"

namespace nx {

// How ReadProperties applies a stored value: through the property put (with its side effects) or
// by storing it directly.
enum class LoadMode { ViaPut, Direct };

// How a failure on one key is handled: reach the host, or (reading) keep the previous value, and
// in both directions go on with the next key.
enum class ReadPolicy { Propagate, ContinueOnError };

template <class C>
struct PropertyDef {
  std::string_view name;
  std::string_view key;  // empty: not persisted
  ValueKind kind;
  Value storeDefault;  // default for reading and writing the key
  // Default computed from the instance (for example its current font or default caption);
  // replaces storeDefault when set.
  std::function<Value(const C&)> dynamicDefault;
  std::optional<Value> newValue;  // value after InitProperties; nullopt when it depends on host
  std::function<Value(const C&)> get;
  std::function<void(C&, const Value&)> put;   // empty: read-only
  std::function<void(C&, const Value&)> load;  // Direct loading; empty: load through put
  LoadMode loadMode = LoadMode::ViaPut;

  bool persisted() const { return !key.empty(); }
  bool readOnly() const { return !put; }
  Value defaultFor(const C& c) const { return dynamicDefault ? dynamicDefault(c) : storeDefault; }
};

// Converts a value to the kind a property holds; raises ConversionError when it cannot.
Value coerceTo(ValueKind kind, const Value& v);

// The order in which a control reads and writes its keys, where it is not the table order.
// Keys left out follow in table order, so no persisted property is ever skipped.
struct PersistOrder {
  std::vector<std::string_view> read;
  std::vector<std::string_view> write;
};

template <class C>
class PropertyTable {
 public:
  explicit PropertyTable(std::vector<PropertyDef<C>> defs, PersistOrder order = {})
      : defs_(std::move(defs)),
        readOrder_(ordered(order.read)),
        writeOrder_(ordered(order.write)) {}

  std::span<const PropertyDef<C>> defs() const { return defs_; }

  // Index of a property by name (case-insensitive), nullopt when unknown.
  std::optional<std::size_t> find(std::string_view name) const {
    for (std::size_t i = 0; i < defs_.size(); ++i)
      if (equalsNoCase(defs_[i].name, name)) return i;
    return std::nullopt;
  }

  // The property persisted under `key` (case-insensitive), nullopt when none is.
  std::optional<std::string_view> nameForKey(std::string_view key) const {
    for (const PropertyDef<C>& d : defs_)
      if (d.persisted() && equalsNoCase(d.key, key)) return d.name;
    return std::nullopt;
  }

  Value get(const C& c, std::string_view name) const { return def(name).get(c); }

  void put(C& c, std::string_view name, const Value& v) const {
    const PropertyDef<C>& d = def(name);
    if (d.readOnly()) throw HostError("property is read-only");
    d.put(c, coerceTo(d.kind, v));
  }

  // Reads the persisted properties of one load mode, in read order.
  void read(C& c, PropertyBag& bag, LoadMode mode, ReadPolicy policy) const {
    for (const PropertyDef<C>* p : readOrder_) {
      const PropertyDef<C>& d = *p;
      if (d.loadMode != mode) continue;
      try {
        Value v = coerceTo(d.kind, bag.read(d.key, d.defaultFor(c)));
        if (mode == LoadMode::Direct && d.load) {
          d.load(c, v);
        } else {
          d.put(c, v);
        }
      } catch (const NxError&) {
        if (policy == ReadPolicy::Propagate) throw;
      }
    }
  }

  // Writes every persisted property with its store default, in write order. With
  // ContinueOnError a key the store refuses is skipped and writing goes on.
  void write(const C& c, PropertyBag& bag, ReadPolicy policy = ReadPolicy::Propagate) const {
    for (const PropertyDef<C>* d : writeOrder_) {
      try {
        bag.write(d->key, d->get(c), d->defaultFor(c));
      } catch (const NxError&) {
        if (policy == ReadPolicy::Propagate) throw;
      }
    }
  }

 private:
  static bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
      char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
      char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
      if (x != y) return false;
    }
    return true;
  }

  const PropertyDef<C>& def(std::string_view name) const {
    auto i = find(name);
    if (!i) throw HostError("unknown property");
    return defs_[*i];
  }

  // The persisted properties, those named in `keys` first.
  std::vector<const PropertyDef<C>*> ordered(const std::vector<std::string_view>& keys) const {
    std::vector<const PropertyDef<C>*> out;
    auto listed = [&out](const PropertyDef<C>* d) {
      for (const PropertyDef<C>* o : out)
        if (o == d) return true;
      return false;
    };
    for (std::string_view key : keys)
      for (const PropertyDef<C>& d : defs_)
        if (d.persisted() && equalsNoCase(d.key, key) && !listed(&d)) out.push_back(&d);
    for (const PropertyDef<C>& d : defs_)
      if (d.persisted() && !listed(&d)) out.push_back(&d);
    return out;
  }

  std::vector<PropertyDef<C>> defs_;
  std::vector<const PropertyDef<C>*> readOrder_;
  std::vector<const PropertyDef<C>*> writeOrder_;
};

}  // namespace nx
