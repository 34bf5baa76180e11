// Command line of nxpack.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "pack.h"

namespace nx::pack {

inline constexpr int kExitOk = 0;
inline constexpr int kExitPackFailed = 1;
inline constexpr int kExitUsage = 2;

struct ShowHelp {};
struct UsageError {
  std::string message;
};

using ParsedArgs = std::variant<PackSettings, ShowHelp, UsageError>;

// Parses the arguments (without the program name). "@file" reads further arguments from a file,
// one per line; empty lines and lines starting with "#" are skipped.
ParsedArgs parseArgs(const std::vector<std::string>& args);

// "path[:key=value;key=value...]" with keys target, register, optional, url, version, created,
// modified, bits. The path is a file name in the component folder, a path from there or an
// absolute path (a drive's colon belongs to it); the component is installed under its last part.
std::variant<ComponentSettings, UsageError> parseComponent(const std::string& text);

std::string usageText();

// Runs the whole program; returns the exit status.
int runNxpack(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace nx::pack
