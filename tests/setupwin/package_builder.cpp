#include "package_builder.h"

#include <cctype>
#include <stdexcept>

#include "nxsetup/setup_header.h"
#include "nxsetup/zip_writer.h"

namespace nx::setup::win::test {

std::string buildZip(const std::vector<Member>& members) {
  ZipWriter writer;
  for (const Member& m : members) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(m.data.data());
    if (!writer.add(m.name, Bytes(data, m.data.size()), m.deflate, DateTime{2024, 1, 2, 3, 4, 6})) {
      throw std::runtime_error("zip: " + writer.lastError());
    }
  }
  const std::vector<std::uint8_t> zip = writer.finish();
  return std::string(zip.begin(), zip.end());
}

std::string buildSetupImage(std::string_view image, std::string_view payload,
                            std::string_view zlibVersion) {
  SetupHeader header;
  header.payloadOffset = static_cast<std::int32_t>(image.size());
  header.zlibVersion = std::string(zlibVersion);
  header.extraOffset = 0;
  header.payloadLength = static_cast<std::int32_t>(payload.size());
  const auto trailer = buildTrailer(header);
  if (!trailer) throw std::runtime_error("trailer too long");
  std::string out(image);
  out += payload;
  out.append(trailer->begin(), trailer->end());
  return out;
}

std::string installInfoFor(const std::vector<Member>& members, std::string_view target, bool eula) {
  InstallInfo info;
  info.title = "Test package";
  info.release = {2024, 1, 2, 3, 4, 5};
  info.eula = eula;
  for (const Member& m : members) {
    if (m.name == "nxinstall.inf" || m.name == "eula.txt") continue;
    FileEntry e;
    e.name = m.name;
    for (char& c : e.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    e.size = static_cast<std::int32_t>(m.data.size());
    e.dateCreated = {2023, 5, 6, 7, 8, 9};
    e.dateModified = {2023, 6, 7, 8, 9, 10};
    e.targetPath = std::string(target);
    info.files.push_back(e);
  }
  info.fileCount = static_cast<std::int32_t>(info.files.size());
  return writeInstallInfo(info, {"# test package"});
}

}  // namespace nx::setup::win::test
