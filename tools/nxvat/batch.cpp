#include <charconv>
#include <string>
#include <vector>

#include "cli.h"
#include "engine/nif_validator.h"

namespace nx::nxvat {

namespace {

constexpr std::size_t kChunk = 1 << 20;

// Buffers output and hands it to the stream in large blocks.
class BufferedOutput {
 public:
  explicit BufferedOutput(Output& out) : out_(out) { buffer_.reserve(kChunk + 4096); }
  ~BufferedOutput() { flush(); }
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;

  void append(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= kChunk) flush();
  }
  void flush() {
    if (!buffer_.empty()) out_.write(buffer_);
    buffer_.clear();
    out_.flush();
  }

 private:
  Output& out_;
  std::string buffer_;
};

// Calls onLine(line, lineNumber) for every line of the input, without its LF or CRLF. A last
// line without a line end counts too.
template <typename OnLine>
void forEachLine(Input& in, OnLine&& onLine) {
  std::vector<char> chunk(kChunk);
  std::string carry;
  std::size_t lineNumber = 0;
  auto emit = [&](std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    onLine(line, ++lineNumber);
  };
  for (;;) {
    const std::size_t got = in.read(chunk.data(), chunk.size());
    if (got == 0) break;
    std::string_view data(chunk.data(), got);
    std::size_t start = 0;
    for (std::size_t nl = data.find('\n'); nl != std::string_view::npos;
         nl = data.find('\n', start)) {
      if (carry.empty()) {
        emit(data.substr(start, nl - start));
      } else {
        carry.append(data.substr(start, nl - start));
        emit(carry);
        carry.clear();
      }
      start = nl + 1;
    }
    carry.append(data.substr(start));
  }
  if (!carry.empty()) emit(carry);
}

// Runs one result per line; lines without a tab produce an error and an empty line.
template <typename Handle>
int runBatch(Input& in, Output& out, Output& err, Handle&& handle) {
  BufferedOutput buffered(out);
  bool allWellFormed = true;
  forEachLine(in, [&](std::string_view line, std::size_t lineNumber) {
    const auto tab = line.find('\t');
    if (tab == std::string_view::npos) {
      char digits[24];
      auto end = std::to_chars(digits, digits + sizeof digits, lineNumber).ptr;
      err.write("nxvat: line ");
      err.write(std::string_view(digits, static_cast<std::size_t>(end - digits)));
      err.write(": expected CC<TAB>NUMBER\n");
      buffered.append("\n");
      allWellFormed = false;
      return;
    }
    handle(parseCountry(line.substr(0, tab)), line.substr(tab + 1), buffered);
  });
  buffered.flush();
  err.flush();
  return allWellFormed ? kExitOk : kExitNegative;
}

}  // namespace

int checkBatch(Input& in, Output& out, Output& err) {
  return runBatch(in, out, err, [](int country, std::string_view number, BufferedOutput& o) {
    o.append(taxid::checkNumber(number, country) ? "1\n" : "0\n");
  });
}

int completeBatch(Input& in, Output& out, Output& err) {
  return runBatch(in, out, err, [](int country, std::string_view number, BufferedOutput& o) {
    o.append(taxid::completeNumber(number, country));
    o.append("\n");
  });
}

}  // namespace nx::nxvat
