#include "nxsetupwin/setup_log.h"

#include <windows.h>

#include <cctype>
#include <cstdio>

#include "nxsetup/paths.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {

std::string_view commandTail(std::string_view commandLine) {
  std::size_t at = 0;
  if (!commandLine.empty() && commandLine[0] == '"') {
    const std::size_t close = commandLine.find('"', 1);
    at = close == std::string_view::npos ? commandLine.size() : close + 1;
  } else {
    while (at < commandLine.size() && commandLine[at] != ' ' && commandLine[at] != '\t') ++at;
  }
  return commandLine.substr(at);
}

RunSwitches parseRunArgs(std::string_view args) {
  RunSwitches result;
  std::string text(args);
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return result;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  result.runArgs = text;
  const std::string padded = " " + text + " ";
  result.log = padded.find(" /l ") != std::string::npos;
  result.save = padded.find(" /s ") != std::string::npos;
  result.quiet = padded.find(" /q ") != std::string::npos;
  result.repair = padded.find(" /repair ") != std::string::npos;
  result.remove = padded.find(" /remove ") != std::string::npos;
  result.restart = padded.find(" /restart ") != std::string::npos;
  return result;
}

void SetupLog::write(std::string_view text, bool newEntry) {
  if (!enabled_) return;
  if (!started_) {
    started_ = true;
    if (header_) {
      for (std::string& line : header_()) entries_.push_back(std::move(line));
    }
  }
  if (newEntry || entries_.empty()) {
    entries_.emplace_back(text);
  } else {
    entries_.back() += text;
  }
  if (listener_) listener_(entries_);
}

std::string SetupLog::joined() const {
  std::string text;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += entries_[i];
  }
  return text;
}

std::vector<std::string> systemLogHeader(std::string_view appName, std::string_view appVersion) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char date[32];
  std::snprintf(date, sizeof date, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond);
  const OsRecord os = getOsRecord();
  const std::string system = systemFolder();
  const char drive = system.empty() || system == "{Unknown}" ? '?' : system[0];
  const DiskRecord disk = getDiskRecord(drive);
  const MemoryRecord memory = getMemoryRecord();
  const auto size = [](std::uint64_t n) { return formatSize(static_cast<double>(n)); };
  return {
      "AppName            : " + std::string(appName),
      "AppVersion         : " + std::string(appVersion),
      "RunDate            : " + std::string(date),
      " ",
      "System Information",
      "   -detected OS    : " + os.name,
      "   -version        : " + os.version,
      "   -sp             : " + os.servicePack,
      "   -system drive   : " + std::string(1, drive) + ":\\",
      "   -windows folder : " + getSysFolder(kFolderWindows),
      "   -system folder  : " + system,
      "   -drive size     : " + size(disk.totalBytes),
      "   -free space     : " + size(disk.freeBytes),
      "   -installed mem  : " + size(memory.totalPhysical),
      "   -available mem  : " + size(memory.availPhysical),
      "   -pagefile size  : " + size(memory.totalPageFile),
      "   -pagefile free  : " + size(memory.availPageFile),
      "   -computer       : " + computerName(),
      "   -user           : " + userName(),
      "   -administrator  : " + std::string(isAdmin() ? "TRUE" : "FALSE"),
      " ",
  };
}

}  // namespace nx::setup::win
