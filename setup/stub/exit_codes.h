// Exit codes of the setup program (see README.md).
#pragma once

namespace nx::setup::stub {

enum ExitCode : int {
  kExitOk = 0,
  kExitInternal = 1,           // an unexpected error inside the program
  kExitOwnFile = 10,           // the setup's own file cannot be accessed
  kExitPrivileges = 11,        // no administrator rights
  kExitHeader = 12,            // the setup trailer or header is corrupt
  kExitZlib = 13,              // zlib.dll cannot be provided
  kExitExtract = 14,           // the payload cannot be extracted
  kExitInstallInfo = 15,       // nxinstall.inf cannot be read
  kExitExtractedFiles = 16,    // the extracted files do not match nxinstall.inf
  kExitAborted = 17,           // the user stopped: Abort at the in-use files, or closed the wizard
                               // before any work
  kExitDeclined = 18,          // the user declined the licence
  kExitIncomplete = 19,        // a file could not be placed or a library failed to (un)register
  kExitRebootRequired = 3010,  // done; files wait for the next start of Windows
};

}  // namespace nx::setup::stub
