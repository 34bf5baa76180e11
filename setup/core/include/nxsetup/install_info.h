// The install information file "nxinstall.inf": an INI-like list of the component files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "nxsetup/date_time.h"

namespace nx::setup {

inline constexpr std::string_view kInstallInfoName = "nxinstall.inf";
inline constexpr std::string_view kEulaName = "eula.txt";

struct FileEntry {
  // Upper-cased path of the member in the payload: a file name, or folders and a file name
  // separated by "\" when files of the same name are carried for both bitnesses. The file is
  // installed under its last part (installedName).
  std::string name;
  std::string version;
  std::int32_t size = 0;
  DateTime dateCreated;
  DateTime dateModified;
  bool registerFile = false;
  bool optional = false;
  std::string url;
  std::string sourcePath;
  std::string targetPath;  // the expanded Target folder until the extracted files are checked
  // 32 or 64 as the optional Bits key says; 0 when the key is absent: the file then has the
  // bitness of the setup program itself.
  int bits = 0;
};

// The name the file is installed under: the text after the last "\" of its member name.
std::string installedName(const FileEntry& entry);

// The bitness of the file: its Bits, or `setupBits` (the setup program's own) when it has none.
int effectiveBits(const FileEntry& entry, int setupBits);

struct InstallInfo {
  std::vector<FileEntry> files;
  std::int32_t fileCount = 0;
  std::string title;
  DateTime release;
  bool eula = false;
  std::string eulaText;
};

// System32Bit is the folder of the 32-bit system files: SysWOW64 on 64-bit Windows, the system
// folder on 32-bit Windows.
enum class TargetFolder { System, ProgramFiles, Windows, System32Bit };

// Supplies the folder a Target macro stands for; empty when it is unknown.
using FolderLookup = std::function<std::string(TargetFolder)>;

// Replaces %SYSTEM%, %PROGRAMFILES%, %WINDOWS% and %SYSTEM32BIT% (in that order, written in upper
// case) by their folders without a trailing backslash. A macro whose folder is unknown, or one
// written in another letter case, stays in the text.
std::string expandTarget(std::string_view value, const FolderLookup& folders);

// Parses the text of the file into `info` (which is reset first). True only when every line could
// be read and the number of [File] sections equals a FileCount other than 0. Lines end in LF or
// CR LF; a line is trimmed of spaces; "#" and "'" start comments; keys and section names compare
// without regard to case; a value ends at its second "=". A [File] key met in [Main] before the
// first [File] section, or a Bits value other than 32 and 64, makes the result false.
bool readInstallInfoText(std::string_view text, const FolderLookup& folders, InstallInfo& info);

// Reads the file and parses it; false when it cannot be read or is empty.
bool readInstallInfo(const std::filesystem::path& path, const FolderLookup& folders,
                     InstallInfo& info);

// Text of the install information for `info` (files taken from info.files), with the given
// comment lines first; Bits is written only for files that have one. Values must not contain "=",
// CR or LF; see installInfoValueProblem.
std::string writeInstallInfo(const InstallInfo& info, const std::vector<std::string>& comments);

// Why a value cannot be written into the install information, or empty when it can.
std::string installInfoValueProblem(std::string_view value);

}  // namespace nx::setup
