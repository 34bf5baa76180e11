#include "nxsetupwin/file_info.h"

#include <windows.h>
#include <winver.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <limits>
#include <vector>

#include "nxsetup/paths.h"
#include "nxsetup/pe_version.h"
#include "nxsetupwin/handles.h"

namespace nx::setup::win {
namespace {

std::string afterLastBackslash(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  const std::size_t at = path.rfind('\\');
  return at == std::string::npos ? path : path.substr(at + 1);
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

DateTime localDate(const FILETIME& utc) {
  FILETIME local{};
  SYSTEMTIME st{};
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) return {};
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::string dateText(const DateTime& date) {
  return date.isZero() ? std::string() : formatDateTime(date);
}

// A string value of the version resource, or empty text.
std::string versionString(std::vector<char>& block, const std::string& key) {
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), key.c_str(), &value, &length) || value == nullptr ||
      length == 0) {
    return {};
  }
  const char* text = static_cast<const char*>(value);
  std::size_t n = 0;
  while (n < length && text[n] != '\0') ++n;
  return std::string(text, n);
}

std::string cutAtZero(const char* text, std::size_t capacity) {
  std::size_t n = 0;
  while (n < capacity && text[n] != '\0') ++n;
  return std::string(text, n);
}

std::string hex4(unsigned value) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "%04X", value & 0xFFFFu);
  return buffer;
}

}  // namespace

std::string fileTypeText(std::uint32_t type, std::uint32_t subtype) {
  switch (type) {
    case VFT_APP:
      return "Application";
    case VFT_DLL:
      return "DLL";
    case VFT_DRV: {
      static constexpr const char* kDrivers[] = {
          "Unknown Driver", "Printer Driver", "Keyboard Driver", "Language Driver",
          "Display Driver", "Mouse Driver",   "Network Driver",  "System Driver",
          "Installable",    "Sound Driver",   "Comm Driver"};
      // Subtypes without a text of their own count as unknown drivers.
      return subtype < std::size(kDrivers) ? kDrivers[subtype] : "Unknown Driver";
    }
    case VFT_FONT:
      if (subtype == VFT2_FONT_RASTER) return "Raster Font";
      if (subtype == VFT2_FONT_VECTOR) return "Vector Font";
      if (subtype == VFT2_FONT_TRUETYPE) return "TrueType Font";
      return "Font";
    case VFT_VXD:
      return "VxD";
    case VFT_STATIC_LIB:
      return "Lib";
    default:
      return "Unknown";
  }
}

std::string fileOsText(std::uint32_t os) {
  switch (os) {
    case 0x10001:
      return "Win16DOS";
    case 0x10004:
      return "Win32DOS";
    case 0x20002:
      return "OS216 PM-16";
    case 0x30003:
      return "OS216 PM-32";
    case 0x40004:
      return "Win32NT";
    default:
      return "Unknown";
  }
}

void nxkFileInfo::reset() {
  const std::string requested = std::move(requested_);
  *this = nxkFileInfo();
  requested_ = requested;
}

void nxkFileInfo::setPath(std::string_view path) {
  requested_ = std::string(path);
  read();
}

bool nxkFileInfo::Refresh() {
  read();
  return exists_;
}

