// Little-endian byte building for the resource formats the compiler writes.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zb::rc {

class Bytes {
 public:
  void U8(uint32_t v) { data_.push_back(static_cast<uint8_t>(v)); }
  void U16(uint32_t v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
  }
  void U32(uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  // UTF-16 text and its terminator.
  void Text(std::u16string_view s) {
    for (char16_t c : s) U16(c);
    U16(0);
  }
  void Raw(const void* p, size_t n) {
    auto* b = static_cast<const uint8_t*>(p);
    data_.insert(data_.end(), b, b + n);
  }
  void Align(size_t n) {
    while (data_.size() % n) U8(0);
  }
  void PutU16At(size_t at, uint32_t v) {
    data_[at] = static_cast<uint8_t>(v & 0xFF);
    data_[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
  }
  void PutU32At(size_t at, uint32_t v) {
    PutU16At(at, v & 0xFFFF);
    PutU16At(at + 2, v >> 16);
  }
  size_t size() const { return data_.size(); }
  const std::vector<uint8_t>& data() const { return data_; }
  std::vector<uint8_t>& data() { return data_; }

 private:
  std::vector<uint8_t> data_;
};

}  // namespace zb::rc
