#include "tests/pe_import_table.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <utility>

namespace pe {

namespace {

// Offsets and values of the PE/COFF format (PE32, the 32-bit form).
constexpr std::uint32_t kPeHeaderPointer = 0x3C;
constexpr std::uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr std::uint16_t kPe32Magic = 0x10B;
constexpr std::uint32_t kFileHeaderSize = 20;
constexpr std::uint32_t kDataDirectoriesOffset = 96;  // within the PE32 optional header
constexpr std::uint32_t kImportDirectory = 1;
constexpr std::uint32_t kDelayImportDirectory = 13;
constexpr std::uint32_t kSectionHeaderSize = 40;
constexpr std::uint32_t kImportDescriptorSize = 20;
constexpr std::uint32_t kImportByOrdinal = 0x80000000;

class Image {
 public:
  explicit Image(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

  bool Read16(std::uint32_t offset, std::uint16_t& value) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 2) return false;
    value = static_cast<std::uint16_t>(bytes_[offset] | bytes_[offset + 1] << 8);
    return true;
  }
  bool Read32(std::uint32_t offset, std::uint32_t& value) const {
    std::uint16_t low = 0, high = 0;
    if (!Read16(offset, low) || !Read16(offset + 2, high)) return false;
    value = low | static_cast<std::uint32_t>(high) << 16;
    return true;
  }
  // A zero-terminated string that ends inside the file.
  bool ReadString(std::uint32_t offset, std::string& text) const {
    text.clear();
    for (std::uint32_t at = offset; at < bytes_.size(); ++at) {
      if (bytes_[at] == 0) return true;
      text.push_back(static_cast<char>(bytes_[at]));
    }
    return false;
  }

  // Reads the headers; false when they are not those of a PE32 image.
  bool ReadHeaders() {
    std::uint32_t peHeader = 0, signature = 0;
    std::uint16_t sectionCount = 0, optionalHeaderSize = 0, magic = 0;
    if (!Read32(kPeHeaderPointer, peHeader) || !Read32(peHeader, signature) || signature != kPeSignature) return false;
    const std::uint32_t fileHeader = peHeader + 4;
    const std::uint32_t optionalHeader = fileHeader + kFileHeaderSize;
    if (!Read16(fileHeader + 2, sectionCount) || !Read16(fileHeader + 16, optionalHeaderSize) ||
        !Read16(optionalHeader, magic) || magic != kPe32Magic) {
      return false;
    }
    directories_ = optionalHeader + kDataDirectoriesOffset;
    sections_ = optionalHeader + optionalHeaderSize;
    sectionCount_ = sectionCount;
    return true;
  }

  // The directory's address in memory (RVA) and size.
  bool Directory(std::uint32_t index, std::uint32_t& rva, std::uint32_t& size) const {
    return Read32(directories_ + index * 8, rva) && Read32(directories_ + index * 8 + 4, size);
  }

  // Where an address in memory (RVA) lies in the file.
  bool FileOffset(std::uint32_t rva, std::uint32_t& offset) const {
    for (std::uint32_t i = 0; i < sectionCount_; ++i) {
      const std::uint32_t header = sections_ + i * kSectionHeaderSize;
      std::uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawPointer = 0;
      if (!Read32(header + 8, virtualSize) || !Read32(header + 12, virtualAddress) ||
          !Read32(header + 16, rawSize) || !Read32(header + 20, rawPointer)) {
        return false;
      }
      const std::uint32_t extent = virtualSize > rawSize ? virtualSize : rawSize;
      if (rva >= virtualAddress && rva - virtualAddress < extent) {
        offset = rawPointer + (rva - virtualAddress);
        return true;
      }
    }
    return false;
  }

 private:
  std::vector<unsigned char> bytes_;
  std::uint32_t directories_ = 0;
  std::uint32_t sections_ = 0;
  std::uint32_t sectionCount_ = 0;
};

// The functions of one import descriptor's lookup table.
bool ReadFunctions(const Image& image, std::uint32_t lookupRva, const std::string& dll, ImportTable& table) {
  std::uint32_t entry = 0;
  if (!image.FileOffset(lookupRva, entry)) return false;
  for (;; entry += 4) {
    std::uint32_t thunk = 0;
    if (!image.Read32(entry, thunk)) return false;
    if (thunk == 0) return true;
    if (thunk & kImportByOrdinal) {
      table.imports.push_back({dll, "#" + std::to_string(thunk & 0xFFFF)});
      continue;
    }
    std::uint32_t hintAndName = 0;
    std::string function;
    // The name follows a two-byte hint.
    if (!image.FileOffset(thunk, hintAndName) || !image.ReadString(hintAndName + 2, function)) return false;
    table.imports.push_back({dll, function});
  }
}

}  // namespace

std::optional<ImportTable> ReadImportTable(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  Image image(std::vector<unsigned char>{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()});
  if (!image.ReadHeaders()) return std::nullopt;

  ImportTable table;
  std::uint32_t delayRva = 0, delaySize = 0, importRva = 0, importSize = 0, descriptor = 0;
  if (!image.Directory(kDelayImportDirectory, delayRva, delaySize) ||
      !image.Directory(kImportDirectory, importRva, importSize)) {
    return std::nullopt;
  }
  table.hasDelayLoadedImports = delayRva != 0;
  if (importRva == 0) return table;
  if (!image.FileOffset(importRva, descriptor)) return std::nullopt;
  // The descriptors end with one that is all zeros.
  for (;; descriptor += kImportDescriptorSize) {
    std::uint32_t lookupRva = 0, nameRva = 0, addressRva = 0, nameOffset = 0;
    if (!image.Read32(descriptor, lookupRva) || !image.Read32(descriptor + 12, nameRva) ||
        !image.Read32(descriptor + 16, addressRva)) {
      return std::nullopt;
    }
    if (nameRva == 0 && addressRva == 0) return table;
    std::string dll;
    if (!image.FileOffset(nameRva, nameOffset) || !image.ReadString(nameOffset, dll)) return std::nullopt;
    // Linkers that bind leave the names only in the lookup table; without it the address table
    // holds them until the loader overwrites it.
    if (!ReadFunctions(image, lookupRva != 0 ? lookupRva : addressRva, dll, table)) return std::nullopt;
  }
}

}  // namespace pe
