#include "nxsetupwin/file_ops.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "nxsetup/member_name.h"
#include "nxsetup/paths.h"
#include "nxsetup/versions.h"
#include "nxsetup/zip_extraction.h"
#include "nxsetupwin/file_info.h"
#include "nxsetupwin/handles.h"
#include "nxsetupwin/sys_info.h"

namespace nx::setup::win {
namespace {

// Largest file the setup reads whole.
constexpr std::uint64_t kMaxWholeFile = 1ULL << 30;

FileHandle openForReading(const std::string& path) {
  return FileHandle(::CreateFileA(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

bool readExactly(HANDLE file, std::uint8_t* data, std::uint64_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(size, 1U << 24));
    DWORD got = 0;
    if (!::ReadFile(file, data, chunk, &got, nullptr) || got == 0) return false;
    data += got;
    size -= got;
  }
  return true;
}

bool writeAll(HANDLE file, const char* data, std::uint64_t size) {
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::uint64_t>(size, 1U << 24));
    DWORD put = 0;
    if (!::WriteFile(file, data, chunk, &put, nullptr) || put == 0) return false;
    data += put;
    size -= put;
  }
  return true;
}

std::optional<std::uint64_t> fileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<FILETIME> toFileTime(const DateTime& date, bool local) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(date.year);
  st.wMonth = static_cast<WORD>(date.month);
  st.wDay = static_cast<WORD>(date.day);
  st.wHour = static_cast<WORD>(date.hour);
  st.wMinute = static_cast<WORD>(date.minute);
  st.wSecond = static_cast<WORD>(date.second);
  FILETIME ft{};
  if (date.year < 1601 || !::SystemTimeToFileTime(&st, &ft)) return std::nullopt;
  if (!local) return ft;
  // The same conversion nxkFileInfo reads times back with, so a stamped time reads back as set.
  FILETIME utc{};
  if (!::LocalFileTimeToFileTime(&ft, &utc)) return std::nullopt;
  return utc;
}

