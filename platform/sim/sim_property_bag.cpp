#include "platform/sim/sim_property_bag.h"

#include <algorithm>

namespace nx::sim {

std::string SimPropertyBag::fold(std::string_view key) {
  std::string out(key);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

Value SimPropertyBag::read(std::string_view key, const Value& defaultValue) {
  std::string k = fold(key);
  reads_.emplace_back(key);
  if (std::find(failing_.begin(), failing_.end(), k) != failing_.end())
    throw HostError("the store could not read the key");
  auto it = values_.find(k);
  return it == values_.end() ? defaultValue : it->second;
}

void SimPropertyBag::write(std::string_view key, const Value& value, const Value& defaultValue) {
  std::string k = fold(key);
  if (std::find(failingWrites_.begin(), failingWrites_.end(), k) != failingWrites_.end())
    throw HostError("the store could not write the key");
  writes_.push_back(Write{std::string(key), value, defaultValue});
  if (!isEmpty(defaultValue) && sameValue(value, defaultValue)) {
    values_.erase(k);
  } else {
    values_[k] = value;
  }
}

std::optional<Value> SimPropertyBag::stored(std::string_view key) const {
  auto it = values_.find(fold(key));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

void SimPropertyBag::set(std::string_view key, Value value) {
  values_[fold(key)] = std::move(value);
}

void SimPropertyBag::remove(std::string_view key) {
  values_.erase(fold(key));
}

void SimPropertyBag::failReadsOf(std::string_view key) {
  failing_.push_back(fold(key));
}

void SimPropertyBag::failWritesOf(std::string_view key) {
  failingWrites_.push_back(fold(key));
}

}  // namespace nx::sim
