#include "pack.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <map>
#include <set>

#include "local_time.h"
#include "nxsetup/install_info.h"
#include "nxsetup/member_name.h"
#include "nxsetup/paths.h"
#include "nxsetup/pe_image.h"
#include "nxsetup/pe_version.h"
#include "nxsetup/setup_header.h"
#include "nxsetup/zip_writer.h"

namespace fs = std::filesystem;

namespace nx::pack {
namespace {

using setup::FileEntry;
using setup::InstallInfo;

std::optional<std::vector<std::uint8_t>> readFile(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary | std::ios::ate);
  if (!in) return std::nullopt;
  const std::streamoff size = in.tellg();
  if (size < 0) return std::nullopt;
  in.seekg(0);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
  if (size > 0 &&
      !in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
    return std::nullopt;
  return bytes;
}

std::string upper(std::string text) {
  for (char& c : text) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return text;
}

std::string checkValue(const std::string& what, const std::string& value) {
  const std::string problem = setup::installInfoValueProblem(value);
  return problem.empty() ? std::string() : what + " " + problem + ": \"" + value + "\"";
}

std::string checkName(const std::string& name) {
  if (name.empty()) return "a component has no name";
  const auto parts = setup::safeMemberParts(name);
  if (name.find_first_of("/\\:") != std::string::npos || !parts || parts->size() != 1) {
    return "component name must be a plain file name the setup accepts: \"" + name + "\"";
  }
  const std::string u = upper(name);
  if (u == upper(std::string(setup::kInstallInfoName)) ||
      u == upper(std::string(setup::kEulaName))) {
    return "component name is reserved for the setup: \"" + name + "\"";
  }
  return checkValue("component name", name);
}

struct Member {
  std::string name;
  std::vector<std::uint8_t> data;
  setup::DateTime modified;
};

}  // namespace

PackResult buildPackage(const PackSettings& settings) {
  PackResult result;
  auto fail = [&result](std::string message) {
    result.error = std::move(message);
    return result;
  };

  const auto stub = readFile(settings.stub);
  if (!stub) return fail("cannot read the setup stub " + settings.stub.string());
  if (stub->empty()) return fail("the setup stub " + settings.stub.string() + " is empty");
  if (stub->size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return fail("the setup stub is too large");
  }
  if (settings.title.empty()) return fail("a title is required");
  if (settings.zlibVersion.empty()) return fail("a zlib version is required");
  if (settings.components.empty()) return fail("at least one component file is required");
  if (auto p = checkValue("title", settings.title); !p.empty()) return fail(p);
  if (settings.zlibVersion.find('|') != std::string::npos) {
    return fail("zlib version must not contain \"|\"");
  }

  InstallInfo info;
  info.title = settings.title;
  info.release = settings.release.value_or(localNow());
  info.eula = settings.eula.has_value();

  std::vector<Member> members;
  if (settings.eula) {
    const auto text = readFile(*settings.eula);
    if (!text) return fail("cannot read the licence text " + settings.eula->string());
    if (text->empty()) return fail("the licence text " + settings.eula->string() + " is empty");
    members.push_back({std::string(setup::kEulaName), *text,
                       localLastWrite(*settings.eula).value_or(info.release)});
  }

  struct Packed {
    FileEntry entry;
    std::vector<std::uint8_t> data;
  };
  std::vector<Packed> packed;
  for (const ComponentSettings& component : settings.components) {
    if (auto p = checkName(component.name); !p.empty()) return fail(p);
    for (const auto& [what, value] :
         {std::pair<std::string, std::string>{"target", component.target},
          {"url", component.url},
          {"version", component.version.value_or("")}}) {
      if (auto p = checkValue(what + " of " + component.name, value); !p.empty()) return fail(p);
    }
    if (component.target.empty())
      return fail("component " + component.name + " has no target folder");
    if (component.bits && *component.bits != 32 && *component.bits != 64) {
      return fail("bits of " + component.name + " must be 32 or 64");
    }

    const fs::path path = component.source.empty() ? settings.componentDir / component.name
                          : component.source.is_absolute()
                              ? component.source
                              : settings.componentDir / component.source;
    auto data = readFile(path);
    if (!data) return fail("cannot read component file " + path.string());
    if (data->size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
      return fail("component file is too large: " + path.string());
    }
    FileEntry entry;
    entry.name = component.name;
    entry.size = static_cast<std::int32_t>(data->size());
    entry.dateModified =
        component.modified ? *component.modified : localLastWrite(path).value_or(info.release);
    entry.dateCreated = component.created.value_or(entry.dateModified);
    if (component.version) {
      entry.version = *component.version;
    } else if (const auto res = setup::readVersionResource(*data)) {
      entry.version = setup::formatFileVersion(res->file);
    }
    entry.targetPath = component.target;
    entry.registerFile = component.registerFile;
    entry.optional = component.optional;
    entry.url = component.url;
    entry.bits = component.bits ? *component.bits : setup::peImageBits(*data).value_or(0);
    packed.push_back({std::move(entry), std::move(*data)});
  }

  // A file name may be shared by the two bitnesses of one file; each then goes into the
  // payload folder of its bitness so that both can be unpacked side by side.
  std::map<std::string, std::vector<std::size_t>> byName;
  for (std::size_t i = 0; i < packed.size(); ++i) {
    byName[upper(packed[i].entry.name)].push_back(i);
  }
  std::set<std::string> places;
  for (auto& [key, group] : byName) {
    if (group.size() > 1) {
      const FileEntry& first = packed[group[0]].entry;
      const FileEntry& second = packed[group[1]].entry;
      if (group.size() > 2 || first.bits == 0 || second.bits == 0 || first.bits == second.bits) {
        return fail("component listed twice: " + second.name +
                    " (a name may be shared only by a 32-bit and a 64-bit file)");
      }
      for (const std::size_t i : group) {
        FileEntry& entry = packed[i].entry;
        entry.name = (entry.bits == 32 ? "x86\\" : "x64\\") + entry.name;
      }
    }
    for (const std::size_t i : group) {
      const FileEntry& entry = packed[i].entry;
      const std::string place = upper(setup::normalizePath(entry.targetPath, false)) + "\\" + key;
      if (!places.insert(place).second) {
        return fail("two components would be installed as " + entry.targetPath + "\\" +
                    setup::installedName(entry) + "; give one of them another target");
      }
    }
  }
  for (Packed& p : packed) {
    std::string member = p.entry.name;
    std::replace(member.begin(), member.end(), '\\', '/');
    info.files.push_back(p.entry);
    members.push_back({member, std::move(p.data), p.entry.dateModified});
  }

  result.installInfo = setup::writeInstallInfo(
      info, {"nxinstall setup information", "Written by nxpack when the package was built.",
             "[Main] describes the package, each [File] one component.",
             "Target folders may use %SYSTEM%, %PROGRAMFILES%, %WINDOWS% and %SYSTEM32BIT%.",
             "Bits says whether a file is a 32-bit or a 64-bit image.",
             "Values end at a second \"=\"; keys and sections ignore letter case."});

  setup::ZipWriter zip;
  const std::vector<std::uint8_t> infText(result.installInfo.begin(), result.installInfo.end());
  if (!zip.add(setup::kInstallInfoName, infText, true, info.release)) {
    return fail("cannot add the install information: " + zip.lastError());
  }
  for (const Member& m : members) {
    if (!zip.add(m.name, m.data, true, m.modified)) {
      return fail("cannot add " + m.name + " to the payload: " + zip.lastError());
    }
  }
  const std::vector<std::uint8_t> payload = zip.finish();
  if (stub->size() + payload.size() >
      static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    return fail("the setup file would exceed 2 GiB");
  }

  const setup::SetupHeader header{static_cast<std::int32_t>(stub->size()), settings.zlibVersion, 0,
                                  static_cast<std::int32_t>(payload.size())};
  const auto trailer = setup::buildTrailer(header);
  if (!trailer) {
    return fail("the setup header \"" + setup::formatSetupHeader(header) +
                "\" does not fit the 128 bytes of the trailer once coded");
  }
  result.image = *stub;
  result.image.insert(result.image.end(), payload.begin(), payload.end());
  result.image.insert(result.image.end(), trailer->begin(), trailer->end());
  result.ok = true;
  return result;
}

std::optional<std::string> writePackage(const PackSettings& settings) {
  const PackResult built = buildPackage(settings);
  if (!built.ok) return built.error;
  // Written beside the target and renamed over it, so a failed write keeps an existing file.
  fs::path partial = settings.output;
  partial += ".partial";
  std::ofstream out(partial, std::ios::binary | std::ios::trunc);
  if (!out) return "cannot create " + partial.string();
  out.write(reinterpret_cast<const char*>(built.image.data()),
            static_cast<std::streamsize>(built.image.size()));
  out.close();
  std::error_code ec;
  if (!out) {
    fs::remove(partial, ec);
    return "cannot write " + settings.output.string();
  }
  fs::rename(partial, settings.output, ec);
  if (ec) {
    fs::remove(partial, ec);
    return "cannot replace " + settings.output.string();
  }
  return std::nullopt;
}

}  // namespace nx::pack
