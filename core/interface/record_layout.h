// Records that cross into plug-in libraries keep their documented word order. On this 64-bit
// host a pointer word takes 8 bytes, so instead of byte offsets each record lists its fields in
// word order and the compiler checks that the struct holds exactly those, in that order.
#pragma once
#include <cstddef>
#include <initializer_list>

namespace zb {

struct RecordField {
  size_t offset;
  size_t size;
  size_t align;
};

// True when the fields follow one another with no room for anything between them (only the
// padding their alignment needs) and the record ends with the last of them.
constexpr bool IsExactLayout(std::initializer_list<RecordField> fields, size_t recordSize, size_t recordAlign) {
  size_t end = 0;
  for (const RecordField& f : fields) {
    if (f.offset != (end + f.align - 1) / f.align * f.align) return false;
    end = f.offset + f.size;
  }
  return (end + recordAlign - 1) / recordAlign * recordAlign == recordSize;
}

}  // namespace zb

#define ZB_RECORD_FIELD(Record, field) \
  ::zb::RecordField { offsetof(Record, field), sizeof(Record::field), alignof(decltype(Record::field)) }

