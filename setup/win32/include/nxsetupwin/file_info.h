// nxkFileInfo: everything the setup needs to know about one file, read in one go and handed
// out by item number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "nxsetup/date_time.h"

namespace nx::setup::win {

// InfoItem numbers.
enum FileInfoItem : int {
  kItemArchive = 0,
  kItemCompressed = 1,
  kItemDirectory = 2,
  kItemHidden = 3,
  kItemNormal = 4,
  kItemReadOnly = 5,
  kItemSystem = 6,
  kItemTemporary = 7,
  kItemCompanyName = 8,
  kItemCreated = 9,
  kItemLastAccess = 10,
  kItemLastWrite = 11,
  kItemExists = 12,
  kItemExtension = 13,
  kItemLanguage = 14,
  kItemFileName = 15,
  kItemShortFileName = 16,
  kItemTargetOs = 17,
  kItemFullPath = 18,
  kItemShortPath = 19,
  kItemSize = 20,
  kItemSizeText = 21,
  kItemCompressedSize = 22,
  kItemCompressedSizeText = 23,
  kItemFileType = 24,
  kItemFileVersion = 25,
  kItemProductVersion = 26,
};

// An item's value: Boolean, 32-bit number or text; monostate for numbers without an item.
using InfoValue = std::variant<std::monostate, bool, std::int32_t, std::string>;

// Texts of the version resource's file type and target operating system.
std::string fileTypeText(std::uint32_t type, std::uint32_t subtype);
std::string fileOsText(std::uint32_t os);

class nxkFileInfo {
 public:
  nxkFileInfo() = default;
  explicit nxkFileInfo(std::string_view path) { setPath(path); }

  // Makes the text a full path and reads everything about it.
  void setPath(std::string_view path);
  bool Exists() const { return exists_; }
  InfoValue InfoItem(int itemID) const;
  // When the file exists, reads everything again.
  bool Refresh();

  // Typed access: the item's text (empty for Boolean and number items), flag, number.
  std::string text(int itemID) const;
  bool flag(int itemID) const;
  std::int32_t number(int itemID) const;

  // The local last-write time as a date (the zero date when unknown).
  const DateTime& lastWrite() const { return lastWrite_; }
  std::uint64_t size64() const { return size_; }

 private:
  void reset();
  void read();

  std::string requested_;
  bool exists_ = false;
  std::uint32_t attributes_ = 0;
  std::string companyName_;
  DateTime created_, lastAccess_, lastWrite_;
  std::string extension_;
  std::string language_;
  std::string fileName_, shortFileName_;
  std::string targetOs_;
  std::string fullPath_, shortPath_;
  std::uint64_t size_ = 0;
  std::uint32_t compressedSize_ = 0;
  std::string fileType_;
  std::string fileVersion_, productVersion_;
};

}  // namespace nx::setup::win

namespace nx::setup::win {

// The four numbers of a file's version resource; nothing without one.
struct VersionNumbers {
  std::uint16_t major = 0, minor = 0, build = 0, revision = 0;
};
std::optional<VersionNumbers> fileVersionNumbers(std::string_view path);

}  // namespace nx::setup::win
