#include "nxsetup/install_info.h"

namespace nx::setup {
namespace {

void line(std::string& out, std::string_view key, std::string_view value) {
  out.append(key).append("=").append(value).append("\r\n");
}

const char* flag(bool value) {
  return value ? "1" : "0";
}

}  // namespace

std::string installInfoValueProblem(std::string_view value) {
  if (value.find('=') != std::string_view::npos) return "contains \"=\"";
  if (value.find_first_of("\r\n") != std::string_view::npos) return "contains a line break";
  if (!value.empty() && (value.front() == ' ' || value.back() == ' ')) {
    return "begins or ends with a space";
  }
  return std::string();
}

std::string writeInstallInfo(const InstallInfo& info, const std::vector<std::string>& comments) {
  std::string out;
  for (const std::string& comment : comments) out.append("# ").append(comment).append("\r\n");
  out += "\r\n[Main]\r\n";
  line(out, "Release", formatDateTime(info.release));
  line(out, "FileCount", std::to_string(info.files.size()));
  line(out, "Title", info.title);
  line(out, "Eula", flag(info.eula));
  for (const FileEntry& f : info.files) {
    out += "\r\n[File]\r\n";
    line(out, "Name", f.name);
    line(out, "Size", std::to_string(f.size));
    line(out, "DateCreated", formatDateTime(f.dateCreated));
    line(out, "DateModified", formatDateTime(f.dateModified));
    line(out, "Version", f.version);
    line(out, "Target", f.targetPath);
    line(out, "Register", flag(f.registerFile));
    line(out, "Optional", flag(f.optional));
    line(out, "URL", f.url);
    if (f.bits != 0) line(out, "Bits", std::to_string(f.bits));
  }
  return out;
}

}  // namespace nx::setup
