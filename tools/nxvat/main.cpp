// nxvat: the VAT number engine on the command line.
#include <cstdio>
#include <string_view>
#include <vector>

#include "cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace {

class StdInput final : public nx::nxvat::Input {
 public:
  std::size_t read(char* buffer, std::size_t size) override {
    return std::fread(buffer, 1, size, stdin);
  }
};

class StdOutput final : public nx::nxvat::Output {
 public:
  explicit StdOutput(std::FILE* file) : file_(file) {}
  void write(std::string_view text) override { std::fwrite(text.data(), 1, text.size(), file_); }
  void flush() override { std::fflush(file_); }

 private:
  std::FILE* file_;
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // Lines end as the tool writes them, CRLF input is handled by the tool itself, and the
  // Portuguese names are UTF-8.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
#endif
  std::vector<std::string_view> args(argv + 1, argv + argc);
  StdInput in;
  StdOutput out(stdout);
  StdOutput err(stderr);
  const int code = nx::nxvat::run(args, in, out, err);
  out.flush();
  return code;
}
