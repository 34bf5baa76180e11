#include "nxsetup/zip_extraction.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <system_error>

#include "nxsetup/member_name.h"

namespace fs = std::filesystem;

namespace nx::setup {
namespace {

std::string withBackslashes(std::string name) {
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

std::uint32_t crcOf(const std::uint8_t* data, std::uint64_t size) {
  uLong crc = crc32(0L, Z_NULL, 0);
  while (size > 0) {
    const auto chunk = static_cast<uInt>(std::min<std::uint64_t>(size, 1U << 30));
    crc = crc32(crc, data, chunk);
    data += chunk;
    size -= chunk;
  }
  return static_cast<std::uint32_t>(crc);
}

bool writeFile(const fs::path& path, Bytes data) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

void ZipExtractionClass::status(const std::string& text) {
  if (events_) events_->Status(text);
}

void ZipExtractionClass::error(std::int32_t number, const std::string& description) {
  ++memberErrors_;
  if (events_) events_->ZipError(number, description);
}

std::string ZipExtractionClass::ZLibVersion() {
  const char* version = zlibVersion();
  if (version == nullptr || *version == '\0') {
    error(kZipErrNoZlib, "Zlib is not installed");
    return std::string();
  }
  return version;
}

bool ZipExtractionClass::OpenZip(const std::string& zipPath) {
  status("Opening Zip");
  CloseZip();
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(zipPath), ec)) {
    error(kZipErrMissing, "The file " + zipPath + " doesn't exist");
    return false;
  }
  std::vector<std::uint8_t> image;
  std::ifstream in(fs::path(zipPath), std::ios::binary | std::ios::ate);
  if (in) {
    const std::streamoff length = in.tellg();
    in.seekg(0);
    if (length > 0) {
      image.resize(static_cast<std::size_t>(length));
      in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(length));
      if (!in) image.clear();
    }
  }
  return attach(std::move(image), zipPath);
}

bool ZipExtractionClass::OpenZipImage(std::vector<std::uint8_t> image,
                                      const std::string& displayName) {
  status("Opening Zip");
  CloseZip();
  return attach(std::move(image), displayName);
}

bool ZipExtractionClass::attach(std::vector<std::uint8_t> image, const std::string& displayName) {
  archive_ = std::move(image);
  zipPath_ = displayName;
  open_ = true;
  const std::optional<std::uint64_t> end = zip::findEndRecord(archive_);
  if (!end) {
    error(kZipErrNotZip, "The file " + zipPath_ + " is not a Zip file");
    return false;
  }
  endPosition_ = *end + 1;
  status("Zip Opened");
  return true;
}

void ZipExtractionClass::CloseZip() {
  if (open_) {
    archive_.clear();
    archive_.shrink_to_fit();
    open_ = false;
    status("Zip Closed");
  }
  endPosition_ = 0;
}

bool ZipExtractionClass::Extract(const std::string& folderPath, bool preservePath, bool overwrite) {
  return walk(folderPath, preservePath, overwrite, true);
}

bool ZipExtractionClass::Verify() {
  return walk(std::string(), false, false, false) && memberErrors_ == 0;
}

