// Start-up sequence of the setup program.
#pragma once

#include <windows.h>

#include <string_view>

namespace nx::setup::stub {

// Runs the start-up checks for a full command line; returns the exit code (exit_codes.h).
int runStub(HINSTANCE instance, std::string_view commandLine);

}  // namespace nx::setup::stub
