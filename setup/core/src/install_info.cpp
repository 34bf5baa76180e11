#include "nxsetup/install_info.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>

namespace nx::setup {
namespace {

std::string upper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view trimSpaces(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// Leading number of a text, decimals included: spaces skipped, reading stops at the first other
// character, no digits gives 0.
double leadingNumber(std::string_view text) {
  std::string digits;
  bool point = false;
  for (char c : text) {
    if (c == ' ' || c == '\t') continue;
    if ((c == '-' || c == '+') && digits.empty()) {
      digits += c;
      continue;
    }
    if (c == '.' && !point) {
      point = true;
      digits += c;
      continue;
    }
    if (c < '0' || c > '9') break;
    digits += c;
  }
  if (digits.empty() || digits == "-" || digits == "+") return 0.0;
  try {
    return std::stod(digits);
  } catch (...) {
    return 0.0;
  }
}

// Rounded to a 32-bit integer; nothing when out of range.
std::optional<std::int32_t> toInt32(double value) {
  const double r = std::nearbyint(value);
  if (!(r >= std::numeric_limits<std::int32_t>::min() &&
        r <= std::numeric_limits<std::int32_t>::max())) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(r);
}

bool isMainKey(std::string_view key) {
  return key == "release" || key == "filecount" || key == "title" || key == "eula";
}

bool isFileKey(std::string_view key) {
  return key == "name" || key == "size" || key == "datecreated" || key == "datemodified" ||
         key == "version" || key == "target" || key == "register" || key == "optional" ||
         key == "url" || key == "bits";
}

bool applyMain(InstallInfo& info, std::string_view key, std::string_view value) {
  if (key == "release") {
    const auto date = parseDateTime(value);
    if (!date) return false;
    info.release = *date;
  } else if (key == "eula") {
    info.eula = value == "1";
  } else if (key == "filecount") {
    const auto count = toInt32(leadingNumber(value));
    if (!count) return false;
    info.fileCount = *count;
  } else if (key == "title") {
    info.title = std::string(value);
  }
  return true;
}

bool applyFile(FileEntry& entry, std::string_view key, std::string_view value,
               const FolderLookup& folders) {
  if (key == "name") {
    entry.name = upper(value);
  } else if (key == "size") {
    const auto size = toInt32(leadingNumber(value));
    if (!size) return false;
    entry.size = *size;
  } else if (key == "datecreated" || key == "datemodified") {
    const auto date = parseDateTime(value);
    if (!date) return false;
    (key == "datecreated" ? entry.dateCreated : entry.dateModified) = *date;
  } else if (key == "target") {
    entry.targetPath = expandTarget(value, folders);
  } else if (key == "register") {
    entry.registerFile = value == "1";
  } else if (key == "optional") {
    entry.optional = value == "1";
  } else if (key == "url") {
    entry.url = std::string(value);
  } else if (key == "version") {
    entry.version = std::string(value);
  } else if (key == "bits") {
    if (value == "32") {
      entry.bits = 32;
    } else if (value == "64") {
      entry.bits = 64;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string installedName(const FileEntry& entry) {
  return entry.name.substr(entry.name.rfind('\\') + 1);
}

int effectiveBits(const FileEntry& entry, int setupBits) {
  return entry.bits != 0 ? entry.bits : setupBits;
}

std::string expandTarget(std::string_view value, const FolderLookup& folders) {
  struct Macro {
    std::string_view text;
    TargetFolder folder;
  };
  static constexpr Macro kMacros[] = {{"%SYSTEM%", TargetFolder::System},
                                      {"%PROGRAMFILES%", TargetFolder::ProgramFiles},
                                      {"%WINDOWS%", TargetFolder::Windows},
                                      {"%SYSTEM32BIT%", TargetFolder::System32Bit}};
  std::string out(value);
  for (const Macro& macro : kMacros) {
    if (upper(out).find(macro.text) == std::string::npos) continue;
    std::string folder = folders ? folders(macro.folder) : std::string();
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    if (folder.empty()) continue;
    std::string replaced;
    std::size_t from = 0;
    for (std::size_t at = out.find(macro.text); at != std::string::npos;
         at = out.find(macro.text, from)) {
      replaced.append(out, from, at - from);
      replaced += folder;
      from = at + macro.text.size();
    }
    replaced.append(out, from);
    out = std::move(replaced);
  }
  return out;
}

bool readInstallInfoText(std::string_view text, const FolderLookup& folders, InstallInfo& info) {
  info = InstallInfo{};
  std::string section;
  bool ok = true;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = trimSpaces(line);
    if (line.empty() || line.front() == '#' || line.front() == '\'') continue;

    if (line.front() == '[') {
      const std::size_t close = line.find(']');
      if (close == std::string_view::npos) {
        ok = false;
        continue;
      }
      section = lower(line.substr(1, close - 1));
      if (section == "file") info.files.emplace_back();
      continue;
    }

    const std::size_t eq = line.find('=');
    const std::string key = lower(line.substr(0, eq));
    // A component's key with no [File] section opened yet has no entry to go to.
    if (section == "main" && info.files.empty() && isFileKey(key)) {
      ok = false;
      continue;
    }
    const bool known =
        (section == "main" && isMainKey(key)) || (section == "file" && isFileKey(key));
    if (!known) continue;
    if (eq == std::string_view::npos) {
      ok = false;
      continue;
    }
    std::string_view value = line.substr(eq + 1);
    value = value.substr(0, value.find('='));
    if (section == "main") {
      ok = applyMain(info, key, value) && ok;
    } else {
      ok = applyFile(info.files.back(), key, value, folders) && ok;
    }
  }
  return ok && info.fileCount != 0 && info.files.size() == static_cast<std::size_t>(info.fileCount);
}

bool readInstallInfo(const std::filesystem::path& path, const FolderLookup& folders,
                     InstallInfo& info) {
  info = InstallInfo{};
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (text.empty()) return false;
  return readInstallInfoText(text, folders, info);
}

}  // namespace nx::setup
