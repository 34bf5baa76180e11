// File operations of the setup program: whole-file reads and writes, file times, in-use test,
// the work folder and the payload unpacked from the setup's own file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "nxsetup/date_time.h"
#include "nxsetup/install_info.h"
#include "nxsetup/setup_header.h"

namespace nx::setup::win {

// The whole file as bytes; nothing when it cannot be read.
std::optional<std::vector<std::uint8_t>> readFileBytes(std::string_view path);
// The whole file as text; empty text when it cannot be read.
std::string readWholeFile(std::string_view path);
// Replaces the file by `data`; true only when the written file's length equals data's length.
bool writeWholeFile(std::string_view path, std::string_view data);

// Sets the three times of an existing file (dates read as local time when `local`), keeping its
// attributes.
bool setFileTimes(std::string_view path, const DateTime& creation, const DateTime& lastAccess,
                  const DateTime& lastWrite, bool local);

// True when another process holds the existing file open so that it cannot be written.
bool isFileInUse(std::string_view path);

// Creates a fresh folder "TMP" + five digits in `base` (the temporary folder when empty);
// its path, or empty text when it cannot be created.
std::string makeWorkFolder(std::string_view base = {});

// True when `path` names a folder that removeFolder may empty: a full path below a drive or
// share root. Empty texts, drive roots and relative paths are refused.
bool isRemovableFolderPath(std::string_view path);

// Deletes the files of a folder and the folder itself (subfolders are left); true when the
// folder no longer exists. Paths refused by isRemovableFolderPath are left alone (false).
bool removeFolder(std::string_view path);

// The program file this process runs from.
std::string ownFilePath();

// removeFolder for a folder and every folder below it (the work folder of a package whose
// members live in folders). Linked folders are unlinked, never followed.
bool removeFolderTree(std::string_view path);

// The setup's own file path, lower-cased, as the driver shows and uses it.
std::string ownFilePathLower();

struct PayloadResult {
  bool ok = false;
  std::string workFolder;  // set once created, also when a later step failed
};

// Reads the payload (`header` decoded from `ownFile`) out of the setup's own file into memory
// and extracts it into a new work folder made in `tempFolder` (the temporary folder when
// empty). Nothing else is written to the temporary folder, so several setups may run at once.
// `afterMember`, when set, runs after each entry of the archive's directory (the caller lets
// window messages run there).
PayloadResult extractPayload(std::string_view ownFile, const SetupHeader& header,
                             std::string_view tempFolder = {},
                             const std::function<void()>& afterMember = {});

// Checks the extracted files against the install information: each one present, of the given
// version and size; sets their source and target paths and stamps their dates. Reads eula.txt
// when the package has one. A member name may have folder parts inside the work folder (the
// payload folder of one bitness); the target is the Target folder + the installed name.
bool checkExtractedFiles(std::string_view workFolder, InstallInfo& info);

// Lists the installed targets that are in use; true when any target already exists.
bool findInstalledFiles(const InstallInfo& info, std::vector<std::string>& inUse);

// systemFolder + "regsvr32.exe" when it exists, else empty.
std::string findRegsvr32(std::string_view systemFolder);

}  // namespace nx::setup::win