bool ZipExtractionClass::walk(const std::string& folderPath, bool preservePath, bool overwrite,
                              bool write) {
  memberErrors_ = 0;
  if (ZLibVersion().empty()) return false;
  status("Extracting Files");
  if (!open_ || endPosition_ == 0) {
    error(kZipErrNotOpen, "There is no Zip File Open");
    return false;
  }
  const fs::path folder(folderPath);
  if (write) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
      fs::create_directories(folder, ec);
      if (!fs::is_directory(folder, ec)) {
        error(kZipErrFolder, "Can't create the folder " + folderPath);
        return false;
      }
    }
  }

  const Bytes archive(archive_);
  const std::optional<zip::EndRecord> end = zip::readEndRecord(archive, endPosition_ - 1);
  bool result = false;
  if (end && end->thisDisk == end->centralDisk) {
    result = true;
    std::uint64_t at = end->centralOffset;
    const std::uint32_t total = end->totalEntries;
    for (std::uint32_t i = 1; i <= total; ++i) {
      // Central directory headers must lie between its start and the end record.
      const auto entry = zip::readCentralHeader(archive, at, endPosition_ - 1);
      if (!entry) {
        error(kZipErrDamagedDirectory, "The central directory of " + zipPath_ + " is damaged");
        result = false;
        break;
      }
      at += entry->recordSize;

      std::string name = withBackslashes(entry->name);
      const bool isFolder = !name.empty() && name.back() == '\\';
      if (!preservePath) name = name.substr(name.rfind('\\') + 1);
      if (!name.empty() || !isFolder) {
        const auto parts = safeMemberParts(name);
        if (!parts) {
          error(kZipErrUnsafeName, "The member name " + withBackslashes(entry->name) +
                                       " would leave the folder " + folderPath);
        } else if (!write) {
          if (!isFolder) extractEntry(*entry, name, nullptr);
        } else {
          std::error_code ec;
          fs::path path = folder;
          const std::size_t folderParts = isFolder ? parts->size() : parts->size() - 1;
          for (std::size_t p = 0; p < parts->size(); ++p) {
            path /= (*parts)[p];
            if (p < folderParts && !fs::is_directory(path, ec)) fs::create_directory(path, ec);
          }
          if (!isFolder) {
            status("Extracting ...\\" + name);
            const Target target{folderPath + "\\" + name, path};
            if (!fs::exists(fs::symlink_status(path, ec))) {
              extractEntry(*entry, name, &target);
            } else if (overwrite) {
              if (fs::remove(path, ec) && !ec) {
                extractEntry(*entry, name, &target);
              } else {
                error(kZipErrRemove, "Can't remove the file " + target.text);
              }
            } else {
              error(kZipErrExists, "The file " + target.text + " already exists");
            }
          }
        }
      }

      bool cancel = false;
      const auto percent =
          static_cast<std::int32_t>(std::lround(static_cast<double>(i) * 100.0 / total));
      if (events_) events_->Progress(percent, cancel);
      if (cancel) return false;
    }
  }
  status("Extraction Complete");
  return result;
}

void ZipExtractionClass::extractEntry(const zip::CentralHeader& entry, const std::string& name,
                                      const Target* target) {
  const Bytes archive(archive_);
  const std::optional<zip::LocalHeader> local = zip::readLocalHeader(archive, entry.localOffset);
  const std::string shown = target ? target->text : name;
  if (!local) {
    error(kZipErrDamagedMember, "The member " + shown + " is damaged");
    return;
  }
  // A member written with a trailing data descriptor leaves these local fields 0.
  const bool described = (local->flags & zip::kFlagDataDescriptor) != 0;
  const std::uint32_t compressed = described ? entry.compressedSize : local->compressedSize;
  const std::uint32_t crc = described ? entry.crc : local->crc;
  if (!inRange(local->dataOffset, compressed, archive.size())) {
    error(kZipErrDamagedMember, "The member " + shown + " is damaged");
    return;
  }
  const Bytes data = archive.subspan(static_cast<std::size_t>(local->dataOffset), compressed);

  std::vector<std::uint8_t> inflated;
  Bytes content;
  if (entry.method == zip::kMethodStored) {
    content = data;
  } else if (entry.method == zip::kMethodDeflated) {
    const std::uint64_t size = entry.uncompressedSize;
    const std::uint64_t reachable = std::uint64_t{compressed} * kMaxDeflateRatio + 64;
    if (size > memberLimit_ || size > reachable) {
      error(kZipErrTooLarge, "The size of " + shown + " is beyond the limit");
      return;
    }
    if (!inflateMember(data, crc, size, inflated)) {
      error(kZipErrChecksum, "Data checksum error in " + shown);
      return;
    }
    content = inflated;
  } else {
    error(kZipErrMethod,
          "The compression Method for " + withBackslashes(local->name) + " is unsupported");
    return;
  }
  if (target && !writeFile(target->path, content)) {
    std::error_code ec;
    fs::remove(target->path, ec);
    error(kZipErrWrite, "Can't write the file " + target->text);
  }
}

bool ZipExtractionClass::inflateMember(Bytes data, std::uint32_t expectedCrc, std::uint64_t size,
                                       std::vector<std::uint8_t>& out) {
  out.assign(static_cast<std::size_t>(size), 0);
  z_stream stream{};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return false;
  stream.next_in = const_cast<Bytef*>(data.data());
  stream.avail_in = static_cast<uInt>(data.size());
  stream.next_out = out.data();
  stream.avail_out = static_cast<uInt>(out.size());
  // The declared size bounds the output; the CRC-32 decides whether the bytes are right.
  int rc = Z_OK;
  while (rc == Z_OK && stream.avail_out > 0) rc = inflate(&stream, Z_NO_FLUSH);
  inflateEnd(&stream);
  return crcOf(out.data(), out.size()) == expectedCrc;
}

}  // namespace nx::setup
