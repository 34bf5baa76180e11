// The nxvat command line: check, complete and list countries, one number or in batches.
#pragma once

#include <span>
#include <string_view>

#include "streams.h"

namespace nx::nxvat {

// Exit codes.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNegative = 1;  // invalid number, no completion, bad batch lines
inline constexpr int kExitUsage = 2;

// Runs the tool with its arguments (without the program name).
int run(std::span<const std::string_view> args, Input& in, Output& out, Output& err);

// Batch modes: lines "CC<TAB>NUMBER" (LF or CRLF) in, one result line per input line out.
// Returns kExitOk, or kExitNegative when some line had no tab.
int checkBatch(Input& in, Output& out, Output& err);
int completeBatch(Input& in, Output& out, Output& err);

// Country index of a command-line code: a code of the table in any letter case, "-" or an
// unknown code for no country (-1).
int parseCountry(std::string_view code);

}  // namespace nx::nxvat
