#include "cli.h"

#include <zlib.h>

#include <cctype>
#include <fstream>
#include <ostream>

namespace nx::pack {
namespace {

std::string trim(std::string s) {
  const auto first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  const auto last = s.find_last_not_of(" \t\r\n");
  return s.substr(first, last - first + 1);
}

std::optional<bool> flagValue(const std::string& value) {
  if (value == "1" || value == "yes" || value == "true") return true;
  if (value == "0" || value == "no" || value == "false") return false;
  return std::nullopt;
}

bool expandArgFiles(const std::vector<std::string>& in, std::vector<std::string>& out,
                    std::string& error, int depth) {
  for (const std::string& arg : in) {
    if (arg.size() < 2 || arg[0] != '@') {
      out.push_back(arg);
      continue;
    }
    if (depth > 4) {
      error = "argument files nested too deeply: " + arg;
      return false;
    }
    std::ifstream file(arg.substr(1));
    if (!file) {
      error = "cannot read argument file " + arg.substr(1);
      return false;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
      line = trim(line);
      if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    if (!expandArgFiles(lines, out, error, depth + 1)) return false;
  }
  return true;
}

}  // namespace

std::string usageText() {
  return "Usage: nxpack --stub STUB.exe --out nxinstall.exe --title TITLE [options]\n"
         "              --file PATH[:key=value;...] [--file ...]\n"
         "\n"
         "Options:\n"
         "  --stub PATH          setup program image the payload is appended to\n"
         "  --out PATH           setup file to write\n"
         "  --dir PATH           folder holding the component files (default: .)\n"
         "  --title TEXT         title shown by the setup wizard\n"
         "  --release DATE       release date, \"yyyy-MM-dd HH:mm:ss\" (default: now)\n"
         "  --eula PATH          licence text, shipped as eula.txt and shown before installing\n"
         "  --zlib-version VER   lowest zlib version the setup accepts (default: " ZLIB_VERSION
         ")\n"
         "  --file PATH[:SETTINGS]\n"
         "                       one component: a file in --dir (or a path from there, or an\n"
         "                       absolute one), installed under its file name; SETTINGS are\n"
         "                       key=value separated by \";\": target (default %SYSTEM%; also\n"
         "                       %PROGRAMFILES%, %WINDOWS%, %SYSTEM32BIT%), register and\n"
         "                       optional (0/1), url, version (default: the file's version\n"
         "                       resource), created, modified (default: last write time),\n"
         "                       bits (32/64, default: from the PE header)\n"
         "  @FILE                read further arguments from FILE, one per line\n"
         "  --help               show this text\n";
}

std::variant<ComponentSettings, UsageError> parseComponent(const std::string& text) {
  ComponentSettings component;
  // The colon of a drive ("C:\..." or "C:/...") belongs to the path.
  const bool drive = text.size() >= 3 && std::isalpha(static_cast<unsigned char>(text[0])) &&
                     text[1] == ':' && (text[2] == '\\' || text[2] == '/');
  const std::size_t colon = text.find(':', drive ? 2 : 0);
  const std::string path = text.substr(0, colon);
  const std::size_t slash = path.find_last_of("/\\");
  component.name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (component.name.empty()) return UsageError{"--file needs a file name: \"" + text + "\""};
  if (path != component.name) component.source = path;
  if (colon == std::string::npos) return component;
  std::string rest = text.substr(colon + 1);
  while (!rest.empty()) {
    const std::size_t semi = rest.find(';');
    const std::string item = rest.substr(0, semi);
    rest = semi == std::string::npos ? std::string() : rest.substr(semi + 1);
    if (item.empty()) continue;
    const std::size_t eq = item.find('=');
    if (eq == std::string::npos) return UsageError{"setting without \"=\": \"" + item + "\""};
    const std::string key = item.substr(0, eq);
    const std::string value = item.substr(eq + 1);
    if (key == "target") {
      component.target = value;
    } else if (key == "register" || key == "optional") {
      const auto flag = flagValue(value);
      if (!flag) return UsageError{key + " must be 0 or 1: \"" + value + "\""};
      (key == "register" ? component.registerFile : component.optional) = *flag;
    } else if (key == "bits") {
      if (value != "32" && value != "64") {
        return UsageError{"bits must be 32 or 64: \"" + value + "\""};
      }
      component.bits = value == "32" ? 32 : 64;
    } else if (key == "url") {
      component.url = value;
    } else if (key == "version") {
      component.version = value;
    } else if (key == "created" || key == "modified") {
      const auto date = setup::parseDateTime(value);
      if (!date) return UsageError{key + " must be \"yyyy-MM-dd HH:mm:ss\": \"" + value + "\""};
      (key == "created" ? component.created : component.modified) = *date;
    } else {
      return UsageError{"unknown setting \"" + key + "\" for " + component.name};
    }
  }
  return component;
}

ParsedArgs parseArgs(const std::vector<std::string>& rawArgs) {
  std::vector<std::string> args;
  std::string error;
  if (!expandArgFiles(rawArgs, args, error, 0)) return UsageError{error};

  PackSettings s;
  s.componentDir = ".";
  s.zlibVersion = ZLIB_VERSION;
  bool haveStub = false;
  bool haveOut = false;
  bool haveTitle = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") return ShowHelp{};
    if (a.rfind("--", 0) != 0) return UsageError{"unexpected argument \"" + a + "\""};
    if (i + 1 >= args.size()) return UsageError{a + " needs a value"};
    const std::string& v = args[++i];
    if (a == "--stub") {
      s.stub = v;
      haveStub = true;
    } else if (a == "--out") {
      s.output = v;
      haveOut = true;
    } else if (a == "--dir") {
      s.componentDir = v;
    } else if (a == "--title") {
      s.title = v;
      haveTitle = true;
    } else if (a == "--release") {
      s.release = setup::parseDateTime(v);
      if (!s.release) return UsageError{"--release must be \"yyyy-MM-dd HH:mm:ss\": \"" + v + "\""};
    } else if (a == "--eula") {
      s.eula = v;
    } else if (a == "--zlib-version") {
      s.zlibVersion = v;
    } else if (a == "--file") {
      auto component = parseComponent(v);
      if (auto* e = std::get_if<UsageError>(&component)) return *e;
      s.components.push_back(std::get<ComponentSettings>(std::move(component)));
    } else {
      return UsageError{"unknown option \"" + a + "\""};
    }
  }
  if (!haveStub) return UsageError{"--stub is required"};
  if (!haveOut) return UsageError{"--out is required"};
  if (!haveTitle) return UsageError{"--title is required"};
  if (s.components.empty()) return UsageError{"at least one --file is required"};
  return s;
}

int runNxpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ParsedArgs parsed = parseArgs(args);
  if (std::holds_alternative<ShowHelp>(parsed)) {
    out << usageText();
    return kExitOk;
  }
  if (const auto* e = std::get_if<UsageError>(&parsed)) {
    err << "nxpack: " << e->message << "\n\n" << usageText();
    return kExitUsage;
  }
  const PackSettings& settings = std::get<PackSettings>(parsed);
  if (const auto problem = writePackage(settings)) {
    err << "nxpack: " << *problem << "\n";
    return kExitPackFailed;
  }
  out << "nxpack: wrote " << settings.output.string() << " (" << settings.components.size()
      << " component" << (settings.components.size() == 1 ? "" : "s") << ")\n";
  return kExitOk;
}

}  // namespace nx::pack
