// The install information reader and the Target macro expansion.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "nxsetup/install_info.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const nx::setup::FolderLookup folders = [](nx::setup::TargetFolder f) -> std::string {
    switch (f) {
      case nx::setup::TargetFolder::System:
        return "C:\\WINDOWS\\system32\\";
      case nx::setup::TargetFolder::ProgramFiles:
        return "%PROGRAMFILES%";  // a folder that itself looks like a macro
      case nx::setup::TargetFolder::Windows:
        return "";
      case nx::setup::TargetFolder::System32Bit:
        return "C:\\WINDOWS\\SysWOW64";
    }
    return "";
  };
  nx::setup::InstallInfo info;
  (void)nx::setup::readInstallInfoText(text, folders, info);
  (void)nx::setup::expandTarget(text, folders);
  return 0;
}