void nxkFileInfo::read() {
  reset();
  if (requested_.empty()) return;
  std::vector<char> buffer(MAX_PATH + 1);
  DWORD n = ::GetFullPathNameA(requested_.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                               nullptr);
  if (n >= buffer.size()) {
    buffer.assign(static_cast<std::size_t>(n) + 1, '\0');
    n = ::GetFullPathNameA(requested_.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(),
                           nullptr);
  }
  if (n == 0 || n >= buffer.size()) return;
  const std::string full(buffer.data(), n);

  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA(full.c_str(), GetFileExInfoStandard, &data)) return;

  exists_ = true;
  fullPath_ = full;
  buffer.assign(MAX_PATH + 1, '\0');
  n = ::GetShortPathNameA(full.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (n >= buffer.size()) {
    buffer.assign(static_cast<std::size_t>(n) + 1, '\0');
    n = ::GetShortPathNameA(full.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  }
  if (n > 0 && n < buffer.size()) shortPath_.assign(buffer.data(), n);
  fileName_ = afterLastBackslash(fullPath_);
  shortFileName_ = afterLastBackslash(shortPath_);
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    size_ = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
  }
  const std::size_t dot = fileName_.rfind('.');
  if (dot != std::string::npos) extension_ = upper(fileName_.substr(dot + 1));

  DWORD ignored = 0;
  const DWORD versionSize = ::GetFileVersionInfoSizeA(full.c_str(), &ignored);
  if (versionSize > 0) {
    std::vector<char> block(versionSize + 16u, '\0');
    if (::GetFileVersionInfoA(full.c_str(), 0, versionSize, block.data())) {
      void* value = nullptr;
      UINT length = 0;
      if (::VerQueryValueA(block.data(), "\\", &value, &length) && value != nullptr &&
          length >= sizeof(VS_FIXEDFILEINFO)) {
        const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
        if (fixed->dwSignature == 0xFEEF04BD) {
          const FileVersion file{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                                 HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
          const FileVersion product{
              HIWORD(fixed->dwProductVersionMS), LOWORD(fixed->dwProductVersionMS),
              HIWORD(fixed->dwProductVersionLS), LOWORD(fixed->dwProductVersionLS)};
          fileVersion_ = formatFileVersion(file);
          productVersion_ = formatFileVersion(product);
          fileType_ = fileTypeText(fixed->dwFileType, fixed->dwFileSubtype);
          targetOs_ = fileOsText(fixed->dwFileOS);
        }
      }
      value = nullptr;
      length = 0;
      if (::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) &&
          value != nullptr && length >= 4) {
        DWORD translation = 0;
        std::memcpy(&translation, value, sizeof translation);
        const unsigned language = LOWORD(translation);
        const unsigned codePage = HIWORD(translation);
        char name[256] = {};
        const DWORD nameLength = ::VerLanguageNameA(language, name, sizeof name);
        if (nameLength > 0) language_ = cutAtZero(name, sizeof name);
        companyName_ = versionString(
            block, "\\StringFileInfo\\" + hex4(language) + hex4(codePage) + "\\CompanyName");
        if (companyName_.empty()) {
          companyName_ =
              versionString(block, "\\StringFileInfo\\0409" + hex4(codePage) + "\\CompanyName");
        }
      }
    }
  }

  WIN32_FIND_DATAA find{};
  const FindHandle found(::FindFirstFileA(full.c_str(), &find));
  if (found) {
    attributes_ = find.dwFileAttributes;
    created_ = localDate(find.ftCreationTime);
    lastAccess_ = localDate(find.ftLastAccessTime);
    lastWrite_ = localDate(find.ftLastWriteTime);
  } else {
    // Drive roots cannot be found by name; their attributes and times come from the query above.
    attributes_ = data.dwFileAttributes;
    created_ = localDate(data.ftCreationTime);
    lastAccess_ = localDate(data.ftLastAccessTime);
    lastWrite_ = localDate(data.ftLastWriteTime);
  }
  compressedSize_ = ::GetCompressedFileSizeA(full.c_str(), nullptr);
  if (compressedSize_ == INVALID_FILE_SIZE && ::GetLastError() != NO_ERROR) compressedSize_ = 0;
}

InfoValue nxkFileInfo::InfoItem(int itemID) const {
  static constexpr std::uint32_t kFlags[] = {FILE_ATTRIBUTE_ARCHIVE,   FILE_ATTRIBUTE_COMPRESSED,
                                             FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_HIDDEN,
                                             FILE_ATTRIBUTE_NORMAL,    FILE_ATTRIBUTE_READONLY,
                                             FILE_ATTRIBUTE_SYSTEM,    FILE_ATTRIBUTE_TEMPORARY};
  if (itemID >= kItemArchive && itemID <= kItemTemporary) {
    return exists_ && (attributes_ & kFlags[itemID]) != 0;
  }
  switch (itemID) {
    case kItemCompanyName:
      return companyName_;
    case kItemCreated:
      return dateText(created_);
    case kItemLastAccess:
      return dateText(lastAccess_);
    case kItemLastWrite:
      return dateText(lastWrite_);
    case kItemExists:
      return exists_;
    case kItemExtension:
      return extension_;
    case kItemLanguage:
      return language_;
    case kItemFileName:
      return fileName_;
    case kItemShortFileName:
      return shortFileName_;
    case kItemTargetOs:
      return targetOs_;
    case kItemFullPath:
      return fullPath_;
    case kItemShortPath:
      return shortPath_;
    case kItemSize:
      return static_cast<std::int32_t>(
          std::min<std::uint64_t>(size_, std::numeric_limits<std::int32_t>::max()));
    case kItemSizeText:
      return exists_ ? formatSize(static_cast<double>(size_)) : std::string();
    case kItemCompressedSize:
      return static_cast<std::int32_t>(compressedSize_);
    case kItemCompressedSizeText:
      return exists_ ? formatSize(static_cast<double>(compressedSize_)) : std::string();
    case kItemFileType:
      return fileType_;
    case kItemFileVersion:
      return fileVersion_;
    case kItemProductVersion:
      return productVersion_;
    default:
      return std::monostate{};
  }
}

std::string nxkFileInfo::text(int itemID) const {
  const InfoValue value = InfoItem(itemID);
  if (const auto* s = std::get_if<std::string>(&value)) return *s;
  return {};
}

bool nxkFileInfo::flag(int itemID) const {
  const InfoValue value = InfoItem(itemID);
  const auto* b = std::get_if<bool>(&value);
  return b != nullptr && *b;
}

std::int32_t nxkFileInfo::number(int itemID) const {
  const InfoValue value = InfoItem(itemID);
  const auto* n = std::get_if<std::int32_t>(&value);
  return n != nullptr ? *n : 0;
}

}  // namespace nx::setup::win

namespace nx::setup::win {

std::optional<VersionNumbers> fileVersionNumbers(std::string_view path) {
  const std::string text(path);
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeA(text.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> block(size + 16u, '\0');
  if (!::GetFileVersionInfoA(text.c_str(), 0, size, block.data())) return std::nullopt;
  void* value = nullptr;
  UINT length = 0;
  if (!::VerQueryValueA(block.data(), "\\", &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
  return VersionNumbers{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                        HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

}  // namespace nx::setup::win
