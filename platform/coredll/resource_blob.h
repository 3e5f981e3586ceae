// The resource table each binary carries: written by the resource compiler (tools/zbrc) into the
// binary's ".zbrsrc" section, read by the resource functions from memory (a loaded module) or
// from the file (a data file, version queries). Little-endian, every offset from the blob's
// start and checked before use, since a data file may hold anything.
//
//   header   "ZBRS", version 1, total size (a multiple of 16), entry count
//   entries  type, name, data offset, data size, language, 0, 0      (24 bytes each)
//   names    u16 length + UTF-16 upper-case characters, for named types and names
//   data     each resource, 8-byte aligned
// A type or name below 0x10000 is an integer id; kNamed | offset points at a name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace zb::res {

inline constexpr char kMagic[4] = {'Z', 'B', 'R', 'S'};
inline constexpr uint32_t kVersion = 1;
inline constexpr uint32_t kNamed = 0x80000000u;
inline constexpr const char* kSectionName = ".zbrsrc";
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kEntrySize = 24;
inline constexpr size_t kBlobAlign = 16;

struct Entry {
  uint32_t type;
  uint32_t name;
  uint32_t dataOffset;
  uint32_t dataSize;
  uint16_t language;
};

inline uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// A checked view of one blob.
class BlobView {
 public:
  // Checks the header, every entry's data and every name against the blob's size; a blob that
  // fails is not used at all.
  static bool Open(const uint8_t* data, size_t size, BlobView* out) {
    if (size < kHeaderSize || std::memcmp(data, kMagic, 4) != 0 || ReadU32(data + 4) != kVersion) return false;
    const uint32_t total = ReadU32(data + 8), count = ReadU32(data + 12);
    if (total < kHeaderSize || total > size || count > (total - kHeaderSize) / kEntrySize) return false;
    BlobView view(data, total, count);
    for (uint32_t i = 0; i < count; ++i) {
      Entry e = view.At(i);
      if (e.dataOffset > total || e.dataSize > total - e.dataOffset) return false;
      if (!view.IdOk(e.type) || !view.IdOk(e.name)) return false;
    }
    *out = view;
    return true;
  }

  BlobView() = default;
  const uint8_t* data() const { return data_; }
  uint32_t size() const { return size_; }
  uint32_t count() const { return count_; }

  Entry At(uint32_t i) const {
    const uint8_t* p = data_ + kHeaderSize + i * kEntrySize;
    return Entry{ReadU32(p), ReadU32(p + 4), ReadU32(p + 8), ReadU32(p + 12), ReadU16(p + 16)};
  }
  const uint8_t* EntryAddress(uint32_t i) const { return data_ + kHeaderSize + i * kEntrySize; }

  // The characters of a named type or name (not terminated).
  std::u16string_view Name(uint32_t id) const {
    const uint8_t* p = data_ + (id & ~kNamed);
    return std::u16string_view(reinterpret_cast<const char16_t*>(p + 2), ReadU16(p));
  }

 private:
  BlobView(const uint8_t* data, uint32_t size, uint32_t count) : data_(data), size_(size), count_(count) {}
  bool IdOk(uint32_t id) const {
    if (!(id & kNamed)) return id < 0x10000;
    uint32_t at = id & ~kNamed;
    if (at % 2 != 0 || at > size_ || size_ - at < 2) return false;
    return (size_ - at - 2) / 2 >= ReadU16(data_ + at);
  }

  const uint8_t* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t count_ = 0;
};

}  // namespace zb::res
