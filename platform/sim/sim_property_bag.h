// The host's property store as the simulation keeps it: keys matched without regard to case,
// values equal to their default left out (unless the default is empty), every write recorded.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/runtime/errors.h"
#include "core/runtime/host.h"

namespace nx::sim {

class SimPropertyBag : public PropertyBag {
 public:
  struct Write {
    std::string key;
    Value value;
    Value defaultValue;
  };

  Value read(std::string_view key, const Value& defaultValue) override;
  void write(std::string_view key, const Value& value, const Value& defaultValue) override;

  // Test access: what is stored (nullopt when absent), storing directly, failing reads and writes.
  std::optional<Value> stored(std::string_view key) const;
  void set(std::string_view key, Value value);
  void remove(std::string_view key);
  void failReadsOf(std::string_view key);
  void failWritesOf(std::string_view key);
  std::size_t size() const { return values_.size(); }
  const std::vector<Write>& writes() const { return writes_; }
  const std::vector<std::string>& reads() const { return reads_; }

 private:
  static std::string fold(std::string_view key);
  std::map<std::string, Value> values_;
  std::vector<std::string> failing_;
  std::vector<std::string> failingWrites_;
  std::vector<Write> writes_;
  std::vector<std::string> reads_;
};

}  // namespace nx::sim