DateTime localNow() {
  SYSTEMTIME st{};
  ::GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

bool isDriveLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readFileBytes(std::string_view path) {
  const std::string text(path);
  if (text.empty()) return std::nullopt;
  const FileHandle file = openForReading(text);
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
      static_cast<std::uint64_t>(size.QuadPart) > kMaxWholeFile) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  if (!readExactly(file.get(), bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

std::string readWholeFile(std::string_view path) {
  const auto bytes = readFileBytes(path);
  if (!bytes) return {};
  return std::string(bytes->begin(), bytes->end());
}

bool writeWholeFile(std::string_view path, std::string_view data) {
  const std::string text(path);
  if (text.empty()) return false;
  ::DeleteFileA(text.c_str());
  {
    FileHandle file(::CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    if (!writeAll(file.get(), data.data(), data.size())) {
      ::CloseHandle(file.release());
      ::DeleteFileA(text.c_str());  // no half-written file stays behind
      return false;
    }
  }
  const auto length = fileLength(text);
  return length && *length == data.size();
}

bool setFileTimes(std::string_view path, const DateTime& creation, const DateTime& lastAccess,
                  const DateTime& lastWrite, bool local) {
  const std::string text(path);
  const DWORD attributes = ::GetFileAttributesA(text.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  ::SetFileAttributesA(text.c_str(), FILE_ATTRIBUTE_NORMAL);
  bool ok = false;
  {
    const FileHandle file(::CreateFileA(text.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    const auto created = toFileTime(creation, local);
    const auto accessed = toFileTime(lastAccess, local);
    const auto written = toFileTime(lastWrite, local);
    if (file && created && accessed && written) {
      ok = ::SetFileTime(file.get(), &*created, &*accessed, &*written) != FALSE;
    }
  }
  ::SetFileAttributesA(text.c_str(), attributes);
  return ok;
}

bool isFileInUse(std::string_view path) {
  const std::string text(path);
  const FileHandle file(::CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) return false;
  switch (::GetLastError()) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return true;
    case ERROR_ACCESS_DENIED: {
      // A read-only file refuses writing too, but no program holds it.
      const DWORD attributes = ::GetFileAttributesA(text.c_str());
      return attributes != INVALID_FILE_ATTRIBUTES &&
             (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == 0;
    }
    default:
      return false;
  }
}

std::string makeWorkFolder(std::string_view base) {
  std::string folder =
      normalizePath(base.empty() ? getSysFolder(kFolderTemp) : std::string(base), true);
  if (folder.empty()) return {};
  std::random_device device;
  std::mt19937 random(device() ^ static_cast<std::uint32_t>(::GetTickCount64()) ^
                      (::GetCurrentProcessId() << 16));
  std::uniform_int_distribution<int> digit(0, 9);
  for (int attempt = 0; attempt < 1000; ++attempt) {
    std::string name = "TMP";
    while (name.size() < 8) name += static_cast<char>('0' + digit(random));
    const std::string path = folder + name;
    if (::CreateDirectoryA(path.c_str(), nullptr)) return path;
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
  return {};
}

bool isRemovableFolderPath(std::string_view path) {
  std::string p = normalizePath(path, false);
  if (p.empty() || p.find_first_of("*?/\"<>|") != std::string::npos) return false;
  std::size_t rootParts = 0;  // parts that form the root: "C:" or "\\server\share"
  std::string rest;
  if (p.size() >= 3 && isDriveLetter(p[0]) && p[1] == ':' && p[2] == '\\') {
    rootParts = 1;
  } else if (p.size() > 2 && p[0] == '\\' && p[1] == '\\') {
    p = p.substr(2);
    rootParts = 2;
  } else {
    return false;
  }
  std::size_t parts = 0;
  std::size_t start = 0;
  while (start <= p.size()) {
    const std::size_t end = std::min(p.find('\\', start), p.size());
    const std::string part = p.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    if (parts >= rootParts && part.find(':') != std::string::npos) return false;
    ++parts;
    start = end + 1;
  }
  return parts > rootParts;
}

bool removeFolder(std::string_view path) {
  if (!isRemovableFolderPath(path)) return false;
  const std::string folder = normalizePath(path, false);
  WIN32_FIND_DATAA find{};
  {
    const FindHandle found(::FindFirstFileA((folder + "\\*.*").c_str(), &find));
    if (found) {
      do {
        if (find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string file = folder + "\\" + find.cFileName;
        ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileA(file.c_str());
      } while (::FindNextFileA(found.get(), &find));
    }
  }
  ::RemoveDirectoryA(folder.c_str());
  return !fileExists(folder);
}

bool removeFolderTree(std::string_view path) {
  if (!isRemovableFolderPath(path)) return false;
  const std::string folder = normalizePath(path, false);
  std::vector<std::string> subfolders;
  WIN32_FIND_DATAA find{};
  {
    const FindHandle found(::FindFirstFileA((folder + "\\*.*").c_str(), &find));
    if (found) {
      do {
        const std::string name = find.cFileName;
        if (!(find.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name == "." || name == "..")
          continue;
        const std::string sub = folder + "\\" + name;
        if (find.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
          ::RemoveDirectoryA(sub.c_str());  // the link only, never what it points to
        } else {
          subfolders.push_back(sub);
        }
      } while (::FindNextFileA(found.get(), &find));
    }
  }
  for (const std::string& sub : subfolders) removeFolderTree(sub);
  return removeFolder(folder);
}

std::string ownFilePath() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (int attempt = 0; attempt < 6; ++attempt) {
    const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
  return {};
}

std::string ownFilePathLower() {
  std::string path = ownFilePath();
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path;
}

namespace {

// Lets the caller run its message pump after every entry of the archive's directory.
class MemberEvents : public ZipEvents {
 public:
  explicit MemberEvents(const std::function<void()>& afterMember) : afterMember_(afterMember) {}
  void Progress(std::int32_t, bool&) override {
    if (afterMember_) afterMember_();
  }

 private:
  const std::function<void()>& afterMember_;
};

}  // namespace

PayloadResult extractPayload(std::string_view ownFile, const SetupHeader& header,
                             std::string_view tempFolder,
                             const std::function<void()>& afterMember) {
  PayloadResult result;
  const std::string temp =
      normalizePath(tempFolder.empty() ? getSysFolder(kFolderTemp) : std::string(tempFolder), true);
  result.workFolder = makeWorkFolder(temp);
  if (result.workFolder.empty()) return result;

  if (header.payloadOffset < 0 || header.extraOffset < 0 || header.payloadLength <= 0) {
    return result;
  }
  const std::uint64_t start = static_cast<std::uint64_t>(header.payloadOffset) +
                              static_cast<std::uint64_t>(header.extraOffset);
  const auto length = static_cast<std::uint64_t>(header.payloadLength);
  std::vector<std::uint8_t> payload;
  {
    const FileHandle file = openForReading(std::string(ownFile));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) ||
        start + length > static_cast<std::uint64_t>(size.QuadPart)) {
      return result;
    }
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(start);
    payload.resize(static_cast<std::size_t>(length));
    if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) ||
        !readExactly(file.get(), payload.data(), length)) {
      return result;
    }
  }

  MemberEvents events(afterMember);
  ZipExtractionClass zip(&events);
  if (zip.OpenZipImage(std::move(payload), std::string(ownFile)) &&
      zip.Extract(result.workFolder, true, true)) {
    result.ok = true;
  }
  return result;
}

bool checkExtractedFiles(std::string_view workFolder, InstallInfo& info) {
  const std::string folder = normalizePath(workFolder, true);
  if (folder.empty()) return false;
  if (info.eula) {
    info.eulaText = readWholeFile(folder + std::string(kEulaName));
    if (info.eulaText.empty()) return false;
  }
  const DateTime now = localNow();
  for (FileEntry& entry : info.files) {
    // A name must stay inside the work folder, written in its plain form ("a\\b": no "/", "."
    // or empty parts); only its last part goes into the target folder.
    const auto parts = safeMemberParts(entry.name);
    if (!parts || parts->empty() || entry.name.find('/') != std::string::npos) return false;
    std::string joined;
    for (const std::string& part : *parts) joined += (joined.empty() ? "" : "\\") + part;
    if (joined != entry.name) return false;
    const std::string path = folder + entry.name;
    const nxkFileInfo file(path);
    if (!file.Exists() || file.flag(kItemDirectory)) return false;
    if (!entry.version.empty() &&
        compareVersions(entry.version, file.text(kItemFileVersion)) != 0) {
      return false;
    }
    if (entry.size < 0 || file.size64() != static_cast<std::uint64_t>(entry.size)) return false;
    entry.sourcePath = path;
    entry.targetPath = normalizePath(entry.targetPath, true) + installedName(entry);
    setFileTimes(path, entry.dateCreated, now, entry.dateModified, true);
  }
  return true;
}

bool findInstalledFiles(const InstallInfo& info, std::vector<std::string>& inUse) {
  inUse.clear();
  bool previous = false;
  for (const FileEntry& entry : info.files) {
    if (entry.targetPath.empty() || !fileExists(entry.targetPath)) continue;
    previous = true;
    if (isFileInUse(entry.targetPath)) inUse.push_back(entry.targetPath);
  }
  return previous;
}

std::string findRegsvr32(std::string_view systemFolder) {
  if (systemFolder.empty()) return {};
  const std::string path = std::string(systemFolder) + "regsvr32.exe";
  return fileExists(path) ? path : std::string();
}

}  // namespace nx::setup::win
