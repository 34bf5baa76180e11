// Byte streams the tool reads and writes, so that its commands run the same over the
// process's standard streams and over memory in tests.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nx::nxvat {

class Input {
 public:
  virtual ~Input() = default;
  // Reads up to size bytes; 0 at the end of the input.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

class Output {
 public:
  virtual ~Output() = default;
  virtual void write(std::string_view text) = 0;
  virtual void flush() {}
};

// In-memory streams.
class StringInput final : public Input {
 public:
  explicit StringInput(std::string text) : text_(std::move(text)) {}
  std::size_t read(char* buffer, std::size_t size) override {
    const std::size_t n = text_.copy(buffer, size, pos_);
    pos_ += n;
    return n;
  }

 private:
  std::string text_;
  std::size_t pos_ = 0;
};

class StringOutput final : public Output {
 public:
  void write(std::string_view text) override { text_.append(text); }
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

}  // namespace nx::nxvat
