// ZipExtractionClass: opens a ZIP archive (stored and deflated members, single disk) and writes
// its members into a folder, checking every deflated member's CRC-32. zlib does the inflating
// and the CRC; the archive structures are read here, every offset and length bounds-checked.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "nxsetup/zip_format.h"

namespace nx::setup {

// Receives the events of ZipExtractionClass. The defaults ignore them.
class ZipEvents {
 public:
  virtual ~ZipEvents() = default;
  virtual void Progress(std::int32_t percent, bool& cancel) {
    (void)percent;
    (void)cancel;
  }
  virtual void Status(const std::string& text) { (void)text; }
  virtual void ZipError(std::int32_t number, const std::string& description) {
    (void)number;
    (void)description;
  }
};

// ZipError numbers.
enum ZipErrorNumber : std::int32_t {
  kZipErrNoZlib = 1,
  kZipErrNotZip = 2,
  kZipErrNotOpen = 3,
  kZipErrMethod = 4,
  kZipErrChecksum = 5,
  kZipErrMissing = 10,
  kZipErrExists = 11,
  kZipErrRemove = 12,
  kZipErrFolder = 13,
  // Members and archives that cannot be extracted safely.
  kZipErrUnsafeName = 14,
  kZipErrTooLarge = 15,
  kZipErrDamagedMember = 16,
  kZipErrDamagedDirectory = 17,
  kZipErrWrite = 18,
};

// Default ceiling on the size of one inflated member.
inline constexpr std::uint64_t kDefaultMemberLimit = 1ULL << 30;
// Deflate cannot expand data by more than about 1032 to 1.
inline constexpr std::uint64_t kMaxDeflateRatio = 1032;

class ZipExtractionClass {
 public:
  explicit ZipExtractionClass(ZipEvents* events = nullptr) : events_(events) {}
  ~ZipExtractionClass() { CloseZip(); }
  ZipExtractionClass(const ZipExtractionClass&) = delete;
  ZipExtractionClass& operator=(const ZipExtractionClass&) = delete;

  // Opens an archive file: reads it whole and finds its end record.
  bool OpenZip(const std::string& zipPath);
  // Opens an archive image held in memory; `displayName` stands for the path in messages.
  bool OpenZipImage(std::vector<std::uint8_t> image, const std::string& displayName);
  void CloseZip();

  // Writes every member into folderPath. Errors of single members are reported through
  // ZipError and do not change the result; a damaged central directory makes it false.
  bool Extract(const std::string& folderPath, bool preservePath, bool overwrite);
  // Walks the archive like Extract, inflating and checking every member, writing nothing.
  // True only when every member passed.
  bool Verify();

  // The zlib version, or empty text (after ZipError 1) when zlib cannot be reached.
  std::string ZLibVersion();

  // Ceiling on the size of one inflated member.
  void setMemberLimit(std::uint64_t bytes) { memberLimit_ = bytes; }

 private:
  struct Target {
    std::string text;  // folder + "\" + name, as shown in messages
    std::filesystem::path path;
  };

  bool attach(std::vector<std::uint8_t> image, const std::string& displayName);
  bool walk(const std::string& folderPath, bool preservePath, bool overwrite, bool write);
  void extractEntry(const zip::CentralHeader& entry, const std::string& name, const Target* target);
  bool inflateMember(Bytes data, std::uint32_t expectedCrc, std::uint64_t size,
                     std::vector<std::uint8_t>& out);
  void status(const std::string& text);
  void error(std::int32_t number, const std::string& description);

  ZipEvents* events_;
  std::vector<std::uint8_t> archive_;
  bool open_ = false;
  std::uint64_t endPosition_ = 0;  // 1-based position of the end record; 0 when none
  std::string zipPath_;
  std::uint64_t memberLimit_ = kDefaultMemberLimit;
  std::uint32_t memberErrors_ = 0;  // member errors of the current walk
};

}  // namespace nx::setup
